// The program's own plug-ins beside it, found and used as the program finds and uses them,
// on the sample pictures.
#include <gtest/gtest.h>
#include <fstream>
#include "imaging/tests/samples.h"
#include "lzh/writer.h"
#include "picture/tests/test_support.h"

namespace tovn {
namespace {

namespace samples = imaging::samples;

std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

class RealPlugins : public ::testing::Test {
protected:
    void SetUp() override {
        host_.screenDepth = [this](HDC) { return depth_; };
        WindowDc screen(nullptr);
        ASSERT_TRUE(host_.LoadPlugins(screen.get()));
    }
    // Folder and bare name of a sample, as the browser holds them.
    static PictureSource SourceOf(const std::string& file, std::wstring& name) {
        const size_t slash = file.find('/');
        name = Widen(file.substr(slash + 1));
        return test::FolderSource(Widen(TOVN_TESTDATA_DIR "/pictures/" + file.substr(0, slash)) +
                                  L"\\");
    }
    int depth_ = 32;
    test::InFolder inBin_{Widen(TOVN_BIN_DIR)};
    PictureHost host_;
};

TEST_F(RealPlugins, DeclareTheirPatterns) {
    for (const wchar_t* pattern : {L"*.MAG;*.MKI;", L"*.PI;", L"*.PIC;"})
        EXPECT_NE(host_.PluginMask().find(pattern), std::wstring::npos) << pattern;
}

TEST_F(RealPlugins, DecodeEverySampleWithItsPlacementAndColours) {
    test::CountingDialogs dialogs;
    for (const samples::Expected& e : samples::kAll) {
        SCOPED_TRACE(e.file);
        std::wstring name;
        const PictureSource source = SourceOf(e.file, name);
        const LoadedPicture loaded = host_.LoadPicture(name, lpEdit, source);
        ASSERT_TRUE(loaded.ok);
        const Picture& picture = loaded.picture;
        ASSERT_EQ(picture.Width(), e.width);
        ASSERT_EQ(picture.Height(), e.height);
        EXPECT_EQ(loaded.info.left, e.left);
        EXPECT_EQ(loaded.info.top, e.top);
        EXPECT_EQ(loaded.colorCount, dib::ColorCountFor(e.bitsPerPixel));
        for (int y = 0; y < e.height; y += (e.height > 8 ? 7 : 1))
            for (int x = 0; x < e.width; x += (e.width > 16 ? 13 : 1)) {
                const int v = e.pixel(x, y);
                const COLORREF want = e.color ? RGB(e.color(v).r, e.color(v).g, e.color(v).b)
                                              : RGB(v >> 16, v >> 8 & 255, v & 255);
                ASSERT_EQ(test::PixelOf(picture, x, y), want) << x << "," << y;
            }
        // Up to 256 colours the editor gets the picture's own palette.
        const auto entries = test::EntriesOf(picture.Palette());
        if (!e.color) {
            EXPECT_TRUE(entries.empty());
            continue;
        }
        ASSERT_EQ(entries.size(), size_t(1) << e.bitsPerPixel);
        const imaging::Rgb last = e.color(int(entries.size()) - 1);
        EXPECT_EQ(RGB(entries.back().peRed, entries.back().peGreen, entries.back().peBlue),
                  RGB(last.r, last.g, last.b));
    }
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(RealPlugins, QueryPictureInfoReadsTheHeaderOnly) {
    std::wstring name;
    const PictureSource source = SourceOf("mag/S256PART.MAG", name);
    PictureInfo info{};
    ASSERT_TRUE(host_.QueryPictureInfo(name, source, info));
    EXPECT_EQ(info.left, 6);
    EXPECT_EQ(info.width, 8);
    EXPECT_EQ(info.colorDepth, 8);
    EXPECT_EQ(host_.DecodeCount(), 0);
}

// Thumbnails of JPEG pictures are decoded reduced to the cell; every other purpose, and a
// plug-in without previews (IFMAG's answers "not implemented"), decodes the whole picture.
// The largest side allowed still applies to the picture's real size.
TEST_F(RealPlugins, ThumbnailsTakeReducedPreviewsWhereThePluginHasThem) {
    test::ScratchFolder folder;
    std::ifstream jpeg(TOVN_SOURCE_DIR "/outside/ifjpeg/tests/data/grad.jpg", std::ios::binary);
    folder.Write(L"GRAD.JPG", {std::istreambuf_iterator<char>(jpeg), {}});
    folder.Write(L"S16FULL.MAG", samples::Load("mag/S16FULL.MAG"));
    const PictureSource source = test::FolderSource(folder.Path());
    host_.SetPreviewSide(100);
    struct Case {
        const wchar_t* name;
        LoadPurpose purpose;
        int width;
    } cases[] = {{L"GRAD.JPG", lpThumbnail, 100},
                 {L"GRAD.JPG", lpSlide, 800},
                 {L"GRAD.JPG", lpEdit, 800},
                 {L"GRAD.JPG", lpConvert, 800},
                 {L"S16FULL.MAG", lpThumbnail, samples::kAll[0].width}};
    for (const Case& c : cases) {
        const LoadedPicture loaded = host_.LoadPicture(c.name, c.purpose, source);
        ASSERT_TRUE(loaded.ok) << c.purpose;
        EXPECT_EQ(loaded.picture.Width(), c.width) << c.purpose;
    }
    test::CountingDialogs dialogs;
    host_.SetMaxPictureSide(799);
    const LoadedPicture refused = host_.LoadPicture(L"GRAD.JPG", lpThumbnail, source);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.info.width, 800);
    EXPECT_TRUE(dialogs.events.empty()); // the caller reports it
}

TEST_F(RealPlugins, ADamagedPictureTakesTheFailurePath) {
    test::ScratchFolder folder;
    auto bytes = samples::Load("mag/S16FULL.MAG");
    ASSERT_GT(bytes.size(), 64u);
    bytes.resize(bytes.size() / 2);
    folder.Write(L"HALF.MAG", bytes);
    test::CountingDialogs dialogs;
    const LoadedPicture loaded =
        host_.LoadPicture(L"HALF.MAG", lpThumbnail, test::FolderSource(folder.Path()));
    EXPECT_FALSE(loaded.ok);
    EXPECT_TRUE(dialogs.events.empty());
    EXPECT_TRUE(test::IsPlaceholder(loaded.picture));
}

TEST_F(RealPlugins, ArchiveEntriesAreReadIntoMemoryThroughTheArchivePlugin) {
    ASSERT_TRUE(host_.LhaPluginLoaded());
    test::ScratchFolder folder;
    lzh::ArchiveBuilder builder;
    const auto mag = samples::Load("mag/S16FULL.MAG");
    ASSERT_LT(mag.size(), 2048u); // shorter than the head plug-ins look at
    ASSERT_TRUE(builder.AddFile("S16FULL.MAG", mag, 0, 0x20));
    ASSERT_TRUE(builder.AddFile("sub/PHOTO.BMP", test::BmpFile(7, 5, 24), 0, 0x20));
    ASSERT_TRUE(builder.AddFile("BROKEN.MAG", {'M', 'A', 'K', 'I'}, 0, 0x20));
    folder.Write(L"PICS.LZH", builder.Finish());
    PictureSource source = test::FolderSource(folder.Path());
    source.lhaMode = true;
    source.archiveName = L"PICS.LZH";

    test::CountingDialogs dialogs;
    LoadedPicture loaded = host_.LoadPicture(L"S16FULL.MAG", lpEdit, source);
    ASSERT_TRUE(loaded.ok);
    const samples::Expected& e = samples::kAll[0];
    EXPECT_EQ(loaded.picture.Width(), e.width);
    const imaging::Rgb c = e.color(e.pixel(5, 2));
    EXPECT_EQ(test::PixelOf(loaded.picture, 5, 2), RGB(c.r, c.g, c.b));
    EXPECT_EQ(test::EntriesOf(loaded.picture.Palette()).size(), 16u);
    // Entry names are matched without regard to case.
    loaded = host_.LoadPicture(L"sub\\photo.bmp", lpThumbnail, source);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(test::PixelOf(loaded.picture, 6, 4), RGB(6, 4, 200));
    PictureInfo info{};
    ASSERT_TRUE(host_.QueryPictureInfo(L"S16FULL.MAG", source, info));
    EXPECT_EQ(info.width, 16);
    EXPECT_EQ(dialogs.beeps, 0);

    for (const wchar_t* name : {L"BROKEN.MAG", L"ABSENT.MAG", L"ABSENT.BMP"}) {
        loaded = host_.LoadPicture(name, lpThumbnail, source);
        EXPECT_FALSE(loaded.ok) << name;
        EXPECT_TRUE(test::IsPlaceholder(loaded.picture)) << name;
        EXPECT_FALSE(host_.QueryPictureInfo(name, source, info)) << name;
    }
    EXPECT_TRUE(dialogs.events.empty());
}

// Folders the ANSI code page cannot spell ("é" best-fits to "e", "한" not at all), beside a
// decoy that the best-fitted name would reach and that is locked against every reader.
TEST_F(RealPlugins, PathsTheCodePageCannotSpellNeverReachABestFittedName) {
    test::ScratchFolder root;
    const auto right = samples::Load("mag/S16FULL.MAG");  // 16 x 4
    const auto decoy = samples::Load("mag/S256FULL.MAG"); // 8 x 2
    auto archiveOf = [](const std::vector<uint8_t>& mag) {
        lzh::ArchiveBuilder builder;
        EXPECT_TRUE(builder.AddFile("Q.MAG", mag, 0, 0x20));
        return builder.Finish();
    };
    auto place = [&](const std::wstring& dir, const std::vector<uint8_t>& mag) {
        ASSERT_TRUE(::CreateDirectoryW(root.File(dir).c_str(), nullptr));
        root.Write(dir + L"\\Q.MAG", mag);
        root.Write(dir + L"\\PICS.LZH", archiveOf(mag));
    };
    place(L"cafe", decoy);
    const std::wstring folders[] = {L"café", L"한"};
    for (const std::wstring& dir : folders) place(dir, right);
    auto lock = [&](const wchar_t* name) {
        return UniqueFile(::CreateFileW(root.File(std::wstring(L"cafe\\") + name).c_str(),
                                        GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    };
    const UniqueFile lockedPicture = lock(L"Q.MAG"), lockedArchive = lock(L"PICS.LZH");
    ASSERT_TRUE(lockedPicture && lockedArchive);

    test::CountingDialogs dialogs;
    for (bool shortNames : {true, false}) {
        if (!shortNames) host_.shortPath = [](const std::wstring&) { return std::wstring(); };
        for (const std::wstring& dir : folders)
            for (bool archived : {false, true}) {
                SCOPED_TRACE(testing::Message() << "short names " << shortNames << ", archive "
                                                << archived << ", folder " << dir.size());
                PictureSource source = test::FolderSource(root.File(dir) + L"\\");
                source.lhaMode = archived;
                source.archiveName = L"PICS.LZH";
                const LoadedPicture loaded = host_.LoadPicture(L"Q.MAG", lpEdit, source);
                ASSERT_TRUE(loaded.ok);
                EXPECT_EQ(loaded.picture.Width(), 16);
                PictureInfo info{};
                ASSERT_TRUE(host_.QueryPictureInfo(L"Q.MAG", source, info));
                EXPECT_EQ(info.height, 4);
            }
    }
    EXPECT_EQ(dialogs.beeps, 0);
}

} // namespace
} // namespace tovn
