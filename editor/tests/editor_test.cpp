#include "editor/tests/editor_fixture.h"
#include "support/on_shown.h"

using namespace tovn;
using namespace tovn::test;

class Editor : public EditorFixture {};

TEST_F(Editor, OpensOnTheCursorPictureWithTheStoredRectangle) {
    StartOnMag(L"A.MAG");
    TfrmEdit& e = Open();
    EXPECT_EQ(e.EditFileName(), L"A.MAG");
    EXPECT_EQ(Caption(), pictures.Path() + L"A.MAG ( 48,302)-(591,375)");
    EXPECT_EQ(e.SelectionState(), 2);
    EXPECT_EQ(e.ToolMode(), 0);
    BITMAP view{};
    ::GetObjectW(e.ViewBitmap(), sizeof view, &view);
    EXPECT_EQ(view.bmWidth, 640);
    EXPECT_EQ(view.bmHeight, 420); // the swatch strip below the picture
    RECT memo{};
    ::GetWindowRect(e.Memo(), &memo);
    EXPECT_EQ(memo.right - memo.left, 591 - 48 + 8);
    EXPECT_EQ(memo.bottom - memo.top, 375 - 302 + 8);
    // Everything fits the screen: the client area is the content, without scroll bars.
    RECT client{};
    ::GetClientRect(e.Handle(), &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 420 + 20 + 81 + 18 + 1);
    // The text frame is drawn in XOR on the shown image only.
    const COLORREF inside = ::GetPixel(e.ImageCanvas(), 100, 100);
    const COLORREF frame = ::GetPixel(e.ImageCanvas(), 47, 330);
    const COLORREF under = EditedPixels()[330 * 640 + 47];
    EXPECT_EQ(frame, RGB(255 - GetBValue(under), 255 - GetGValue(under), 255 - GetRValue(under)));
    EXPECT_EQ(inside, ::GetPixel(e.ImageCanvas(), 100, 100));
    // Every layer transparent: its swatch has the picture's colour nearest to white.
    PALETTEENTRY white{};
    ::GetPaletteEntries(Edited().Palette(),
                        ::GetNearestPaletteIndex(Edited().Palette(), RGB(255, 255, 255)), 1,
                        &white);
    EXPECT_EQ(::GetPixel(e.ImageCanvas(), 2, 403), RGB(white.peRed, white.peGreen, white.peBlue));
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(Editor, ADraggedRangeSnapsToEightPixelColumns) {
    StartOnMag(L"A.MAG");
    TfrmEdit& e = Open();
    e.ToolButtonClick(5, true);
    e.imgEditMouseDown(true, 50, 300);
    EXPECT_EQ(e.SelectionState(), 1);
    EXPECT_EQ(Caption(), pictures.Path() + L"A.MAG ( 48,300)-");
    e.imgEditMouseMove(120, 310);
    EXPECT_EQ(Caption(), pictures.Path() + L"A.MAG ( 48,300)-(127,321)");
    e.imgEditMouseUp(true, 200, 340);
    EXPECT_EQ(Caption(), pictures.Path() + L"A.MAG ( 48,300)-(207,340)");
    EXPECT_EQ(e.SelectionState(), 2);
    const EditSettings& s = e.Settings();
    EXPECT_EQ(s.StartX, 48);
    EXPECT_EQ(s.StartY, 300);
    EXPECT_EQ(s.EndX, 207);
    EXPECT_EQ(s.EndY, 340);
    // Exactly one frame is left on the image: around the new rectangle.
    Pump();
    std::vector<uint32_t> picture = EditedPixels();
    auto inverted = [&](int x, int y) {
        return (::GetPixel(e.ImageCanvas(), x, y) & 0xFFFFFF) !=
               ((picture[size_t(y) * 640 + x] >> 16) | (picture[size_t(y) * 640 + x] & 0xFF00) |
                ((picture[size_t(y) * 640 + x] & 0xFF) << 16));
    };
    EXPECT_TRUE(inverted(47, 320));
    EXPECT_TRUE(inverted(208, 320));
    EXPECT_FALSE(inverted(47, 360)); // the default rectangle's frame is gone
    EXPECT_FALSE(inverted(100, 320));
    RECT memo{};
    ::GetWindowRect(e.Memo(), &memo);
    EXPECT_EQ(memo.right - memo.left, 207 - 48 + 8);
    // A right click removes the rectangle; a plain click makes one 8 x 22.
    e.imgEditMouseDown(false, 10, 10);
    EXPECT_EQ(e.SelectionState(), 0);
    EXPECT_EQ(Caption(), pictures.Path() + L"A.MAG");
    Drag(13, 100, 13, 100);
    EXPECT_EQ(e.Settings().StartX, 8);
    EXPECT_EQ(e.Settings().EndX, 15);
    EXPECT_EQ(e.Settings().EndY, 121);
    // With the range tool raised, a click does nothing.
    e.ToolButtonClick(5, false);
    EXPECT_EQ(e.ToolMode(), 0);
    Drag(300, 100, 400, 200);
    EXPECT_EQ(e.Settings().StartX, 8);
}

TEST_F(Editor, PickedColoursNameThePictureEntryAndARightClickMakesALayerTransparent) {
    StartOnMag(L"A.MAG");
    TfrmEdit& e = Open();
    Pick(1, 45 + 80, 10 + 150); // block (3 + 3) % 16 = 6
    EXPECT_FALSE(e.Settings().bNuri);
    EXPECT_EQ(e.Settings().Nuri, int32_t(PALETTEINDEX(6)));
    EXPECT_EQ(e.NearestColour(RGB(0, 0, 0)) >> 24, 1u);
    // The swatch under the fill button shows the colour.
    const int b = (640 - 37) / 5;
    EXPECT_EQ(::GetPixel(e.ImageCanvas(), b / 2, 405), RGB(96, 159, (6 * 97) & 0xF0));
    Pick(1, 10, 10, false);
    EXPECT_TRUE(e.Settings().bNuri);
    EXPECT_EQ(::GetPixel(e.ImageCanvas(), 2, 403) & 0xFFFFFF,
              ::GetPixel(e.ImageCanvas(), b - 2, 403) & 0xFFFFFF); // white apart from the word
    EXPECT_EQ(e.Settings().Nuri, int32_t(e.NearestColour(RGB(255, 255, 255))));
    // The middle button, as the window receives it, does the same.
    Pick(1, 45 + 80, 10 + 150);
    ASSERT_FALSE(e.Settings().bNuri);
    ::SendMessageW(e.Image(), WM_MBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(e.Settings().bNuri);
}

TEST_F(Editor, WriteDrawsTheLayersOnThePictureAndTheView) {
    StartOnMag(L"A.MAG");
    TfrmEdit& e = Open();
    Pick(1, 10, 10);  // fill: entry 0
    Pick(2, 45, 10);  // mesh: entry 1
    Pick(4, 85, 10);  // shadow: entry 2
    Pick(3, 125, 10); // text: entry 3
    e.udGyouClick(0); // lines 12 pixels apart
    Type(L"AB\r\nxyz\r\n3\r\n4\r\n5\r\n6\r\nseventh");
    e.btKakiClick();
    std::vector<uint32_t> edited = EditedPixels();
    EXPECT_EQ(edited, Reference({L"AB", L"xyz", L"3", L"4", L"5", L"6"}));
    EXPECT_NE(edited, Reference({})); // the text is there
    EXPECT_NE(edited, Reference({L"AB", L"xyz", L"3", L"4", L"5", L"6", L"seventh"}));
    // The right and bottom edges stay as they were.
    EXPECT_EQ(edited[375 * 640 + 100], MagPixels(pictures / L"A.MAG")[375 * 640 + 100]);
    // The view holds the same picture above its swatch strip.
    std::vector<uint32_t> view = PixelsOf(e.ViewBitmap(), 640, 420);
    view.resize(edited.size());
    EXPECT_EQ(view, edited);
    // Nothing is written without Save.
    EXPECT_FALSE(FileExists(pictures / L"A.BMP"));
}

// The columns holding ink of the written text in rows [top, bottom): pixels that differ
// from the picture with only the fill drawn.
static std::vector<int> InkColumns(const std::vector<uint32_t>& edited,
                                   const std::vector<uint32_t>& filled, int top, int bottom) {
    std::vector<int> columns;
    for (int x = 0; x < 640; ++x)
        for (int y = top; y < bottom; ++y)
            if (edited[size_t(y) * 640 + x] != filled[size_t(y) * 640 + x]) {
                columns.push_back(x);
                break;
            }
    return columns;
}

static int Runs(const std::vector<int>& columns) {
    int runs = 0;
    for (size_t i = 0; i < columns.size(); ++i) runs += i == 0 || columns[i] != columns[i - 1] + 1;
    return runs;
}

TEST_F(Editor, WrittenTextReadsLeftToRightInsideTheRectangle) {
    StartOnMag(L"A.MAG");
    TfrmEdit& e = Open();
    Pick(1, 10, 10);  // fill: entry 0
    Pick(3, 125, 10); // text: entry 3
    Type(L"IIIII\r\n-.\r\nSummer trip 2024");
    e.btKakiClick();
    const std::vector<uint32_t> edited = EditedPixels(), filled = Reference({});
    const EditSettings& s = e.Settings();
    auto band = [&](int line, int rows) {
        const int top = LineTop(line, s.StartY, s.Gyoukan);
        return InkColumns(edited, filled, top, top + rows);
    };
    const int lineHeight = 12 + s.Gyoukan;
    for (int line = 0; line < 3; ++line) {
        const std::vector<int> ink = band(line, lineHeight);
        ASSERT_FALSE(ink.empty()) << "line " << line;
        EXPECT_GE(ink.front(), s.StartX) << "line " << line;
        EXPECT_LT(ink.back(), s.EndX) << "line " << line;
    }
    EXPECT_EQ(Runs(band(0, lineHeight)), 5); // five letters apart, none over another
    // "-" lies left of ".": the highest ink row holds only the dash, the lowest only the stop.
    const int top = LineTop(1, s.StartY, s.Gyoukan);
    auto row = [&](int y) { return InkColumns(edited, filled, y, y + 1); };
    int highest = top, lowest = top + lineHeight - 1;
    while (highest < lowest && row(highest).empty()) ++highest;
    while (lowest > highest && row(lowest).empty()) --lowest;
    const std::vector<int> dash = row(highest), stop = row(lowest);
    ASSERT_LT(highest, lowest);
    ASSERT_FALSE(dash.empty());
    EXPECT_LT(dash.back(), stop.front());
    // The words keep their space: three runs of ink at least.
    EXPECT_GE(Runs(band(2, lineHeight)), 3);
}

// A hand-edited rectangle reaching two thousand million pixels left of the picture is
// brought to its edge before anything is drawn: nothing the size of the rectangle is made,
// and the mesh stays inside the picture.
TEST_F(Editor, ARectangleFarOutsideThePictureIsWrittenInsideItAtOnce) {
    PutIni(L"Edit", L"StartX", L"-2000000000");
    PutIni(L"Edit", L"bAmi", L"0");
    StartOnMag(L"A.MAG");
    TfrmEdit& e = Open();
    EXPECT_EQ(Caption(), pictures.Path() + L"A.MAG (  0,302)-(591,375)");
    e.btKakiClick();
    const std::vector<uint32_t> before = MagPixels(pictures / L"A.MAG");
    const std::vector<uint32_t> after = EditedPixels();
    int changed = 0, outside = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool differs = after[y * 640 + x] != before[y * 640 + x];
            changed += differs;
            outside += differs && !(x < 591 && y >= 302 && y < 375);
        }
    EXPECT_GT(changed, 0);
    EXPECT_EQ(outside, 0);
}

TEST_F(Editor, AllLayersTransparentWriteChangesNothing) {
    StartOnMag(L"A.MAG");
    Open();
    std::vector<uint32_t> before = EditedPixels();
    Type(L"text");
    editor->btKakiClick();
    EXPECT_EQ(EditedPixels(), before);
}

TEST_F(Editor, SaveReplacesAMagPictureThroughMgExe) {
    WithMg();
    StartOnMag(L"A.MAG");
    TfrmEdit& e = Open();
    Pick(1, 10, 10);
    Pick(3, 45, 10);
    Type(L"Hello\r\nWorld");
    e.btKakiClick();
    std::vector<uint32_t> edited = EditedPixels();
    e.btSaveClick();
    EXPECT_TRUE(e.Closed());
    EXPECT_EQ(e.ModalResult(), IDOK);
    EXPECT_FALSE(e.ListChanged());
    EXPECT_EQ(MagPixels(pictures / L"A.MAG"), edited);
    EXPECT_FALSE(FileExists(pictures / L"A.BMP"));
    EXPECT_FALSE(FileExists(pictures / L"A.BAK"));
    const std::wstring dir = pictures.Path();
    EXPECT_EQ(FromAnsi(ReadBytes(program / L"TEMP.BAT")),
              dir.substr(0, 2) + L"\r\nCD /D " + dir.substr(0, dir.size() - 1) +
                  L"\r\nIF ERRORLEVEL 1 GOTO :EOF\r\n" + program.Path() + L"MG .MAG A.BMP\r\nDEL " +
                  dir + L"A.BAK\r\nDEL " + dir + L"A.BMP\r\n");
    EXPECT_EQ(dialogs.beeps, 0);
    // Only the picture, and no file put aside, is left.
    EXPECT_EQ(PictureFolderFiles(), std::vector<std::wstring>{L"A.MAG"});
}

// A read-only picture stays read-only, and its old copy, put aside for the conversion, goes.
TEST_F(Editor, AReadOnlyMagKeepsItsAttributesAndLeavesNoCopyBehind) {
    WithMg();
    StartOnMag(L"A.MAG");
    ASSERT_TRUE(::SetFileAttributesW((pictures / L"A.MAG").c_str(), FILE_ATTRIBUTE_READONLY));
    TfrmEdit& e = Open();
    Pick(1, 10, 10);
    e.btKakiClick();
    std::vector<uint32_t> edited = EditedPixels();
    e.btSaveClick();
    EXPECT_EQ(MagPixels(pictures / L"A.MAG"), edited);
    EXPECT_EQ(::GetFileAttributesW((pictures / L"A.MAG").c_str()) & FILE_ATTRIBUTE_READONLY,
              DWORD(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(PictureFolderFiles(), std::vector<std::wstring>{L"A.MAG"});
    ::SetFileAttributesW((pictures / L"A.MAG").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// An encoder that leaves the first bytes of a MAG file and fails: the picture comes back as
// it was, the edit is kept as a BMP, and the user is told.
TEST_F(Editor, AnEncoderThatFailsHalfWayKeepsThePictureAndTheEdit) {
    WithMg(L"failing_mg.exe");
    StartOnMag(L"A.MAG");
    const std::string original = ReadBytes(pictures / L"A.MAG");
    TfrmEdit& e = Open();
    Pick(1, 10, 10);
    e.btKakiClick();
    std::vector<uint32_t> edited = EditedPixels();
    e.btSaveClick();
    EXPECT_EQ(ReadBytes(pictures / L"A.MAG"), original);
    EXPECT_EQ(e.KeptFile(), pictures / L"A.BMP");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Save Error");
    const LoadedPicture kept = core().Pictures().LoadPicture(L"A.BMP", lpEdit, core().Source());
    ASSERT_TRUE(kept.ok);
    EXPECT_EQ(PixelsOf(kept.picture.Bitmap(), 640, 400), edited);
    EXPECT_EQ(PictureFolderFiles(), (std::vector<std::wstring>{L"A.BMP", L"A.MAG"}));
}

// Files named as Save's BMP and the encoder's BAK that were there before are not the
// picture's: they go where deleted pictures go, or nothing is saved.
class FilesInTheWay : public EditorFixture {
protected:
    std::vector<uint32_t> SaveWithBackupMode(int mode) {
        WithMg();
        StartOnMag(L"A.MAG");
        WriteBytes(pictures / L"A.BMP", "another picture");
        WriteBytes(pictures / L"A.BAK", "a backup");
        st().BackupMode = mode;
        st().BackupDir = backup.Path();
        Open();
        Pick(1, 10, 10);
        editor->btKakiClick();
        std::vector<uint32_t> edited = EditedPixels();
        editor->btSaveClick();
        return edited;
    }
    TestFolder backup{L"backup"};
};

TEST_F(FilesInTheWay, GoToTheBackupFolderBeforeTheConversion) {
    std::vector<uint32_t> edited = SaveWithBackupMode(2);
    EXPECT_EQ(MagPixels(pictures / L"A.MAG"), edited);
    EXPECT_EQ(PictureFolderFiles(), std::vector<std::wstring>{L"A.MAG"});
    EXPECT_EQ(ReadBytes(backup / L"A.BMP"), "another picture");
    EXPECT_EQ(ReadBytes(backup / L"A.BAK"), "a backup");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(editor->ListChanged());
}

// Deleted pictures are not kept: the save is refused, the window stays open.
TEST_F(FilesInTheWay, WithoutBackupTheSaveIsRefused) {
    WriteMag(pictures / L"A.MAG", BlockPicture(640, 400));
    const std::string original = ReadBytes(pictures / L"A.MAG");
    SaveWithBackupMode(0);
    EXPECT_FALSE(editor->Closed());
    EXPECT_EQ(ReadBytes(pictures / L"A.MAG"), original);
    EXPECT_EQ(ReadBytes(pictures / L"A.BMP"), "another picture");
    EXPECT_EQ(ReadBytes(pictures / L"A.BAK"), "a backup");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Save Error");
    EXPECT_NE(dialogs.messages[0].text.find(pictures / L"A.BMP"), std::wstring::npos);
    EXPECT_NE(dialogs.messages[0].text.find(pictures / L"A.BAK"), std::wstring::npos);
}

TEST_F(Editor, WithoutMgExeAMagPictureIsStoredAsABmpBesideIt) {
    StartOnMag(L"B.X.MAG");
    const std::string original = ReadBytes(pictures / L"B.X.MAG");
    TfrmEdit& e = Open();
    e.btSaveClick();
    EXPECT_EQ(e.ModalResult(), IDOK);
    EXPECT_EQ(ReadBytes(pictures / L"B.X.MAG"), original);
    EXPECT_TRUE(FileExists(pictures / L"B.BMP")); // the name up to its first "."
    EXPECT_FALSE(FileExists(program / L"TEMP.BAT"));
}

// B.X.MAG would convert to B.MAG: another picture of that name is not replaced.
TEST_F(Editor, AConversionThatWouldReplaceAnotherPictureKeepsTheBmp) {
    WithMg();
    StartOnMag(L"B.X.MAG");
    WriteMag(pictures / L"B.MAG", BlockPicture(64, 40));
    const std::string other = ReadBytes(pictures / L"B.MAG");
    TfrmEdit& e = Open();
    e.btSaveClick();
    EXPECT_EQ(ReadBytes(pictures / L"B.MAG"), other);
    EXPECT_EQ(e.KeptFile(), pictures / L"B.BMP");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"Save Error");
    EXPECT_FALSE(FileExists(program / L"TEMP.BAT"));
}

TEST_F(Editor, SavingABmpPictureOverwritesIt) {
    WriteSolidBmp(pictures / L"C.BMP", 100, 50, 10, 20, 30);
    Start();
    TfrmEdit& e = Open();
    e.Settings() = EditSettings{}; // too large: 10 %-90 % x 50 %-90 %
    e.LayoutEditor();
    EXPECT_EQ(e.Settings().StartX, 10);
    EXPECT_EQ(e.Settings().EndY, 45);
    e.Settings().bNuri = false;
    e.Settings().Nuri = RGB(200, 0, 0);
    e.btKakiClick();
    e.btSaveClick();
    const LoadedPicture saved = core().Pictures().LoadPicture(L"C.BMP", lpEdit, core().Source());
    ASSERT_TRUE(saved.ok);
    std::vector<uint32_t> pixels = PixelsOf(saved.picture.Bitmap(), 100, 50);
    EXPECT_EQ(pixels[30 * 100 + 20], 0xC80000u);
    EXPECT_EQ(pixels[10 * 100 + 20], 0x0A141Eu);
}

TEST_F(Editor, TheSettingsSurviveCancelAndATooLargeRectangleIsMadeToFit) {
    StartOnMag(L"A.MAG");
    TfrmEdit& e = Open();
    e.ToolButtonClick(5, true);
    Drag(16, 40, 100, 80);
    Pick(4, 10, 10);
    e.udGyouClick(9);
    ASSERT_TRUE(e.FormKeyDown(VK_ESCAPE));
    EXPECT_EQ(e.ModalResult(), IDCANCEL);
    EXPECT_EQ(IniText(L"Edit", L"StartX"), L"16");
    EXPECT_EQ(IniText(L"Edit", L"EndX"), L"103");
    EXPECT_EQ(IniText(L"Edit", L"EndY"), L"80");
    EXPECT_EQ(IniText(L"Edit", L"Gyoukan"), L"9");
    EXPECT_EQ(IniText(L"Edit", L"Kage"), std::to_wstring(PALETTEINDEX(0)));
    EXPECT_EQ(IniText(L"Edit", L"bKage"), L"0");
    EXPECT_EQ(IniText(L"Edit", L"bHanni"), L"1");
    EXPECT_FALSE(FileExists(pictures / L"A.BMP"));
    // Opened again on a small picture, a stored rectangle that does not fit is replaced.
    editor.reset();
    PutIni(L"Edit", L"EndX", L"591");
    WriteMag(pictures / L"A.MAG", BlockPicture(320, 200));
    TfrmEdit& small = Open();
    EXPECT_EQ(small.Settings().Gyoukan, 9);
    EXPECT_EQ(Caption(), pictures.Path() + L"A.MAG ( 32,100)-(288,180)");
    BITMAP view{};
    ::GetObjectW(small.ViewBitmap(), sizeof view, &view);
    EXPECT_EQ(view.bmWidth, 400); // at least 400 wide, black right of the picture
    EXPECT_EQ(PixelsOf(small.ViewBitmap(), 400, 220)[100 * 400 + 350],
              PixelsOf(small.ViewBitmap(), 400, 220)[219 * 400 + 399]);
}

TEST_F(Editor, ADamagedPictureOpensAsThePlaceholder) {
    std::vector<uint8_t> mag = imaging::EncodeMag(BlockPicture(640, 400));
    mag.resize(mag.size() / 2);
    WriteBytes(pictures / L"BAD.MAG", std::string(mag.begin(), mag.end()));
    Start();
    const std::string before = ReadBytes(pictures / L"BAD.MAG");
    const int beeps = dialogs.beeps; // the grid's thumbnail beeped already
    TfrmEdit& e = Open();
    EXPECT_EQ(dialogs.beeps, beeps + 1);
    const Picture& placeholder = core().Pictures().PlaceholderBitmap();
    EXPECT_EQ(Edited().Width(), placeholder.Width());
    EXPECT_EQ(Edited().Height(), placeholder.Height());
    e.btKakiClick();
    e.FormKeyDown(VK_ESCAPE);
    editor.reset();
    EXPECT_EQ(ReadBytes(pictures / L"BAD.MAG"), before);
    EXPECT_FALSE(FileExists(pictures / L"BAD.BMP"));
}

TEST_F(Editor, TheMemoCaretKeys) {
    StartOnMag(L"A.MAG");
    TfrmEdit& e = Open();
    Type(L"abcd\r\nefgh");
    ::SendMessageW(e.Memo(), EM_SETSEL, 2, 2);
    auto caret = [&] {
        DWORD start = 0;
        ::SendMessageW(e.Memo(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        return int(start);
    };
    auto press = [&](wchar_t c) { ::SendMessageW(e.Memo(), WM_CHAR, c, 1); };
    press(4); // Ctrl+D: right
    EXPECT_EQ(caret(), 3);
    press(19); // Ctrl+S: left
    EXPECT_EQ(caret(), 2);
    press(24); // Ctrl+X: down
    EXPECT_EQ(caret(), 8);
    press(5); // Ctrl+E: up
    EXPECT_EQ(caret(), 2);
    press(7); // Ctrl+G: delete
    wchar_t text[32] = {};
    ::GetWindowTextW(e.Memo(), text, 32);
    EXPECT_STREQ(text, L"abd\r\nefgh");
}

// The E key opens the editor modally on the cursor picture; a PI picture saved leaves the
// PI file as it was and adds a BMP beside it, which the rebuilt list shows.
TEST_F(Editor, TheEKeyEditsAPluginPictureAndTheListShowsTheNewBmp) {
    ASSERT_TRUE(::CopyFileW(FromAnsi(TOVN_SOURCE_DIR "/samples/S16.PI").c_str(),
                            (pictures / L"S16.PI").c_str(), FALSE));
    Start();
    const std::string original = ReadBytes(pictures / L"S16.PI");
    HWND seen = nullptr;
    OnShown hook([&](HWND editorWindow) {
        seen = editorWindow;
        ::PostMessageW(::GetDlgItem(editorWindow, TfrmEdit::idSave), BM_CLICK, 0, 0);
    });
    Key('E');
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(ReadBytes(pictures / L"S16.PI"), original);
    EXPECT_TRUE(FileExists(pictures / L"S16.BMP"));
    ASSERT_EQ(st().FileList.size(), 2u);
    EXPECT_TRUE(st().FileList[0].name == L"S16.BMP" || st().FileList[1].name == L"S16.BMP");
    EXPECT_EQ(CursorName(), L"S16.PI");
    EXPECT_TRUE(::IsWindowEnabled(w().Handle()));
}

TEST_F(Editor, CancelThroughTheEKeyLeavesEverythingAsItWas) {
    StartOnMag(L"A.MAG");
    OnShown hook([](HWND editorWindow) {
        ::PostMessageW(::GetDlgItem(editorWindow, TfrmEdit::idCansel), BM_CLICK, 0, 0);
    });
    Key('E');
    EXPECT_EQ(st().FileList.size(), 1u);
    EXPECT_EQ(IniText(L"Edit", L"StartX"), L"48");
    EXPECT_FALSE(FileExists(pictures / L"A.BMP"));
}
