#include "archive/unlha.h"
#include "editor/tests/editor_fixture.h"

using namespace tovn;
using namespace tovn::test;

// The editor inside an archive: Save moves the result into it through the work folder.
class ArchiveEdit : public EditorFixture {
protected:
    void SetUp() override {
        LoadUnlha();
        ASSERT_TRUE(UnlhaLoaded());
        WriteMag(source / L"A.MAG", BlockPicture(640, 400));
        WriteSolidBmp(source / L"B.BMP", 64, 48, 10, 200, 30);
        RunUnlha(nullptr, ToAnsi(L"a -n -+ \"" + (pictures / L"PICS.LZH") + L"\" \"" +
                                 (source / L"A.MAG") + L"\" \"" + (source / L"B.BMP") + L"\""));
        ASSERT_TRUE(FileExists(pictures / L"PICS.LZH"));
        Start({pictures / L"PICS.LZH"});
        ASSERT_TRUE(st().LhaMode);
    }
    void TearDown() override { UnloadUnlha(); }
    // The archive's entry extracted with the library into a scratch folder.
    std::wstring Extracted(const std::wstring& name) {
        RunUnlha(nullptr, ToAnsi(L"e -n \"" + (pictures / L"PICS.LZH") + L"\" \"" + out.Path() +
                                 L"\" \"" + name + L"\""));
        return out / name;
    }
    void OpenOn(const std::wstring& name) {
        core().MoveCursorToSlot(st().FileList[0].name == name ? 0 : 1);
        Open();
    }

    TestFolder source{L"src"};
    TestFolder out{L"out"};
};

TEST_F(ArchiveEdit, SaveReplacesTheMagEntryAndLeavesNoWorkFolder) {
    WithMg();
    OpenOn(L"A.MAG");
    Pick(1, 10, 10);
    Type(L"in the archive");
    editor->btKakiClick();
    std::vector<uint32_t> edited = EditedPixels();
    editor->btSaveClick();
    EXPECT_EQ(editor->ModalResult(), IDOK);
    EXPECT_EQ(dialogs.messages.size(), 0u);
    EXPECT_EQ(MagPixels(Extracted(L"A.MAG")), edited);
    EXPECT_FALSE(PathExists(st().TempDir));
    EXPECT_FALSE(FileExists(pictures / L"A.MAG"));
    EXPECT_FALSE(FileExists(pictures / L"A.BMP"));
}

TEST_F(ArchiveEdit, APictureOtherThanMagIsStoredAsABmpEntry) {
    OpenOn(L"B.BMP");
    editor->Settings().bNuri = false;
    editor->Settings().Nuri = RGB(0, 0, 255);
    editor->btKakiClick();
    editor->btSaveClick();
    ASSERT_TRUE(FileExists(Extracted(L"B.BMP")));
    PictureSource folder{out.Path(), false, L""};
    const LoadedPicture stored = core().Pictures().LoadPicture(L"B.BMP", lpEdit, folder);
    ASSERT_TRUE(stored.ok);
    EXPECT_EQ(PixelsOf(stored.picture.Bitmap(), 64, 48)[30 * 64 + 20], 0x0000FFu);
    EXPECT_FALSE(PathExists(st().TempDir));
}

TEST_F(ArchiveEdit, AFailedMoveKeepsTheEditedPictureBesideTheArchive) {
    WithMg();
    const std::string archive = ReadBytes(pictures / L"PICS.LZH");
    OpenOn(L"A.MAG");
    Pick(1, 10, 10);
    editor->btKakiClick();
    std::vector<uint32_t> edited = EditedPixels();
    {
        // Another program holds the archive open: the library cannot update it.
        UniqueFile held(::CreateFileW((pictures / L"PICS.LZH").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        editor->btSaveClick();
    }
    EXPECT_EQ(ReadBytes(pictures / L"PICS.LZH"), archive);
    ASSERT_EQ(editor->KeptFile(), pictures / L"A.MAG");
    EXPECT_EQ(MagPixels(pictures / L"A.MAG"), edited);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find(pictures / L"A.MAG"), std::wstring::npos);
    EXPECT_FALSE(PathExists(st().TempDir));
}
