// What the editor's end-to-end script needs from the Windows side:
//   edit_probe make FILE.MAG              a 640 x 400 picture of 16-colour blocks
//   edit_probe origin                     the editor window's client origin on the screen
//   edit_probe check ORIGINAL EDITED SX SY EX EY GYOUKAN FILL TEXT [LINE...]
//       exit 0 when EDITED holds ORIGINAL with the fill (palette entry FILL, -1: none) and
//       the text lines (entry TEXT, -1: none) drawn over the rectangle
//   edit_probe pack ARCHIVE FILE          adds FILE to ARCHIVE through UNLHA32.DLL
#include "editor/tests/reference.h"
#include "editor/tests/test_pictures.h"
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace tovn;

namespace {

// The decoded picture as an 8-bit DIB section with its palette.
struct PaletteBitmap {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
};

PaletteBitmap MakeBitmap(const imaging::Picture& p) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } info{};
    info.h.biSize = sizeof info.h;
    info.h.biWidth = p.width;
    info.h.biHeight = -p.height;
    info.h.biPlanes = 1;
    info.h.biBitCount = 8;
    std::vector<uint8_t> log(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(log.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(p.palette.size());
    for (size_t i = 0; i < p.palette.size(); ++i) {
        info.colours[i] = {p.palette[i].b, p.palette[i].g, p.palette[i].r, 0};
        lp->palPalEntry[i] = {p.palette[i].r, p.palette[i].g, p.palette[i].b, 0};
    }
    info.h.biClrUsed = static_cast<DWORD>(p.palette.size());
    void* bits = nullptr;
    PaletteBitmap out;
    out.bitmap = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
    const size_t stride = (static_cast<size_t>(p.width) + 3) & ~size_t(3);
    for (int y = 0; y < p.height; ++y)
        std::memcpy(static_cast<uint8_t*>(bits) + y * stride, &p.pixels[size_t(y) * p.width],
                    size_t(p.width));
    out.palette = ::CreatePalette(lp);
    return out;
}

int Check(int argc, char** argv) {
    if (argc < 11) return 2;
    imaging::Decoded original = test::DecodeMagFile(argv[2]);
    std::vector<uint32_t> edited = test::MagPixels(argv[3]);
    if (original.status != imaging::Status::Ok || edited.empty()) {
        std::fprintf(stderr, "cannot decode the pictures\n");
        return 1;
    }
    EditSettings s;
    s.StartX = std::atoi(argv[4]), s.StartY = std::atoi(argv[5]);
    s.EndX = std::atoi(argv[6]), s.EndY = std::atoi(argv[7]), s.Gyoukan = std::atoi(argv[8]);
    const int fill = std::atoi(argv[9]), text = std::atoi(argv[10]);
    s.bNuri = fill < 0, s.Nuri = static_cast<int32_t>(PALETTEINDEX(fill));
    s.bMozi = text < 0, s.Mozi = static_cast<int32_t>(PALETTEINDEX(text));
    std::vector<std::wstring> lines;
    for (int i = 11; i < argc; ++i)
        lines.push_back(std::wstring(argv[i], argv[i] + std::strlen(argv[i])));
    PaletteBitmap ref = MakeBitmap(original.picture);
    test::DrawReferenceOverlay(ref.bitmap, ref.palette, s, lines);
    std::vector<uint32_t> want =
        test::PixelsOf(ref.bitmap, original.picture.width, original.picture.height);
    if (want.size() != edited.size()) {
        std::fprintf(stderr, "sizes differ\n");
        return 1;
    }
    size_t differing = 0;
    for (size_t i = 0; i < want.size(); ++i) differing += want[i] != edited[i];
    size_t changed = 0;
    std::vector<uint32_t> before = test::PixelsOfPicture(original.picture);
    for (size_t i = 0; i < want.size(); ++i) changed += want[i] != before[i];
    std::printf("%zu pixels differ from the reference; the edit changed %zu\n", differing, changed);
    return differing == 0 && changed > 0 ? 0 : 1;
}

int Origin() {
    HWND editor = ::FindWindowW(L"TfrmEdit", nullptr);
    if (!editor) return 1;
    POINT p{0, 0};
    ::ClientToScreen(editor, &p);
    std::printf("%ld %ld\n", p.x, p.y);
    return 0;
}

int Pack(const char* archive, const char* file) {
    HMODULE lib = ::LoadLibraryW(L"UNLHA32.DLL");
    auto unlha = reinterpret_cast<int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD)>(
        reinterpret_cast<void (*)()>(::GetProcAddress(lib, "Unlha")));
    if (!unlha) return 1;
    char output[1025] = {};
    std::string line = std::string("a -n -+ \"") + archive + "\" \"" + file + "\"";
    return unlha(nullptr, line.c_str(), output, sizeof output) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "make" && argc == 3)
        return test::WriteMagFile(argv[2], test::BlockPicture(640, 400)) ? 0 : 1;
    if (what == "origin") return Origin();
    if (what == "check") return Check(argc, argv);
    if (what == "pack" && argc == 4) return Pack(argv[2], argv[3]);
    std::fprintf(stderr, "usage: edit_probe make|origin|check|pack ...\n");
    return 2;
}
