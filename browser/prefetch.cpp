#include "browser/prefetch.h"
#include "browser/main_window.h"
#include <exception>

namespace tovn {

namespace {

// Three pages of 10 x 10 cells at the cache's side: the page shown and those around it.
constexpr size_t kThumbMemoryBytes = size_t{64} << 20;

} // namespace

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

ThumbWorkers::ThumbWorkers(const PictureHost& host, std::unique_ptr<thumbcache::ThumbCache> cache,
                           int workers)
    : host_(host), cache_(std::move(cache)),
      memory_(cache_ ? std::make_unique<ThumbMemory>(kThumbMemoryBytes) : nullptr), pool_(workers) {
    if (cache_) cache_->KeepReading(true);
}

ThumbTicketPtr ThumbWorkers::Submit(ThumbRequest request, int cell, int32_t date) {
    auto ticket = std::make_shared<ThumbTicket>();
    ticket->request = std::move(request);
    ticket->cell = cell;
    ticket->date = date;
    ++outstanding_;
    pool_.Submit([this, ticket] {
        if (!ticket->dropped.load()) {
            try {
                ticket->thumb = MakeCellThumb(host_, cache_.get(), ticket->request, memory_.get());
            } catch (const std::exception&) { // out of memory: the cell shows as not read
                ticket->thumb = CellThumb{};
            }
        }
        // The cache's shared read ends with the last thumbnail asked for, so that what
        // another copy of the program keeps there is seen by the next page.
        if (--outstanding_ == 0 && cache_) cache_->EndReads();
        ticket->done.store(true, std::memory_order_release);
    });
    return ticket;
}

bool ThumbWorkers::Wait(const ThumbTicket& ticket, DWORD wake, DWORD ms) {
    if (ticket.Ready() || pool_.RunOne()) return ticket.Ready();
    HANDLE finished = pool_.Finished();
    ::MsgWaitForMultipleObjects(1, &finished, FALSE, ms, wake);
    return ticket.Ready();
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
        msg, [&window] { return window.Painter().PrefetchStep(); }, wait);
}

} // namespace tovn
