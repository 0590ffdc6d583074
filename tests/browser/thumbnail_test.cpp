#include "slide/slide_window.h"
#include "picture/picture_host.h"
#include "support/browser_fixture.h"
#include "support/on_shown.h"

using namespace tovn;
using namespace tovn::test;

class Thumbnails : public BrowserFixture {
protected:
    void SetUp() override {
        PutIni(L"Window", L"Img", L"2");
        WriteSolidBmp(pictures / L"A.BMP", 40, 30, 255, 0, 0);
        WriteSolidBmp(pictures / L"B.BMP", 30, 40, 0, 255, 0);
        WriteSolidBmp(pictures / L"C.BMP", 10, 10, 0, 0, 255);
        Start();
    }
    COLORREF CellCentre(int cell) {
        int cw = st().CellWidth, ch = st().CellHeight;
        return Pixel(((cell - 1) % 2) * cw + cw / 2, ((cell - 1) / 2) * ch + ch * 2 / 3);
    }
    int Decodes() { return core().Pictures().DecodeCount(); }
};

TEST_F(Thumbnails, PicturesFillTheirCellsAndTheRestIsGrey) {
    EXPECT_EQ(CellCentre(1), RGB(255, 0, 0));
    EXPECT_EQ(CellCentre(2), RGB(0, 255, 0));
    EXPECT_EQ(CellCentre(3), RGB(0, 0, 255));
    EXPECT_EQ(CellCentre(4), RGB(128, 128, 128));
    int cw = st().CellWidth, ch = st().CellHeight;
    // The cursor band XORs the top third of cell 1 in yellow.
    EXPECT_EQ(Pixel(cw / 2, ch / 3 - 2), RGB(255, 0, 0) ^ RGB(255, 255, 0));
    // A 10x10 picture in a wide cell is enlarged to the cell's height and centred: the
    // background shows at the cell's left edge, the picture at its centre.
    EXPECT_EQ(Pixel(3, ch + ch / 2), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(Thumbnails, RepaintDecodesOnlyChangedFiles) {
    int first = Decodes();
    EXPECT_EQ(first, 3);
    Key('S');
    EXPECT_EQ(Decodes(), first);
    SetWrittenDaysAgo(pictures / L"B.BMP", 10);
    Key('S');
    EXPECT_EQ(Decodes(), first + 1);
}

TEST_F(Thumbnails, DamagedPictureShowsThePlaceholderWithOneBeep) {
    WriteTextFile(pictures / L"D.BMP", "BM this is not a picture");
    Key('S');
    EXPECT_EQ(dialogs.beeps, 1);
    // The placeholder is white with red letters: the cell is no longer grey.
    EXPECT_NE(CellCentre(4), RGB(128, 128, 128));
    Key('S'); // not retried until the file changes
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(Thumbnails, EditRefusesFilesNoPluginReads) {
    WriteTextFile(pictures / L"D.MAG", "not a picture");
    Key('S');
    for (int i = 0; i < 3; ++i) Key(VK_RIGHT); // D.MAG
    ASSERT_EQ(CursorName(), L"D.MAG");
    dialogs.messages.clear();
    Key('E');
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"このファイルは扱えません．");
    EXPECT_EQ(dialogs.messages[0].caption, L"Can not Use Edit");
    Key('E', ssCtrl); // Ctrl+E belongs to the arrows
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(Thumbnails, SlideShowCoversTheCursorFileAndAllAfterIt) {
    // What each show was opened on, seen from inside the viewer.
    std::vector<std::vector<std::wstring>> shown;
    OnShown closeShow([&](HWND viewer) {
        auto* f = dynamic_cast<TfrmSlide*>(Window::FromHandle(viewer));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->Mode(), SlideMode::Slide);
        shown.emplace_back();
        for (const NamedIndex& t : f->Targets().items) shown.back().push_back(t.name);
        ::SendMessageW(viewer, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    Key(VK_RIGHT); // B
    Key(VK_RETURN, ssShift);
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, 0);
    Key(VK_SPACE); // marked files only, when some are marked
    Key(VK_RETURN, ssShift);
    using Names = std::vector<std::wstring>;
    EXPECT_EQ(shown, (std::vector<Names>{Names{L"B.BMP", L"C.BMP"}, Names{L"B.BMP"}}));
    EXPECT_EQ(closeShow.Calls(), 2);
}
