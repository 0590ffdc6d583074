// What each way of telling a failure shows, in order: the beeps and boxes the dialog seam
// sees, with the box's flags.
#include "app/report.h"
#include "support/scripted_dialogs.h"
#include <gtest/gtest.h>

using namespace tovn;
using namespace tovn::test;

namespace {

TEST(Report, EachWayOfTellingShowsExactlyItsBeepsAndBoxes) {
    using Events = std::vector<std::wstring>;
    struct Case {
        const char* what;
        Result result;
        Events events;
        UINT flags; // of the box, when there is one
    };
    const Case cases[] = {
        {"success", Result::Ok(), {}, 0},
        {"refused", Result::Refused(), {L"beep"}, 0},
        {"nothing", Result::Error(L"t", L"c", Say::Nothing), {}, 0},
        {"beep", Result::Error(L"t", L"c", Say::Beep), {L"beep"}, 0},
        {"beep box", Result::Error(L"t", L"c"), {L"beep", L"c: t"}, MB_OK},
        {"box beep", Result::Error(L"t", L"c", Say::BoxBeep), {L"c: t", L"beep"}, MB_OK},
        {"box", Result::Error(L"t", L"c", Say::Box), {L"c: t"}, MB_OK},
        {"error box", Result::Error(L"t", L"c", Say::ErrorBox), {L"c: t"}, MB_OK | MB_ICONSTOP},
        {"standard",
         Result::Standard(L"SetHook failed"),
         {L"Tovane 32: SetHook failed"},
         MB_OK | MB_ICONSTOP},
        {"failed step",
         Result::Fail(L"unpack A.LZH", 0x8020),
         {L"beep", L"Error.: 処理に失敗しました．\nunpack A.LZH\n(0x8020)"},
         MB_OK},
        {"failed step kept quiet", Result::Fail(L"x", 5).As(Say::Nothing), {}, 0},
        {"refusal made a box", Result::Error(L"t", L"c").As(Say::Beep), {L"beep"}, 0},
        // Without the browser there is no folder to go back to.
        {"archive gone", Result::ArchiveGone(), {}, 0},
    };
    HWND owner = reinterpret_cast<HWND>(0x1234);
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        Report(owner, c.result);
        EXPECT_EQ(dialogs.events, c.events) << c.what;
        for (const ShownMessage& m : dialogs.messages) {
            EXPECT_EQ(m.flags, c.flags) << c.what;
            EXPECT_EQ(m.owner, owner) << c.what;
        }
    }
}

TEST(Report, OnlySuccessIsOk) {
    EXPECT_TRUE(Result::Ok().ok());
    for (const Result& r :
         {Result::Refused(), Result::Error(L"t", L"c", Say::Nothing), Result::Fail(L"x", 0),
          Result::Standard(L"x"), Result::ArchiveGone(), Result::Fail(L"x", 2).As(Say::Nothing)})
        EXPECT_FALSE(r.ok());
    const Result failed = Result::Fail(L"", 3);
    EXPECT_EQ(failed.what(), L"?"); // a failure never reads as success for want of a name
    EXPECT_EQ(failed.code(), 3u);
}

} // namespace
