#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

using Startup = BrowserFixture;

TEST_F(Startup, FreshStartShowsTheFolderAndWritesEveryDefault) {
    MakePictures(10);
    WriteTextFile(pictures / L"README", "x");
    WriteTextFile(pictures / L"X.C", "x");
    ::CreateDirectoryW((pictures / L"sub").c_str(), nullptr);
    Start();
    EXPECT_EQ(Status(0), L"Normal");
    EXPECT_EQ(Status(1), L"Disp : 6*6(4)");
    EXPECT_EQ(Status(2), L"Page : 1/1");
    EXPECT_EQ(Status(3), pictures.Path() + L"P01.BMP");
    EXPECT_EQ(dialogs.beeps, 0);
    Key('Q');
    EXPECT_EQ(IniText(L"Directory", L"Directory"), pictures.Path());
    EXPECT_EQ(IniText(L"Directory", L"CopyDirectory"), program.Path());
    EXPECT_EQ(IniText(L"Directory", L"Backup"), L"1");
    EXPECT_EQ(IniText(L"Window", L"Img"), L"6");
    EXPECT_EQ(IniText(L"Form", L"Width"), L"440");
    EXPECT_EQ(IniText(L"Form", L"Height"), L"300");
    EXPECT_EQ(IniText(L"Form", L"Left"), L"50");
    EXPECT_EQ(IniText(L"Form", L"Top"), L"50");
    EXPECT_EQ(IniText(L"Form", L"Window"), L"0");
    EXPECT_EQ(IniText(L"Slide", L"FullSize"), L"0");
    EXPECT_EQ(IniText(L"ETC", L"HuedenLevel"), L"4");
    EXPECT_EQ(IniText(L"Capture", L"FileName"), L"TOVN_");
    EXPECT_EQ(IniText(L"Capture", L"Key"), L"126");
    EXPECT_EQ(IniText(L"Window", L"Syoki"), L"<absent>"); // only the options dialog writes it
}

TEST_F(Startup, FixedStartCountWinsOverTheLastOne) {
    PutIni(L"Window", L"Syoki", L"1");
    PutIni(L"Window", L"Syokisu", L"4");
    PutIni(L"Window", L"Img", L"9");
    MakePictures(3);
    Start();
    EXPECT_EQ(Status(1), L"Disp : 4*4(2)");
    Close();
    EXPECT_EQ(IniText(L"Window", L"Img"), L"4");
    EXPECT_EQ(IniText(L"Window", L"Syokisu"), L"4");
}

// A hand-edited settings file cannot keep the program from starting: each display count
// is brought into 1..30 before the grid is laid out.
TEST_F(Startup, DisplayCountsOutsideTheirRangeStartTheNearestGrid) {
    struct Case {
        const wchar_t *syoki, *syokisu, *img, *status;
    };
    for (const Case& c :
         {Case{L"0", L"3", L"0", L"Disp : 1*1(2)"}, Case{L"0", L"3", L"46341", L"Disp : 30*30(2)"},
          Case{L"1", L"0", L"6", L"Disp : 1*1(2)"}, Case{L"1", L"-5", L"6", L"Disp : 1*1(2)"},
          Case{L"0", L"3", L"x", L"Disp : 6*6(2)"}}) {
        SCOPED_TRACE(testing::Message() << ToAnsi(c.syokisu) << " " << ToAnsi(c.img));
        PutIni(L"Window", L"Syoki", c.syoki);
        PutIni(L"Window", L"Syokisu", c.syokisu);
        PutIni(L"Window", L"Img", c.img);
        MakePictures(4);
        Start();
        EXPECT_EQ(Status(1), c.status);
        Key(VK_RIGHT);
        Close();
    }
}

TEST_F(Startup, AScreenOfFewerThan256ColoursSaysSoAndEndsTheProgram) {
    screenDepth = 4;
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(dialogs.events,
              std::vector<std::wstring>{L"Error: このソフトは最低２５６色以上が必要です．"});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].flags, UINT(MB_OK));
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Startup, MissingBackupFolderIsReportedOnceAndSwitchedOff) {
    PutIni(L"Directory", L"Backup", L"2");
    PutIni(L"Directory", L"BackupDirectory", pictures.Path() + L"gone");
    Start();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Back Up Directory Not Find.");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(st().BackupMode, 0);
    Close();
    EXPECT_EQ(IniText(L"Directory", L"Backup"), L"0");
    EXPECT_EQ(IniText(L"Directory", L"BackUpDirectory"), pictures.Path() + L"gone\\");
}

TEST_F(Startup, NarrowStoredWindowReturnsToTheDefaultPlacement) {
    PutIni(L"Form", L"Width", L"300");
    PutIni(L"Form", L"Left", L"200");
    PutIni(L"Form", L"Top", L"120");
    Start();
    RECT r;
    ::GetWindowRect(w().Handle(), &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 440);
    EXPECT_EQ(r.bottom - r.top, 300);
}

TEST_F(Startup, CommandLineFolderWithTrailingDotAndUnknownFolder) {
    MakePictures(2);
    Start({pictures.Path() + L"."});
    EXPECT_EQ(st().CurrentDir, pictures.Path());
    EXPECT_EQ(st().FileList.size(), 2u);
    Close();
    // A folder that does not exist leaves the stored one.
    Start({pictures.Path() + L"nothing-here"});
    EXPECT_EQ(st().CurrentDir, pictures.Path());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Startup, CommandLineFileOpensItsFolderAndArchivesNeedTheLibrary) {
    MakePictures(2);
    WriteTextFile(pictures / L"A.LZH", "not an archive");
    Start({pictures / L"P02.BMP"});
    EXPECT_EQ(st().CurrentDir, pictures.Path());
    EXPECT_FALSE(st().LhaMode);
    Close();
    Start({pictures / L"A.LZH"});
    EXPECT_FALSE(st().LhaMode);
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(Status(0), L"Normal");
}

TEST_F(Startup, ClosedMaximisedKeepsTheLastNormalPlacement) {
    PutIni(L"Form", L"Left", L"60");
    PutIni(L"Form", L"Top", L"70");
    PutIni(L"Form", L"Width", L"500");
    PutIni(L"Form", L"Height", L"350");
    Start();
    ::ShowWindow(w().Handle(), SW_MAXIMIZE);
    Pump();
    Close();
    EXPECT_EQ(IniText(L"Form", L"Window"), L"1");
    EXPECT_EQ(IniText(L"Form", L"Left"), L"60");
    EXPECT_EQ(IniText(L"Form", L"Width"), L"500");
    PutIni(L"Form", L"Window", L"1");
    Start();
    EXPECT_TRUE(::IsZoomed(w().Handle()));
}

// The program runs as its user and is never virtualised: a program folder it cannot write
// must fail as such, so that the settings and the cache go to the user's own folder. Its
// controls are the common controls of version 6.
TEST(ProgramManifest, AsksForNoElevationAndTheVersion6Controls) {
    HMODULE exe = ::LoadLibraryExW(L"Tovn32.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr) << "Tovn32.exe beside the test";
    HRSRC found = ::FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(::LockResource(::LoadResource(exe, found)));
    const std::string manifest(text, ::SizeofResource(exe, found));
    ::FreeLibrary(exe);
    EXPECT_NE(manifest.find(R"(requestedExecutionLevel level="asInvoker")"), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}
