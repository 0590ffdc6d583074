// MG.EXE: "MG .MAG NAME.BMP" writes NAME.MAG in the current folder. A MAG file it replaces
// is kept as NAME.BAK. Exit code 0 on success, 1 on failure, 2 on wrong arguments.
#include "imaging/bmp_to_mag.h"
#include "win/handles.h"
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using File = tovn::UniqueFile;

constexpr DWORD kMaxInput = 256u << 20;

bool ReadWhole(const std::string& path, std::vector<uint8_t>* out) {
    File f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!f || !GetFileSizeEx(f.get(), &size) || size.QuadPart > kMaxInput) return false;
    out->resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    return ReadFile(f.get(), out->data(), static_cast<DWORD>(out->size()), &got, nullptr) &&
           got == out->size();
}

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& data) {
    bool ok;
    {
        File f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD wrote = 0;
        ok = f &&
             WriteFile(f.get(), data.data(), static_cast<DWORD>(data.size()), &wrote, nullptr) &&
             wrote == data.size();
    }
    if (!ok) DeleteFileA(path.c_str());
    return ok;
}

// The base name: no folder, no extension (names may hold double-byte characters).
std::string BaseName(const std::string& path) {
    size_t start = 0, dot = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsDBCSLeadByte(c) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (c == '\\' || c == '/' || c == ':') start = i + 1, dot = std::string::npos;
        if (c == '.') dot = i;
    }
    size_t end = dot == std::string::npos ? path.size() : dot;
    return path.substr(start, end - start);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "MG: %s\n", message.c_str());
    return 1;
}

// Writes beside the target first, so a failure never touches an existing picture.
int Store(const std::string& base, const std::vector<uint8_t>& mag) {
    std::string target = base + ".MAG", backup = base + ".BAK", temp = base + ".$$$";
    if (!WriteWhole(temp, mag)) return Fail("cannot write " + temp);
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !MoveFileExA(target.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp.c_str());
        return Fail("cannot keep " + target + " as " + backup);
    }
    if (!MoveFileA(temp.c_str(), target.c_str())) {
        DeleteFileA(temp.c_str());
        return Fail("cannot write " + target);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || lstrcmpiA(argv[1], ".MAG") != 0) {
        std::fprintf(stderr, "usage: MG .MAG NAME.BMP\n");
        return 2;
    }
    std::string source = argv[2];
    std::string base = BaseName(source);
    if (base.empty()) return Fail("no picture name in " + source);
    std::vector<uint8_t> bmp;
    if (!ReadWhole(source, &bmp)) return Fail("cannot read " + source);
    tovn::imaging::MagResult r = tovn::imaging::BmpToMag(bmp.data(), bmp.size());
    if (r.file.empty()) return Fail(source + ": " + r.error);
    return Store(base, r.file);
}
