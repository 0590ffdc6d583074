// Loading pictures: BMP files read directly, everything else through the plug-ins, and the
// one failure path (the placeholder, false, told as a beep by whoever shows it) for every
// fault; the loader itself says nothing.
#include <gtest/gtest.h>
#include <random>
#include "picture/tests/test_support.h"

namespace tovn {
namespace {

using test::CountingDialogs;
using test::FxFile;
using test::PixelOf;

class PictureLoad : public ::testing::Test {
protected:
    void SetUp() override {
        plugins_ = folder_.PlacePlugins({"FXGOOD"});
        host_.screenDepth = [](HDC) { return 32; };
        WindowDc screen(nullptr);
        ASSERT_TRUE(host_.LoadPlugins(screen.get()));
        source_.currentDir = folder_.Path();
    }
    // Loads name as the program shows it; what the load gave stays in loaded_.
    bool Load(const std::wstring& name, LoadPurpose purpose = lpThumbnail) {
        loaded_ = host_.LoadPicture(name, purpose, source_);
        return loaded_.ok;
    }
    // A load that must fail: the placeholder, nothing said, a beep for the one who shows it.
    void ExpectFails(const std::wstring& name) {
        CountingDialogs dialogs;
        EXPECT_FALSE(Load(name)) << name;
        EXPECT_TRUE(dialogs.events.empty()) << name;
        EXPECT_EQ(loaded_.Outcome().say(), Say::Beep) << name;
        EXPECT_TRUE(test::IsPlaceholder(loaded_.picture)) << name;
    }
    test::ScratchFolder folder_;
    std::vector<std::string> plugins_;
    PictureHost host_;
    PictureSource source_;
    LoadedPicture loaded_;
};

TEST_F(PictureLoad, BmpFilesOfEveryDepthKeepTheirPixels) {
    CountingDialogs dialogs;
    for (int bits : {1, 4, 8, 24}) {
        folder_.Write(L"photo.bmp", test::BmpFile(7, 5, bits));
        ASSERT_TRUE(Load(L"photo.bmp")) << bits;
        const Picture& p = loaded_.picture;
        EXPECT_EQ(p.Width(), 7);
        EXPECT_EQ(p.Height(), 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const int i = (x + 2 * y) % (1 << (bits > 8 ? 1 : bits));
                const COLORREF want = bits == 24 ? RGB(x, y, 200) : RGB(i, 255 - i, 3 * i);
                ASSERT_EQ(PixelOf(p, x, y), want) << bits << " bits at " << x << "," << y;
            }
    }
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(host_.DecodeCount(), 4);
}

// An 8-bit BMP of 9 x 4 whose colour table holds 5 entries while its pixels index 0 to 9;
// top-down when asked.
std::vector<uint8_t> ShortTableBmp(bool topDown) {
    constexpr int kWidth = 9, kHeight = 4, kStride = 12, kTable = 5;
    std::vector<uint8_t> b(14 + 40 + 4 * kTable + kStride * kHeight, 0);
    b[0] = 'B';
    b[1] = 'M';
    test::PutLe32(b, 2, uint32_t(b.size()));
    test::PutLe32(b, 10, 14 + 40 + 4 * kTable);
    test::PutLe32(b, 14, 40);
    test::PutLe32(b, 18, kWidth);
    test::PutLe32(b, 22, uint32_t(topDown ? -kHeight : kHeight));
    b[26] = 1;
    b[28] = 8;
    test::PutLe32(b, 46, kTable);
    for (int i = 0; i < kTable; ++i) test::PutLe32(b, 54 + 4 * i, 0x102030u * (i + 1));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) b[54 + 4 * kTable + y * kStride + x] = uint8_t(x + y);
    return b;
}

// The bitmap read back at 32 bits by GDI, the 4th byte of each pixel cleared.
std::vector<uint32_t> ReadBack32(const Picture& p) {
    std::vector<uint32_t> out(size_t(p.Width()) * p.Height());
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = p.Width();
    header.bmiHeader.biHeight = -p.Height();
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    EXPECT_EQ(
        ::GetDIBits(dc.get(), p.Bitmap(), 0, UINT(p.Height()), out.data(), &header, DIB_RGB_COLORS),
        p.Height());
    for (uint32_t& v : out) v &= 0xFFFFFF;
    return out;
}

// Pixel loads convert the decoder's blocks themselves: they must give what the bitmap of a
// plain load reads back at 32 bits, whatever the depth, row order or colour table.
TEST_F(PictureLoad, PixelLoadsGiveWhatTheBitmapReadsBack) {
    const std::string dir = TOVN_TESTDATA_DIR "/pictures/bmp/";
    const std::wstring samples(dir.begin(), dir.end());
    std::vector<std::wstring> names;
    for (const wchar_t* name : {L"RLE8.BMP", L"ALPHA32.BMP", L"RGB565.BMP", L"ARGB4444.BMP"}) {
        ASSERT_TRUE(::CopyFileW((samples + name).c_str(), folder_.File(name).c_str(), FALSE));
        names.push_back(name);
    }
    for (int bits : {1, 4, 8, 24}) {
        names.push_back(L"d" + std::to_wstring(bits) + L".bmp");
        folder_.Write(names.back(), test::BmpFile(bits == 1 ? 13 : 7, 5, bits));
        names.push_back(L"f" + std::to_wstring(bits) + L".fxp");
        folder_.Write(names.back(), FxFile(11, 6, uint16_t(bits)));
    }
    for (bool topDown : {false, true}) {
        names.push_back(topDown ? L"down.bmp" : L"up.bmp");
        folder_.Write(names.back(), ShortTableBmp(topDown));
    }
    for (const std::wstring& name : names) {
        const std::string shown(name.begin(), name.end()); // the names are ASCII
        const LoadedPicture plain = host_.TryLoadPicture(name, lpThumbnail, source_);
        LoadedPicture pixels = host_.TryLoadPixels(name, source_);
        ASSERT_TRUE(plain.ok && pixels.ok) << shown;
        EXPECT_TRUE(pixels.picture.Empty());
        ASSERT_EQ(pixels.pixels.width, plain.picture.Width()) << shown;
        ASSERT_EQ(pixels.pixels.height, plain.picture.Height()) << shown;
        EXPECT_EQ(pixels.colorCount, plain.colorCount) << shown;
        for (uint32_t& v : pixels.pixels.data) v &= 0xFFFFFF;
        EXPECT_TRUE(pixels.pixels.data == ReadBack32(plain.picture)) << shown;
    }
}

TEST_F(PictureLoad, TheBmpRouteIsChosenByTheExtensionInUpperCase) {
    // A plug-in that accepts everything is never asked for .bmp files, readable or not.
    test::ScratchFolder folder;
    auto names = folder.PlacePlugins({"FXGREEDY"});
    PictureHost host;
    host.screenDepth = [](HDC) { return 32; };
    WindowDc screen(nullptr);
    ASSERT_TRUE(host.LoadPlugins(screen.get()));
    folder.Write(L"PHOTO.bmp", test::BmpFile(3, 3, 8));
    auto notBm = test::BmpFile(3, 3, 8);
    notBm[0] = 'X';
    folder.Write(L"dir.x.BmP", notBm);
    CountingDialogs dialogs;
    PictureSource source = test::FolderSource(folder.Path());
    EXPECT_TRUE(host.LoadPicture(L"PHOTO.bmp", lpSlide, source).ok);
    EXPECT_FALSE(host.LoadPicture(L"dir.x.BmP", lpSlide, source).ok);
    EXPECT_TRUE(dialogs.events.empty());
    EXPECT_EQ(test::FxProbe(names[0]).supportedCalls, 0);
}

TEST_F(PictureLoad, DamagedBmpFilesFailWithoutReadingPastTheirData) {
    auto good = test::BmpFile(6, 4, 8); // 14 + 40 + 1024 + 4 * 8 bytes
    auto with = [&](auto change) {
        auto b = good;
        change(b);
        return b;
    };
    struct Case {
        const wchar_t* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {L"empty.bmp", {}},
        {L"mark.bmp", with([](auto& b) { b[1] = 'N'; })},
        {L"header.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 30)},
        {L"pixels.bmp", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {L"offset.bmp", with([](auto& b) { test::PutLe32(b, 10, 0x7FFFFFF0); })},
        {L"imagepast.bmp", with([](auto& b) { test::PutLe32(b, 18, 4000); })}, // width
        {L"rowoverflow.bmp", with([](auto& b) {
             test::PutLe32(b, 18, 0x7FFFFFFF);
             b[28] = 32; // bits per pixel
         })},
        {L"tallrows.bmp", with([](auto& b) { test::PutLe32(b, 22, 0x40000000); })},
        {L"table.bmp", with([](auto& b) { test::PutLe32(b, 10, 14 + 40 + 64); })},
        {L"clrused.bmp", with([](auto& b) { test::PutLe32(b, 46, 257); })},
        {L"planes.bmp", with([](auto& b) { b[26] = 2; })},
        {L"zerowidth.bmp", with([](auto& b) { test::PutLe32(b, 18, 0); })},
    };
    for (const Case& c : cases) {
        folder_.Write(c.name, c.bytes);
        ExpectFails(c.name);
    }
    ExpectFails(L"missing.bmp");
}

TEST_F(PictureLoad, MutatedBmpFilesLoadOrFailCleanly) {
    std::mt19937 random(20261208);
    const std::vector<uint8_t> seeds[] = {test::BmpFile(9, 7, 4), test::BmpFile(5, 6, 24),
                                          test::BmpFile(3, 2, 8)};
    for (int round = 0; round < 600; ++round) {
        std::vector<uint8_t> b = seeds[round % 3];
        const int changes = 1 + int(random() % 4);
        for (int k = 0; k < changes; ++k) {
            // Mostly the headers, where the sizes are.
            const size_t at = random() % (random() % 2 ? 64 : b.size());
            b[at] = uint8_t(random());
        }
        if (random() % 4 == 0) b.resize(random() % b.size());
        folder_.Write(L"m.bmp", b);
        CountingDialogs dialogs;
        const bool ok = Load(L"m.bmp");
        ASSERT_TRUE(dialogs.events.empty()) << round;
        ASSERT_EQ(loaded_.Outcome().ok(), ok) << round;
        ASSERT_FALSE(loaded_.picture.Empty()) << round;
    }
}

TEST_F(PictureLoad, RunLengthMaskedAndAlphaBmpsShowAsTheirPlainForm) {
    const std::string dir = TOVN_TESTDATA_DIR "/pictures/bmp/";
    const std::wstring samples(dir.begin(), dir.end());
    for (const wchar_t* name : {L"RLE8.BMP", L"RLE8REF.BMP", L"ALPHA32.BMP", L"RGB565.BMP"})
        ASSERT_TRUE(::CopyFileW((samples + name).c_str(), folder_.File(name).c_str(), FALSE));
    CountingDialogs dialogs;
    ASSERT_TRUE(Load(L"RLE8REF.BMP", lpEdit));
    const LoadedPicture plain = std::move(loaded_);
    ASSERT_TRUE(Load(L"RLE8.BMP", lpEdit));
    EXPECT_EQ(loaded_.colorCount, 256);
    EXPECT_EQ(test::EntriesOf(loaded_.picture.Palette()).size(), 256u);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(PixelOf(loaded_.picture, x, y), PixelOf(plain.picture, x, y))
                << x << "," << y;
    // Transparent pixels over white, half-transparent red half way to it, opaque blue as is.
    ASSERT_TRUE(Load(L"ALPHA32.BMP"));
    EXPECT_EQ(PixelOf(loaded_.picture, 1, 20), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(loaded_.picture, 18, 11), RGB(255, 127, 127));
    EXPECT_EQ(PixelOf(loaded_.picture, 32, 20), RGB(0x20, 0x40, 0xFF));
    // The file's own depth decides the colours it counts.
    ASSERT_TRUE(Load(L"RGB565.BMP"));
    EXPECT_EQ(loaded_.colorCount, 1 << 16);
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(PictureLoad, PluginPicturesAndTheirPlacement) {
    folder_.Write(L"a.fxp", FxFile(6, 4, 8));
    CountingDialogs dialogs;
    ASSERT_TRUE(Load(L"a.fxp"));
    const Picture& p = loaded_.picture;
    EXPECT_EQ(p.Width(), 6);
    EXPECT_EQ(p.Height(), 4);
    // Fixture pixel (x, y) of the bottom-up block: index (x + 3 * row) of its table.
    const int i = (2 + 3 * 0) % 256;
    EXPECT_EQ(PixelOf(p, 2, 3), RGB(i, 255 - i, i / 2));
    EXPECT_EQ(loaded_.info.left, 7);
    EXPECT_EQ(loaded_.info.top, 9);
    EXPECT_EQ(loaded_.info.width, 6);
    EXPECT_EQ(loaded_.colorCount, 256);
    EXPECT_EQ(loaded_.paletteEntries, 256);
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(host_.DecodeCount(), 1);
}

TEST_F(PictureLoad, SidesUpTo3000PixelsLoad) {
    folder_.Write(L"max.fxp", FxFile(3000, 3000, 8));
    folder_.Write(L"wide.fxp", FxFile(3001, 10, 8));
    folder_.Write(L"high.fxp", FxFile(10, 3001, 8));
    CountingDialogs dialogs;
    EXPECT_TRUE(Load(L"max.fxp"));
    EXPECT_EQ(loaded_.picture.Width(), 3000);
    ExpectFails(L"wide.fxp");
    ExpectFails(L"high.fxp");
}

TEST_F(PictureLoad, TheLargestSideFollowsTheSetting) {
    folder_.Write(L"wide.fxp", FxFile(3001, 10, 8));
    folder_.Write(L"high.fxp", FxFile(10, 3001, 8));
    host_.SetMaxPictureSide(3001);
    EXPECT_TRUE(Load(L"wide.fxp"));
    EXPECT_TRUE(Load(L"high.fxp"));
    host_.SetMaxPictureSide(10);
    ExpectFails(L"wide.fxp");
    ExpectFails(L"high.fxp");
}

TEST_F(PictureLoad, BmpLoadsAndFailedSearchesCarryTheLastPluginPictureInformation) {
    folder_.Write(L"a.fxp", FxFile(5, 2, 4));
    folder_.Write(L"b.bmp", test::BmpFile(9, 9, 24));
    folder_.Write(L"c.unknown", {'?', '?'});
    ASSERT_TRUE(Load(L"a.fxp"));
    const PictureInfo before = loaded_.info;
    EXPECT_TRUE(Load(L"b.bmp"));
    EXPECT_EQ(loaded_.colorCount, 1 << 24);
    EXPECT_EQ(loaded_.info.width, before.width);
    ExpectFails(L"c.unknown");
    EXPECT_EQ(loaded_.colorCount, 1 << 24);
    EXPECT_EQ(loaded_.info.width, before.width);
    EXPECT_EQ(loaded_.info.height, before.height);
    EXPECT_EQ(loaded_.info.colorDepth, 4);
}

TEST_F(PictureLoad, PicturesDecodedAheadAreSilentAndCarryNothingOver) {
    folder_.Write(L"a.fxp", FxFile(5, 2, 4));
    folder_.Write(L"b.fxp", FxFile(8, 3, 8));
    folder_.Write(L"c.bmp", test::BmpFile(9, 9, 1));
    ASSERT_TRUE(Load(L"a.fxp"));
    CountingDialogs dialogs;
    const LoadedPicture ahead = host_.TryLoadPicture(L"b.fxp", lpThumbnail, source_);
    ASSERT_TRUE(ahead.ok);
    EXPECT_EQ(ahead.picture.Width(), 8);
    EXPECT_EQ(ahead.info.width, 8);
    EXPECT_EQ(ahead.colorCount, 256);
    const LoadedPicture failed = host_.TryLoadPicture(L"gone.fxp", lpThumbnail, source_);
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.picture.Empty());
    EXPECT_EQ(dialogs.beeps, 0);
    // The next shown BMP still carries what the last shown plug-in picture reported.
    ASSERT_TRUE(Load(L"c.bmp"));
    EXPECT_EQ(loaded_.info.width, 5);
    EXPECT_EQ(loaded_.info.colorDepth, 4);
    EXPECT_EQ(loaded_.colorCount, 2);
    EXPECT_EQ(host_.DecodeCount(), 3);
}

TEST_F(PictureLoad, PluginBlocksAreFreedOnceWhateverHappens) {
    struct Case {
        const wchar_t* name;
        uint8_t fault;
        bool loads;
    };
    const Case cases[] = {{L"fine.fxp", 0, true},
                          {L"shortbits.fxp", test::fxShortBits, false},
                          {L"shorttable.fxp", test::fxShortTable, false},
                          {L"fails.fxp", test::fxFailAfterAlloc, false},
                          {L"noinfo.fxp", test::fxInfoFails, false}};
    for (const Case& c : cases) {
        folder_.Write(c.name, FxFile(8, 8, 8, c.fault));
        CountingDialogs dialogs;
        EXPECT_EQ(Load(c.name), c.loads) << c.name;
        EXPECT_TRUE(dialogs.events.empty()) << c.name;
        test::FxProbe probe(plugins_[0]);
        ASSERT_NE(probe.lastInfo, nullptr);
        // A freed movable block is no longer a valid handle; freeing it twice would have
        // been refused the same way, and the heap must still be sound.
        EXPECT_EQ(::LocalFlags(probe.lastInfo), LMEM_INVALID_HANDLE) << c.name;
        EXPECT_EQ(::LocalFlags(probe.lastBits), LMEM_INVALID_HANDLE) << c.name;
        EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr)) << c.name;
    }
}

TEST_F(PictureLoad, CommentBlocksOfThePictureInfoAreFreed) {
    folder_.Write(L"note.fxp", FxFile(4, 4, 8, test::fxComment));
    ASSERT_TRUE(Load(L"note.fxp"));
    EXPECT_EQ(loaded_.info.hInfo, nullptr);
    PictureInfo info{};
    ASSERT_TRUE(host_.QueryPictureInfo(L"note.fxp", source_, info));
    EXPECT_EQ(info.hInfo, nullptr);
    EXPECT_EQ(::LocalFlags(test::FxProbe(plugins_[0]).lastInfo), LMEM_INVALID_HANDLE);
}

TEST_F(PictureLoad, AnAcceptingPluginThatFailsEndsTheSearch) {
    test::ScratchFolder folder;
    auto names = folder.PlacePlugins({"FXGREEDY", "FXGOOD"});
    PictureHost host;
    host.screenDepth = [](HDC) { return 32; };
    WindowDc screen(nullptr);
    ASSERT_TRUE(host.LoadPlugins(screen.get()));
    folder.Write(L"a.fxp", FxFile(4, 4, 8));
    CountingDialogs dialogs;
    PictureSource source = test::FolderSource(folder.Path());
    EXPECT_FALSE(host.LoadPicture(L"a.fxp", lpThumbnail, source).ok);
    EXPECT_TRUE(dialogs.events.empty());
    EXPECT_EQ(test::FxProbe(names[0]).pictureCalls, 1);
    EXPECT_EQ(test::FxProbe(names[1]).supportedCalls, 0);
}

TEST_F(PictureLoad, QueryPictureInfoAsksThePluginsWithoutDecoding) {
    folder_.Write(L"a.fxp", FxFile(12, 34, 4));
    folder_.Write(L"b.bmp", test::BmpFile(3, 3, 8));
    CountingDialogs dialogs;
    PictureInfo info{};
    ASSERT_TRUE(host_.QueryPictureInfo(L"a.fxp", source_, info));
    EXPECT_EQ(info.width, 12);
    EXPECT_EQ(info.height, 34);
    EXPECT_EQ(info.colorDepth, 4);
    EXPECT_FALSE(host_.QueryPictureInfo(L"b.bmp", source_, info));
    EXPECT_FALSE(host_.QueryPictureInfo(L"missing.fxp", source_, info));
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(host_.DecodeCount(), 0);
}

} // namespace
} // namespace tovn
