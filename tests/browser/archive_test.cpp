#include "app/win_text.h"
#include "archive/unlha.h"
#include "support/browser_fixture.h"

using namespace tovn;
using namespace tovn::test;

class ArchiveMode : public BrowserFixture {
protected:
    void SetUp() override {
        LoadUnlha(); // from the program's folder, where the test runs
        ASSERT_TRUE(UnlhaLoaded());
        PutIni(L"Window", L"Img", L"2");
        WriteSolidBmp(pictures / L"A.BMP", 40, 30, 255, 0, 0);
        WriteSolidBmp(pictures / L"B.BMP", 40, 30, 0, 0, 255);
        WriteTextFile(pictures / L"NOTE.TXT", "x");
        Pack(L"PICS.LZH", {L"A.BMP", L"B.BMP", L"NOTE.TXT"});
    }
    void TearDown() override { UnloadUnlha(); }
    void Pack(const std::wstring& archive, const std::vector<std::wstring>& names) {
        std::wstring line = L"a -n -+ \"" + pictures.Path() + archive + L"\"";
        for (const auto& n : names) line += L" \"" + pictures.Path() + n + L"\"";
        RunUnlha(nullptr, ToAnsi(line));
        ASSERT_TRUE(FileExists(pictures / archive));
    }
};

TEST_F(ArchiveMode, StartsInsideAnArchiveNamedOnTheCommandLine) {
    Start({pictures / L"PICS.LZH"});
    ASSERT_TRUE(st().LhaMode);
    EXPECT_EQ(Status(0), L"Lha");
    ASSERT_EQ(st().FileList.size(), 2u); // the text member is not a picture
    EXPECT_EQ(Status(3), pictures.Path() + L"PICS.LZH\\A.BMP");
    int cw = st().CellWidth, ch = st().CellHeight;
    // The members are drawn from the archive through the archive plug-in.
    EXPECT_EQ(Pixel(cw / 2, ch * 2 / 3), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(cw + cw / 2, ch * 2 / 3), RGB(0, 0, 255));
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(ArchiveMode, ADamagedArchiveIsRefusedAtStart) {
    WriteTextFile(pictures / L"BAD.LZH", "this is no archive at all");
    Start({pictures / L"BAD.LZH"});
    EXPECT_FALSE(st().LhaMode);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Error.");
    EXPECT_EQ(Status(0), L"Normal");
}

TEST_F(ArchiveMode, AVanishedArchiveReturnsToTheFolder) {
    Start({pictures / L"PICS.LZH"});
    ASSERT_TRUE(st().LhaMode);
    ::DeleteFileW((pictures / L"PICS.LZH").c_str());
    Key(VK_RETURN); // viewing checks the archive first
    EXPECT_FALSE(st().LhaMode);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, pictures.Path() + L"PICS.LZHが見つかりません．");
    EXPECT_EQ(dialogs.messages[0].caption, L"Return Normal Mode.");
    EXPECT_EQ(st().FileList.size(), 2u); // A.BMP and B.BMP of the folder
    EXPECT_EQ(Status(0), L"Normal");
}

TEST_F(ArchiveMode, MembersInFoldersMakeTheArchiveUnusable) {
    ::CreateDirectoryW((pictures / L"DIR").c_str(), nullptr);
    WriteSolidBmp(pictures / L"DIR\\C.BMP", 4, 4, 1, 2, 3);
    RunUnlha(nullptr, ToAnsi(L"a -n -x1 \"" + pictures.Path() + L"NESTED.LZH\" \"" +
                             pictures.Path() + L"DIR\\C.BMP\""));
    Start({pictures / L"NESTED.LZH"});
    EXPECT_FALSE(st().LhaMode);
    bool told = false;
    for (const auto& m : dialogs.messages)
        told = told || m.text == L"ﾃﾞｨﾚｸﾄﾘ付きﾌｧｲﾙは扱えません．";
    EXPECT_TRUE(told);
}

// A cancelled or refused choice leaves the open archive the one every command acts on.
TEST_F(ArchiveMode, ARefusedChoiceKeepsTheOpenArchive) {
    Start({pictures / L"PICS.LZH"});
    ASSERT_TRUE(st().LhaMode);
    WriteTextFile(pictures / L"BAD.LZH", "this is no archive at all");
    dialogs.choices.push_back({false, {pictures.Path(), L"BAD.LZH", 3}});
    Key('O');
    dialogs.choices.push_back({true, {pictures.Path(), L"BAD.LZH", 3}});
    Key('O');
    EXPECT_EQ(dialogs.messages.back().caption, L"Error.");
    EXPECT_TRUE(st().LhaMode);
    EXPECT_EQ(st().ArchiveName, L"PICS.LZH");
    EXPECT_EQ(Status(3), pictures.Path() + L"PICS.LZH\\A.BMP");
}

TEST_F(ArchiveMode, OpenThroughTheChooser) {
    Start();
    dialogs.choices.push_back({true, {pictures.Path(), L"PICS.LZH", 3}});
    Key('O');
    ASSERT_EQ(dialogs.chooserRequests.size(), 1u);
    EXPECT_EQ(dialogs.chooserRequests[0].purpose, L"LHA");
    EXPECT_TRUE(st().LhaMode);
    EXPECT_EQ(st().DispCount, 3);
    EXPECT_EQ(Status(0), L"Lha");
    dialogs.choices.push_back({true, {pictures.Path(), L"", 3}}); // nothing selected
    Key('O');
    EXPECT_EQ(dialogs.messages.back().caption, L"Error.");
}
