// Cursor moves, the display count, marks and the quit question, through the dispatcher on
// the real browser with a screen and a place in memory.
#include "browser/menu.h"
#include "support/core_fixture.h"

using namespace tovn;
using namespace tovn::test;

namespace {

// A key, the cursor's file after it and the beeps heard so far.
struct Step {
    WORD key;
    unsigned shift;
    const wchar_t* cursor;
    int beeps;
};

} // namespace

class Navigation : public CoreFixture {
protected:
    void Walk(const std::vector<Step>& steps) {
        for (size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE(i);
            Key(steps[i].key, steps[i].shift);
            EXPECT_EQ(CursorName(), steps[i].cursor);
            EXPECT_EQ(dialogs.beeps, steps[i].beeps);
        }
    }
};

TEST_F(Navigation, ArrowsRowsAndPages) {
    ShowPictures(12, 3);
    Walk({
        {VK_RIGHT, 0, L"P02.BMP", 0},
        {VK_RIGHT, 0, L"P03.BMP", 0},
        {VK_DOWN, 0, L"P06.BMP", 0},
        {VK_DOWN, 0, L"P09.BMP", 0},
        {VK_DOWN, 0, L"P09.BMP", 0}, // bottom row: nothing, no beep
        {VK_UP, 0, L"P06.BMP", 0},
        {VK_DOWN, 0, L"P09.BMP", 0},
        {VK_NEXT, 0, L"P10.BMP", 0},
        {VK_DOWN, 0, L"P10.BMP", 1}, // a row past the end of the list beeps
        {VK_PRIOR, 0, L"P01.BMP", 1},
        {VK_LEFT, 0, L"P01.BMP", 1}, // the first file stays
        {VK_NEXT, ssShift, L"P10.BMP", 1},
        {VK_RIGHT, 0, L"P11.BMP", 1},
        {VK_NEXT, 0, L"P11.BMP", 1},       // the last page: only the scroll bar follows
        {VK_NEXT, ssShift, L"P10.BMP", 1}, // Shift: the first file of the last page
        {VK_LEFT, 0, L"P09.BMP", 1},       // back over the page's edge
        {VK_PRIOR, ssShift, L"P01.BMP", 1},
    });
}

TEST_F(Navigation, PagesTurnOnTheScreenAndInTheStatusBar) {
    ShowPictures(12, 3);
    EXPECT_EQ(view.status[2], L"Page : 1/2");
    EXPECT_EQ(view.Only({L"PaintPage"}), std::vector<std::wstring>{});
    Key(VK_NEXT);
    EXPECT_EQ(view.Only({L"PaintPage"}), std::vector<std::wstring>{L"PaintPage 2"});
    EXPECT_EQ(view.status[2], L"Page : 2/2");
    EXPECT_EQ(view.paintedPage, 2);
    EXPECT_EQ(view.status[3], L"M:\\PICS\\P10.BMP");
    // A move within the page paints nothing; the status bar and the scroll bar follow it.
    EXPECT_EQ(ScreenDuring([&] { Key(VK_RIGHT); }),
              (std::vector<std::wstring>{L"CursorBand off", L"ScrollPosition 10", L"StatusBar",
                                         L"Bands", L"Waiting ", L"CursorBand on", L"MenuChecks"}));
    view.scrollPosition = 0;
    EXPECT_EQ(ScreenDuring([&] { Key(VK_NEXT); }), // the last page: the thumb goes back alone
              (std::vector<std::wstring>{L"CursorBand off", L"ScrollPosition 10", L"Waiting ",
                                         L"CursorBand on", L"MenuChecks"}));
    EXPECT_EQ(view.scrollPosition, 10);
}

