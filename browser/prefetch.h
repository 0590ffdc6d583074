// Thumbnails made on the workers and drawn ahead: each cell of the pages around the one
// shown, rendered once into a bitmap of the cell's size, so that paging there copies it
// instead of decoding again.
#pragma once
#include "app/modal_loop.h"
#include "picture/decode_pool.h"
#include "picture/thumbnail_job.h"
#include "win/handles.h"
#include <windows.h>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tovn {

class MainWindow;

// One rendered cell; valid for the file's date and the cell it was drawn for.
struct CellPicture {
    int32_t date = 0;
    int cell = 0;
    int width = 0, height = 0;
    // 32 bits a pixel, top row first; none: the picture did not decode, the paint shows why.
    std::vector<uint32_t> pixels;
    bool Drawn() const { return !pixels.empty(); }
};

// The cells drawn lately by file name. The pixels of a cell let go are kept for the cells
// to come: memory new to the program is slow to touch on some machines, and paging or a
// new layout would otherwise touch a page's worth of it each time.
class CellStore {
public:
    // Names are bare: pictures from another folder or archive empty the store first.
    void UseSource(const std::wstring& source);
    void Clear();
    void Put(const std::wstring& name, CellPicture picture);
    // The picture rendered for name in this cell at this size, or null.
    const CellPicture* Find(const std::wstring& name, int cell, int width, int height) const;
    template <typename Keep> void KeepOnly(Keep keep) {
        for (auto it = pictures_.begin(); it != pictures_.end();)
            it = keep(it->first) ? std::next(it) : Drop(it);
    }
    size_t Size() const { return pictures_.size(); }
    // The pixels of a cell let go, to compose another cell into; empty when none is kept.
    std::vector<uint32_t> TakeSpare();

private:
    using Pictures = std::map<std::wstring, CellPicture>;
    Pictures::iterator Drop(Pictures::iterator it);
    void Keep(std::vector<uint32_t>& pixels);

    std::wstring source_;
    Pictures pictures_;
    std::vector<std::vector<uint32_t>> spare_;
};

// One cell's thumbnail asked of the workers; thumb is theirs until done.
struct ThumbTicket {
    ThumbRequest request;
    int cell = 0;
    int32_t date = 0;
    std::atomic<bool> done{false};
    std::atomic<bool> dropped{false}; // no longer wanted: skipped if not yet started
    CellThumb thumb;
    bool Ready() const { return done.load(std::memory_order_acquire); }
};
using ThumbTicketPtr = std::shared_ptr<ThumbTicket>;

// The decode workers and the lasting cache they share, with its thumbnails of the pages
// shown lately kept in memory while the cache is on.
class ThumbWorkers {
public:
    ThumbWorkers(const PictureHost& host, std::unique_ptr<thumbcache::ThumbCache> cache,
                 int workers = DecodePool::DefaultWorkers());
    // The cell is composed into spare's memory where it is large enough.
    ThumbTicketPtr Submit(ThumbRequest request, int cell, int32_t date,
                          std::vector<uint32_t> spare = {});
    // Decodes a waiting thumbnail on this thread if one waits, else waits until ticket is
    // done, a job ends or, with wake, such a message arrives (at most ms). True when the
    // ticket is done.
    bool Wait(const ThumbTicket& ticket, DWORD wake, DWORD ms);
    int Workers() const { return pool_.Workers(); }

private:
    const PictureHost& host_;
    std::unique_ptr<thumbcache::ThumbCache> cache_;
    std::unique_ptr<ThumbMemory> memory_;
    std::atomic<int> outstanding_{0}; // thumbnails asked for and not yet done
    DecodePool pool_;                 // last: its workers end before the cache goes
};

// What the paint does for one cell, decided before any cell is drawn so that the workers
// start on every decode of the page at once.
struct PlannedCell {
    enum Step { Kept, Empty, Stored, Decode };
    int cell = 0;
    int slot = 0;
    Step step = Kept;
    std::wstring name;
    int32_t date = 0;
    ThumbTicketPtr ticket; // Decode, outside palette screens
};

// The header of a cell's pixels: 32 bits, top row first.
BITMAPINFO CellBitmapInfo(int width, int height);

// One turn of the program's main loop (see RunLoopTurn in app/modal_loop.h): the idle step
// is the window's prefetch step. With wait, an idle turn sleeps until the next message.
LoopTurn RunLoopTurn(MainWindow& window, MSG& msg, bool wait);

} // namespace tovn
