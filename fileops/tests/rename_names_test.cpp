// The names and numbers of rename and numbered rename, and how they stop, on the real browser
// with the screen and the place in memory.
#include "support/core_fixture.h"

using namespace tovn;
using namespace tovn::test;

class RenameNames : public CoreFixture {};

TEST_F(RenameNames, NumberedRenameKeepsExtensionsAndContinuesTheSeries) {
    Show({L"A.BMP", L"B.bmp", L"C.BMP"});
    Key(VK_HOME);
    Answer({L"PIC", L"7"});
    Key('N');
    ASSERT_EQ(dialogs.inputs.size(), 2u);
    EXPECT_EQ(dialogs.inputs[0].caption, L"連番リネーム");
    EXPECT_EQ(dialogs.inputs[0].prompt, L"ファイル名部分を５文字以内で入力して下さい．");
    EXPECT_EQ(dialogs.inputs[1].caption, L"連番リネーム　ナンバー");
    EXPECT_EQ(dialogs.inputs[1].prompt, L"３桁以内で入力して下さい．");
    EXPECT_EQ(dialogs.inputs[1].initial, L"0");
    EXPECT_EQ(placeCalls, (std::vector<std::wstring>{L"Rename A.BMP -> PIC007.BMP",
                                                     L"Rename B.bmp -> PIC008.bmp",
                                                     L"Rename C.BMP -> PIC009.BMP"}));
    EXPECT_EQ(Name(1), L"PIC008.bmp");
    EXPECT_EQ(st().PageCells[3].name, L"PIC009.BMP"); // the painter sees the cell as drawn
    EXPECT_EQ(st().RenameNo, 10);
    EXPECT_TRUE(dialogs.events.empty());
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, 0);
    Key('N'); // the next run offers the saved name
    EXPECT_EQ(dialogs.inputs[2].initial, L"PIC");
    st().LongFileNames = true;
    Key('N');
    EXPECT_EQ(dialogs.inputs[3].prompt, L"ファイル名部分を入れて下さい．");
}

// Whatever stops a numbered rename, the files renamed so far keep their new names.
TEST_F(RenameNames, NumberingStopsBeforeOneThousandOrAtAClash) {
    const wchar_t* const clash = L"ファイルネームが重複しています．中止します．";
    const struct {
        std::vector<std::wstring> files;
        const wchar_t *part, *number;
        std::vector<std::wstring> renames, after;
        const wchar_t* message;
        int nextNumber;
    } cases[] = {
        {Numbered(3),
         L"X",
         L"998",
         {L"Rename P01.BMP -> X998.BMP", L"Rename P02.BMP -> X999.BMP"},
         {L"X998.BMP", L"X999.BMP", L"P03.BMP"},
         L"連番が1000を越えました．",
         1000},
        {{L"P01.BMP", L"P02.BMP", L"Q001.BMP"},
         L"Q",
         L"0",
         {L"Rename P01.BMP -> Q000.BMP", L"Rename P02.BMP -> Q001.BMP"},
         {L"Q000.BMP", L"P02.BMP", L"Q001.BMP"},
         clash,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.part);
        Show(c.files);
        Key(VK_HOME);
        Answer({c.part, c.number});
        EXPECT_EQ(
            During([&] { Key('N'); }),
            (std::vector<std::wstring>{L"beep", std::wstring(L"File Name Error: ") + c.message}));
        EXPECT_EQ(placeCalls, c.renames);
        for (size_t i = 0; i < c.after.size(); ++i)
            EXPECT_EQ(Name(static_cast<int>(i)), c.after[i]);
        EXPECT_EQ(st().RenameNo, c.nextNumber);
    }
}

