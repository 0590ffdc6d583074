#include "wic.h"
#include <windows.h>
#include <wincodec.h>
#include <algorithm>
#include <cstring>
#include <utility>

namespace tovn::susie {
namespace {

using imaging::BrokenData;
using imaging::Decoded;
using imaging::Picture;
using imaging::Status;

// Owns one COM reference.
template <class T> class Com {
public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    Com(Com&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~Com() {
        if (p_) p_->Release();
    }
    T** put() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};

// COM for the duration of one call, whatever the host did on this thread before.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

// WIC's interface through which a decoder scales a frame itself, which MinGW's headers lack;
// declared here as WIC publishes it (IWICBitmapSourceTransform).
struct ScalingSource : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                                 WICPixelFormatGUID* format,
                                                 WICBitmapTransformOptions transform, UINT stride,
                                                 UINT bufferSize, BYTE* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform,
                                                           BOOL* supported) = 0;
};
constexpr GUID kScalingSourceId = {
    0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};

// Pictures beyond the largest the program can be set to show are refused before their rows
// are allocated (as IFJPEG refuses them); the host's own, lower limit applies first.
constexpr uint64_t kMaxPixels =
    sizeof(void*) == 8 ? uint64_t{30000} * 30000 : uint64_t{10000} * 10000;

void Check(HRESULT hr) {
    if (FAILED(hr)) throw BrokenData();
}

// The largest frame of an icon; the first frame of everything else.
UINT PickFrame(IWICBitmapDecoder* decoder) {
    GUID container{};
    UINT count = 0;
    if (FAILED(decoder->GetContainerFormat(&container)) || container != GUID_ContainerFormatIco ||
        FAILED(decoder->GetFrameCount(&count)))
        return 0;
    UINT best = 0;
    uint64_t bestArea = 0;
    for (UINT i = 0; i < count; ++i) {
        Com<IWICBitmapFrameDecode> f;
        UINT w = 0, h = 0;
        if (FAILED(decoder->GetFrame(i, f.put())) || FAILED(f->GetSize(&w, &h))) continue;
        if (uint64_t{w} * h > bestArea) best = i, bestArea = uint64_t{w} * h;
    }
    return best;
}

int IndexedBits(const WICPixelFormatGUID& f) {
    if (f == GUID_WICPixelFormat1bppIndexed) return 1;
    if (f == GUID_WICPixelFormat2bppIndexed) return 2;
    if (f == GUID_WICPixelFormat4bppIndexed) return 4;
    if (f == GUID_WICPixelFormat8bppIndexed) return 8;
    return 0;
}

std::vector<uint8_t> CopyRows(IWICBitmapSource* source, UINT stride, UINT height) {
    std::vector<uint8_t> buf(static_cast<size_t>(stride) * height);
    Check(source->CopyPixels(nullptr, stride, static_cast<UINT>(buf.size()), buf.data()));
    return buf;
}

void ReadIndexed(IWICImagingFactory* factory, IWICBitmapDecoder* decoder,
                 IWICBitmapFrameDecode* frame, int bits, Picture& pic) {
    Com<IWICPalette> palette;
    Check(factory->CreatePalette(palette.put()));
    if (FAILED(frame->CopyPalette(palette.get()))) Check(decoder->CopyPalette(palette.get()));
    WICColor colors[256] = {};
    UINT count = 0;
    Check(palette->GetColors(256, colors, &count));
    pic.bitsPerPixel = bits <= 4 ? 4 : 8;
    pic.palette.assign(size_t{1} << pic.bitsPerPixel, {});
    for (UINT i = 0; i < count && i < pic.palette.size(); ++i)
        pic.palette[i] = {static_cast<uint8_t>(colors[i] >> 16),
                          static_cast<uint8_t>(colors[i] >> 8), static_cast<uint8_t>(colors[i])};
    UINT stride = static_cast<UINT>((static_cast<uint64_t>(pic.width) * bits + 7) / 8);
    std::vector<uint8_t> rows = CopyRows(frame, stride, static_cast<UINT>(pic.height));
    for (int y = 0; y < pic.height; ++y) {
        const uint8_t* row = rows.data() + static_cast<size_t>(y) * stride;
        uint8_t* out = pic.pixels.data() + static_cast<size_t>(y) * pic.width;
        for (int x = 0; x < pic.width; ++x) {
            size_t bit = static_cast<size_t>(x) * bits;
            out[x] = static_cast<uint8_t>(row[bit / 8] >> (8 - bits - bit % 8) & ((1 << bits) - 1));
        }
    }
}

void ReadTrueColor(IWICBitmapSource* source, Picture& pic) {
    Com<IWICBitmapSource> bgra;
    Check(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, source, bgra.put()));
    std::vector<uint8_t> rows =
        CopyRows(bgra.get(), static_cast<UINT>(pic.width) * 4, static_cast<UINT>(pic.height));
    std::vector<uint8_t>(static_cast<size_t>(pic.width) * pic.height * 3).swap(pic.pixels);
    for (size_t i = 0; i < rows.size() / 4; ++i) {
        const uint8_t* p = &rows[4 * i];
        unsigned a = p[3];
        for (int c = 0; c < 3; ++c) // R, G, B from B, G, R over white
            pic.pixels[3 * i + c] = static_cast<uint8_t>((p[2 - c] * a + 255 * (255 - a)) / 255);
    }
}

// A picture's decoder and the frame shown of it; COM stays up while they live.
struct Opened {
    ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    int indexedBits = 0; // 0 for true colour

