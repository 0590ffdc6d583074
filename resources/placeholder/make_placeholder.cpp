// Draws the placeholder picture shown for every picture that cannot be read: "Can't Read !!"
// in red italic underlined letters on white, 320 x 100 pixels, 8 bits per pixel, with the
// program's fixed 256-colour table (the 20 system colours around a 236-colour cube), and
// writes it as a BMP file.
//
// make_placeholder OUTPUT.BMP
#include <windows.h>
#include <cstdio>
#include <vector>
#include "win/handles.h"
#include "imaging/bmp.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 100;

using tovn::bmp::Rgb;

// The colours every 256-colour screen reserves: entries 0-9 and 246-255.
const Rgb kSystemLow[10] = {{0, 0, 0},       {128, 0, 0},    {0, 128, 0},   {128, 128, 0},
                            {0, 0, 128},     {128, 0, 128},  {0, 128, 128}, {192, 192, 192},
                            {192, 220, 192}, {166, 202, 240}};
const Rgb kSystemHigh[10] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
                             {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                             {0, 255, 255},   {255, 255, 255}};

bool IsSystemColour(const Rgb& c) {
    for (const Rgb* table : {kSystemLow, kSystemHigh})
        for (int i = 0; i < 10; ++i)
            if (table[i].r == c.r && table[i].g == c.g && table[i].b == c.b) return true;
    return false;
}

// 8 x 8 x 4 cube, red slowest and blue fastest. The cube colours the system colours already
// hold are not repeated, and of the rest the first 236 fill entries 10 to 245.
std::vector<Rgb> Palette() {
    static const uint8_t kRedGreen[8] = {0, 40, 80, 120, 160, 192, 224, 255};
    static const uint8_t kBlue[4] = {0, 96, 176, 255};
    std::vector<Rgb> palette(kSystemLow, kSystemLow + 10);
    for (uint8_t r : kRedGreen)
        for (uint8_t g : kRedGreen)
            for (uint8_t b : kBlue) {
                Rgb c{r, g, b};
                if (palette.size() < 246 && !IsSystemColour(c)) palette.push_back(c);
            }
    palette.insert(palette.end(), kSystemHigh, kSystemHigh + 10);
    return palette;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_placeholder OUTPUT.BMP\n");
        return 2;
    }
    const std::vector<Rgb> palette = Palette();
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof *header;
    header->biWidth = kWidth;
    header->biHeight = kHeight;
    header->biPlanes = 1;
    header->biBitCount = 8;
    header->biClrUsed = 256;
    auto* table = reinterpret_cast<RGBQUAD*>(header + 1);
    for (size_t i = 0; i < palette.size(); ++i)
        table[i] = RGBQUAD{palette[i].b, palette[i].g, palette[i].r, 0};

    void* bits = nullptr;
    tovn::UniqueBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()),
                                               DIB_RGB_COLORS, &bits, nullptr, 0));
    tovn::UniqueMemDc dc(CreateCompatibleDC(nullptr));
    // Whole pixels only: smoothing would bring in colours between red and white.
    tovn::UniqueFont font(CreateFontW(
        -48, 0, 0, 0, FW_BOLD, TRUE, TRUE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS PGothic"));
    tovn::UniqueBrush white(CreateSolidBrush(RGB(255, 255, 255)));
    if (!bitmap || !dc || !font || !white) return 1;
    {
        tovn::SelectIn selectBitmap(dc.get(), bitmap.get());
        tovn::SelectIn selectFont(dc.get(), font.get());
        RECT all{0, 0, kWidth, kHeight};
        FillRect(dc.get(), &all, white.get());
        SetBkMode(dc.get(), TRANSPARENT);
        SetTextColor(dc.get(), RGB(255, 0, 0));
        DrawTextW(dc.get(), L"Can't Read !!", -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        GdiFlush();
    }
    const size_t stride = (kWidth + 3) / 4 * 4;
    const std::vector<uint8_t> file = tovn::bmp::WriteBmpFile(
        kWidth, kHeight, 8, palette, static_cast<const uint8_t*>(bits), stride);

    FILE* out = _wfopen(argv[1], L"wb");
    if (!out || file.empty()) return 1;
    bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && ok ? 0 : 1;
}
