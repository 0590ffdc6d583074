// The editor on a 256-colour display (an Xvfb screen of 8 bits per pixel of its own).
#include "support/on_shown.h"
#include "editor/tests/editor_fixture.h"

using namespace tovn;
using namespace tovn::test;

class EditorOn256Colours : public EditorFixture {};

TEST_F(EditorOn256Colours, WriteAndSaveWorkInThePicturesOwnPalette) {
    WithMg();
    StartOnMag(L"A.MAG");
    ASSERT_TRUE(st().PaletteDisplay);
    TfrmEdit& e = Open();
    Pick(1, 10, 10);
    Pick(3, 45, 10);
    EXPECT_EQ(e.Settings().Mozi, int32_t(PALETTEINDEX(1)));
    Type(L"256\r\ncolours");
    e.btKakiClick();
    std::vector<uint32_t> edited = EditedPixels();
    EXPECT_EQ(edited, Reference({L"256", L"colours"}));
    e.btSaveClick();
    EXPECT_EQ(MagPixels(pictures / L"A.MAG"), edited);
}

TEST_F(EditorOn256Colours, TheEKeyOpensTheEditorOnAPalettePicture) {
    StartOnMag(L"A.MAG");
    HWND seen = nullptr;
    OnShown hook([&](HWND editorWindow) {
        seen = editorWindow;
        ::PostMessageW(editorWindow, WM_CLOSE, 0, 0);
    });
    Key('E');
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(dialogs.messages.size(), 0u);
    EXPECT_TRUE(::IsWindowEnabled(w().Handle()));
}
