// The order the browser brings the screen back in, and the frame every key gets.
#include "browser/menu.h"
#include "support/core_fixture.h"

using namespace tovn;
using namespace tovn::test;

class Redraw : public CoreFixture {};

TEST_F(Redraw, PartsComeBackInOneFixedOrder) {
    using Calls = std::vector<std::wstring>;
    const Calls list = {L"Waiting Now Making FileList", L"ScrollBar", L"Waiting "};
    const struct {
        unsigned parts;
        Calls screen;
    } cases[] = {
        {rdList, list},
        {rdLayout, {L"Layout", L"ResetPageCells"}},
        {rdCache, {L"ResetPageCells"}},
        {rdLayout | rdCache, {L"Layout", L"ResetPageCells"}},
        {rdCells, {L"PaintPage 1"}},
        {rdEmptyCells, {L"EmptyCells"}},
        {rdScrollBar, {L"ScrollBar"}},
        {rdStatusBar, {L"StatusBar"}},
        {rdStatusBar | rdScrollBar | rdEmptyCells | rdCells | rdCache | rdLayout | rdList,
         {list[0], list[1], list[2], L"Layout", L"ResetPageCells", L"PaintPage 1", L"EmptyCells",
          L"ScrollBar", L"StatusBar"}},
        {0, {}},
    };
    ShowPictures(4, 2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parts);
        EXPECT_EQ(ScreenDuring([&] { browser.Redraw(c.parts); }), c.screen);
    }
}

TEST_F(Redraw, TheListBuiltAgainKeepsTheCursorOnItsFile) {
    Show({L"B.BMP", L"D.BMP", L"F.BMP"}, 2);
    Key(VK_RIGHT); // D
    place->Vanish(L"B.BMP");
    for (const wchar_t* name : {L"A.BMP", L"C.BMP", L"E.BMP"}) place->Add(name);
    browser.Redraw(rdList | rdCells);
    EXPECT_EQ(Order(), L"ACDEF");
    EXPECT_EQ(CursorName(), L"D.BMP");
    EXPECT_EQ(st().CursorCell, 3);
    EXPECT_EQ(st().PageCount, 2);
    EXPECT_EQ(placeCalls, std::vector<std::wstring>{L"List"});

    // The cursor's file gone: the cursor goes to the first file.
    place->Vanish(L"D.BMP");
    browser.Redraw(rdList);
    EXPECT_EQ(CursorName(), L"A.BMP");
}

TEST_F(Redraw, EveryKeyRunOrIgnoredGetsTheKeyFrame) {
    ShowPictures(4, 2);
    const std::vector<std::wstring> frame = {L"CursorBand off", L"Waiting ", L"CursorBand on",
                                             L"MenuChecks"};
    EXPECT_EQ(ScreenDuring([&] { Key('X'); }), frame);       // no command
    EXPECT_EQ(ScreenDuring([&] { Key(VK_INSERT); }), frame); // sort mode's only
    st().CaptureMode = true;
    EXPECT_EQ(ScreenDuring([&] { Key('D'); }), frame); // not in capture mode
    EXPECT_TRUE(dialogs.events.empty());
    EXPECT_TRUE(placeCalls.empty());
    int seen = 0;
    browser.afterKey = [&](WORD key) { seen = key; };
    Key('X');
    EXPECT_EQ(seen, 'X');
}

TEST_F(Redraw, AKeysOwnSoundComesBeforeItsChecks) {
    ShowPictures(4, 2);
    EXPECT_EQ(During([&] { Key('F'); }), std::vector<std::wstring>{L"beep"});
    EXPECT_TRUE(st().SlideFullSize);
    st().SortMode = true; // not a sort mode command: silent, nothing changes
    st().SortList.emplace();
    EXPECT_TRUE(During([&] { Key('F'); }).empty());
    EXPECT_TRUE(st().SlideFullSize);
}

TEST_F(Redraw, AMenuItemOfItsOwnRunsWithoutTheKeyFrame) {
    ShowPictures(4, 2);
    EXPECT_EQ(ScreenDuring([&] { Menu(idVersionInfo1); }),
              std::vector<std::wstring>{L"MenuChecks"});
    EXPECT_EQ(ScreenDuring([&] { Menu(99999); }), std::vector<std::wstring>{}); // no such item
    // Sort mode's order is applied from the menu with the band hidden around it alone.
    Menu(idN5);
    Key(VK_RIGHT);
    Key(VK_DELETE); // P02 picked
    Key(VK_PRIOR, ssShift);
    EXPECT_EQ(view.Only({L"CursorBand"}).size(), 6u);
    view.calls.clear();
    Menu(idN5);
    EXPECT_EQ(view.Only({L"CursorBand", L"PaintPage", L"MenuChecks"}),
              (std::vector<std::wstring>{L"CursorBand off", L"PaintPage 1", L"CursorBand on",
                                         L"MenuChecks"}));
    EXPECT_EQ(Name(0), L"P02.BMP");
}
