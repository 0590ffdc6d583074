#include "jpeg.h"
#include "exif.h"
#include <algorithm>
#include <cstdlib>
#include <csetjmp>
#include <cstdio>
#include <vector>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace tovn::jpeg {
namespace {

using imaging::Decoded;
using imaging::Picture;
using imaging::Status;

constexpr int kEighths = 8;
// Whole pictures beyond the largest the program can be set to show are refused before their
// rows are allocated; a 32-bit process cannot hold more than a few copies of 10000 x 10000.
constexpr uint64_t kMaxPixels =
    sizeof(void*) == 8 ? uint64_t{30000} * 30000 : uint64_t{10000} * 10000;
// What libjpeg may hold for the whole-picture buffers of progressive and multi-scan files
// (two bytes per sample); beyond it the decode fails as out of memory instead of trying.
constexpr long kMaxDecoderMemory = sizeof(void*) == 8 ? 0x60000000L : 0x10000000L;

// libjpeg reports a fault by calling error_exit, which must not return: it jumps back to the
// decoding step that was running, which then answers false. The steps below keep no C++
// object of their own alive across the jump.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    int code;
};

[[noreturn]] void Fail(j_common_ptr c) {
    auto* e = reinterpret_cast<ErrorManager*>(c->err);
    e->code = c->err->msg_code;
    std::longjmp(e->jump, 1);
}

// A file that ends early is broken: the decoder would make up the rest in grey. Other
// warnings (stray bytes between markers, common in camera files) leave the picture usable.
void Warn(j_common_ptr c, int level) {
    if (level < 0 && c->err->msg_code == JWRN_JPEG_EOF) Fail(c);
}

void Quiet(j_common_ptr) {}

class Decompressor {
public:
    Decompressor() {
        info.err = jpeg_std_error(&err.base);
        err.base.error_exit = Fail;
        err.base.emit_message = Warn;
        err.base.output_message = Quiet;
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    // Safe on a half-made decompressor too: it only releases what its memory manager holds.
    ~Decompressor() { jpeg_destroy_decompress(&info); }

    Status Failure() const {
        return err.code == JERR_OUT_OF_MEMORY || err.code == JERR_NO_BACKING_STORE
                   ? Status::NoMemory
                   : Status::Broken;
    }
    bool Cmyk() const { return info.out_color_space == JCS_CMYK; }

    ErrorManager err{};
    jpeg_decompress_struct info{};
};

bool ReadHeader(Decompressor& d, const uint8_t* data, size_t size) {
    if (setjmp(d.err.jump)) return false;
    jpeg_create_decompress(&d.info);
    d.info.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d.info, TRUE);
    return true;
}

// Output at eighths/8 of the size, as 8-bit R, G, B (CMYK pictures as they are stored).
bool SetOutput(Decompressor& d, int eighths) {
    if (setjmp(d.err.jump)) return false;
    const J_COLOR_SPACE in = d.info.jpeg_color_space;
    d.info.out_color_space = in == JCS_CMYK || in == JCS_YCCK ? JCS_CMYK : JCS_EXT_RGB;
    d.info.scale_num = static_cast<unsigned>(eighths);
    d.info.scale_denom = kEighths;
    jpeg_calc_output_dimensions(&d.info);
    return true;
}

// CMYK as Adobe's programs store it (inverted: 255 is no ink) or plainly.
void CmykToRgb(const uint8_t* cmyk, uint8_t* rgb, int width, bool inverted) {
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const int v = inverted ? cmyk[c] : 255 - cmyk[c];
            rgb[c] = static_cast<uint8_t>((v * k + 127) / 255);
        }
    }
}

// Sizes the decoder's buffers (failing where they would pass its bound) and, for a
// progressive file, reads all its scans: a file that fails here costs no output picture.
bool Start(Decompressor& d) {
    if (setjmp(d.err.jump)) return false;
    jpeg_start_decompress(&d.info);
    return true;
}

