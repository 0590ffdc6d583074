// imgMain: the grid image. Everything is drawn into a bitmap the size of the control, which
// is copied to the screen on paint, so XOR bands and cells stay as drawn.
#pragma once
#include "win/handles.h"
#include "win/image_control.h"
#include <windows.h>

namespace tovn {

class GridImage final : public ImageControl {
public:
    GridImage() = default;
    ~GridImage() override;
    static void Register(HINSTANCE instance);
    void Create(HWND parent, HINSTANCE instance);
    // Sets the control's bounds and gives it a new, cleared bitmap of that size.
    void SetBounds(int left, int top, int width, int height);
    void Clear();
    HDC Canvas() const { return dc_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Copies the bitmap to the screen at once.
    void Refresh();
    void Refresh(const RECT& area);
    // Marks the area to be copied with the next refresh.
    void Invalidate(const RECT& area);
    // The palette selected into the canvas on a 256-colour display (not owned).
    void SelectPalette(HPALETTE palette);

private:
    void Paint(HDC dc, const RECT& area) override;
    LRESULT ButtonDown(UINT msg, WPARAM wp, LPARAM lp) override;
    UniqueMemDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    int width_ = 0, height_ = 0;
};

} // namespace tovn
