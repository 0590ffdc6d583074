// The slide viewer opened from the real browser: sizes, keys of the three modes, marks,
// the browser cursor, MAG overlays and the placeholder.
#include "slide/tests/slide_fixture.h"

using namespace tovn;
using namespace tovn::test;

namespace {
constexpr COLORREF P01 = RGB(20, 100, 200), P02 = RGB(40, 100, 200);

// What a timer saw of a show whose loop had been waiting for a key; a timer procedure takes
// no context, so it finds this here.
struct WaitingShow {
    PictureHost* host = nullptr;
    int decodesWhenShown = -1, decodesWhenWaiting = -1, decodesAfterNext = -1;
    bool aheadWhenWaiting = false;
    int indexAfterNext = -1;
};
WaitingShow* waitingShow = nullptr;

// Looks at the show, steps on with N and closes it with Esc.
void CALLBACK LookAtWaitingShow(HWND window, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(window, timer);
    auto* f = dynamic_cast<TfrmSlide*>(Window::FromHandle(window));
    if (f && waitingShow) {
        waitingShow->aheadWhenWaiting = f->HasPrefetched();
        waitingShow->decodesWhenWaiting = waitingShow->host->DecodeCount();
        ::SendMessageW(window, WM_KEYDOWN, 'N', 0);
        waitingShow->decodesAfterNext = waitingShow->host->DecodeCount();
        waitingShow->indexAfterNext = f->SlideIndex();
    }
    ::SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
}

} // namespace

class SlideViewer : public SlideFixture {
protected:
    // A full screen A, then B at left 8, top 16 and C at 320, 200, both inside A.
    void WriteMagSequence() {
        WriteMag(L"A.MAG", 640, 400, 0, 0, 1);
        WriteMag(L"B.MAG", 200, 96, 8, 16, 2);
        WriteMag(L"C.MAG", 160, 80, 320, 200, 3);
    }
};

TEST_F(SlideViewer, EnterShowsTheCursorPictureAtNaturalSizeAndSpaceMarksAndMovesOn) {
    MakePictures(3, 60, 40);
    StartAt(3);
    View(VK_RETURN, 0, [&](TfrmSlide& f) {
        ASSERT_EQ(f.Targets().items.size(), 1u);
        EXPECT_EQ(f.Targets().items[0].name, L"P01.BMP");
        EXPECT_EQ(f.Mode(), SlideMode::Hyouzi);
        EXPECT_EQ(WindowSize(f).cx, 100); // narrower than the minimum, frame included
        EXPECT_EQ(ClientSize(f).cy, 40);
        EXPECT_EQ(f.imgSlide1().Width(), 60);
        EXPECT_EQ(f.imgSlide1().Height(), 40);
        EXPECT_FALSE(f.imgSlide2().Visible());
        EXPECT_EQ(Caption(f), pictures.Path() + L"P01.BMP");
        EXPECT_EQ(ScreenPixel(f, 30, 10), P01);
        // Centred on the screen and its work area.
        RECT r = WindowRect(f);
        EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - 100) / 2);
        EXPECT_EQ(r.top, (st().WorkAreaHeight - (r.bottom - r.top)) / 2);
        Press(f, VK_SPACE);
        EXPECT_TRUE(f.Closed());
    });
    EXPECT_EQ(st().FileList[0].mark, 1);
    EXPECT_EQ(CursorName(), L"P02.BMP");
    EXPECT_EQ(dialogs.beeps, 0);

    // Any other key only closes; the double click opens the same view.
    View(VK_RETURN, 0, [&](TfrmSlide& f) {
        EXPECT_EQ(ScreenPixel(f, 30, 10), P02);
        Press(f, 'N');
        EXPECT_TRUE(f.Closed());
    });
    EXPECT_EQ(st().FileList[1].mark, 0);
    EXPECT_EQ(CursorName(), L"P02.BMP");
}