TEST_F(RenameNames, AVanishedFileStopsTheRenameAndItsCellIsGreyed) {
    ShowPictures(3, 3);
    placeCalls.clear();
    place->Vanish(L"P02.BMP");
    Key(VK_RIGHT); // P02
    Answer({L"R", L"5"});
    view.calls.clear();
    Key('N');
    EXPECT_EQ(dialogs.messages.back().caption, L"File Not Exists");
    EXPECT_EQ(LastMessage(), L"ファイルがありません．中止します．");
    EXPECT_TRUE(placeCalls.empty());
    EXPECT_EQ(Name(1), L"");
    EXPECT_EQ(view.Only({L"EmptyCell"}), std::vector<std::wstring>{L"EmptyCell 2"});
}

TEST_F(RenameNames, TypedTextsAreChecked) {
    ShowPictures(2, 3);
    const struct {
        std::vector<const wchar_t*> typed; // the part, then the number
        bool longNames;
        const wchar_t* events; // the box after the beep; empty: a beep alone
    } cases[] = {
        {{L"ABCDEF"}, false, L"File Name Error: ５文字以内で入力して下さい．"},
        {{L"A B"}, false, L"File Name Error: 空白が入っています．"},
        {{L"PIC", L"1000"}, false, L"File Name Error: ３桁以内で入力して下さい．"},
        {{L"PIC", L"12a"}, false, nullptr}, // the box comes first here
        {{}, false, L""},                   // cancelled
        {{L"PIC"}, false, L""},             // the number cancelled
        {{L"ABCDEF G", L"1000"}, true, L"File Name Error: ３桁以内で入力して下さい．"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.empty() ? L"" : c.typed[0]);
        st().LongFileNames = c.longNames;
        for (const wchar_t* t : c.typed) dialogs.inputAnswers.push_back(std::wstring(t));
        const auto events = During([&] { Key('N'); });
        if (!c.events)
            EXPECT_EQ(events, (std::vector<std::wstring>{L"File Name Error: 数値で力して下さい．",
                                                         L"beep"}));
        else if (!*c.events)
            EXPECT_EQ(events, std::vector<std::wstring>{L"beep"});
        else
            EXPECT_EQ(events, (std::vector<std::wstring>{L"beep", c.events}));
        if (!c.typed.empty()) EXPECT_EQ(st().RenameName, c.typed[0]); // taken even if refused
    }
    EXPECT_TRUE(placeCalls.empty());

    Answer({L"ABCDEF G", L"1"});
    Key('N');
    EXPECT_EQ(placeCalls, (std::vector<std::wstring>{L"Rename P01.BMP -> ABCDEF G001.BMP"}));
}

TEST_F(RenameNames, RenameOneByOneOffersTheNameBeforeTheFirstDot) {
    Show({L"PHOTO.01.BMP", L"ZED.BMP", L"ZOO.BMP"});
    Key(VK_HOME);
    Answer({L"NEW", L"..\\UP"});
    Key('N', ssShift);
    ASSERT_EQ(dialogs.inputs.size(), 2u);
    EXPECT_EQ(dialogs.inputs[0].caption, L"ReName Files");
    EXPECT_EQ(dialogs.inputs[0].initial, L"PHOTO");
    EXPECT_EQ(dialogs.inputs[0].prompt, L"８文字以内で入力して下さい．");
    EXPECT_EQ(dialogs.inputs[1].initial, L"ZED");
    EXPECT_EQ(Name(0), L"NEW.BMP");
    // A name leading out of the folder is refused like a clash, before the place is asked.
    EXPECT_EQ(placeCalls, std::vector<std::wstring>{L"Rename PHOTO.01.BMP -> NEW.BMP"});
    EXPECT_EQ(LastMessage(), L"ファイルネームが重複しています．中止します．");
    EXPECT_EQ(Name(1), L"ZED.BMP");

    Answer({L"TOOLONGNAME"});
    Key('N', ssShift);
    EXPECT_EQ(LastMessage(), L"８文字以内で入力して下さい．");
    st().LongFileNames = true;
    Key('N', ssShift); // cancelled
    EXPECT_EQ(dialogs.inputs.back().prompt, L"新しいファイル名を入れて下さい．");
    EXPECT_EQ(dialogs.beeps, 3);
}
