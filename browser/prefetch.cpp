#include "browser/prefetch.h"
#include "browser/main_window.h"

namespace tovn {

void CellStore::UseSource(const std::wstring& source) {
    if (source == source_) return;
    pictures_.clear();
    source_ = source;
}

void CellStore::Put(const std::wstring& name, CellPicture picture) {
    pictures_[name] = std::move(picture);
}

const CellPicture* CellStore::Find(const std::wstring& name, int cell, int width,
                                   int height) const {
    auto it = pictures_.find(name);
    if (it == pictures_.end()) return nullptr;
    const CellPicture& p = it->second;
    return p.cell == cell && p.width == width && p.height == height ? &p : nullptr;
}

HDC CellStore::Dc(HDC like) {
    if (!dc_) dc_.reset(::CreateCompatibleDC(like));
    return dc_.get();
}

BITMAPINFO CellBitmapInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

LoopTurn RunLoopTurn(MainWindow& window, MSG& msg, bool wait) {
    return RunLoopTurn(
        msg, [&window] { return window.PrefetchStep(); }, wait);
}

} // namespace tovn