TEST_F(SlideViewer, SpaceOnTheLastPictureOfAPageMarksItAndKeepsTheCursor) {
    MakePictures(2, 60, 40);
    StartAt(1);
    View(VK_RETURN, 0, [&](TfrmSlide& f) { Press(f, VK_SPACE); });
    EXPECT_EQ(st().FileList[0].mark, 1);
    EXPECT_EQ(CursorName(), L"P01.BMP");
}

TEST_F(SlideViewer, MouseButtonsOnThePictureActAsNAndM) {
    MakePictures(2, 60, 40);
    StartAt(3);
    View(VK_RETURN, 0, [&](TfrmSlide& f) {
        Click(f.imgSlide1(), WM_MBUTTONDOWN);
        EXPECT_FALSE(f.Closed());
        Click(f.imgSlide1(), WM_RBUTTONDOWN);
        EXPECT_TRUE(f.Closed());
    });
    EXPECT_EQ(st().FileList[0].mark, 1);
    // The double click on a cell opens the picture under the mouse.
    ::SendMessageW(w().Image().Handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(st().CellWidth + 2, 2));
    bool opened = false;
    OnShown hook([&](HWND window) {
        TfrmSlide* f = Viewer(window);
        ASSERT_NE(f, nullptr);
        opened = true;
        EXPECT_EQ(Caption(*f), pictures.Path() + L"P02.BMP");
        Click(f->imgSlide1(), WM_LBUTTONDOWN);
        EXPECT_TRUE(f->Closed());
    });
    DoubleClickGrid();
    Pump();
    EXPECT_TRUE(opened);
}

TEST_F(SlideViewer, FullSizeFitsTheFirstClientEdgeAndCentres) {
    WriteSolidBmp(pictures / L"WIDE.BMP", 100, 50, 250, 10, 10);
    StartAt(3);
    Key('F');
    EXPECT_TRUE(st().SlideFullSize);
    View(VK_RETURN, 0, [&](TfrmSlide& f) {
        const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
        RECT r = WindowRect(f);
        // On a landscape screen a 2:1 picture meets the side edges first; the sizes are the
        // exact products with the single-precision scale, truncated, so they may fall a
        // pixel short of the edge.
        EXPECT_LE(r.right - r.left, screenWidth);
        EXPECT_GE(r.right - r.left, screenWidth - 1);
        EXPECT_EQ(r.left, 0);
        SIZE client = ClientSize(f);
        EXPECT_EQ(f.imgSlide1().Width(), client.cx);
        EXPECT_EQ(f.imgSlide1().Height(), client.cy);
        EXPECT_EQ(client.cx, static_cast<int>(100.0 * f.SlideScale()));
        EXPECT_EQ(client.cy, static_cast<int>(50.0 * f.SlideScale()));
        EXPECT_GT(f.SlideScale(), 5.0f);
        EXPECT_EQ(r.top, (st().WorkAreaHeight - (r.bottom - r.top)) / 2);
        EXPECT_EQ(ScreenPixel(f, client.cx / 2, client.cy / 2), RGB(250, 10, 10));
    });
    EXPECT_EQ(dialogs.beeps, 1); // F beeps
}