TEST_F(Navigation, DigitsChangeTheDisplayCountKeepingTheCursorFile) {
    ShowPictures(12, 3);
    for (int i = 0; i < 6; ++i) Key(VK_RIGHT); // P07
    Key('2');
    EXPECT_EQ(view.status[1], L"Disp : 2*2(4)");
    EXPECT_EQ(view.status[2], L"Page : 2/3");
    EXPECT_EQ(st().CursorCell, 3);
    EXPECT_EQ(CursorName(), L"P07.BMP");
    EXPECT_EQ(st().CellWidth, 300); // the grid's 600 pixels in two columns
    Key(VK_NEXT, ssShift);
    EXPECT_EQ(CursorName(), L"P09.BMP"); // the first file of page 3

    const struct {
        WORD key;
        unsigned shift;
        int count;
    } digits[] = {
        {'5', ssShift | ssCtrl, 15}, {'5', ssCtrl, 25},  {'0', ssCtrl, 30},        {'0', 0, 10},
        {VK_NUMPAD3, 0, 3},          {'1', ssShift, 11}, {VK_NUMPAD0, ssCtrl, 30},
    };
    for (const auto& d : digits) {
        SCOPED_TRACE(d.count);
        Key(d.key, d.shift);
        EXPECT_EQ(st().DispCount, d.count);
        EXPECT_EQ(st().CellsPerPage, d.count * d.count);
        EXPECT_EQ(CursorName(), L"P09.BMP");
    }
}

TEST_F(Navigation, PageJumpAcceptsOnlyOtherExistingPages) {
    ShowPictures(30, 2); // 8 pages
    dialogs.inputAnswers = {std::wstring(L"3"),  std::wstring(L"0"),   std::wstring(L"3"),
                            std::wstring(L"99"), std::wstring(L"abc"), std::nullopt};
    Key('J');
    EXPECT_EQ(dialogs.inputs[0].caption, L"Page Jump");
    EXPECT_EQ(dialogs.inputs[0].prompt, L"ページを入力して下さい．");
    EXPECT_EQ(dialogs.inputs[0].initial, L"1");
    EXPECT_EQ(view.status[2], L"Page : 3/8");
    EXPECT_EQ(CursorName(), L"P09.BMP");
    EXPECT_EQ(ScreenDuring([&] {
                  Key('J');
                  Key('J');
                  Key('J');
              }).size(),
              12u); // the key frame alone: nothing painted
    EXPECT_EQ(dialogs.inputs[1].initial, L"3");
    EXPECT_EQ(view.status[2], L"Page : 3/8");
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(During([&] { Key('J'); }),
              std::vector<std::wstring>({L"beep", L"Input Error: 数値で入力して下さい．"}));
    EXPECT_TRUE(During([&] { Key('J'); }).empty()); // cancelled: silent
}

TEST_F(Navigation, SpaceMarksAndMovesOnButStaysOnTheLastEntry) {
    ShowPictures(3, 3);
    Key(VK_SPACE);
    EXPECT_EQ(st().FileList[0].mark, 1);
    EXPECT_EQ(CursorName(), L"P02.BMP");
    Key(VK_RIGHT);
    Key(VK_SPACE);
    EXPECT_EQ(st().FileList[2].mark, 1);
    EXPECT_EQ(CursorName(), L"P03.BMP");
    Key(VK_SPACE); // unmarked again
    EXPECT_EQ(st().FileList[2].mark, 0);
}

TEST_F(Navigation, HomeClearsMarksThenMarksEverythingButEmptySlots) {
    ShowPictures(4, 3);
    st().FileList[2].name.clear();
    Key(VK_SPACE);
    Key(VK_HOME);
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, 0);
    Key(VK_HOME);
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, s.name.empty() ? 0 : 1);
}

TEST_F(Navigation, EscAsksAndCancelKeepsRunning) {
    ShowPictures(2, 3);
    dialogs.messageAnswers = {IDCANCEL};
    Key(VK_ESCAPE);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"終了しますか？");
    EXPECT_EQ(dialogs.messages[0].caption, L"Quit Tovane 32");
    EXPECT_EQ(dialogs.messages[0].flags, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_TRUE(view.IsOpen());
    dialogs.messageAnswers = {IDOK};
    Key(VK_ESCAPE);
    EXPECT_FALSE(view.IsOpen());
    // A closed window takes no more keys and no key frame.
    EXPECT_TRUE(ScreenDuring([&] { Key(VK_RIGHT); }).empty());
    EXPECT_EQ(CursorName(), L"P01.BMP");
}

