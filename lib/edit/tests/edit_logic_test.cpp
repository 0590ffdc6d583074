#include "edit/edit_logic.h"
#include <gtest/gtest.h>
#include <array>
#include <map>
#include <set>

using namespace tovn;

TEST(EditSettings, DefaultsWhenKeysAreMissingAndStoredValuesOtherwise) {
    std::map<std::wstring, long long> ini{{L"EndY", 399}, {L"Mozi", 0x01000007}, {L"bAmi", 0}};
    EditSettings s = EditSettingsFrom([&](const wchar_t* key, long long& v) {
        auto it = ini.find(key);
        if (it == ini.end()) return false;
        v = it->second;
        return true;
    });
    EXPECT_EQ(s.StartX, 48);
    EXPECT_EQ(s.StartY, 302);
    EXPECT_EQ(s.EndX, 591);
    EXPECT_EQ(s.EndY, 399);
    EXPECT_EQ(s.Gyoukan, 4);
    EXPECT_EQ(s.Nuri, 1);
    EXPECT_EQ(s.Mozi, 0x01000007);
    EXPECT_FALSE(s.bAmi);
    EXPECT_TRUE(s.bNuri && s.bMozi && s.bKage && s.bHanni);
}

TEST(EditSettings, AllFourteenKeysRoundTripInOrder) {
    EditSettings s;
    s.StartX = 8, s.Kage = 0x00FF00, s.bKage = false, s.bHanni = false;
    auto entries = EditSettingsEntries(s);
    ASSERT_EQ(entries.size(), 14u);
    EXPECT_STREQ(entries.front().first, L"StartX");
    EXPECT_STREQ(entries.back().first, L"bHanni");
    std::map<std::wstring, long long> ini(entries.begin(), entries.end());
    EditSettings back = EditSettingsFrom([&](const wchar_t* key, long long& v) {
        v = ini.at(key);
        return true;
    });
    EXPECT_EQ(EditSettingsEntries(back), entries);
}

TEST(EditSettings, ARectangleTooLargeForThePictureBecomesTheProportionalDefault) {
    EditSettings s; // 48,302 - 591,375
    FitTextRect(s, 640, 400);
    EXPECT_EQ(s.EndX, 591); // fits: unchanged
    FitTextRect(s, 320, 200);
    EXPECT_EQ(s.StartX, 32);
    EXPECT_EQ(s.StartY, 100);
    EXPECT_EQ(s.EndX, 288);
    EXPECT_EQ(s.EndY, 180);
    EditSettings t;
    t.EndY = 401; // one dimension too large is enough; fractions are cut off
    FitTextRect(t, 639, 401 - 1);
    EXPECT_EQ(t.StartX, 63);
    EXPECT_EQ(t.EndX, 575);
    EXPECT_EQ(t.EndY, 360);
}

TEST(EditSettings, StoredRectanglesAndSpacingComeInTheirRanges) {
    struct Case {
        long long stored;
        int x, gyoukan;
    };
    const long long big = 2000000000;
    for (const Case& c :
         {Case{-20000000, 0, 0}, Case{-big, 0, 0}, Case{big, kMaxCoordinate, 100},
          Case{4294967296 + 17, kMaxCoordinate, 100}, Case{101, 101, 100}, Case{-1, 0, 0}}) {
        EditSettings s = EditSettingsFrom([&](const wchar_t* key, long long& v) {
            v = c.stored;
            return std::wstring(key) != L"EndX"; // the default end, 591, after any start
        });
        EXPECT_EQ(s.StartX, c.x) << c.stored;
        EXPECT_EQ(s.StartY, c.x) << c.stored;
        EXPECT_EQ(s.EndY, c.x) << c.stored;
        EXPECT_EQ(s.Gyoukan, c.gyoukan) << c.stored;
    }
    EXPECT_EQ(SnapEndX(kMaxCoordinate), kMaxCoordinate); // snapping stays in range
}

TEST(EditSettings, ARectangleOutsideThePictureOrInvertedBecomesTheProportionalDefault) {
    for (auto [sx, sy, ex, ey] : {std::array<int, 4>{-20000000, 302, 591, 375},
                                  {48, -1, 591, 375},
                                  {300, 302, 48, 375},
                                  {48, 380, 591, 375},
                                  {0, 0, 641, 400}}) {
        EditSettings s;
        s.StartX = sx, s.StartY = sy, s.EndX = ex, s.EndY = ey;
        FitTextRect(s, 640, 400);
        EXPECT_EQ((std::array<int, 4>{s.StartX, s.StartY, s.EndX, s.EndY}),
                  (std::array<int, 4>{64, 200, 576, 360}))
            << sx << "," << sy << "-" << ex << "," << ey;
    }
    EditSettings whole;
    whole.StartX = 0, whole.StartY = 0, whole.EndX = 640, whole.EndY = 400; // edges included
    FitTextRect(whole, 640, 400);
    EXPECT_EQ(whole.StartX, 0);
    EXPECT_EQ(whole.EndY, 400);
}

TEST(RangeSelection, SnapsToEightPixelColumnsAndKeepsAMinimumHeight) {
    DragRect r = StartDrag(50, 300);
    EXPECT_EQ(r.startX, 48);
    EXPECT_EQ(r.endX, 46);
    EXPECT_EQ(r.endY, 298);
    DragTo(r, 50, 300, 640, 400); // a click without moving: 8 wide, 22 high
    EXPECT_EQ(r.endX, 55);
    EXPECT_EQ(r.endY, 321);
    DragTo(r, 10, 5, 640, 400); // up and to the left of the start
    EXPECT_EQ(r.endX, 55);
    EXPECT_EQ(r.endY, 321);
    DragTo(r, 590, 380, 640, 400);
    EXPECT_EQ(r.endX, 591);
    EXPECT_EQ(r.endY, 380);
    DragTo(r, 900, 900, 640, 400); // clipped to the picture first
    EXPECT_EQ(r.endX, 639);
    EXPECT_EQ(r.endY, 399);
    EXPECT_EQ(SnapStartX(50), 48);
    EXPECT_EQ(SnapEndX(590), 591);
    EXPECT_EQ(SnapEndX(591), 591); // already the last pixel of its column
    EXPECT_EQ(SnapEndX(592), 599);
}

