// What the user hears and reads, in order, when a browser command is refused or fails: the
// beeps and message boxes (text and caption) as the dialog seam sees them.
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/menu.h"
#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

namespace {

using Events = std::vector<std::wstring>;

class FailureEvents : public BrowserFixture {
protected:
    void StartOn(int pictureCount) {
        PutIni(L"Window", L"Img", L"3");
        MakePictures(pictureCount);
        Start();
    }
};

TEST_F(FailureEvents, MenuCommandsRefusedInSortCaptureAndArchiveMode) {
    StartOn(3);
    enum Mode { Sort, Capture, Archive };
    struct Case {
        Mode mode;
        int id;
        Events events;
    };
    const Events beep = {L"beep"};
    const Case cases[] = {
        {Sort, idK1, beep},
        {Capture, idK1, beep},
        {Sort, idO1, beep},
        {Capture, idO1, beep},
        {Capture, idN5, beep},
        // The capture command beeps as it starts, then refuses as every refusal does.
        {Sort,
         idN6,
         {L"beep", L"beep", L"Capture Mode: ソートモード中は，キャプチャー出来ません．"}},
        {Archive,
         idN6,
         {L"beep", L"beep", L"Capture Mode: LHAモード中は，キャプチャー出来ません．"}},
        {Sort, idConvertBMP1, beep},
        {Capture, idConvertBMP1, beep},
    };
    const std::wstring folder = st().CurrentDir;
    for (const Case& c : cases) {
        st().SortMode = c.mode == Sort;
        st().CaptureMode = c.mode == Capture;
        if (c.mode == Archive)
            EnterArchive(L"ARC.LZH");
        else
            EnterFolder(folder);
        EXPECT_EQ(During([&] { Menu(c.id); }), c.events) << "menu " << c.id << " mode " << c.mode;
        EXPECT_EQ(st().SortMode, c.mode == Sort);
        EXPECT_EQ(st().CaptureMode, c.mode == Capture);
    }
    st().SortMode = st().CaptureMode = false;
    EnterFolder(folder);
    EXPECT_TRUE(FileExists(pictures / L"P01.BMP"));
}

TEST_F(FailureEvents, ConvertingAnEmptyFolderOnlyBeeps) {
    PutIni(L"Window", L"Img", L"3");
    Start();
    EXPECT_EQ(During([&] { Menu(idConvertBMP1); }), Events{L"beep"});
}

TEST_F(FailureEvents, ARenameClashBeepsThenSaysSoAndStops) {
    StartOn(3);
    WriteSolidBmp(pictures / L"Q001.BMP", 8, 8, 9, 9, 9);
    Key(VK_HOME);
    dialogs.inputAnswers = {L"Q", L"0"};
    EXPECT_EQ(During([&] { Key('N'); }),
              (Events{L"beep", L"File Name Error: ファイルネームが重複しています．中止します．"}));
}

TEST_F(FailureEvents, ADamagedPictureBeepsWhereverItIsDecoded) {
    PutIni(L"Window", L"Img", L"3");
    WriteTextFile(pictures / L"BAD.MAG", "no picture at all");
    EXPECT_EQ(During([&] { Start(); }), Events{L"beep"}); // its cell
    EXPECT_EQ(During([&] { Menu(idConvertBMP1); }),
              (Events{L"beep", L"beep", L"TOVN Can not Save Files: BAD.MAGは扱えません．"}));
    EXPECT_FALSE(FileExists(pictures / L"BAD.BMP"));
}

class ArchiveFailureEvents : public FailureEvents {
protected:
    void SetUp() override {
        LoadUnlha();
        ASSERT_TRUE(UnlhaLoaded());
        PutIni(L"Window", L"Img", L"2");
        WriteSolidBmp(pictures / L"A.BMP", 40, 30, 255, 0, 0);
        WriteSolidBmp(pictures / L"B.BMP", 40, 30, 0, 0, 255);
        RunUnlha(nullptr, ToAnsi(L"a -n \"" + (pictures / L"PICS.LZH") + L"\" \"" +
                                 (pictures / L"A.BMP") + L"\" \"" + (pictures / L"B.BMP") + L"\""));
        ASSERT_TRUE(FileExists(pictures / L"PICS.LZH"));
    }
    void TearDown() override { UnloadUnlha(); }
};

TEST_F(ArchiveFailureEvents, AVanishedArchiveTakesTheBrowserBackToTheFolder) {
    const std::wstring gone =
        L"Return Normal Mode.: " + (pictures / L"PICS.LZH") + L"が見つかりません．";
    struct Case {
        const char* what;
        std::function<void()> step;
        Events events;
    };
    const Case cases[] = {
        {"view", [&] { Key(VK_RETURN); }, {L"beep", gone}},
        {"delete", [&] { Key('D'); }, {L"削除確認: ファイルを削除します．", L"beep", gone}},
        {"rename",
         [&] {
             dialogs.inputAnswers = {L"R", L"0"};
             Key('N');
         },
         {L"beep", gone}},
        // The converted member is not found: a beep, and the list read again is the folder's.
        {"convert", [&] { Menu(idConvertBMP1); }, {L"beep"}},
    };
    for (const Case& c : cases) {
        Start({pictures / L"PICS.LZH"});
        ASSERT_TRUE(st().LhaMode);
        const std::wstring archive = pictures / L"PICS.LZH";
        ASSERT_TRUE(::CopyFileW(archive.c_str(), (pictures / L"KEEP.LZH").c_str(), FALSE));
        ::DeleteFileW(archive.c_str());
        EXPECT_EQ(During(c.step), c.events) << c.what;
        EXPECT_FALSE(st().LhaMode) << c.what;
        window.reset();
        ASSERT_TRUE(::MoveFileW((pictures / L"KEEP.LZH").c_str(), archive.c_str()));
    }
}

} // namespace
