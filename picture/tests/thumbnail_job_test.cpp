// Thumbnails made on the decode workers: another maker's plug-in is called by one thread at
// a time while ours are called at once, and the lasting cache serves a picture seen before
// until its file changes, never keeping a picture that did not decode.
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include "imaging/area_reduce.h"
#include "picture/decode_pool.h"
#include "picture/thumbnail_job.h"
#include "picture/tests/test_support.h"
#include "support/test_folder.h"

namespace tovn {
namespace {

using test::FxFile;
using test::ScratchFolder;

bool LoadPlugins(PictureHost& host) {
    host.screenDepth = [](HDC) { return 32; };
    WindowDc screen(nullptr);
    return host.LoadPlugins(screen.get()).ok();
}

std::wstring Numbered(int i) {
    return L"p" + std::to_wstring(i) + L".fxp";
}

int MostInFlight(const std::string& module) {
    using Most = int(WINAPI*)();
    auto most = reinterpret_cast<Most>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA(module.c_str()), "FxMostInFlight")));
    return most ? most() : -1;
}

TEST(DecodeWorkers, OnlyPluginsThatSaySoAreCalledFromSeveralThreadsAtOnce) {
    constexpr int kPictures = 12;
    struct Case {
        const char* fixture;
        bool concurrent;
    };
    for (const Case& c : {Case{"FXSLOW", false}, Case{"FXCONC", true}}) {
        SCOPED_TRACE(c.fixture);
        ScratchFolder folder;
        const std::vector<std::string> names = folder.PlacePlugins({c.fixture});
        for (int i = 0; i < kPictures; ++i) folder.Write(Numbered(i), FxFile(40, 30, 8));
        PictureHost host;
        ASSERT_TRUE(LoadPlugins(host));
        const PictureSource source = test::FolderSource(folder.Path());
        std::atomic<int> ended{0}, decoded{0};
        {
            DecodePool pool(4);
            for (int i = 0; i < kPictures; ++i)
                pool.Submit([&, i] {
                    if (host.TryLoadPicture(Numbered(i), lpThumbnail, source).ok) ++decoded;
                    ++ended;
                });
            // The window's own loads go on meanwhile.
            for (int i = 0; i < 4; ++i)
                EXPECT_TRUE(host.LoadPicture(Numbered(i), lpSlide, source).ok);
            while (ended < kPictures) ::Sleep(1);
        }
        EXPECT_EQ(decoded, kPictures);
        if (c.concurrent)
            EXPECT_GT(MostInFlight(names[0]), 1) << "the record would not see an overlap";
        else
            EXPECT_EQ(MostInFlight(names[0]), 1);
    }
}

class CellThumbs : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.PlacePlugins({"FXGOOD"});
        ASSERT_TRUE(LoadPlugins(host_));
        request_.source = test::FolderSource(folder_.Path());
        request_.cellWidth = 97;
        request_.cellHeight = 67;
        request_.column = 1;
        request_.row = 2;
        cache_ = thumbcache::ThumbCache::Open(ToUtf8(folder_.File(L"Th.db")), 1 << 20);
        ASSERT_TRUE(cache_ && cache_->Usable());
    }
    static std::string ToUtf8(const std::wstring& text) {
        return std::string(text.begin(), text.end()); // the scratch path is ASCII
    }
    CellThumb Make(const std::wstring& name, int64_t written = 1, ThumbMemory* memory = nullptr) {
        request_.name = name;
        request_.keyed = true;
        request_.key = ThumbKey(request_.source, name, 100, written);
        return MakeCellThumb(host_, cache_.get(), request_, memory);
    }
    ScratchFolder folder_;
    PictureHost host_;
    ThumbRequest request_;
    std::unique_ptr<thumbcache::ThumbCache> cache_;
};

TEST_F(CellThumbs, PictureIsReducedIntoItsPlacedBoxByAreaAveraging) {
    folder_.Write(L"a.fxp", FxFile(300, 120, 24));
    const CellThumb thumb = Make(L"a.fxp");
    ASSERT_TRUE(thumb.report.ok);
    EXPECT_TRUE(thumb.decoded);
    const PictureBox box = FitPlacement(300, 120, 1, 2, 97, 67);
    EXPECT_EQ(thumb.box.x, box.x);
    EXPECT_EQ(thumb.box.y, box.y);
    ASSERT_EQ(thumb.Width(), box.w - 2);
    ASSERT_EQ(thumb.Height(), box.h - 2);
    // The reference: the whole picture loaded as the window loads it, then reduced.
    const LoadedPicture whole = host_.LoadPicture(L"a.fxp", lpSlide, request_.source);
    std::vector<uint32_t> pixels(300 * 120);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 300; ++x) {
            const COLORREF c = test::PixelOf(whole.picture, x, y);
            pixels[y * 300 + x] =
                uint32_t(GetBValue(c)) | uint32_t(GetGValue(c)) << 8 | uint32_t(GetRValue(c)) << 16;
        }
    std::vector<uint32_t> reduced(size_t(thumb.Width()) * thumb.Height());
    imaging::AreaReduce({pixels.data(), 300, 120, 300},
                        {reduced.data(), thumb.Width(), thumb.Height(), thumb.Width()});
    EXPECT_TRUE(reduced == thumb.Picture());
    EXPECT_EQ(thumb.report.info.width, 300);
    EXPECT_EQ(thumb.report.colorCount, 1 << 24);
}