// The rows into pixels (width x 3 bytes each); scratch holds one CMYK row where needed.
bool ReadRows(Decompressor& d, uint8_t* pixels, uint8_t* scratch) {
    if (setjmp(d.err.jump)) return false;
    const size_t stride = static_cast<size_t>(d.info.output_width) * 3;
    while (d.info.output_scanline < d.info.output_height) {
        uint8_t* out = pixels + stride * d.info.output_scanline;
        JSAMPROW row = scratch ? scratch : out;
        if (jpeg_read_scanlines(&d.info, &row, 1) != 1) ERREXIT(&d.info, JERR_INPUT_EMPTY);
        if (scratch)
            CmykToRgb(scratch, out, static_cast<int>(d.info.output_width), d.info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

Decoded Failed(Status status) {
    Decoded d;
    d.status = status;
    return d;
}

// The picture at eighths/8 of its size; with `pixels` false only its size and depth.
Decoded Run(const uint8_t* data, size_t size, int side, bool pixels) {
    if (!LooksLikeJpeg(data, size)) return Failed(Status::Unsupported);
    Decompressor d;
    if (!ReadHeader(d, data, size)) return Failed(d.Failure());
    // Refused before the decoder sizes its buffers, which a reduced output does not shrink.
    if (pixels && uint64_t{d.info.image_width} * d.info.image_height > kMaxPixels)
        return Failed(Status::NoMemory);
    const int eighths = side > 0 ? ScaleEighths(static_cast<int>(d.info.image_width),
                                                static_cast<int>(d.info.image_height), side)
                                 : kEighths;
    if (!SetOutput(d, eighths)) return Failed(d.Failure());
    if (!pixels) {
        Decoded info{Status::Ok, {}};
        info.picture.width = static_cast<int>(d.info.image_width);
        info.picture.height = static_cast<int>(d.info.image_height);
        info.picture.bitsPerPixel = 24;
        return info;
    }
    if (!Start(d)) return Failed(d.Failure());
    return imaging::Guarded([&] {
        Picture pic =
            imaging::MakePicture(d.info.output_width, d.info.output_height, 24, kMaxPixels);
        std::vector<uint8_t> scratch(d.Cmyk() ? size_t{d.info.output_width} * 4 : 0);
        if (!ReadRows(d, pic.pixels.data(), scratch.empty() ? nullptr : scratch.data())) {
            if (d.Failure() == Status::NoMemory) throw std::bad_alloc();
            throw imaging::BrokenData();
        }
        return pic;
    });
}

} // namespace

bool LooksLikeJpeg(const uint8_t* data, size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

int ScaleEighths(int width, int height, int side) {
    const int64_t longer = std::max(width, height);
    for (int n = 1; n < kEighths; ++n)
        if ((longer * n + kEighths - 1) / kEighths >= side) return n;
    return kEighths;
}

Decoded Decode(const uint8_t* data, size_t size) {
    return Run(data, size, 0, true);
}

Decoded Describe(const uint8_t* data, size_t size) {
    return Run(data, size, 0, false);
}

bool ThumbnailServes(int thumbWidth, int thumbHeight, int width, int height, int side) {
    if (std::max(thumbWidth, thumbHeight) < side || thumbWidth <= 0 || thumbHeight <= 0)
        return false;
    // Scaled to the thumbnail's longer side, the picture's shorter side rounds to within a
    // pixel of the thumbnail's; a thumbnail padded to another shape fails this.
    const int64_t cross = int64_t{thumbWidth} * height - int64_t{thumbHeight} * width;
    return std::abs(cross) <= std::max(width, height);
}

Decoded DecodeReduced(const uint8_t* data, size_t size, int side) {
    side = std::max(side, 1);
    if (const auto thumb = ExifThumbnail(data, size)) {
        const Decoded whole = Describe(data, size), small = Describe(thumb->data, thumb->size);
        if (whole.status == Status::Ok && small.status == Status::Ok &&
            ThumbnailServes(small.picture.width, small.picture.height, whole.picture.width,
                            whole.picture.height, side)) {
            Decoded d = Run(thumb->data, thumb->size, side, true);
            if (d.status == Status::Ok) return d;
        }
    }
    return Run(data, size, side, true);
}

} // namespace tovn::jpeg
