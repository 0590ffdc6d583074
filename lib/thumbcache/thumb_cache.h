// Thumbnails kept across runs in one SQLite file, so that a picture seen before is shown
// without decoding it again. The cache is only ever a shortcut: whatever goes wrong with the
// file (damaged, locked by another copy of the program, unwritable) makes it find nothing,
// and a thumbnail comes back only when every stored field and its checksum match.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace tovn::thumbcache {

struct StoredRow;
struct PackedRow;

struct Key {
    std::string place; // UTF-8: a file's full path; an archive member: archive path + '|' + member
    uint64_t size = 0; // bytes of the file (or of the member)
    int64_t written = 0; // last-write time as the caller reads it (FILETIME ticks, or DOS date)
};

// The picture as the cells of one size show it, kept beside the thumbnail: shown again at
// that size, it is read at a fraction of the thumbnail's bytes and not reduced again.
struct CellForm {
    int cellWidth = 0, cellHeight = 0; // the cells it was made for; 0: none
    int width = 0, height = 0;         // of pixels (each side at most kThumbSide)
    std::vector<uint32_t> pixels;      // top row first, B G R X bytes, width*height
};

struct Thumb {
    int width = 0, height = 0;                   // of pixels (long side at most kThumbSide)
    std::vector<uint32_t> pixels;                // top row first, B G R X bytes, width*height
    int32_t pictureWidth = 0, pictureHeight = 0; // the picture's real size
    int32_t left = 0, top = 0;                   // the picture's offset as its decoder reported it
    int32_t colorCount = 0; // colours as the loader counted them (2,16,256,257)
    CellForm form;
};

constexpr int kThumbSide = 256;

class ThumbCache {
public:
    // Opens (or creates) the database at pathUtf8, bounded to limitBytes of thumbnails.
    // Never throws and never fails hard: a damaged database is rebuilt, a locked or
    // unwritable one is bypassed (Find finds nothing, Put does nothing).
    static std::unique_ptr<ThumbCache> Open(const std::string& pathUtf8, uint64_t limitBytes);
    ~ThumbCache();
    ThumbCache(const ThumbCache&) = delete;
    ThumbCache& operator=(const ThumbCache&) = delete;

    // Nothing for a changed size or write time. The 4th byte of each pixel comes back 0.
    std::optional<Thumb> Find(const Key&);
    // The same into a thumbnail the caller keeps from one find to the next, so that its
    // pixels' memory is used again; false (and into left unspecified) when nothing is found.
    // Where the row holds a form for cells of cellWidth x cellHeight, only the form is read
    // (and into.pixels is left empty); else the thumbnail, without a form.
    bool Find(const Key&, Thumb& into, int cellWidth = 0, int cellHeight = 0);
    // Evicts least recently used thumbnails beyond the bound. A thumbnail without pixels or
    // larger than kThumbSide a side is not kept; a form that is not sound is left out.
    void Put(const Key&, const Thumb&);
    bool Usable() const;
    // While on, finds share one read transaction until EndReads, a Put or the cache's end:
    // much faster for a page of finds, but what another program writes meanwhile is seen
    // only after it. Off by default.
    void KeepReading(bool keep);
    void EndReads();
    // Safe to call from several threads: one connection, guarded inside.

private:
    struct Statements;
    enum class Shape;
    ThumbCache(std::string path, uint64_t limitBytes);
    bool Connect();
    Shape ShapeOf();
    bool CreateOrCheckSchema();
    bool Prepare();
    void Close();
    void Rebuild();
    bool Exec(const char* sql);
    bool Ok(int rc);
    void BeginRead();
    void EndRead();
    bool Read(const Key& key, StoredRow& row, int cellWidth, int cellHeight);
    bool ReadBlob(StoredRow& row, const char* column);
    void Touch(int64_t id);
    bool FlushTouches();
    bool Insert(const Key& key, const Thumb& thumb, const PackedRow& packed);
    bool Evict();
    bool Drop(int64_t id);
    bool StructureSound();

    const std::string path_;
    const uint64_t limit_;
    mutable std::mutex mutex_;
    std::unique_ptr<sqlite3, void (*)(sqlite3*)> db_;
    std::unique_ptr<Statements> st_;
    bool damaged_ = false;
    bool keepReading_ = false;
    bool reading_ = false;         // a read transaction is open
    std::vector<int64_t> touched_; // rows found since the last write, oldest first
};

} // namespace tovn::thumbcache