// The cell as the grid shows it: a white edge, the fill inside, the picture in its box, and
// a box that passes the cell cut off at the cell's edge.
TEST_F(CellThumbs, TheCellIsComposedWithItsEdgeFillAndPicture) {
    folder_.Write(L"a.fxp", FxFile(300, 120, 24));
    request_.cellFill = 0x123456;
    const CellThumb thumb = Make(L"a.fxp");
    ASSERT_EQ(thumb.cellWidth, 97);
    ASSERT_EQ(thumb.cellHeight, 67);
    ASSERT_EQ(thumb.cell.size(), size_t(97) * 67);
    auto at = [&](int x, int y) { return thumb.cell[size_t(y) * 97 + x]; };
    for (int x = 0; x < 97; ++x) EXPECT_EQ(at(x, 0), 0xFFFFFFu) << x;
    for (int y = 0; y < 67; ++y) EXPECT_EQ(at(96, y), 0xFFFFFFu) << y;
    EXPECT_EQ(thumb.pictureX, thumb.box.x + 1 - 97);
    EXPECT_EQ(thumb.pictureY, thumb.box.y + 1 - 2 * 67);
    ASSERT_GT(thumb.pictureY, 1) << "a wide picture leaves fill above it";
    EXPECT_EQ(at(thumb.pictureX, thumb.pictureY - 1), 0x123456u);
    EXPECT_EQ(at(thumb.pictureX, thumb.pictureY), thumb.Picture()[0]);

    // A MAG screen of its own offset is placed by it and may pass the cell.
    CellThumb cut;
    cut.box.x = 97 + 60;
    cut.box.y = 2 * 67 + 40;
    cut.box.w = 80;
    cut.box.h = 50;
    ThumbRequest request = request_;
    std::vector<uint32_t> red(78 * 48, 0xFF0000);
    ComposeCell(cut, request, {red.data(), 78, 48, 78});
    EXPECT_EQ(cut.cell[size_t(41) * 97 + 61], 0xFF0000u);
    EXPECT_EQ(cut.cell[size_t(66) * 97 + 96], 0xFF0000u) << "the picture covers the edge it passes";
    EXPECT_EQ(cut.cell[size_t(40) * 97 + 61], 0x123456u);
    const std::vector<uint32_t> shown = cut.Picture();
    EXPECT_EQ(shown[0], 0xFF0000u);
    EXPECT_EQ(shown.back(), 0u) << "beyond the cell nothing is shown";
}

TEST_F(CellThumbs, CacheServesTheSameFileAndNotAChangedOne) {
    folder_.Write(L"a.fxp", FxFile(200, 100, 8));
    const CellThumb first = Make(L"a.fxp");
    ASSERT_TRUE(first.report.ok);
    const int decodes = host_.DecodeCount();
    const CellThumb again = Make(L"a.fxp");
    EXPECT_FALSE(again.decoded);
    EXPECT_EQ(host_.DecodeCount(), decodes);
    EXPECT_TRUE(again.cell == first.cell) << "a picture within the cache's side is kept whole";
    EXPECT_EQ(again.box.w, first.box.w);
    EXPECT_EQ(again.box.h, first.box.h);
    // What a decode reports comes back with it: the picture's offset, size and colours.
    EXPECT_EQ(again.report.info.left, 7);
    EXPECT_EQ(again.report.info.width, 200);
    EXPECT_EQ(again.report.colorCount, 256);
    EXPECT_TRUE(again.report.infoReported);
    const CellThumb changed = Make(L"a.fxp", 2);
    EXPECT_TRUE(changed.decoded);
    EXPECT_EQ(host_.DecodeCount(), decodes + 1);
}

// Cells of the size a picture was decoded for show it again from the form kept for them,
// exactly as decoded.
TEST_F(CellThumbs, TheSameCellsAreShownFromTheirFormAsDecoded) {
    test::WriteSmoothBmp(folder_.File(L"big.bmp"), 1200, 900);
    const CellThumb decoded = Make(L"big.bmp");
    ASSERT_TRUE(decoded.decoded);
    const CellThumb again = Make(L"big.bmp");
    ASSERT_FALSE(again.decoded);
    EXPECT_TRUE(again.cell == decoded.cell);
    EXPECT_EQ(again.report.info.width, 1200);
    EXPECT_EQ(again.box.w, decoded.box.w);
}