    Opened(const uint8_t* data, size_t size) {
        if (size > UINT32_MAX) throw BrokenData();
        Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put())));
        Check(factory->CreateStream(stream.put()));
        Check(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size)));
        Check(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                               WICDecodeMetadataCacheOnDemand, decoder.put()));
        Check(decoder->GetFrame(PickFrame(decoder.get()), frame.put()));
        Check(frame->GetSize(&width, &height));
        WICPixelFormatGUID format{};
        Check(frame->GetPixelFormat(&format));
        indexedBits = IndexedBits(format);
    }
};

Picture Describe(const Opened& o) {
    Picture info;
    info.width = static_cast<int>(std::min<UINT>(o.width, INT32_MAX));
    info.height = static_cast<int>(std::min<UINT>(o.height, INT32_MAX));
    info.bitsPerPixel = !o.indexedBits ? 24 : o.indexedBits <= 4 ? 4 : 8;
    return info;
}

Picture DecodeWhole(const Opened& o) {
    Picture pic = imaging::MakePicture(o.width, o.height, o.indexedBits ? 8 : 24, kMaxPixels);
    if (o.indexedBits)
        ReadIndexed(o.factory.get(), o.decoder.get(), o.frame.get(), o.indexedBits, pic);
    else
        ReadTrueColor(o.frame.get(), pic);
    return pic;
}

// Formats a decoder may scale into, with their bytes per pixel.
int BytesPerPixel(const WICPixelFormatGUID& f) {
    if (f == GUID_WICPixelFormat32bppBGRA || f == GUID_WICPixelFormat32bppBGR) return 4;
    if (f == GUID_WICPixelFormat24bppBGR || f == GUID_WICPixelFormat24bppRGB) return 3;
    return f == GUID_WICPixelFormat8bppGray ? 1 : 0;
}

// The frame scaled by its decoder to a longer side of at least `side`, where the decoder
// offers a smaller size than the whole; nothing otherwise.
Com<IWICBitmapSource> ScaledFrame(const Opened& o, int side) {
    Com<ScalingSource> transform;
    const UINT longer = std::max(o.width, o.height);
    if (longer <= static_cast<UINT>(side) ||
        FAILED(
            o.frame->QueryInterface(kScalingSourceId, reinterpret_cast<void**>(transform.put()))))
        return {};
    auto scaled = [&](UINT n) {
        return static_cast<UINT>((uint64_t{n} * side + longer - 1) / longer);
    };
    UINT w = std::max(1u, scaled(o.width)), h = std::max(1u, scaled(o.height));
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (FAILED(transform->GetClosestSize(&w, &h)) || std::max(w, h) < static_cast<UINT>(side) ||
        uint64_t{w} * h >= uint64_t{o.width} * o.height || uint64_t{w} * h > kMaxPixels ||
        FAILED(transform->GetClosestPixelFormat(&format)) || !BytesPerPixel(format))
        return {};
    const UINT stride = (w * static_cast<UINT>(BytesPerPixel(format)) + 3) & ~3u;
    std::vector<uint8_t> rows(size_t{stride} * h);
    Check(transform->CopyPixels(nullptr, w, h, &format, WICBitmapTransformRotate0, stride,
                                static_cast<UINT>(rows.size()), rows.data()));
    Com<IWICBitmap> bitmap;
    Check(o.factory->CreateBitmapFromMemory(w, h, format, stride, static_cast<UINT>(rows.size()),
                                            rows.data(), bitmap.put()));
    Com<IWICBitmapSource> source;
    Check(bitmap->QueryInterface(IID_IWICBitmapSource, reinterpret_cast<void**>(source.put())));
    return source;
}

// True-colour pictures at the decoder's reduced size where it has one; else as DecodeWhole.
Picture DecodePreview(const Opened& o, int side) {
    if (o.indexedBits) return DecodeWhole(o);
    Com<IWICBitmapSource> scaled = ScaledFrame(o, side);
    if (!scaled.get()) return DecodeWhole(o);
    UINT w = 0, h = 0;
    Check(scaled->GetSize(&w, &h));
    Picture pic = imaging::MakePicture(w, h, 24, kMaxPixels);
    ReadTrueColor(scaled.get(), pic);
    return pic;
}

bool Starts(const uint8_t* data, size_t size, const char* sig, size_t n) {
    return size >= n && std::memcmp(data, sig, n) == 0;
}

} // namespace

bool LooksLikeWicPicture(const uint8_t* d, size_t n) {
    return d &&
           (Starts(d, n, "\x89PNG\r\n\x1a\n", 8) || Starts(d, n, "GIF87a", 6) ||
            Starts(d, n, "GIF89a", 6) || Starts(d, n, "II*\0", 4) || Starts(d, n, "MM\0*", 4) ||
            (Starts(d, n, "\0\0\1\0", 4) && n >= 6 && (d[4] | d[5]) != 0));
}

Decoded DecodeWithWic(const uint8_t* data, size_t size) {
    if (!LooksLikeWicPicture(data, size)) return {Status::Unsupported, {}};
    return imaging::Guarded([&] { return DecodeWhole(Opened(data, size)); });
}

Decoded DescribeWithWic(const uint8_t* data, size_t size) {
    if (!LooksLikeWicPicture(data, size)) return {Status::Unsupported, {}};
    return imaging::Guarded([&] { return Describe(Opened(data, size)); });
}

Decoded PreviewWithWic(const uint8_t* data, size_t size, int side) {
    if (!LooksLikeWicPicture(data, size)) return {Status::Unsupported, {}};
    return imaging::Guarded([&] { return DecodePreview(Opened(data, size), std::max(side, 1)); });
}

} // namespace tovn::susie
