#include "browser/menu.h"
#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

class Navigation : public BrowserFixture {
protected:
    void StartWith(int files, int n) {
        PutIni(L"Window", L"Img", std::to_wstring(n));
        MakePictures(files);
        Start();
    }
};

TEST_F(Navigation, ArrowsRowsAndPages) {
    StartWith(12, 3);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(CursorName(), L"P03.BMP");
    Key(VK_DOWN);
    EXPECT_EQ(CursorName(), L"P06.BMP");
    Key(VK_DOWN);
    Key(VK_DOWN); // bottom row: nothing, no beep
    EXPECT_EQ(CursorName(), L"P09.BMP");
    EXPECT_EQ(dialogs.beeps, 0);
    Key(VK_NEXT);
    EXPECT_EQ(Status(2), L"Page : 2/2");
    EXPECT_EQ(CursorName(), L"P10.BMP");
    Key(VK_DOWN); // a row past the end of the list beeps
    EXPECT_EQ(dialogs.beeps, 1);
    Key(VK_PRIOR);
    EXPECT_EQ(CursorName(), L"P01.BMP");
    Key(VK_LEFT); // first file stays
    EXPECT_EQ(CursorName(), L"P01.BMP");
}

TEST_F(Navigation, DigitsChangeTheDisplayCountKeepingTheCursorFile) {
    StartWith(12, 3);
    for (int i = 0; i < 6; ++i) Key(VK_RIGHT); // P07
    Key('2');
    EXPECT_EQ(Status(1), L"Disp : 2*2(4)");
    EXPECT_EQ(Status(2), L"Page : 2/3");
    EXPECT_EQ(st().CursorCell, 3);
    Key(VK_NEXT, ssShift);
    EXPECT_EQ(CursorName(), L"P09.BMP"); // first file of page 3
    Key('5', ssShift | ssCtrl);
    EXPECT_EQ(st().DispCount, 15);
    Key('5', ssCtrl);
    EXPECT_EQ(st().DispCount, 25);
    Key('0', ssCtrl);
    EXPECT_EQ(st().DispCount, 30);
    Key('0');
    EXPECT_EQ(st().DispCount, 10);
    Key(VK_NUMPAD3);
    EXPECT_EQ(st().DispCount, 3);
}

TEST_F(Navigation, PageDownOnTheLastPageOnlySetsTheScrollBar) {
    StartWith(12, 3);
    Key(VK_NEXT, ssShift);
    Key(VK_RIGHT);
    Key(VK_NEXT);
    EXPECT_EQ(CursorName(), L"P11.BMP");
    EXPECT_EQ(::GetScrollPos(w().ScrollBar(), SB_CTL), 10);
    Key(VK_NEXT, ssShift); // Shift moves to the first file of the last page
    EXPECT_EQ(CursorName(), L"P10.BMP");
}

TEST_F(Navigation, PageJumpAcceptsOnlyOtherExistingPages) {
    StartWith(30, 2); // 8 pages
    dialogs.inputAnswers = {std::wstring(L"3"),  std::wstring(L"0"),   std::wstring(L"3"),
                            std::wstring(L"99"), std::wstring(L"abc"), std::nullopt};
    Key('J');
    EXPECT_EQ(dialogs.inputs[0].caption, L"Page Jump");
    EXPECT_EQ(dialogs.inputs[0].prompt, L"ページを入力して下さい．");
    EXPECT_EQ(dialogs.inputs[0].initial, L"1");
    EXPECT_EQ(Status(2), L"Page : 3/8");
    Key('J');
    Key('J');
    Key('J');
    EXPECT_EQ(Status(2), L"Page : 3/8");
    EXPECT_EQ(dialogs.beeps, 0);
    Key('J');
    EXPECT_EQ(dialogs.beeps, 1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"数値で入力して下さい．");
    Key('J'); // cancelled: silent
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(Navigation, SpaceMarksAndMovesOnButStaysOnTheLastEntry) {
    StartWith(3, 3);
    Key(VK_SPACE);
    EXPECT_EQ(st().FileList[0].mark, 1);
    EXPECT_EQ(CursorName(), L"P02.BMP");
    Key(VK_RIGHT);
    Key(VK_SPACE);
    EXPECT_EQ(st().FileList[2].mark, 1);
    EXPECT_EQ(CursorName(), L"P03.BMP");
}

TEST_F(Navigation, HomeClearsMarksThenMarksEverything) {
    StartWith(4, 3);
    Key(VK_SPACE);
    Key(VK_HOME);
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, 0);
    Key(VK_HOME);
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, 1);
}

