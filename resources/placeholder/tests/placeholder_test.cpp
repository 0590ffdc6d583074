// The placeholder picture: drawn again by its generator it is the committed file, and the
// resource built from it is what failed loads show.
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <set>
#include "picture/picture_host.h"

namespace tovn {
namespace {

std::vector<char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

TEST(Placeholder, GeneratorRedrawsTheCommittedFile) {
    const std::wstring out = L"placeholder_again.bmp";
    std::wstring command = L"\"" TOVN_BIN_DIR_W L"/make_placeholder.exe\" " + out;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &si, &pi));
    UniqueKernel process(pi.hProcess), thread(pi.hThread);
    ASSERT_EQ(::WaitForSingleObject(process.get(), 60000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(process.get(), &code);
    ASSERT_EQ(code, 0u);
    auto again = ReadAll("placeholder_again.bmp");
    auto committed = ReadAll(TOVN_SOURCE_DIR "/resources/placeholder/Tovn32.bmp");
    ::DeleteFileW(out.c_str());
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(again == committed) << "regenerate resources/placeholder/Tovn32.bmp";
}

TEST(Placeholder, ResourceHasTheFixedColourTableAndRedTextOnWhite) {
    Picture picture;
    ASSERT_TRUE(LoadPlaceholder(picture));
    EXPECT_EQ(picture.Width(), 320);
    EXPECT_EQ(picture.Height(), 100);
    DIBSECTION ds{};
    ASSERT_EQ(::GetObjectW(picture.Bitmap(), sizeof ds, &ds), int(sizeof ds));
    ASSERT_EQ(ds.dsBm.bmBitsPixel, 8);

    std::vector<PALETTEENTRY> e(256);
    ASSERT_EQ(::GetPaletteEntries(picture.Palette(), 0, 256, e.data()), 256u);
    auto rgb = [&](int i) { return RGB(e[i].peRed, e[i].peGreen, e[i].peBlue); };
    EXPECT_EQ(rgb(0), RGB(0, 0, 0));
    EXPECT_EQ(rgb(7), RGB(192, 192, 192));
    EXPECT_EQ(rgb(8), RGB(192, 220, 192));
    EXPECT_EQ(rgb(9), RGB(166, 202, 240));
    EXPECT_EQ(rgb(246), RGB(255, 251, 240));
    EXPECT_EQ(rgb(248), RGB(128, 128, 128));
    EXPECT_EQ(rgb(249), RGB(255, 0, 0));
    EXPECT_EQ(rgb(255), RGB(255, 255, 255));
    const std::set<int> redGreen{0, 40, 80, 120, 160, 192, 224, 255}, blue{0, 96, 176, 255};
    std::set<COLORREF> all;
    for (int i = 0; i < 256; ++i) all.insert(rgb(i));
    EXPECT_EQ(all.size(), 256u); // no colour twice
    for (int i = 10; i < 246; ++i) {
        EXPECT_TRUE(redGreen.count(e[i].peRed) && redGreen.count(e[i].peGreen) &&
                    blue.count(e[i].peBlue))
            << i;
    }

    // Only white and red pixels, a fair share of red, and an underline: a long red run.
    const auto* bits = static_cast<const uint8_t*>(ds.dsBm.bmBits);
    int red = 0, longestRun = 0;
    for (int y = 0; y < 100; ++y) {
        int run = 0;
        for (int x = 0; x < 320; ++x) {
            const uint8_t index = bits[size_t(y) * ds.dsBm.bmWidthBytes + size_t(x)];
            ASSERT_TRUE(index == 249 || index == 255) << x << "," << y << ": " << int(index);
            run = index == 249 ? run + 1 : 0;
            red += index == 249;
            longestRun = std::max(longestRun, run);
        }
    }
    EXPECT_GT(red, 1500);
    EXPECT_GT(longestRun, 200);
}

} // namespace
} // namespace tovn
