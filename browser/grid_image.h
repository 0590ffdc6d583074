// imgMain: the grid image. Cells are drawn into a bitmap the size of the control (the
// canvas); on paint the canvas is copied into a second bitmap of the same format and
// palette, the cursor and mark bands are XORed onto that copy, and the copy goes to the
// screen. The canvas never holds a band, so no band can be left behind or drawn twice.
#pragma once
#include "core/bands.h"
#include "win/handles.h"
#include "win/image_control.h"
#include <windows.h>
#include <vector>

namespace tovn {

// Pen and brush in XOR over the whole rectangle: each pixel is inverted once by the colour
// (on a palette screen, its palette index by the colour's index).
void XorBand(HDC dc, const CellRect& r, uint32_t rgb);

class GridImage final : public ImageControl {
public:
    GridImage() = default;
    static void Register(HINSTANCE instance);
    void Create(HWND parent, HINSTANCE instance);
    // Sets the control's bounds and gives it a new, cleared bitmap of that size.
    void SetBounds(int left, int top, int width, int height);
    void Clear();
    HDC Canvas() const { return canvas_.Dc(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Copies the bitmap to the screen at once.
    void Refresh();
    void Refresh(const RECT& area);
    // Marks the area to be copied with the next refresh.
    void Invalidate(const RECT& area);
    // The palette selected into the canvas on a 256-colour display (not owned).
    void SelectPalette(HPALETTE palette);
    // The bands shown over the canvas from now on; only the areas of bands that came or went
    // are marked for the next refresh.
    void SetBands(std::vector<Band> bands);
    const std::vector<Band>& Bands() const { return bands_; }
    // The pixel the screen gets at (x, y): the canvas with the bands over it.
    COLORREF Composite(int x, int y) const;

private:
    // A memory DC holding a bitmap compatible with the screen.
    class Surface {
    public:
        ~Surface();
        // A bitmap of at least width x height: the one it has while that is large enough,
        // else one as large as the screen, so that a new display count or a maximise
        // draws into memory the program already uses.
        void Reset(HDC screen, int width, int height);
        HDC Dc() const { return dc_.get(); }

    private:
        UniqueMemDc dc_;
        UniqueBitmap bitmap_;
        HGDIOBJ oldBitmap_ = nullptr;
        int width_ = 0, height_ = 0;
    };

    void Paint(HDC dc, const RECT& area) override;
    LRESULT ButtonDown(UINT msg, WPARAM wp, LPARAM lp) override;
    // Brings area of the back surface up to date: canvas copied, bands XORed over it.
    void Compose(const RECT& area) const;
    Surface canvas_;
    Surface back_;
    std::vector<Band> bands_;
    int width_ = 0, height_ = 0;
};

} // namespace tovn