TEST_F(SlideViewer, SlideShowStepsBeepsAtTheEndsAndTogglesTheMarkBand) {
    MakePictures(4, 60, 40);
    StartAt(3);
    Key(VK_SPACE);
    Key(VK_SPACE);
    Key(VK_SPACE); // P01..P03 marked, cursor on P04
    View(VK_RETURN, ssShift, [&](TfrmSlide& f) {
        ASSERT_EQ(f.Targets().items.size(), 3u);
        EXPECT_EQ(f.Mode(), SlideMode::Slide);
        EXPECT_EQ(f.SlideIndex(), 0);
        EXPECT_EQ(CursorName(), L"P01.BMP"); // the browser follows the show
        EXPECT_EQ(st().FileList[0].mark, 0); // the show took the marks
        Press(f, VK_RIGHT);
        Press(f, 'N');
        EXPECT_EQ(f.SlideIndex(), 2);
        EXPECT_EQ(CursorName(), L"P03.BMP");
        Press(f, VK_RETURN);
        EXPECT_EQ(f.SlideIndex(), 2);
        EXPECT_EQ(dialogs.beeps, 1);
        Press(f, VK_LEFT);
        Press(f, 'B');
        EXPECT_EQ(f.SlideIndex(), 0);
        Press(f, 'B');
        EXPECT_EQ(dialogs.beeps, 2);
        EXPECT_EQ(ScreenPixel(f, 30, 35), P01);

        Press(f, VK_SPACE); // marks P01 and moves on
        EXPECT_EQ(st().FileList[0].mark, 1);
        EXPECT_EQ(f.SlideIndex(), 1);
        Press(f, VK_LEFT); // a marked picture comes with its band
        EXPECT_EQ(ScreenPixel(f, 30, 35), RGB(20 ^ 255, 100, 200));
        EXPECT_EQ(ScreenPixel(f, 30, 5), P01);
        Press(f, 'M'); // unmarks it, band gone, and moves on
        EXPECT_EQ(st().FileList[0].mark, 0);
        Press(f, VK_LEFT);
        EXPECT_EQ(ScreenPixel(f, 30, 35), P01);
        Press(f, VK_DOWN);
        Press(f, VK_DOWN);
        Press(f, VK_DOWN); // at the last picture: marks it and stays, no beep
        EXPECT_EQ(f.SlideIndex(), 2);
        EXPECT_EQ(st().FileList[2].mark, 1);
        EXPECT_EQ(dialogs.beeps, 2);
        Press(f, VK_UP);
        EXPECT_TRUE(f.Closed());
    });
    EXPECT_EQ(CursorName(), L"P03.BMP");
    EXPECT_EQ(st().FileList[1].mark, 1);
    EXPECT_EQ(st().FileList[3].mark, 0);
}

TEST_F(SlideViewer, WithoutSyncTheBrowserTurnsToTheLastPictureOnlyAtTheEnd) {
    MakePictures(6, 60, 40);
    PutIni(L"ETC", L"Slide", L"0");
    StartAt(2); // four cells a page
    View(VK_RETURN, ssShift, [&](TfrmSlide& f) {
        ASSERT_FALSE(st().SlideSync);
        for (int i = 0; i < 5; ++i) Press(f, 'N');
        EXPECT_EQ(f.SlideIndex(), 5);
        Press(f, VK_ESCAPE);
    });
    EXPECT_EQ(st().CurrentPage, 2);
    EXPECT_EQ(CursorName(), L"P06.BMP");
}

TEST_F(SlideViewer, PartialMagPicturesAreShownOverTheBaseAtTheirPlace) {
    WriteMagSequence();
    WriteMag(L"D.MAG", 320, 200, 0, 0, 4);
    StartAt(3);
    View(VK_RETURN, ssShift, [&](TfrmSlide& f) {
        ASSERT_EQ(f.Targets().items.size(), 4u);
        const SIZE base = WindowSize(f);
        EXPECT_EQ(ClientSize(f).cx, 640);
        EXPECT_EQ(ClientSize(f).cy, 400);
        EXPECT_EQ(ScreenPixel(f, 20, 20), Colour16(1));

        Press(f, 'N'); // B over A
        ASSERT_TRUE(f.imgSlide2().Visible());
        EXPECT_EQ(f.imgSlide2().Left(), 8);
        EXPECT_EQ(f.imgSlide2().Top(), 16);
        EXPECT_EQ(f.imgSlide2().Width(), 200);
        EXPECT_EQ(f.imgSlide2().Height(), 96);
        EXPECT_EQ(WindowSize(f).cx, base.cx);
        EXPECT_EQ(WindowSize(f).cy, base.cy);
        EXPECT_EQ(ScreenPixel(f, 7, 15), Colour16(1));
        EXPECT_EQ(ScreenPixel(f, 8, 16), Colour16(2));
        EXPECT_EQ(ScreenPixel(f, 207, 111), Colour16(2));
        EXPECT_EQ(ScreenPixel(f, 208, 112), Colour16(1));

        Press(f, VK_RIGHT); // C replaces B over A
        EXPECT_EQ(f.imgSlide2().Left(), 320);
        EXPECT_EQ(f.imgSlide2().Top(), 200);
        EXPECT_EQ(ScreenPixel(f, 20, 20), Colour16(1));
        EXPECT_EQ(ScreenPixel(f, 330, 210), Colour16(3));
        EXPECT_EQ(WindowSize(f).cx, base.cx);
        EXPECT_EQ(f.SlideBase().width, 640);

        Press(f, 'N'); // D at the base's origin: the new base
        EXPECT_FALSE(f.imgSlide2().Visible());
        EXPECT_EQ(f.SlideBase().width, 320);
        EXPECT_EQ(f.SlideBase().height, 200);
        EXPECT_EQ(ClientSize(f).cx, 320);
        EXPECT_EQ(ClientSize(f).cy, 200);
        EXPECT_EQ(ScreenPixel(f, 100, 100), Colour16(4));
    });
}

