// The exported entry points every import plug-in shares, over ThisPlugin().
#include "susie/api.h"
#include "win/handles.h"
#include "susie/plugin.h"
#include "imaging/dib.h"
#include <algorithm>
#include <atomic>
#include <string>

namespace tovn::susie {
namespace {

constexpr size_t kHeadSize = 2048;
// Files beyond this are not pictures we could show; refusing them bounds the read.
constexpr LONGLONG kMaxFileSize = 256ll << 20;

struct Input {
    Result result = kOk;
    std::vector<uint8_t> owned;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Reads a whole file from byte `offset` on.
Input ReadFileFrom(LPCSTR path, LONG_PTR offset) {
    Input in;
    tovn::UniqueFile f(CreateFileA(path, GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!f || !GetFileSizeEx(f.get(), &size) || offset < 0 || offset > size.QuadPart) {
        in.result = kReadError;
        return in;
    }
    LONGLONG n = size.QuadPart - offset;
    if (n > kMaxFileSize) {
        in.result = kNoMemory;
        return in;
    }
    in.owned.resize(static_cast<size_t>(n));
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD got = 0;
    if (!SetFilePointerEx(f.get(), at, nullptr, FILE_BEGIN) ||
        !ReadFile(f.get(), in.owned.data(), static_cast<DWORD>(n), &got, nullptr) || got != n) {
        in.result = kReadError;
        return in;
    }
    in.data = in.owned.data();
    in.size = in.owned.size();
    return in;
}

Input OpenInput(LPCSTR buf, LONG_PTR len, unsigned flag) {
    Input in;
    if (!buf) {
        in.result = kInternalError;
    } else if ((flag & kInputMask) == kInputFile) {
        return ReadFileFrom(buf, len);
    } else if ((flag & kInputMask) == kInputMemory) {
        if (len < 0) in.result = kBrokenData;
        in.data = reinterpret_cast<const uint8_t*>(buf);
        in.size = len < 0 ? 0 : static_cast<size_t>(len);
    } else {
        in.result = kNotImplemented;
    }
    return in;
}

Result FromStatus(imaging::Status s) {
    switch (s) {
    case imaging::Status::Ok:
        return kOk;
    case imaging::Status::Unsupported:
        return kUnknownFormat;
    case imaging::Status::NoMemory:
        return kNoMemory;
    default:
        return kBrokenData;
    }
}

// What a decode is for: the whole picture, its size and depth only, or a preview.
enum class Purpose { Full, Describe, Preview };

// The longer side hosts want previews at; one value per process, set and read from any
// thread. This is the plug-ins' only shared state, which is what lets IsConcurrent say yes.
std::atomic<int> previewSide{kDefaultPreviewSide};

imaging::Decoded DecodeFor(const Plugin& p, Purpose purpose, const uint8_t* data, size_t size) {
    if (purpose == Purpose::Preview && p.preview) return p.preview(data, size, previewSide.load());
    if (purpose == Purpose::Describe && p.describe) return p.describe(data, size);
    return p.decode(data, size);
}

// Decodes the input for `purpose`; the picture is valid only when the result is kOk.
Result Decode(LPCSTR buf, LONG_PTR len, unsigned flag, imaging::Picture* out,
              Purpose purpose = Purpose::Full) {
    try {
        Input in = OpenInput(buf, len, flag);
        if (in.result != kOk) return in.result;
        imaging::Decoded d = DecodeFor(ThisPlugin(), purpose, in.data, in.size);
        if (d.status == imaging::Status::Ok) *out = std::move(d.picture);
        return FromStatus(d.status);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    } catch (...) {
        return kInternalError;
    }
}

int CopyText(const char* text, LPSTR buf, int buflen) {
    if (!buf || buflen <= 0) return 0;
    int n = std::min(static_cast<int>(std::strlen(text)), buflen - 1);
    std::memcpy(buf, text, static_cast<size_t>(n));
    buf[n] = 0;
    return n;
}

// The handle form: read the head from the current position and put the position back.
bool ReadHead(HANDLE h, uint8_t* head) {
    LARGE_INTEGER zero{}, at;
    if (!SetFilePointerEx(h, zero, &at, FILE_CURRENT)) return false;
    DWORD got = 0;
    BOOL ok = ReadFile(h, head, kHeadSize, &got, nullptr);
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    return ok;
}

// How many of `want` bytes from p can be read without faulting. Hosts are meant to pass
// 2 KB, but some hand over a shorter block (an archive member); copying only what is
// mapped keeps a short block from crashing the host.
size_t ReadableBytes(const void* p, size_t want) {
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    size_t done = 0;
    auto at = static_cast<const uint8_t*>(p);
    while (done < want) {
        MEMORY_BASIC_INFORMATION mbi;
        if (!VirtualQuery(at + done, &mbi, sizeof mbi) || mbi.State != MEM_COMMIT ||
            (mbi.Protect & PAGE_GUARD) || !(mbi.Protect & kReadable))
            break;
        auto end = static_cast<const uint8_t*>(mbi.BaseAddress) + mbi.RegionSize;
        done = std::min(want, static_cast<size_t>(end - at));
    }
    return done;
}

bool Report(ProgressCallback progress, int num, LONG_PTR data) {
    return !progress || progress(num, 1, data) == 0;
}

} // namespace
} // namespace tovn::susie

using namespace tovn::susie;

extern "C" int WINAPI GetPluginInfo(int infono, LPSTR buf, int buflen) {
    const Plugin& p = ThisPlugin();
    if (infono == 0) return CopyText("00IN", buf, buflen);
    if (infono == 1) return CopyText(p.about, buf, buflen);
    if (infono < 2 || static_cast<size_t>(infono - 2) / 2 >= p.formats.size()) return 0;
    const Format& f = p.formats[static_cast<size_t>(infono - 2) / 2];
    return CopyText(infono % 2 ? f.description : f.pattern, buf, buflen);
}

extern "C" int WINAPI IsSupported(LPCSTR, void* dw) {
    uint8_t head[kHeadSize] = {};
    auto value = reinterpret_cast<uintptr_t>(dw);
    if (value == 0) return 0;
    // Values that fit 16 bits are file handles; anything larger points at the file's head.
    if ((value & ~uintptr_t{0xFFFF}) == 0) {
        if (!ReadHead(reinterpret_cast<HANDLE>(dw), head)) return 0;
    } else {
        std::memcpy(head, dw, ReadableBytes(dw, kHeadSize));
    }
    return ThisPlugin().accepts(head, kHeadSize) ? 1 : 0;
}

extern "C" int WINAPI GetPictureInfo(LPCSTR buf, LONG_PTR len, unsigned int flag,
                                     PictureInfo* info) {
    if (!info) return kInternalError;
    tovn::imaging::Picture pic;
    Result r = Decode(buf, len, flag, &pic, Purpose::Describe);
    if (r != kOk) return r;
    *info = PictureInfo{};
    info->left = pic.left;
    info->top = pic.top;
    info->width = pic.width;
    info->height = pic.height;
    info->colorDepth = static_cast<SHORT>(pic.bitsPerPixel);
    return kOk;
}

namespace {

// GetPicture and GetPreview: the picture in the two blocks hosts take.
int Deliver(LPCSTR buf, LONG_PTR len, unsigned flag, HLOCAL* pHBInfo, HLOCAL* pHBm,
            ProgressCallback progress, LONG_PTR lData, Purpose purpose) {
    if (!pHBInfo || !pHBm) return kInternalError;
    *pHBInfo = *pHBm = nullptr;
    if (!Report(progress, 0, lData)) return kAborted;
    tovn::imaging::Picture pic;
    Result r = Decode(buf, len, flag, &pic, purpose);
    if (r != kOk) return r;
    try {
        std::vector<uint8_t> info = tovn::imaging::DibInfo(pic);
        std::vector<uint8_t> bits = tovn::imaging::DibBits(pic);
        tovn::UniqueLocal hInfo = tovn::LocalCopyOf(info.data(), info.size());
        tovn::UniqueLocal hBits = tovn::LocalCopyOf(bits.data(), bits.size());
        if (!hInfo || !hBits) return kNoMemory;
        if (!Report(progress, 1, lData)) return kAborted;
        *pHBInfo = hInfo.release();
        *pHBm = hBits.release();
        return kOk;
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
}

} // namespace

extern "C" int WINAPI GetPicture(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* pHBInfo,
                                 HLOCAL* pHBm, ProgressCallback progress, LONG_PTR lData) {
    return Deliver(buf, len, flag, pHBInfo, pHBm, progress, lData, Purpose::Full);
}

extern "C" int WINAPI GetPreview(LPCSTR buf, LONG_PTR len, unsigned int flag, HLOCAL* pHBInfo,
                                 HLOCAL* pHBm, ProgressCallback progress, LONG_PTR lData) {
    if (!ThisPlugin().preview) return kNotImplemented;
    return Deliver(buf, len, flag, pHBInfo, pHBm, progress, lData, Purpose::Preview);
}

// Ours: the longer side (in pixels) the host's thumbnails are drawn at; GetPreview gives
// pictures at least that large. Values below 1 restore the default.
extern "C" void WINAPI SetPreviewSide(int side) {
    previewSide = side >= 1 ? side : kDefaultPreviewSide;
}

// Ours: every entry point may be called from several threads at once (each call keeps its
// state to itself), so hosts may decode on many threads.
extern "C" int WINAPI IsConcurrent(void) {
    return 1;
}
