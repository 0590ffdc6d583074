#include "core/settings_values.h"
#include <gtest/gtest.h>
#include <vector>

using namespace tovn;

namespace {

struct Stored {
    const wchar_t* text;
    int used;
};

struct KeyCases {
    const IntKey& key;
    std::vector<Stored> cases;
};

// Texts every key meets in a hand-edited file; each key's own table adds what it expects.
const wchar_t* const kUnreadable[] = {
    L"", L"abc", L"12abc", L"3.5", L" -", L"0x10", L"1234567890123456789012"};

} // namespace

TEST(SettingsValues, EveryIntegerKeyComesInItsRangeWhateverIsStored) {
    const std::vector<KeyCases> table = {
        {keys::Backup, {{L"0", 0}, {L"2", 2}, {L"3", 0}, {L"-1", 0}, {L"4294967297", 0}}},
        {keys::Syokisu,
         {{L"4", 4},
          {L"0", 1},
          {L"-7", 1},
          {L"31", 30},
          {L"46341", 30},
          {L"999999999999999999", 30},
          {L"-999999999999999999", 1}}},
        {keys::Img,
         {{L"1", 1},
          {L"30", 30},
          {L"0", 1},
          {L"-2147483648", 1},
          {L"46341", 30},
          {L"4294967302", 30}}},
        {keys::ReNo,
         {{L"12", 12},
          {L"-99", -99},
          {L"1000", 1000},
          {L"1001", 1000},
          {L"-100", -99},
          {L"99999999999", 1000}}},
        {keys::HuedenLevel,
         {{L"6", 6}, {L"8", 8}, {L"5", 4}, {L"10", 4}, {L"0", 4}, {L"-6", 4}, {L"4294967302", 4}}},
        {keys::MaxPictureSide,
         {{L"1", 1},
          {L"3000", 3000},
          {L"12000", sizeof(void*) == 8 ? 12000 : 3000},
          {L"0", 3000},
          {L"-5", 3000},
          {L"30001", 3000},
          {L"4294970296", 3000}}},
        {keys::ThumbnailCacheMB,
         {{L"0", 0},
          {L"1", 1},
          {L"65536", 65536},
          {L"65537", 256},
          {L"-1", 256},
          {L"4294967296", 256}}},
        {keys::Left,
         {{L"-20", -20}, {L"4294967346", 2147483647}, {L"-4294967296", -2147483647 - 1}}},
        {keys::Top, {{L"70", 70}, {L"99999999999", 2147483647}}},
        {keys::Width, {{L"500", 500}, {L"2147483647", 2147483647}, {L"-3", -3}}},
        {keys::Height, {{L"350", 350}, {L"-300", 0}, {L"4294967296", 2147483647}}},
        {keys::WindowState, {{L"1", 1}, {L"4294967297", 2147483647}}},
        {keys::CaptureKey,
         {{L"112", 112},
          {L"120", 120},
          {L"111", 126},
          {L"127", 126},
          {L"0", 126},
          {L"-126", 126},
          {L"65662", 126}}},
    };
    for (const KeyCases& k : table) {
        SCOPED_TRACE(testing::Message() << "key " << k.key.section << "/" << k.key.key);
        for (const wchar_t* text : kUnreadable) EXPECT_EQ(IntSetting(k.key, text), k.key.absent);
        for (const Stored& c : k.cases) {
            SCOPED_TRACE(testing::Message() << "stored " << c.text);
            EXPECT_EQ(IntSetting(k.key, c.text), c.used);
        }
    }
}

TEST(SettingsValues, BooleansAreAnyNumberButZeroAndTheirDefaultWhenUnreadable) {
    EXPECT_TRUE(BoolSetting(L"1", false));
    EXPECT_TRUE(BoolSetting(L"-4294967296", false)); // not 0, though its low 32 bits are
    EXPECT_FALSE(BoolSetting(L"0", true));
    for (const wchar_t* text : kUnreadable) {
        EXPECT_TRUE(BoolSetting(text, true));
        EXPECT_FALSE(BoolSetting(text, false));
    }
}
