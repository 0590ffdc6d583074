// TfrmSlide: the slide viewer. Shows the pictures of its targets one at a time above the
// browser, at natural size or fitted to the screen, in the mode DialogParam names
// ("Slide", "Hyouzi" or "Sort"); MAG pictures that cover part of a screen are laid over the
// MAG picture before them.
#pragma once
#include "win/window.h"
#include "core/browser_state.h"
#include "core/slide_geometry.h"
#include "picture/picture_host.h"
#include "slide/slide_image.h"
#include <windows.h>
#include <optional>

namespace tovn {

class BrowserPort;

class TfrmSlide final : public Window {
public:
    TfrmSlide(BrowserPort& browser, TargetList targets, const std::wstring& DialogParam);
    ~TfrmSlide() override;
    TfrmSlide(const TfrmSlide&) = delete;
    TfrmSlide& operator=(const TfrmSlide&) = delete;

    // Creates the window and runs it modally above the browser until it closes.
    void ShowModal();
    bool Closed() const { return closed_; }

    // Event handlers.
    void FormShow();
    void FormKeyDown(WORD key);
    void imgSlide1MouseDown(int button);
    void imgSlide2MouseDown(int button);
    void FormClose();

    const TargetList& Targets() const { return targets_; }
    SlideMode Mode() const { return mode_; }
    int SlideIndex() const { return slideIndex_; }
    float SlideScale() const { return slideScale_; }
    const PictureRect& SlideBase() const { return slideBase_; }
    const SlideImage& imgSlide1() const { return imgSlide1_; }
    const SlideImage& imgSlide2() const { return imgSlide2_; }

    // Decodes the next picture of a show ahead (the message loop calls it when idle); true
    // when it decoded one.
    bool IdlePrefetch();
    bool HasPrefetched() const { return prefetched_.has_value(); }

private:
    static void Register(HINSTANCE instance);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Create();
    void Close();

    void ShowSlidePicture();
    void ShowBmpSlide();
    void ShowPluginSlide();
    void ShowAsOverlay(Picture picture, const PictureRect& place);
    void ShowAsBase(Picture picture, const SlideLayout& layout, const PictureRect& base);
    // A decoded picture (the placeholder when it failed) with its place.
    struct SlidePicture {
        std::wstring name;
        bool loaded = false;
        Picture picture;
        PictureInfo info{};
    };
    bool Decode(const std::wstring& name, SlidePicture& out);
    bool LoadSlidePicture(const std::wstring& name, SlidePicture& out);
    void ToggleMarkBand();
    void ApplyLayout(const SlideLayout& layout);
    void ClearOverlay();

    void Next();
    void MarkAndNext();
    void Previous();
    void MarkAndClose();
    void CloseFromSlide();
    void FlipShownMark();
    bool AtLastSlide() const;
    int ShownSlot() const;

    SlideScreen Screen() const;
    void UpdateScrollBars();
    void SetScrollRange(int bar, int content, int page, int position);
    void Scroll(int bar, int code);

    BrowserPort& browser_;
    const TargetList targets_;
    SlideImage imgSlide1_;
    SlideImage imgSlide2_;
    SlideMode mode_ = SlideMode::Other;
    FrameSize frame_;
    int slideIndex_ = 0;
    float slideScale_ = 1.0f;
    PictureRect slideBase_;
    int originX_ = 0, originY_ = 0; // scroll position of the client area
    bool updatingScrollBars_ = false;
    bool closed_ = false;
    std::optional<SlidePicture> prefetched_;
};

// Opens the viewer on targets in the mode DialogParam names; nothing without a target.
void ShowSlide(BrowserPort& browser, const TargetList& targets, const std::wstring& DialogParam);

} // namespace tovn
