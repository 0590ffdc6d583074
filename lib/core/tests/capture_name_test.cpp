#include "core/capture_name.h"
#include <gtest/gtest.h>
#include <set>

using namespace tovn;

namespace {
std::wstring NextFree(const std::set<std::wstring>& present) {
    return FirstFreeCaptureName(L"TOVN_",
                                [&](const std::wstring& n) { return present.count(n) > 0; });
}
} // namespace

TEST(CaptureName, NumbersHaveAtLeastThreeDigits) {
    EXPECT_EQ(CaptureFileTitle(L"TOVN_", 0), L"TOVN_000.BMP");
    EXPECT_EQ(CaptureFileTitle(L"TOVN_", 42), L"TOVN_042.BMP");
    EXPECT_EQ(CaptureFileTitle(L"cap", 999), L"cap999.BMP");
    EXPECT_EQ(CaptureFileTitle(L"TOVN_", 12345), L"TOVN_12345.BMP");
}

TEST(CaptureName, TheFirstFreeNumberFromZeroIsTaken) {
    EXPECT_EQ(NextFree({}), L"TOVN_000.BMP");
    EXPECT_EQ(NextFree({L"TOVN_000.BMP", L"TOVN_001.BMP"}), L"TOVN_002.BMP");
    // A gap in front is filled first.
    EXPECT_EQ(NextFree({L"TOVN_001.BMP"}), L"TOVN_000.BMP");
    EXPECT_EQ(NextFree({L"TOVN_000.BMP", L"TOVN_002.BMP"}), L"TOVN_001.BMP");
}

TEST(CaptureName, PastNineHundredNinetyNineTheNumberGrowsToFourDigits) {
    std::set<std::wstring> present;
    for (int n = 0; n < 1000; ++n) present.insert(CaptureFileTitle(L"TOVN_", n));
    EXPECT_EQ(NextFree(present), L"TOVN_1000.BMP");
}
