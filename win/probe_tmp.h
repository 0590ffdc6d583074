#pragma once
#include <windows.h>
#include <atomic>
#include <cstdio>
namespace probe {
struct Ev { DWORD tid; int tag; long long s, e; };
inline Ev evs[20000];
inline std::atomic<int> n{0};
inline long long Now() { LARGE_INTEGER t; QueryPerformanceCounter(&t); return t.QuadPart; }
struct Scope { int tag; long long s; explicit Scope(int t) : tag(t), s(Now()) {} ~Scope() { int i = n++; if (i < 20000) evs[i] = {GetCurrentThreadId(), tag, s, Now()}; } };
inline void Dump(const char* what) {
    LARGE_INTEGER f; QueryPerformanceFrequency(&f);
    int m = n.load(); if (m > 20000) m = 20000;
    long long t0 = m ? evs[0].s : 0; for (int i = 0; i < m; ++i) if (evs[i].s < t0) t0 = evs[i].s;
    FILE* out = std::fopen("Z:\\tmp\\timeline.txt", "a");
    std::fprintf(out, "== %s\n", what);
    for (int i = 0; i < m; ++i) std::fprintf(out, "%lu %d %.3f %.3f\n", evs[i].tid, evs[i].tag, (evs[i].s - t0) * 1000.0 / f.QuadPart, (evs[i].e - t0) * 1000.0 / f.QuadPart);
    std::fclose(out);
    n = 0;
}
}
#define PROBE(i) probe::Scope probe_scope_##i(i)
