// Insert space, duplicate, new folder and pack's refusals, on the real browser with the
// screen and the place in memory.
#include "archive/unlha.h"
#include "support/core_fixture.h"

using namespace tovn;
using namespace tovn::test;

class LayoutCommands : public CoreFixture {};

TEST_F(LayoutCommands, InsertSpaceAtTheFirstAndTheLastCell) {
    ShowPictures(6, 2);
    Key('I'); // a whole page of empty cells before P01
    EXPECT_EQ(st().FileList.size(), 10u);
    EXPECT_EQ(st().CurrentPage, 2);
    EXPECT_EQ(st().CursorCell, 1);
    EXPECT_EQ(CursorName(), L"P01.BMP");
    EXPECT_EQ(view.Only({L"PaintPage"}),
              (std::vector<std::wstring>{L"PaintPage 2", L"PaintPage 2"}));
    for (int i = 0; i < 3; ++i) Key(VK_RIGHT); // P04 on the last cell of page 2
    Key('I');
    EXPECT_EQ(st().FileList.size(), 11u);
    EXPECT_EQ(Name(7), L"");
    EXPECT_EQ(st().CurrentPage, 3);
    EXPECT_EQ(CursorName(), L"P04.BMP");
    EXPECT_TRUE(placeCalls.empty()); // the files are not touched
    EXPECT_EQ(place->Names().size(), 6u);
}

TEST_F(LayoutCommands, InsertSpaceOnAnEmptyListLeavesItEmpty) {
    Show({}, 2);
    Key('I'); // the empty slots lead to no file: the list is built again, empty
    EXPECT_TRUE(st().FileList.empty());
    EXPECT_EQ(st().CurrentPage, 1);
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(LayoutCommands, DuplicateTakesTheNextFreeNumberAtTheCursor) {
    Show({L"X.BMP", L"Y.BMP", L"ZZZZZ000.BMP", L"ZZZZZ001.BMP"});
    Key('Z'); // nothing marked
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(placeCalls.empty());
    Key(VK_SPACE); // X marked, cursor on Y
    Key(VK_SPACE); // Y marked too: only the first is duplicated
    Key(VK_LEFT);
    Key('Z');
    EXPECT_EQ(placeCalls, std::vector<std::wstring>{L"Duplicate X.BMP -> ZZZZZ002.BMP"});
    EXPECT_TRUE(place->Holds(L"ZZZZZ002.BMP"));
    EXPECT_EQ(CursorName(), L"ZZZZZ002.BMP");
    EXPECT_EQ(Name(2), L"Y.BMP");
    EXPECT_EQ(st().FileList[2].mark, 0);
    EXPECT_EQ(st().PageCells[2].name, L"ZZZZZ002.BMP"); // the page painted with it
}

TEST_F(LayoutCommands, DuplicateGivesUpAfterTheLastFreeName) {
    std::vector<std::wstring> names = {L"X.BMP"};
    for (int i = 0; i < 998; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"ZZZZZ%03d.BMP", i);
        names.push_back(name);
    }
    Show(names);
    Key(VK_SPACE);
    Key(VK_PRIOR);
    Key('Z');
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(placeCalls.empty());
    EXPECT_EQ(st().FileList.size(), 999u);
}

TEST_F(LayoutCommands, ADuplicateThePlaceCannotMakeIsReportedAndAddsNoSlot) {
    Show({L"X.BMP", L"Y.BMP"});
    Key(VK_SPACE);
    place->Vanish(L"X.BMP"); // gone behind the program's back: the copy is not made
    EXPECT_EQ(During([&] { Key('Z'); }),
              (std::vector<std::wstring>{L"X.BMP: ファイルが作成出来ません．", L"beep"}));
    EXPECT_EQ(st().FileList.size(), 2u);

    ShowArchive({L"X.BMP", L"Y.BMP"});
    Key(VK_SPACE);
    place->FailNext(MemoryPlace::Op::Duplicate, CannotCreate(L"X.BMP"));
    Key('Z');
    EXPECT_EQ(st().FileList.size(), 2u);
    EXPECT_EQ(LastMessage(), L"ファイルが作成出来ません．");
}

TEST_F(LayoutCommands, NewFolderRefusesTypedNamesItCannotTake) {
    ShowPictures(1, 2);
    const struct {
        const wchar_t* typed;
        std::vector<std::wstring> events;
    } cases[] = {
        {L"MY PICS", {L"beep", L"Directory Name Error: 空白が入っています．"}},
        {L"ABCDEFGHI", {L"beep", L"Directory Name Error: ８文字以内で入力して下さい．"}},
        {L"", {L"beep"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Answer({c.typed});
        EXPECT_EQ(During([&] { Key('K'); }), c.events);
        EXPECT_EQ(dialogs.inputs.back().caption, L"ディレクトリ作成");
    }
    EXPECT_EQ(During([&] { Key('K'); }), std::vector<std::wstring>{L"beep"}); // cancelled
    ShowArchive({L"A.BMP"});
    EXPECT_EQ(During([&] { Key('K'); }), std::vector<std::wstring>{L"beep"}); // folders only
    EXPECT_EQ(dialogs.inputs.size(), 4u);
    EXPECT_EQ(st().FileList.size(), 1u);
}

TEST_F(LayoutCommands, PackRefusesWithoutTheArchiveLibrary) {
    ShowPictures(1, 2);
    if (UnlhaLoaded()) GTEST_SKIP();
    Key('P');
    EXPECT_EQ(LastMessage(), L"UNLHA32.DLLがロードされていません．");
    EXPECT_TRUE(dialogs.inputs.empty());
    EXPECT_TRUE(placeCalls.empty());
}