TEST_F(SlideViewer, GoingBackOverlaysAPartialPictureOnTheCurrentBaseAgain) {
    WriteMagSequence();
    StartAt(3);
    View(VK_RETURN, ssShift, [&](TfrmSlide& f) {
        Press(f, 'N');
        Press(f, 'N');
        Press(f, 'B'); // back to B: its previous entry is a MAG and it fits the base A
        ASSERT_TRUE(f.imgSlide2().Visible());
        EXPECT_EQ(f.imgSlide2().Left(), 8);
        EXPECT_EQ(ScreenPixel(f, 330, 210), Colour16(1));
        EXPECT_EQ(ScreenPixel(f, 10, 20), Colour16(2));
        Press(f, 'B'); // A: a new base again
        EXPECT_FALSE(f.imgSlide2().Visible());
    });
}

TEST_F(SlideViewer, AMarkedPartialPictureShowsItsBandOnItsOwnImage) {
    WriteMagSequence();
    StartAt(3);
    View(VK_RETURN, ssShift, [&](TfrmSlide& f) {
        Press(f, 'N');
        Press(f, 'M'); // B marked (its band drawn), then C over A
        EXPECT_EQ(st().FileList[1].mark, 1);
        EXPECT_EQ(f.imgSlide2().Left(), 320);
        Press(f, 'B'); // B again, marked: its band on B's own picture
        EXPECT_EQ(ScreenPixel(f, 10, 17), Colour16(2));
        // The band is XORed onto the picture's colour indices: 2 ^ red's index 1.
        EXPECT_EQ(ScreenPixel(f, 10, 16 + 95), Colour16(3));
    });
}

TEST_F(SlideViewer, APictureThatCannotBeDecodedShowsThePlaceholderAtNaturalSize) {
    WriteTextFile(pictures / L"BAD.MAG", "not a picture");
    StartAt(3);
    const int gridBeeps = dialogs.beeps; // the grid's cell of it
    View(VK_RETURN, 0, [&](TfrmSlide& f) {
        EXPECT_EQ(ClientSize(f).cx, 320);
        EXPECT_EQ(ClientSize(f).cy, 100);
        EXPECT_EQ(f.imgSlide1().Width(), 320);
        EXPECT_TRUE(f.imgSlide1().Visible());
        EXPECT_EQ(f.SlideBase().width, 320);
    });
    EXPECT_EQ(dialogs.beeps, gridBeeps + 1);
}

