// Thumbnails drawn ahead: each cell of the pages around the one shown, rendered once into a
// bitmap of the cell's size, so that paging there copies it instead of decoding again.
#pragma once
#include "app/modal_loop.h"
#include "win/handles.h"
#include <windows.h>
#include <cstdint>
#include <map>
#include <string>

namespace tovn {

class MainWindow;

// One rendered cell; valid for the file's date and the cell it was drawn for.
struct CellPicture {
    int32_t date = 0;
    int cell = 0;
    int width = 0, height = 0;
    UniqueBitmap bitmap; // a 32-bit DIB section; none: the picture did not decode, the
                         // paint shows why
    const void* bits = nullptr;
};

class CellStore {
public:
    // Names are bare: pictures from another folder or archive empty the store first.
    void UseSource(const std::wstring& source);
    void Clear() { pictures_.clear(); }
    void Put(const std::wstring& name, CellPicture picture);
    // The picture rendered for name in this cell at this size, or null.
    const CellPicture* Find(const std::wstring& name, int cell, int width, int height) const;
    template <typename Keep> void KeepOnly(Keep keep) {
        for (auto it = pictures_.begin(); it != pictures_.end();)
            it = keep(it->first) ? std::next(it) : pictures_.erase(it);
    }
    size_t Size() const { return pictures_.size(); }
    // One memory DC, compatible with like, for every rendering into the store.
    HDC Dc(HDC like);

private:
    UniqueMemDc dc_;
    std::wstring source_;
    std::map<std::wstring, CellPicture> pictures_;
};

// The header of a cell's pixels: 32 bits, top row first.
BITMAPINFO CellBitmapInfo(int width, int height);

// One turn of the program's main loop (see RunLoopTurn in app/modal_loop.h): the idle step
// is the window's prefetch step. With wait, an idle turn sleeps until the next message.
LoopTurn RunLoopTurn(MainWindow& window, MSG& msg, bool wait);

} // namespace tovn
