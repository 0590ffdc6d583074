#include "partsave/part_save.h"
#include <gtest/gtest.h>
#include <array>

using namespace tovn;

TEST(PartSaveFile, MoreThanTwentyLinesRoundTripByteForByte) {
    std::string text;
    for (int i = 0; i < 23; ++i) text += i % 5 ? "N" + std::to_string(i) + ",1,2\r\n" : "\r\n";
    std::vector<std::string> lines = ParsePartSaveFile(text);
    ASSERT_EQ(lines.size(), 23u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[22], "N22,1,2");
    EXPECT_EQ(PartSaveFileText(lines), text);
}

TEST(PartSaveFile, AShortOrMissingFileIsFilledUpToTwentyEntries) {
    std::vector<std::string> lines = ParsePartSaveFile("A,1\r\nB,2\nC,3");
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[1], "B,2");
    EXPECT_EQ(lines[2], "C,3");
    EXPECT_EQ(lines[19], "");
    EXPECT_EQ(ParsePartSaveFile("").size(), 20u);
    EXPECT_EQ(PartSaveFileText({"x", ""}), "x\r\n\r\n");
}

TEST(PartEntry, FourteenFieldsSetEveryValueAndTheFlags) {
    EditSettings current;
    current.bHanni = false;
    auto e = ParsePartEntry("\x83\x65\x83\x58\x83\x67,8,16,103,60,2,255,16777217,-5,65280,1,0,7,0",
                            current);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name, "\x83\x65\x83\x58\x83\x67");
    const EditSettings& s = e->settings;
    EXPECT_EQ(s.StartX, 8);
    EXPECT_EQ(s.StartY, 16);
    EXPECT_EQ(s.EndX, 103);
    EXPECT_EQ(s.EndY, 60);
    EXPECT_EQ(s.Gyoukan, 2);
    EXPECT_EQ(s.Nuri, 255);
    EXPECT_EQ(s.Ami, 0x01000001);
    EXPECT_EQ(s.Mozi, -5);
    EXPECT_EQ(s.Kage, 65280);
    EXPECT_TRUE(s.bNuri);
    EXPECT_FALSE(s.bAmi);
    EXPECT_TRUE(s.bMozi); // any number other than 0
    EXPECT_FALSE(s.bKage);
    EXPECT_FALSE(s.bHanni); // not part of an entry
    EXPECT_EQ(FormatPartEntry(e->name, s),
              "\x83\x65\x83\x58\x83\x67,8,16,103,60,2,255,16777217,-5,65280,1,0,1,0");
}

TEST(PartEntry, TenFieldsDrawEveryLayer) {
    auto e = ParsePartEntry("T,0,0,63,21,4,1,2,3,4", EditSettings{});
    ASSERT_TRUE(e);
    EXPECT_EQ(e->settings.Kage, 4);
    EXPECT_FALSE(e->settings.bNuri || e->settings.bAmi || e->settings.bMozi || e->settings.bKage);
}

TEST(PartEntry, AnyBadFieldRefusesTheWholeEntry) {
    for (const char* bad : {"T,0,0,63,21,4,1,2,3,x", "T,0,0,63,21,4,1,2,3,4,1,1,1,", "T,0,0,63",
                            "T,0,0,63,21,4,1,2,3,4,1,1", "T,1 ,0,63,21,4,1,2,3,4", "",
                            "T,0,0,63,21,4,1,2,3,99999999999", "T,-,0,63,21,4,1,2,3,4"})
        EXPECT_FALSE(ParsePartEntry(bad, EditSettings{})) << bad;
}

// Entries within 32 bits are taken, but what reaches the editor and the batch files is a
// rectangle every picture side can hold and a spacing the editor offers.
TEST(PartEntry, RectanglesAndSpacingComeInTheirRangesAndStaySoWhenSnapped) {
    struct Case {
        const char* entry;
        int sx, sy, ex, ey, gyoukan;
    };
    for (const Case& c : {Case{"A,-20000000,302,591,375,4,1,2,3,4", 0, 302, 591, 375, 4},
                          Case{"B,-2000000000,-2147483648,2147483647,2000000000,-5,1,2,3,4", 0, 0,
                               kMaxCoordinate, kMaxCoordinate, 0},
                          Case{"C,8,16,2147483647,60,2147483647,1,2,3,4,1,1,1,1", 8, 16,
                               kMaxCoordinate, 60, 100}}) {
        auto e = ParsePartEntry(c.entry, EditSettings{});
        ASSERT_TRUE(e) << c.entry;
        EditSettings& s = e->settings;
        EXPECT_EQ((std::array<int, 5>{s.StartX, s.StartY, s.EndX, s.EndY, s.Gyoukan}),
                  (std::array<int, 5>{c.sx, c.sy, c.ex, c.ey, c.gyoukan}))
            << c.entry;
        SnapToColumns(s);
        EXPECT_LE(s.EndX, kMaxCoordinate);
        EXPECT_GE(s.StartX, 0);
    }
}

TEST(PartEntry, SnappingPutsTheRectangleOnTheColumnGrid) {
    EditSettings s;
    s.StartX = 50, s.EndX = 590;
    SnapToColumns(s);
    EXPECT_EQ(s.StartX, 48);
    EXPECT_EQ(s.EndX, 591);
}

TEST(PssBatch, TheRectangleAndTheBackupFolderWithoutItsBackslash) {
    EditSettings s;
    using Lines = std::vector<std::wstring>;
    EXPECT_EQ(Pss01Lines({BatchFolder(L"C:\\BACK\\")}, s),
              (Lines{L"COPY %1.MAG C:\\BACK", L"A:\\TOOL\\GRAPH\\TEAM %1",
                     L"A:\\TOOL\\GRAPH\\MAGDSAVE -b- -p=%1 -s48,302,591,375 %1"}));
    EXPECT_EQ(Pss10Lines({L"C:\\BACK"}, s),
              (Lines{L"COPY %1.MAG C:\\BACK", L"A:\\TOOL\\GRAPH\\TEAM21 %1",
                     L"A:\\TOOL\\GRAPH\\21MAGSV -s48,302,591,375 %1"}));
    EXPECT_EQ(BatchFolder(L"C:\\"), L"C:\\"); // a root keeps it
    // The folder reaches COPY whole: "&" would start another command, "%" be expanded.
    EXPECT_EQ(Pss01Lines({L"D:\\My Backup & Old 100%"}, s)->front(),
              L"COPY %1.MAG \"D:\\My Backup & Old 100%%\"");
    EXPECT_EQ(Pss10Lines({L"", L"D:\\MYBACK~1"}, s)->front(), L"COPY %1.MAG D:\\MYBACK~1");
    EXPECT_FALSE(Pss01Lines({L"", L""}, s));
}