TEST_F(Navigation, EscAsksAndCancelKeepsRunning) {
    StartWith(2, 3);
    dialogs.messageAnswers = {IDCANCEL};
    Key(VK_ESCAPE);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"終了しますか？");
    EXPECT_EQ(dialogs.messages[0].caption, L"Quit Tovane 32");
    EXPECT_NE(w().Handle(), nullptr);
    dialogs.messageAnswers = {IDOK};
    Key(VK_ESCAPE);
    EXPECT_EQ(w().Handle(), nullptr);
}

TEST_F(Navigation, CaptureModeKeepsNavigationButIgnoresCommands) {
    StartWith(5, 3);
    st().CaptureMode = true;
    Key(VK_RIGHT);
    EXPECT_EQ(CursorName(), L"P02.BMP");
    Key('3');
    Key(VK_SPACE);
    EXPECT_EQ(st().DispCount, 3);
    EXPECT_EQ(st().FileList[1].mark, 0);
    Key('Q');
    EXPECT_NE(w().Handle(), nullptr);
}

TEST_F(Navigation, EmptyFolderRefusesMovesWithABeep) {
    Start();
    EXPECT_EQ(Status(1), L"Disp : 6*6(0)");
    EXPECT_EQ(Status(3), pictures.Path());
    Key(VK_RIGHT);
    Key(VK_RETURN);
    EXPECT_EQ(dialogs.beeps, 2);
    Key(VK_DOWN); // rows are silent on an empty list
    EXPECT_EQ(dialogs.beeps, 2);
}

TEST_F(Navigation, CountChooserFromTheMenuKeepsTheCursorFile) {
    StartWith(12, 3);
    for (int i = 0; i < 6; ++i) Key(VK_RIGHT); // P07
    dialogs.choices.push_back({true, {pictures.Path(), L"", 2}});
    ::SendMessageW(w().Handle(), WM_COMMAND, idK1, 0);
    Pump();
    ASSERT_EQ(dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ(dialogs.chooserRequests[0].purpose, L"Kazu");
    EXPECT_EQ(dialogs.chooserRequests[0].dispCount, 3);
    EXPECT_EQ(Status(1), L"Disp : 2*2(4)");
    EXPECT_EQ(CursorName(), L"P07.BMP");
    EXPECT_EQ(st().CursorCell, 3);
    Key(VK_DELETE); // sort mode refuses the count chooser and the options
    ::SendMessageW(w().Handle(), WM_COMMAND, idK1, 0);
    ::SendMessageW(w().Handle(), WM_COMMAND, idO1, 0);
    Pump();
    EXPECT_EQ(dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ(dialogs.beeps, 2);
}

TEST_F(Navigation, MenuItemsSendTheirKeys) {
    StartWith(3, 3);
    ::SendMessageW(w().Handle(), WM_COMMAND, idNomalReName1, 0); // Shift+N: rename one by one
    Pump();
    ASSERT_FALSE(dialogs.inputs.empty());
    dialogs.inputs.clear();
    ::SendMessageW(w().Handle(), WM_COMMAND, idVersionInfo1, 0);
    Pump();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"Tovane 32 Version 2.00．");
    EXPECT_EQ(dialogs.messages[0].caption, L"ﾊﾞｰｼﾞｮﾝ情報");
    ::SendMessageW(w().Handle(), WM_COMMAND, idExit1, 0);
    Pump();
    EXPECT_EQ(w().Handle(), nullptr);
}
