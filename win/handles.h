// RAII owners for Win32 handles, so that no handler frees a handle by hand. One family for
// the program and for the outside components alike.
#pragma once
#include <windows.h>
#include <cstring>
#include <utility>

namespace tovn {

template <typename H, typename Traits> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Traits::invalid()));
        return *this;
    }
    ~UniqueHandle() { reset(); }
    H get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::invalid(); }
    H release() { return std::exchange(h_, Traits::invalid()); }
    void reset(H h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }

private:
    H h_ = Traits::invalid();
};

struct FileTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct KernelTraits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct FindTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::FindClose(h); }
};
struct GdiTraits {
    static HGDIOBJ invalid() { return nullptr; }
    static void close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct ModuleTraits {
    static HMODULE invalid() { return nullptr; }
    static void close(HMODULE h) { ::FreeLibrary(h); }
};
struct GlobalTraits {
    static HGLOBAL invalid() { return nullptr; }
    static void close(HGLOBAL h) { ::GlobalFree(h); }
};
struct LocalTraits {
    static HLOCAL invalid() { return nullptr; }
    static void close(HLOCAL h) { ::LocalFree(h); }
};
struct MemDcTraits {
    static HDC invalid() { return nullptr; }
    static void close(HDC h) { ::DeleteDC(h); }
};

using UniqueFile = UniqueHandle<HANDLE, FileTraits>;      // CreateFile
using UniqueKernel = UniqueHandle<HANDLE, KernelTraits>;  // processes, events
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;      // FindFirstFile
using UniqueGdi = UniqueHandle<HGDIOBJ, GdiTraits>;       // bitmaps, brushes, pens, fonts
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>; // LoadLibrary
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalTraits>; // GlobalAlloc
using UniqueLocal = UniqueHandle<HLOCAL, LocalTraits>;    // LocalAlloc (plug-in blocks)
using UniqueMemDc = UniqueHandle<HDC, MemDcTraits>;       // CreateCompatibleDC

template <typename T> class UniqueGdiOf : public UniqueGdi {
public:
    using UniqueGdi::UniqueGdi;
    explicit UniqueGdiOf(T h) : UniqueGdi(static_cast<HGDIOBJ>(h)) {}
    T get() const { return static_cast<T>(UniqueGdi::get()); }
};
using UniqueBitmap = UniqueGdiOf<HBITMAP>;
using UniquePalette = UniqueGdiOf<HPALETTE>;
using UniqueFont = UniqueGdiOf<HFONT>;
using UniqueBrush = UniqueGdiOf<HBRUSH>;
using UniquePen = UniqueGdiOf<HPEN>;

// A DC obtained with GetDC, released with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND w) : w_(w), dc_(::GetDC(w)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(w_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND w_;
    HDC dc_;
};

// Selects an object into a DC for one scope and puts the old one back.
class SelectIn {
public:
    SelectIn(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
    SelectIn(const SelectIn&) = delete;
    SelectIn& operator=(const SelectIn&) = delete;
    ~SelectIn() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// GlobalLock for one scope.
template <typename T = void> class GlobalLockOf {
public:
    explicit GlobalLockOf(HGLOBAL h) : h_(h), p_(static_cast<T*>(::GlobalLock(h))) {}
    GlobalLockOf(const GlobalLockOf&) = delete;
    GlobalLockOf& operator=(const GlobalLockOf&) = delete;
    ~GlobalLockOf() {
        if (p_) ::GlobalUnlock(h_);
    }
    T* get() const { return p_; }
    SIZE_T size() const { return ::GlobalSize(h_); }

private:
    HGLOBAL h_;
    T* p_;
};

// A new movable block holding a copy of size bytes, for a block handed to another module
// with release(); empty when memory is short.
template <typename Unique, auto Alloc, auto Lock, auto Unlock>
Unique MovableCopyOf(const void* data, size_t size) {
    Unique block(Alloc(LMEM_MOVEABLE, size ? size : 1));
    if (!block) return block;
    void* p = Lock(block.get());
    if (!p) return Unique();
    if (size) std::memcpy(p, data, size);
    Unlock(block.get());
    return block;
}
inline UniqueGlobal GlobalCopyOf(const void* data, size_t size) {
    return MovableCopyOf<UniqueGlobal, ::GlobalAlloc, ::GlobalLock, ::GlobalUnlock>(data, size);
}
inline UniqueLocal LocalCopyOf(const void* data, size_t size) {
    return MovableCopyOf<UniqueLocal, ::LocalAlloc, ::LocalLock, ::LocalUnlock>(data, size);
}

} // namespace tovn
