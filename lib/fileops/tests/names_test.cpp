#include "fileops/crc16.h"
#include "fileops/names.h"
#include <gtest/gtest.h>

using namespace tovn;

TEST(Names, NumberedNamesKeepEachTargetsOwnExtension) {
    EXPECT_EQ(NumberedName(L"PIC", 7, L"A.MAG"), L"PIC007.MAG");
    EXPECT_EQ(NumberedName(L"PIC", 8, L"B.PI"), L"PIC008.PI");
    EXPECT_EQ(NumberedName(L"PIC", 999, L"PHOTO.01.MAG"), L"PIC999.MAG");
    EXPECT_EQ(NumberedName(L"X", 5, L"NOEXT"), L"X005");
    EXPECT_EQ(NumberedName(L"", 12, L".MAG"), L"012.MAG");
    EXPECT_EQ(ThreeDigits(1000), L"1000");
    EXPECT_EQ(ThreeDigits(-1), L"-001");
    EXPECT_EQ(DuplicateName(2, L"X.MAG"), L"ZZZZZ002.MAG");
}

TEST(Names, RenameOffersTheNameUpToTheFirstDot) {
    EXPECT_EQ(StemBeforeFirstDot(L"PHOTO.01.MAG"), L"PHOTO");
    EXPECT_EQ(ExtensionOf(L"PHOTO.01.MAG"), L".MAG");
    EXPECT_EQ(StemBeforeFirstDot(L"README"), L"");
    EXPECT_EQ(ExtensionOf(L"README"), L"");
}

TEST(Names, TypedNamesAreCheckedForLengthAndBlanksUnlessLongNames) {
    EXPECT_EQ(CheckTypedName(L"ABCDE", 5, kNamePartLimit, false), NameProblem::None);
    EXPECT_EQ(CheckTypedName(L"ABCDEF", 6, kNamePartLimit, false), NameProblem::TooLong);
    EXPECT_EQ(CheckTypedName(L"ABCDEF", 6, kNamePartLimit, true), NameProblem::None);
    // Three full-width letters take six bytes of the 8.3 limit.
    EXPECT_EQ(CheckTypedName(L"\u5199\u771f\u5199", 6, kNamePartLimit, false),
              NameProblem::TooLong);
    EXPECT_EQ(CheckTypedName(L"MY PICS", 7, kShortNameLimit, false), NameProblem::Blank);
    EXPECT_EQ(CheckTypedName(L"A\u3000B", 4, kShortNameLimit, false), NameProblem::Blank);
    EXPECT_EQ(CheckTypedName(L"MY PICS", 7, kShortNameLimit, true), NameProblem::None);
}

TEST(Names, RenameNumbersHaveAtMostThreeCharacters) {
    int n = -5;
    EXPECT_EQ(ParseRenameNumber(L"1000", n), NumberProblem::TooLong);
    EXPECT_EQ(ParseRenameNumber(L"12a", n), NumberProblem::NotANumber);
    EXPECT_EQ(ParseRenameNumber(L"", n), NumberProblem::NotANumber);
    EXPECT_EQ(n, -5);
    EXPECT_EQ(ParseRenameNumber(L"007", n), NumberProblem::None);
    EXPECT_EQ(n, 7);
}

TEST(Names, NamesThatWouldLeaveTheFolderAreRefused) {
    EXPECT_TRUE(StaysInFolder(L"PIC007.MAG"));
    EXPECT_FALSE(StaysInFolder(L"..\\PIC.MAG"));
    EXPECT_FALSE(StaysInFolder(L"SUB/PIC.MAG"));
    EXPECT_FALSE(StaysInFolder(L"C:PIC.MAG"));
    EXPECT_FALSE(StaysInFolder(L".."));
    EXPECT_FALSE(StaysInFolder(L""));
}

TEST(Names, EntryCrcMatchesTheArchiveChecksum) {
    const char* text = "123456789";
    EXPECT_EQ(EntryCrc16(reinterpret_cast<const uint8_t*>(text), 9), 0xBB3D);
    // Fed in two pieces, the same value.
    uint16_t part = EntryCrc16(reinterpret_cast<const uint8_t*>(text), 4);
    EXPECT_EQ(EntryCrc16(reinterpret_cast<const uint8_t*>(text) + 4, 5, part), 0xBB3D);
}