TEST(RangeSelection, CaptionsPadEachNumberToThreePlaces) {
    EXPECT_EQ(StartCaption(48, 300), L"( 48,300)-");
    EXPECT_EQ(RangeCaption(48, 302, 591, 375), L"( 48,302)-(591,375)");
    EXPECT_EQ(RangeCaption(0, 5, 1024, 7), L"(  0,  5)-(1024,  7)");
}

// Every rectangle, also one reaching far outside the 64 x 48 picture, colours exactly the
// chequer of its own corner on the pixels it shares with the picture, and nothing else.
TEST(Mesh, LinesColourExactlyTheChequerOfTheRectangleInsideThePicture) {
    constexpr int W = 64, H = 48;
    const int big = 2000000000;
    for (auto [sx, sy, ex, ey] : {std::array<int, 4>{3, 5, 20, 11},
                                  {0, 0, 7, 30},
                                  {10, 10, 11, 11},
                                  {-20000000, 3, 591, 40},
                                  {-big, -big, big, big},
                                  {-3, -8, 9, 9},
                                  {50, 40, 300, 300},
                                  {70, 0, 90, 10},
                                  {20, 10, 5, 30}}) {
        std::set<std::pair<int, int>> drawn;
        const std::vector<Segment> lines = MeshLines(sx, sy, ex, ey, W, H);
        ASSERT_LE(lines.size(), size_t{W + H});
        for (const Segment& s : lines) {
            ASSERT_EQ(s.x1 - s.x0, s.y1 - s.y0); // 45 degrees, down and right
            for (int k = 0; k < s.x1 - s.x0; ++k) drawn.insert({s.x0 + k, s.y0 + k});
        }
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const bool inside = x >= sx && x < ex && y >= sy && y < ey;
                const bool even = ((static_cast<long long>(x) - sx) + (y - sy)) % 2 == 0;
                EXPECT_EQ(drawn.count({x, y}) == 1, inside && even) << x << "," << y;
            }
        for (auto [x, y] : drawn) EXPECT_TRUE(x >= 0 && x < W && y >= 0 && y < H);
    }
    EXPECT_TRUE(MeshPixel(5, 3, 3, 5) && !MeshPixel(4, 3, 3, 5));
}

TEST(TextLines, AdvanceTwelvePixelsPlusTheLineSpacing) {
    EXPECT_EQ(LineTop(0, 302, 4), 302);
    EXPECT_EQ(LineTop(1, 302, 4), 318);
    EXPECT_EQ(LineTop(5, 302, 0), 362);
}

namespace {
ConvertPlaces Places(const std::wstring& folder, const std::wstring& program,
                     const std::wstring& base) {
    return {{BatchFolder(folder)},
            {program + L"MG"},
            {base + L".BMP"},
            {folder + base + L".BAK"},
            {folder + base + L".BMP"}};
}
} // namespace

TEST(ConvertBatch, SixLinesForAPictureInAFolder) {
    EXPECT_EQ(BaseBeforeFirstDot(L"A.B.MAG"), L"A");
    auto lines = ConvertBatchLines(Places(L"C:\\PIC\\", L"C:\\TOVN\\", L"A"));
    std::vector<std::wstring> want{L"C:",
                                   L"CD /D C:\\PIC",
                                   L"IF ERRORLEVEL 1 GOTO :EOF",
                                   L"C:\\TOVN\\MG .MAG A.BMP",
                                   L"DEL C:\\PIC\\A.BAK",
                                   L"DEL C:\\PIC\\A.BMP"};
    EXPECT_EQ(lines, want);
}

TEST(ConvertBatch, ARootFolderHasNoCdLineAndSpecialNamesAreQuoted) {
    auto root = ConvertBatchLines(Places(L"D:", L"C:\\TOVN\\", L"X"));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->size(), 5u);
    EXPECT_EQ((*root)[0], L"D:");
    auto blanks = ConvertBatchLines(Places(L"C:\\MY PICS\\", L"C:\\Program Files\\T\\", L"A&B"));
    ASSERT_TRUE(blanks);
    EXPECT_EQ((*blanks)[1], L"CD /D \"C:\\MY PICS\"");
    EXPECT_EQ((*blanks)[3], L"\"C:\\Program Files\\T\\MG\" .MAG \"A&B.BMP\"");
    EXPECT_EQ((*blanks)[5], L"DEL \"C:\\MY PICS\\A&B.BMP\"");
    // Quotes would not keep the interpreter from expanding "%" in a batch file.
    auto percent = ConvertBatchLines(Places(L"C:\\100%\\", L"C:\\TOVN\\", L"A"));
    ASSERT_TRUE(percent);
    EXPECT_EQ((*percent)[1], L"CD /D \"C:\\100%%\"");
    EXPECT_EQ((*percent)[4], L"DEL \"C:\\100%%\\A.BAK\"");
    ConvertPlaces unspelled = Places(L"C:\\PIC\\", L"C:\\TOVN\\", L"A");
    unspelled.bitmap = {};
    EXPECT_FALSE(ConvertBatchLines(unspelled));
}
