#include "macro/macro_file.h"
#include <gtest/gtest.h>

using namespace tovn;

TEST(MacroFile, ShortFilesAreFilledUpToThirtySixEmptySlots) {
    std::vector<std::string> m = ParseMacroFile("COPY $M A:\\\r\n\r\nDEL $M\r\n");
    ASSERT_EQ(m.size(), 36u);
    EXPECT_EQ(m[0], "COPY $M A:\\");
    EXPECT_EQ(m[1], "");
    EXPECT_EQ(m[2], "DEL $M");
    EXPECT_EQ(m[35], "");
    EXPECT_EQ(ParseMacroFile("").size(), 36u);
}

TEST(MacroFile, ThirtySixLinesRoundTripByteForByteAndExtraLinesAreKept) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += (i % 3 ? "ECHO " + std::to_string(i) : std::string("\x83\x5C\x95\x5C $M")) + "\r\n";
    std::vector<std::string> m = ParseMacroFile(text);
    ASSERT_EQ(m.size(), 40u);
    EXPECT_EQ(m[38], "ECHO 38");
    EXPECT_EQ(m[0], "\x83\x5C\x95\x5C $M"); // two-byte characters kept as they are
    EXPECT_EQ(MacroFileText(m), text);
}

TEST(MacroFile, AnyLineEndEndsALineAndALastLineWithoutEndIsKept) {
    std::vector<std::string> m = ParseMacroFile("A\nB\rC\r\n\r\nE");
    EXPECT_EQ(std::vector<std::string>(m.begin(), m.begin() + 6),
              (std::vector<std::string>{"A", "B", "C", "", "E", ""}));
    EXPECT_EQ(MacroFileText({"A", "B"}), "A\r\nB\r\n");
}

// The start of a longer file: only lines that end within it, and only the slots.
TEST(MacroFile, TheStartOfALongerFileGivesTheSlotsFromItsFinishedLines) {
    std::string start;
    for (int i = 1; i <= 40; ++i) start += "ECHO " + std::to_string(i) + "\r\n";
    std::vector<std::string> m = ParseMacroFile(start + "ECHO cut", false);
    ASSERT_EQ(m.size(), 36u);
    EXPECT_EQ(m[35], "ECHO 36");
    std::vector<std::string> few = ParseMacroFile("A\r\nB\nhalf a li", false);
    ASSERT_EQ(few.size(), 36u);
    EXPECT_EQ(few[1], "B");
    EXPECT_EQ(few[2], "");
    EXPECT_EQ(ParseMacroFile(std::string(5000, '\0'), false), std::vector<std::string>(36));
}