TEST_F(Navigation, CaptureModeKeepsNavigationButIgnoresCommands) {
    ShowPictures(5, 3);
    st().CaptureMode = true;
    Key(VK_RIGHT);
    EXPECT_EQ(CursorName(), L"P02.BMP");
    for (WORD key : {WORD('3'), WORD(VK_SPACE), WORD('Q'), WORD(VK_ESCAPE), WORD('D')}) Key(key);
    EXPECT_EQ(st().DispCount, 3);
    EXPECT_EQ(st().FileList[1].mark, 0);
    EXPECT_TRUE(view.IsOpen());
    EXPECT_TRUE(dialogs.events.empty());
    EXPECT_TRUE(placeCalls.empty());
}

TEST_F(Navigation, EmptyFolderRefusesMovesWithABeep) {
    Show({}, 6);
    EXPECT_EQ(view.status[1], L"Disp : 6*6(0)");
    EXPECT_EQ(view.status[3], L"M:\\PICS\\");
    const struct {
        WORD key;
        int beeps;
    } keys[] = {{VK_RIGHT, 1}, {VK_RETURN, 2}, {VK_DOWN, 2}, {VK_UP, 2},
                {VK_NEXT, 3},  {VK_SPACE, 4},  {'J', 5},     {'C', 6}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        Key(k.key);
        EXPECT_EQ(dialogs.beeps, k.beeps); // rows are silent on an empty list
    }
    EXPECT_TRUE(dialogs.inputs.empty());
    EXPECT_TRUE(dialogs.chooserRequests.empty());
}

TEST_F(Navigation, CountChooserFromTheMenuKeepsTheCursorFile) {
    ShowPictures(12, 3);
    for (int i = 0; i < 6; ++i) Key(VK_RIGHT); // P07
    dialogs.choices.push_back({true, {L"M:\\PICS\\", L"", 2}});
    const auto screen = ScreenDuring([&] { Menu(idK1); });
    ASSERT_EQ(dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ(dialogs.chooserRequests[0].purpose, L"Kazu");
    EXPECT_EQ(dialogs.chooserRequests[0].dispCount, 3);
    EXPECT_EQ(view.status[1], L"Disp : 2*2(4)");
    EXPECT_EQ(CursorName(), L"P07.BMP");
    EXPECT_EQ(st().CursorCell, 3);
    // The band goes only once the chooser has closed, around the new layout.
    EXPECT_EQ(screen, (std::vector<std::wstring>{L"CursorBand off", L"Layout", L"ResetPageCells",
                                                 L"PaintPage 2", L"CursorBand on", L"MenuChecks"}));
    dialogs.beeps = 0;
    Key(VK_DELETE); // sort mode refuses the count chooser and the options
    Menu(idK1);
    Menu(idO1);
    EXPECT_EQ(dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ(dialogs.beeps, 2);
}

TEST_F(Navigation, ChangeFolderShowsTheChosenFolderFromItsFirstPage) {
    files[L"M:\\OTHER\\"] = {L"B.BMP", L"A.BMP", L"C.BMP"};
    ShowPictures(12, 3);
    Key(VK_NEXT);
    dialogs.choices.push_back({true, {L"M:\\OTHER", L"", 2}});
    Key('H');
    ASSERT_EQ(dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ(dialogs.chooserRequests[0].purpose, L"Dire");
    EXPECT_EQ(dialogs.chooserRequests[0].currentDir, L"M:\\PICS\\");
    EXPECT_EQ(st().CurrentDir, L"M:\\OTHER\\");
    EXPECT_EQ(Order(), L"ABC");
    EXPECT_EQ(st().DispCount, 2);
    EXPECT_EQ(view.status[2], L"Page : 1/1");
    Key('L'); // cancelled: the folder stays
    EXPECT_EQ(st().CurrentDir, L"M:\\OTHER\\");
    EXPECT_EQ(dialogs.chooserRequests.size(), 2u);
}

TEST_F(Navigation, MenuItemsSendTheirKeys) {
    ShowPictures(3, 3);
    Menu(idNomalReName1); // Shift+N: rename one by one
    ASSERT_EQ(dialogs.inputs.size(), 1u);
    EXPECT_EQ(dialogs.inputs[0].caption, L"ReName Files");
    Menu(idVersionInfo1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"Tovane 32 Version 2.00．");
    EXPECT_EQ(dialogs.messages[0].caption, L"ﾊﾞｰｼﾞｮﾝ情報");
    Menu(idExit1);
    EXPECT_FALSE(view.IsOpen());
}
