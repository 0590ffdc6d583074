#include "browser/prefetch.h"
#include "browser/main_window.h"
#include <exception>

namespace tovn {

namespace {

// Three pages of 10 x 10 cells at the cache's side: the page shown and those around it.
constexpr size_t kThumbMemoryBytes = size_t{64} << 20;
// Cells whose pixels are kept for reuse: the pages around the one shown at 10 x 10.
constexpr size_t kSpareCells = 300;

} // namespace

void CellStore::UseSource(const std::wstring& source) {
    if (source == source_) return;
    Clear();
    source_ = source;
}

void CellStore::Clear() {
    for (auto it = pictures_.begin(); it != pictures_.end();) it = Drop(it);
}

void CellStore::Put(const std::wstring& name, CellPicture picture) {
    CellPicture& kept = pictures_[name];
    Keep(kept.pixels);
    kept = std::move(picture);
}

CellStore::Pictures::iterator CellStore::Drop(Pictures::iterator it) {
    Keep(it->second.pixels);
    return pictures_.erase(it);
}

void CellStore::Keep(std::vector<uint32_t>& pixels) {
    if (pixels.capacity() > 0 && spare_.size() < kSpareCells) spare_.push_back(std::move(pixels));
}

std::vector<uint32_t> CellStore::TakeSpare() {
    if (spare_.empty()) return {};
    std::vector<uint32_t> pixels = std::move(spare_.back());
    spare_.pop_back();
    return pixels;
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

ThumbTicketPtr ThumbWorkers::Submit(ThumbRequest request, int cell, int32_t date,
                                    std::vector<uint32_t> spare) {
    auto ticket = std::make_shared<ThumbTicket>();
    ticket->thumb.cell = std::move(spare);
    ticket->request = std::move(request);
    ticket->cell = cell;
    ticket->date = date;
    ++outstanding_;
    pool_.Submit([this, ticket] {
        if (!ticket->dropped.load()) {
            try {
                ticket->thumb = MakeCellThumb(host_, cache_.get(), ticket->request, memory_.get(),
                                              std::move(ticket->thumb.cell));
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