TEST_F(CellThumbs, LargePictureIsServedFromItsReducedCopyWithinTolerance) {
    test::WriteSmoothBmp(folder_.File(L"big.bmp"), 1200, 900);
    request_.cellWidth = request_.cellHeight = 200;
    ASSERT_TRUE(Make(L"big.bmp").decoded);
    // Cells of another size: reduced from the cache's copy, against a decode reduced at once.
    request_.cellWidth = request_.cellHeight = 190;
    const CellThumb cached = Make(L"big.bmp");
    ASSERT_FALSE(cached.decoded);
    request_.keyed = false;
    const CellThumb decoded = MakeCellThumb(host_, cache_.get(), request_);
    ASSERT_TRUE(decoded.decoded);
    ASSERT_EQ(cached.cell.size(), decoded.cell.size());
    // Two box filters one after the other against one: on smooth colours the means differ
    // by their rounding, at most 2 a channel.
    for (size_t i = 0; i < cached.cell.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const int a = int(cached.cell[i] >> shift & 0xFF);
            const int b = int(decoded.cell[i] >> shift & 0xFF);
            ASSERT_LE(std::abs(a - b), 2) << i << " " << shift;
        }
    // A cell larger than the cached copy decodes again.
    request_.cellWidth = request_.cellHeight = 400;
    EXPECT_TRUE(Make(L"big.bmp").decoded);
}

TEST_F(CellThumbs, PictureThatDoesNotDecodeIsNeverKept) {
    folder_.Write(L"bad.fxp", FxFile(20, 10, 8, test::fxShortBits));
    EXPECT_FALSE(Make(L"bad.fxp").report.ok);
    EXPECT_FALSE(cache_->Find(request_.key));
    const CellThumb again = Make(L"bad.fxp");
    EXPECT_FALSE(again.report.ok);
    EXPECT_TRUE(again.decoded);
}

TEST_F(CellThumbs, ALayoutChangeIsReducedFromMemoryWithoutTheLastingCache) {
    folder_.Write(L"a.fxp", FxFile(600, 400, 24));
    ThumbMemory memory(8 << 20);
    const CellThumb decoded = Make(L"a.fxp", 1, &memory);
    ASSERT_TRUE(decoded.decoded);
    EXPECT_GT(memory.Bytes(), 0u);
    // The lasting cache gone (a file another copy holds): memory still serves a new layout,
    // as the cache's own copy would.
    request_.cellWidth = 150;
    request_.cellHeight = 120;
    const CellThumb fromCache = Make(L"a.fxp");
    auto lasting = std::move(cache_);
    const int decodes = host_.DecodeCount();
    const CellThumb fromMemory = Make(L"a.fxp", 1, &memory);
    EXPECT_FALSE(fromMemory.decoded);
    EXPECT_EQ(host_.DecodeCount(), decodes);
    EXPECT_TRUE(fromMemory.cell == fromCache.cell);
    EXPECT_EQ(fromMemory.box.w, fromCache.box.w);
    EXPECT_EQ(fromMemory.report.info.width, 600);
    // A changed file is decoded again and replaces what memory held.
    EXPECT_TRUE(Make(L"a.fxp", 2, &memory).decoded);
    EXPECT_FALSE(Make(L"a.fxp", 2, &memory).decoded);
    EXPECT_TRUE(Make(L"a.fxp", 1, &memory).decoded);
}

TEST_F(CellThumbs, MemoryKeepsWhatWasDecodedAndIsBounded) {
    for (int i = 0; i < 3; ++i) folder_.Write(Numbered(i), FxFile(300, 200, 24));
    // Room for two thumbnails: the least recently used goes.
    const size_t one = 256 * 171 * sizeof(uint32_t);
    ThumbMemory memory(2 * one + 64);
    auto served = [&](int i) {
        request_.name = Numbered(i);
        request_.key = ThumbKey(request_.source, request_.name, 100, 1);
        return !MakeCellThumb(host_, nullptr, request_, &memory).decoded;
    };
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(Make(Numbered(i), 1, &memory).decoded) << i;
    EXPECT_TRUE(served(0));
    EXPECT_TRUE(Make(Numbered(2), 1, &memory).decoded);
    EXPECT_LE(memory.Bytes(), 2 * one + 64);
    EXPECT_TRUE(served(0));
    EXPECT_TRUE(served(2));
    EXPECT_FALSE(served(1)) << "the least recently used was dropped";
    // What the lasting cache gives is read from it again, not kept in memory as well.
    ThumbMemory other(2 * one + 64);
    EXPECT_FALSE(Make(Numbered(1), 1, &other).decoded);
    EXPECT_EQ(other.Bytes(), 0u);
}

} // namespace
} // namespace tovn
