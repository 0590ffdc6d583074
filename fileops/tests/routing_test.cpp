// Copy, move and delete, and the archive's file commands: what each asks of the place, in
// which order, what the user is told and which cells are painted again, on the real browser
// with the screen and the place in memory.
#include "place/kept_copies.h"
#include "support/core_fixture.h"

using namespace tovn;
using namespace tovn::test;

namespace {
using Texts = std::vector<std::wstring>;
const wchar_t* const kDest = L"M:\\DEST\\";
} // namespace

class Routing : public CoreFixture {
protected:
    // The place's calls (lists left out), then forgotten.
    Texts Asked() {
        Texts asked;
        for (const std::wstring& c : placeCalls)
            if (c != L"List") asked.push_back(c);
        placeCalls.clear();
        return asked;
    }
};

TEST_F(Routing, CopyTakesTheCursorFileAloneAndKeepsItsCell) {
    ShowPictures(4, 2);
    Choose(L"M:\\DEST"); // the chooser's folder gains its backslash
    Key('C');
    ASSERT_EQ(dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ(dialogs.chooserRequests[0].purpose, L"Copy");
    EXPECT_EQ(st().CopyDir, kDest);
    EXPECT_EQ(Asked(), Texts{L"Copy P01.BMP -> M:\\DEST\\"});
    EXPECT_EQ(Name(0), L"P01.BMP");
    EXPECT_EQ(view.Only({L"PaintPage", L"PaintCell", L"EmptyCells", L"EmptyCell"}), Texts{});
    EXPECT_TRUE(dialogs.events.empty());

    Choose(L"C:\\"); // a drive's root takes no second backslash
    Key('U');
    EXPECT_EQ(st().CopyDir, L"C:\\");
    EXPECT_EQ(Asked(), Texts{L"Copy P01.BMP -> C:\\"});
}

TEST_F(Routing, ShiftCopyOpensTheDestination) {
    files[kDest] = {L"P01.BMP", L"P02.BMP", L"P03.BMP"};
    ShowPictures(4, 2);
    Key(VK_RIGHT);
    Key(VK_SPACE); // P02
    Key(VK_SPACE); // P03
    Key(VK_RIGHT);
    Choose(kDest);
    Key('U', ssShift);
    EXPECT_EQ(Asked(), Texts{L"Copy P02.BMP P03.BMP -> M:\\DEST\\"});
    EXPECT_EQ(st().CurrentDir, kDest);
    EXPECT_FALSE(st().LhaMode);
    EXPECT_EQ(st().FileList.size(), 3u);
    EXPECT_EQ(st().CursorCell, 1);
    EXPECT_EQ(view.status[3], L"M:\\DEST\\P01.BMP");
    EXPECT_EQ(view.Only({L"Layout", L"ResetPageCells", L"PaintPage"}),
              (Texts{L"Layout", L"ResetPageCells", L"PaintPage 1"}));
}

TEST_F(Routing, ACancelledChooserOrConfirmationChangesNothing) {
    ShowPictures(3, 2);
    Key(VK_SPACE);
    for (WORD key : {WORD('C'), WORD('M')}) Key(key); // no choice scripted: cancelled
    dialogs.messageAnswers = {IDCANCEL};
    Key('D');
    EXPECT_EQ(dialogs.events,
              (Texts{L"beep", L"beep", L"削除確認: ファイルを削除します．", L"beep"}));
    EXPECT_EQ(dialogs.messages.at(0).flags, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_EQ(st().FileList[0].mark, 1);
    EXPECT_TRUE(Asked().empty());
    Choose(L""); // an empty folder counts as cancelled
    Key('C');
    EXPECT_EQ(dialogs.beeps, 4);
    EXPECT_TRUE(Asked().empty());
}

TEST_F(Routing, MoveEmptiesTheMovedSlotsAndTheCursorGoesToTheNextFile) {
    ShowPictures(4, 2);
    Key(VK_SPACE);
    Key(VK_SPACE);
    Key(VK_LEFT); // on P02, marked
    Choose(kDest);
    view.calls.clear();
    Key('M');
    EXPECT_EQ(Asked(), Texts{L"Move P01.BMP P02.BMP -> M:\\DEST\\"});
    ASSERT_EQ(st().FileList.size(), 4u); // the grid does not shift
    EXPECT_EQ(Name(0), L"");
    EXPECT_EQ(Name(1), L"");
    EXPECT_EQ(CursorName(), L"P03.BMP");
    // The emptied cells are greyed once the move is over, then the status bar follows.
    EXPECT_EQ(view.Only({L"EmptyCells", L"StatusBar", L"PaintPage"}),
              (Texts{L"StatusBar", L"EmptyCells", L"StatusBar"}));
    EXPECT_EQ(st().PageCells[1].name, L"");
    EXPECT_EQ(st().PageCells[3].name, L"P03.BMP");
}

TEST_F(Routing, VanishedFilesAreSkippedByMoveAndShownEmptyByCopy) {
    ShowPictures(3, 2);
    Key(VK_SPACE);
    Key(VK_SPACE);
    place->Vanish(L"P02.BMP");
    Choose(kDest);
    Key('M');
    EXPECT_EQ(Asked(), Texts{L"Move P01.BMP P02.BMP -> M:\\DEST\\"});
    EXPECT_EQ(Name(0), L"");
    EXPECT_EQ(Name(1), L"P02.BMP"); // skipped, left as it was

    Key(VK_HOME); // marks P02 and P03
    place->Vanish(L"P03.BMP");
    Choose(kDest);
    view.calls.clear();
    Key('C');
    EXPECT_EQ(Name(1), L"");
    EXPECT_EQ(Name(2), L"");
    // Each vanished file's cell is painted empty as the copy meets it.
    EXPECT_EQ(view.Only({L"PaintCell", L"Refresh"}),
              (Texts{L"PaintCell 2 1", L"Refresh 2", L"PaintCell 3 2", L"Refresh 3"}));
    EXPECT_EQ(st().PageCells[3].name, L"");
}

TEST_F(Routing, AFolderOperationThatFailsIsReportedAndStillShowsWhatMoved) {
    ShowPictures(3, 2);
    place->FailNext(MemoryPlace::Op::Move, Result::Refused());
    Choose(kDest);
    Key('M');
    EXPECT_EQ(dialogs.events, Texts{L"beep"});
    EXPECT_EQ(Name(0), L"P01.BMP");                              // nothing left: the cell stays
    EXPECT_EQ(view.Only({L"EmptyCells"}), Texts{L"EmptyCells"}); // the folder goes on

    place->FailNext(MemoryPlace::Op::Delete, Result::Refused().As(Say::Nothing));
    Key('D');
    EXPECT_EQ(dialogs.events.back(), L"削除確認: ファイルを削除します．"); // the shell said why
    EXPECT_EQ(Name(0), L"P01.BMP");
}

TEST_F(Routing, DeleteWithTheCursorOnTheLastFileAndOfEveryFile) {
    ShowPictures(3, 2);
    st().BackupMode = 0;
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key('D');
    EXPECT_EQ(Asked(), Texts{L"Delete P03.BMP backup 0"});
    EXPECT_EQ(CursorName(), L"P02.BMP"); // the nearest file before it
    Key(VK_HOME);
    Key('D'); // every file: the list is rebuilt, empty
    EXPECT_EQ(Asked(), Texts{L"Delete P01.BMP P02.BMP backup 0"});
    EXPECT_TRUE(st().FileList.empty());
    Key('D');
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(Asked().empty());
}

TEST_F(Routing, DeleteAcrossPagesKeepsTheLayout) {
    ShowPictures(6, 2);
    st().BackupMode = 2;
    Key(VK_RIGHT);
    Key(VK_SPACE); // P02
    Key(VK_NEXT);
    Key(VK_SPACE); // P05
    Key(VK_SPACE); // P06
    Key(VK_PRIOR);
    Key(VK_RIGHT); // cursor on P02
    Key('D');
    EXPECT_EQ(Asked(), Texts{L"Delete P02.BMP P05.BMP P06.BMP backup 2"});
    EXPECT_EQ(st().FileList.size(), 6u);
    EXPECT_EQ(Name(1), L"");
    EXPECT_EQ(Name(4), L"");
    EXPECT_EQ(CursorName(), L"P03.BMP");
    EXPECT_EQ(st().PageCells[2].name, L"");
}

class ArchiveRouting : public Routing {};

TEST_F(ArchiveRouting, CopyAndMoveTakeTheMembersAndMoveEmptiesTheirSlots) {
    ShowArchive(Numbered(4), 2);
    EXPECT_EQ(view.status[0], L"Lha");
    Key(VK_SPACE);
    Key(VK_SPACE);
    Choose(kDest);
    Key('C');
    EXPECT_EQ(Asked(), Texts{L"Copy P01.BMP P02.BMP -> M:\\DEST\\"});
    EXPECT_EQ(Name(0), L"P01.BMP");

    Key(VK_SPACE); // P03, cursor on P04
    Choose(kDest);
    Key('M');
    EXPECT_EQ(Asked(), Texts{L"Move P03.BMP -> M:\\DEST\\"});
    EXPECT_FALSE(place->Holds(L"P03.BMP"));
    EXPECT_EQ(Name(2), L"");
    EXPECT_EQ(CursorName(), L"P04.BMP");
    EXPECT_TRUE(st().LhaMode);
}

TEST_F(ArchiveRouting, AStepTheLibraryRefusesStopsTheCommandWithTheListAsItWas) {
    ShowArchive(Numbered(3), 2);
    const Result refused = Result::Error(L"書けません．", L"Error.");
    const struct {
        MemoryPlace::Op op;
        WORD key;
        Result failure;
    } cases[] = {
        {MemoryPlace::Op::Copy, 'C', refused},
        {MemoryPlace::Op::Move, 'M', refused},
        {MemoryPlace::Op::Delete, 'D', FilesKept()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Key(VK_PRIOR, ssShift);
        Key(VK_SPACE);
        place->FailNext(c.op, c.failure);
        Choose(kDest);
        view.calls.clear();
        EXPECT_EQ(During([&] { Key(c.key); }).back(),
                  c.failure.caption() + L": " + c.failure.text());
        EXPECT_EQ(Name(0), L"P01.BMP");
        EXPECT_TRUE(place->Holds(L"P01.BMP"));
        EXPECT_TRUE(st().LhaMode);
        EXPECT_EQ(view.Only({L"EmptyCells", L"PaintPage"}), Texts{}); // no outcome shown
    }
    EXPECT_EQ(dialogs.messages.back().caption, L"Files Kept");
}

TEST_F(ArchiveRouting, DeleteKeepsTheBackupModeItIsGiven) {
    ShowArchive(Numbered(3), 2);
    for (int mode : {2, 1, 0}) {
        st().BackupMode = mode;
        const std::wstring cursor = CursorName();
        Key('D');
        EXPECT_EQ(Asked(), Texts{L"Delete " + cursor + L" backup " + std::to_wstring(mode)});
    }
    EXPECT_TRUE(st().FileList.empty()); // every member gone: the list is built again
}

TEST_F(ArchiveRouting, RenamesAndDuplicatesInsideTheArchive) {
    ShowArchive(Numbered(3), 2);
    Key(VK_SPACE);
    Key(VK_SPACE);
    Answer({L"PIC", L"7"});
    Key('N');
    EXPECT_EQ(Asked(), (Texts{L"Rename P01.BMP -> PIC007.BMP", L"Rename P02.BMP -> PIC008.BMP"}));
    EXPECT_EQ(Name(1), L"PIC008.BMP");
    Answer({L"PIC007"});
    Key('N', ssShift); // P03 clashes with a member
    EXPECT_EQ(Asked(), Texts{L"Rename P03.BMP -> PIC007.BMP"});
    EXPECT_EQ(LastMessage(), L"ファイルネームが重複しています．中止します．");

    Key(VK_PRIOR, ssShift);
    Key(VK_SPACE);
    Key(VK_LEFT);
    Key('Z');
    EXPECT_EQ(Asked(), Texts{L"Duplicate PIC007.BMP -> ZZZZZ000.BMP"});
    EXPECT_EQ(CursorName(), L"ZZZZZ000.BMP");
}

TEST_F(ArchiveRouting, AVanishedArchiveReturnsToTheFolder) {
    files[L"M:\\PICS\\"] = {L"Q.BMP", L"R.BMP"};
    for (WORD key : {WORD('M'), WORD('C'), WORD('D'), WORD('N'), WORD(VK_RETURN), WORD('Z')}) {
        SCOPED_TRACE(key);
        ShowArchive(Numbered(2), 2);
        place->VanishAll();
        Key(VK_SPACE);
        Choose(kDest);
        Answer({L"PIC", L"7"});
        Key(key);
        EXPECT_FALSE(st().LhaMode);
        EXPECT_EQ(st().CurrentDir, L"M:\\PICS\\");
        EXPECT_EQ(Order(), L"QR"); // the folder's own list, from its first page
        EXPECT_EQ(CursorName(), L"Q.BMP");
        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.messages.back().caption, L"Return Normal Mode.");
        EXPECT_EQ(LastMessage(), L"M:\\PICS\\ARC.LZHが見つかりません．");
    }
}
