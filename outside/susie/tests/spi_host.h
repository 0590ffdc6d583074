// A minimal host that uses a plug-in only through its published entry points.
#pragma once
#include "imaging/bmp.h"
#include "susie/api.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tovn::susie::test {

inline std::string WinPath(const std::string& relative) {
    return std::string("Z:") + TOVN_TESTDATA_DIR + "/" + relative;
}

inline std::vector<uint8_t> ReadAll(const std::string& path) {
    std::vector<uint8_t> out;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    out.resize(GetFileSize(h, nullptr));
    DWORD got = 0;
    ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    CloseHandle(h);
    out.resize(got);
    return out;
}

// The two blocks GetPicture returned, copied out and freed as a host does.
struct Dib {
    std::vector<uint8_t> info, bits;
    bmp::DibLayout layout;

    // Palette index, or 0xRRGGBB for true colour.
    int At(int x, int y) const {
        int row = layout.topDown ? y : layout.height - 1 - y;
        const uint8_t* r = bits.data() + static_cast<size_t>(row) * layout.stride;
        switch (layout.bitCount) {
        case 4:
            return (r[x / 2] >> (x % 2 ? 0 : 4)) & 15;
        case 8:
            return r[x];
        default:
            return r[3 * x + 2] << 16 | r[3 * x + 1] << 8 | r[3 * x];
        }
    }
    int Color(int i) const {
        const uint8_t* e = info.data() + 40 + 4 * i;
        return e[2] << 16 | e[1] << 8 | e[0];
    }
};

class Spi {
public:
    explicit Spi(const char* name) : module_(LoadLibraryA(name)) {
        if (!module_) return;
        getPluginInfo = Get<decltype(&::GetPluginInfo)>("GetPluginInfo");
        isSupported = Get<decltype(&::IsSupported)>("IsSupported");
        getPictureInfo = Get<decltype(&::GetPictureInfo)>("GetPictureInfo");
        getPicture = Get<decltype(&::GetPicture)>("GetPicture");
        getPreview = Get<decltype(&::GetPreview)>("GetPreview");
        setPreviewSide = Get<decltype(&::SetPreviewSide)>("SetPreviewSide");
        isConcurrent = Get<decltype(&::IsConcurrent)>("IsConcurrent");
    }
    Spi(const Spi&) = delete;
    Spi& operator=(const Spi&) = delete;
    ~Spi() {
        if (module_) FreeLibrary(module_);
    }
    bool ok() const {
        return module_ && getPluginInfo && isSupported && getPictureInfo && getPicture;
    }

    std::string Info(int n, int buflen = 256) const {
        std::vector<char> buf(static_cast<size_t>(buflen) + 1, '\x7F');
        int r = getPluginInfo(n, buf.data(), buflen);
        if (r <= 0) return {};
        EXPECT_EQ(buf[static_cast<size_t>(buflen)], '\x7F') << "wrote past the buffer";
        return std::string(buf.data(), strnlen(buf.data(), static_cast<size_t>(buflen)));
    }

    // The 2 KB form: the file's first bytes, zero-filled.
    bool SupportsHead(const std::vector<uint8_t>& file) const {
        std::vector<uint8_t> head(2048, 0);
        std::copy(file.begin(), file.begin() + std::min<size_t>(file.size(), 2048), head.begin());
        return isSupported("X", head.data()) != 0;
    }

    // The file-handle form, as the program calls it; the position must be left as it was.
    bool SupportsHandle(const std::string& path) const {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
        bool r = isSupported(path.c_str(), h) != 0;
        EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 0u);
        CloseHandle(h);
        return r;
    }

    int Picture(const char* buf, LONG_PTR len, unsigned flag, Dib* out) const {
        return Blocks(getPicture, buf, len, flag, out);
    }
    int Preview(const char* buf, LONG_PTR len, unsigned flag, Dib* out) const {
        return Blocks(getPreview, buf, len, flag, out);
    }

    decltype(&::GetPluginInfo) getPluginInfo = nullptr;
    decltype(&::IsSupported) isSupported = nullptr;
    decltype(&::GetPictureInfo) getPictureInfo = nullptr;
    decltype(&::GetPicture) getPicture = nullptr;
    decltype(&::GetPreview) getPreview = nullptr;
    decltype(&::SetPreviewSide) setPreviewSide = nullptr;
    decltype(&::IsConcurrent) isConcurrent = nullptr;

private:
    // GetPicture or GetPreview, whose blocks are checked and copied out.
    int Blocks(decltype(&::GetPicture) get, const char* buf, LONG_PTR len, unsigned flag,
               Dib* out) const {
        HLOCAL hInfo = reinterpret_cast<HLOCAL>(1), hBits = reinterpret_cast<HLOCAL>(1);
        int r = get(buf, len, flag, &hInfo, &hBits, nullptr, 0);
        if (r != 0) {
            EXPECT_EQ(hInfo, nullptr);
            EXPECT_EQ(hBits, nullptr);
            return r;
        }
        out->info = Take(hInfo);
        out->bits = Take(hBits);
        auto layout = bmp::ParseDibInfo(out->info.data(), out->info.size(), out->bits.size());
        EXPECT_TRUE(layout);
        if (layout) out->layout = *layout;
        return layout ? 0 : -100;
    }
    template <class F> F Get(const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    static std::vector<uint8_t> Take(HLOCAL h) {
        auto* p = static_cast<const uint8_t*>(LocalLock(h));
        EXPECT_NE(p, nullptr);
        std::vector<uint8_t> v;
        if (p) v.assign(p, p + LocalSize(h));
        LocalUnlock(h);
        EXPECT_EQ(LocalFree(h), nullptr);
        return v;
    }
    HMODULE module_;
};

// Decodes the file by name and from memory; both must give the same blocks.
inline Dib LoadBothWays(const Spi& spi, const std::string& path) {
    std::vector<uint8_t> file = ReadAll(path);
    EXPECT_TRUE(spi.SupportsHead(file)) << path;
    EXPECT_TRUE(spi.SupportsHandle(path)) << path;
    Dib byFile, byMemory;
    EXPECT_EQ(spi.Picture(path.c_str(), 0, 0, &byFile), 0) << path;
    EXPECT_EQ(spi.Picture(reinterpret_cast<const char*>(file.data()),
                          static_cast<LONG_PTR>(file.size()), 1, &byMemory),
              0)
        << path;
    EXPECT_EQ(byFile.bits, byMemory.bits) << path;
    return byFile;
}

} // namespace tovn::susie::test
