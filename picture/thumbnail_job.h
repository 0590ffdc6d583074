// A grid cell's thumbnail made off the window's thread: taken from the lasting thumbnail
// cache when it holds the picture large enough, else decoded (reduced where the plug-in can)
// and kept there; either way reduced by area averaging into the box the cell's placement
// gives, inside the cell's frame. Copying it to the screen, the placeholder of a picture that
// did not decode and the marks stay with the window.
#pragma once
#include "core/geometry.h"
#include "imaging/area_reduce.h"
#include "picture/picture_host.h"
#include "thumbcache/thumb_cache.h"
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace tovn {

struct ThumbRequest {
    std::wstring name; // bare, in source
    PictureSource source;
    int column = 0, row = 0;
    int cellWidth = 0, cellHeight = 0;
    uint32_t cellFill = 0xC0C0C0; // inside the cell's white edge: B G R X
    // The cache's key; without one (a file whose attributes could not be read) the cache is
    // neither asked nor filled.
    bool keyed = false;
    thumbcache::Key key;
};

struct CellThumb {
    // What a load would have reported (ok, picture information, colours, their flags); the
    // picture itself is left empty.
    LoadedPicture report;
    bool decoded = false; // false: served by the cache
    PictureBox box;       // the picture's box in the grid, its 1-pixel border included
    // The whole cell as the grid shows it, cellWidth x cellHeight, top row first, B G R X:
    // its edge in white around the fill, and the picture reduced into the box less its
    // border, cut off where it passes the cell.
    std::vector<uint32_t> cell;
    int cellWidth = 0, cellHeight = 0;
    int Width() const { return box.w - 2; }
    int Height() const { return box.h - 2; }
    // The picture's pixels as they stand in the cell, (box.w - 2) x (box.h - 2); 0 where
    // the box passes the cell.
    std::vector<uint32_t> Picture() const;
    int pictureX = 0, pictureY = 0; // where the picture's top-left pixel stands in the cell
};

// The thumbnails of the pictures decoded lately, held in memory as well as in the lasting
// cache: a layout change (another display count, a resized window) reduces them again
// without reading the file, even where the lasting cache is off or passed by. Keyed as the
// lasting cache is, so that a changed file finds nothing; bounded by bytes, the least
// recently used going first. Safe from several threads.
class ThumbMemory {
public:
    explicit ThumbMemory(size_t limitBytes) : limit_(limitBytes) {}
    std::shared_ptr<const thumbcache::Thumb> Find(const thumbcache::Key& key);
    void Put(const thumbcache::Key& key, std::shared_ptr<const thumbcache::Thumb> thumb);
    size_t Bytes() const;

private:
    struct Entry {
        thumbcache::Key key;
        std::shared_ptr<const thumbcache::Thumb> thumb;
        size_t bytes = 0;
    };
    void Drop(std::list<Entry>::iterator it);

    const size_t limit_;
    mutable std::mutex mutex_;
    std::list<Entry> used_; // the most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> byPlace_;
    size_t bytes_ = 0;
};

// The cache's key of a picture: place in UTF-8 as the cache wants it.
thumbcache::Key ThumbKey(const PictureSource& source, const std::wstring& name, uint64_t size,
                         int64_t written);

// The lasting cache of the program in programDir (see ThumbCachePathIn), bounded to
// megabytes; none for 0 or where no folder takes it.
std::unique_ptr<thumbcache::ThumbCache> OpenThumbCache(const std::wstring& programDir,
                                                       int megabytes);

// The cell made on the workers rather than on the window's thread: thumb.box placed, the
// picture reduced from from straight into the cell, so the window only copies the cell.
void ComposeCell(CellThumb& thumb, const ThumbRequest& request, imaging::PixelView from);

// Safe from several threads at once (see PictureHost::TryLoadPicture and ThumbCache).
// cache and memory may be null; memory is asked before the cache and keeps what a decode
// gave. The cell is composed into buffer's memory where it is large enough.
CellThumb MakeCellThumb(const PictureHost& host, thumbcache::ThumbCache* cache,
                        const ThumbRequest& request, ThumbMemory* memory = nullptr,
                        std::vector<uint32_t> buffer = {});

} // namespace tovn
