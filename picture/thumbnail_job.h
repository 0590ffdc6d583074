// A grid cell's thumbnail made off the window's thread: taken from the lasting thumbnail
// cache when it holds the picture large enough, else decoded (reduced where the plug-in can)
// and kept there; either way reduced by area averaging into the box the cell's placement
// gives. Drawing it (frame, placeholder, marks) stays with the window.
#pragma once
#include "core/geometry.h"
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
    PictureBox box;       // the picture's box in the cell, its 1-pixel border included
    // The picture reduced into the box less its border: (box.w - 2) x (box.h - 2), top row
    // first, B G R X.
    std::vector<uint32_t> pixels;
    int Width() const { return box.w - 2; }
    int Height() const { return box.h - 2; }
};

// The lasting cache's thumbnails of the pictures shown lately, held in memory as well: a
// layout change (another display count, a resized window) reduces them again without
// reading the file. Keyed as the lasting cache is, so that a changed file finds nothing;
// bounded by bytes, the least recently used going first. Safe from several threads.
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

// Safe from several threads at once (see PictureHost::TryLoadPicture and ThumbCache).
// cache and memory may be null; memory is asked before the cache and keeps what either
// the cache or a decode gave.
CellThumb MakeCellThumb(const PictureHost& host, thumbcache::ThumbCache* cache,
                        const ThumbRequest& request, ThumbMemory* memory = nullptr);

} // namespace tovn