TEST_F(SlideViewer, PicturesLargerThanTheScreenGetScrollBars) {
    WriteSolidBmp(pictures / L"TALL.BMP", 300, 1200, 10, 200, 10);
    StartAt(3);
    View(VK_RETURN, 0, [&](TfrmSlide& f) {
        RECT r = WindowRect(f);
        EXPECT_EQ(r.bottom - r.top, st().WorkAreaHeight);
        EXPECT_EQ(r.top, 0);
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        ASSERT_TRUE(::GetScrollInfo(f.Handle(), SB_VERT, &si));
        EXPECT_EQ(si.nMax, 1199);
        EXPECT_EQ(int(si.nPage), ClientSize(f).cy);
        ::SendMessageW(f.Handle(), WM_VSCROLL, SB_BOTTOM, 0);
        Pump();
        EXPECT_EQ(f.imgSlide1().Top(), 0);
        RECT image;
        ::GetWindowRect(f.imgSlide1().Handle(), &image);
        POINT p{image.left, image.bottom};
        ::ScreenToClient(f.Handle(), &p);
        EXPECT_EQ(p.y, ClientSize(f).cy); // the bottom row shows at the bottom edge
    });
}

TEST_F(SlideViewer, SortModeViewClosesOnAnyKey) {
    MakePictures(2, 60, 40);
    StartAt(3);
    Key(VK_DELETE); // sort mode
    ASSERT_TRUE(st().SortMode);
    View(VK_RETURN, 0, [&](TfrmSlide& f) {
        EXPECT_EQ(f.Mode(), SlideMode::Other); // any key closes
        Press(f, VK_SPACE);
        EXPECT_TRUE(f.Closed());
    });
    EXPECT_TRUE(st().SortMode);
}

TEST_F(SlideViewer, TheNextPictureDecodedAheadIsShownWithoutDecodingAgain) {
    MakePictures(3, 60, 40);
    WriteTextFile(pictures / L"P04.BMP", "not a picture");
    StartAt(3);
    const int gridBeeps = dialogs.beeps;
    View(VK_RETURN, ssShift, [&](TfrmSlide& f) {
        PictureHost& host = core().Pictures();
        f.IdlePrefetch();
        ASSERT_TRUE(f.HasPrefetched());
        const int decodes = host.DecodeCount();
        f.IdlePrefetch(); // already there: nothing decoded again
        EXPECT_EQ(host.DecodeCount(), decodes);
        Press(f, 'N');
        EXPECT_EQ(host.DecodeCount(), decodes);
        EXPECT_EQ(ScreenPixel(f, 30, 10), P02);
        EXPECT_FALSE(f.HasPrefetched());

        // Decoded ahead but not asked for: dropped.
        f.IdlePrefetch();
        Press(f, 'B');
        EXPECT_EQ(host.DecodeCount(), decodes + 2);
        EXPECT_EQ(ScreenPixel(f, 30, 10), P01);
        EXPECT_FALSE(f.HasPrefetched());

        // A picture that cannot be decoded beeps when it is shown, not before.
        Press(f, 'N');
        Press(f, 'N');
        f.IdlePrefetch();
        EXPECT_EQ(dialogs.beeps, gridBeeps);
        Press(f, 'N');
        EXPECT_EQ(dialogs.beeps, gridBeeps + 1);
        EXPECT_EQ(ClientSize(f).cx, 320); // the placeholder
    });
}

// The viewer's own loop decodes the next picture while the show waits for a key, once
// however long it waits, and N then shows it without decoding again.
TEST_F(SlideViewer, TheWaitingShowDecodesTheNextPictureAheadOnce) {
    MakePictures(3, 60, 40);
    StartAt(3);
    WaitingShow show;
    show.host = &core().Pictures();
    waitingShow = &show;
    OnShown hook([&](HWND window) {
        show.decodesWhenShown = show.host->DecodeCount();
        ::SetTimer(window, 1, 300, LookAtWaitingShow); // the loop has long been idle by then
    });
    Key(VK_RETURN, ssShift);
    waitingShow = nullptr;
    ASSERT_EQ(hook.Calls(), 1);
    EXPECT_TRUE(show.aheadWhenWaiting);
    EXPECT_EQ(show.decodesWhenWaiting, show.decodesWhenShown + 1);
    EXPECT_EQ(show.indexAfterNext, 1);
    EXPECT_EQ(show.decodesAfterNext, show.decodesWhenWaiting);
}
