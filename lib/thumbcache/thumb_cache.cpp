#include "thumbcache/thumb_cache.h"
#include <sqlite3.h>
#include <climits>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <utility>

namespace tovn::thumbcache {

namespace {

constexpr int64_t kApplicationId = 0x54564E54; // "TVNT" in the file's header
constexpr int64_t kSchemaVersion = 2;
// A Put waits this long for another copy of the program to finish its write (short, but it
// may follow one write with the next); a writer holding the file longer is passed by. Reads
// never wait for a writer (the log keeps them apart), and finds write without waiting.
constexpr int kBusyMs = 500;
// What a row costs beyond its pixels and place: its other fields, index entries, page slack.
constexpr uint64_t kRowOverhead = 128;
// Rows are read through a mapping of the file, not a read call per page; the bound keeps
// the mapping within a 32-bit program's room.
constexpr int64_t kMapBytes = sizeof(void*) >= 8 ? int64_t{256} << 20 : int64_t{64} << 20;
// Rows found are marked recently used together: with the next Put, when the cache closes,
// or in a write of their own once this many wait. That write holds every find meanwhile,
// and a page shown from the cache should not wait for one: the count is many pages' worth.
constexpr size_t kTouchBatch = 4096;
constexpr size_t kPlaceLimit = 32768;

// A row is stored in its columns' order, and a column past a long value is reached only by
// reading through it: the small columns come first, then the form, and the thumbnail last.
std::string SchemaSql() {
    return "CREATE TABLE thumbs("
           " id INTEGER PRIMARY KEY,"
           " place TEXT NOT NULL UNIQUE,"
           " size INTEGER NOT NULL,"
           " written INTEGER NOT NULL,"
           " width INTEGER NOT NULL,"
           " height INTEGER NOT NULL,"
           " picture_width INTEGER NOT NULL,"
           " picture_height INTEGER NOT NULL,"
           " offset_x INTEGER NOT NULL,"
           " offset_y INTEGER NOT NULL,"
           " colors INTEGER NOT NULL,"
           " cost INTEGER NOT NULL,"
           " used INTEGER NOT NULL,"
           " checksum INTEGER NOT NULL,"
           " cell_width INTEGER NOT NULL,"
           " cell_height INTEGER NOT NULL,"
           " form_width INTEGER NOT NULL,"
           " form_height INTEGER NOT NULL,"
           " form_checksum INTEGER NOT NULL,"
           " form BLOB NOT NULL,"
           " pixels BLOB NOT NULL);"
           "CREATE INDEX thumbs_used ON thumbs(used, cost);"
           "PRAGMA application_id = " +
           std::to_string(kApplicationId) +
           ";"
           "PRAGMA user_version = " +
           std::to_string(kSchemaVersion) + ";";
}

// The pixels are read apart, straight into the reader's own buffer: through a column they
// would first be copied into a buffer SQLite allocates afresh for every row.
constexpr const char* kFindSql =
    "SELECT id, place, size, written, width, height, picture_width, picture_height, offset_x,"
    " offset_y, colors, checksum, cell_width, cell_height, form_width, form_height, form_checksum"
    " FROM thumbs WHERE place = ?1";
constexpr const char* kInsertSql =
    "REPLACE INTO thumbs(place, size, written, width, height, picture_width, picture_height,"
    " offset_x, offset_y, colors, cost, checksum, cell_width, cell_height, form_width,"
    " form_height, form_checksum, pixels, form, used)"
    " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18,"
    " ?19, (SELECT IFNULL(MAX(used), 0) + 1 FROM thumbs))";
constexpr const char* kTotalSql = "SELECT IFNULL(SUM(cost), 0) FROM thumbs";
constexpr const char* kOldestSql = "SELECT id, cost FROM thumbs ORDER BY used";
constexpr const char* kRemoveSql = "DELETE FROM thumbs WHERE id = ?1";
constexpr const char* kTouchSql =
    "UPDATE thumbs SET used = (SELECT MAX(used) FROM thumbs) + 1 WHERE id = ?1";

struct StatementFinalize {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalize>;

// One use of a prepared statement: reset when it leaves scope, so that its read of the file
// ends at once and the statement is ready for the next use.
class Running {
public:
    explicit Running(const Statement& s) : s_(s.get()) {}
    ~Running() {
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
    sqlite3_stmt* get() const { return s_; }
    int Step() const { return sqlite3_step(s_); }
    int64_t Int(int column) const { return sqlite3_column_int64(s_, column); }

private:
    sqlite3_stmt* s_;
};

bool Fits(int width, int height) {
    return width > 0 && height > 0 && width <= kThumbSide && height <= kThumbSide;
}

// A 64-bit checksum of a row's fields and pixels: a row damaged in the file fails it.
class Checksum {
public:
    void Add(uint64_t v) {
        h_ = (h_ ^ v) * 0x9E3779B97F4A7C15ull;
        h_ ^= h_ >> 29;
    }
    void Add(const unsigned char* bytes, size_t n) {
        Add(n);
        size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            uint64_t v;
            std::memcpy(&v, bytes + i, 8);
            Add(v);
        }
        uint64_t tail = 0;
        std::memcpy(&tail, bytes + i, n - i);
        Add(tail);
    }
    int64_t Value() const { return static_cast<int64_t>(h_); }

private:
    uint64_t h_ = 0x243F6A8885A308D3ull;
};

// The checksum of the thumbnail's pixels (form null) or of the form's, each with the key and
// the picture's fields.
int64_t RowChecksum(const Key& key, const Thumb& t, const std::vector<unsigned char>& rgb,
                    const CellForm* form = nullptr) {
    Checksum c;
    c.Add(reinterpret_cast<const unsigned char*>(key.place.data()), key.place.size());
    for (int64_t v :
         {static_cast<int64_t>(key.size), key.written, int64_t{t.pictureWidth},
          int64_t{t.pictureHeight}, int64_t{t.left}, int64_t{t.top}, int64_t{t.colorCount}})
        c.Add(static_cast<uint64_t>(v));
    const int sizes[] = {t.width,
                         t.height,
                         form ? form->cellWidth : -1,
                         form ? form->cellHeight : -1,
                         form ? form->width : -1,
                         form ? form->height : -1};
    for (int v : sizes) c.Add(static_cast<uint64_t>(int64_t{v}));
    c.Add(rgb.data(), rgb.size());
    return c.Value();
}

// Pixels are kept as 3 bytes (B, G, R): the 4th byte carries nothing.
std::vector<unsigned char> Pack(const std::vector<uint32_t>& pixels) {
    std::vector<unsigned char> rgb(pixels.size() * 3);
    const auto* from = reinterpret_cast<const unsigned char*>(pixels.data());
    for (size_t i = 0; i < pixels.size(); ++i) std::memcpy(&rgb[3 * i], from + 4 * i, 3);
    return rgb;
}

// Each pixel read as 4 bytes and its 4th cleared, the last (with nothing after it) by bytes.
// pixels keeps its memory from one row to the next.
void Unpack(const std::vector<unsigned char>& rgb, std::vector<uint32_t>& pixels) {
    const size_t n = rgb.size() / 3;
    pixels.resize(n);
    const unsigned char* from = rgb.data();
    for (size_t i = 0; i + 1 < n; ++i) {
        uint32_t v;
        std::memcpy(&v, from + 3 * i, 4);
        pixels[i] = v & 0xFFFFFFu;
    }
    if (n > 0)
        pixels[n - 1] = uint32_t(from[3 * n - 3]) | uint32_t(from[3 * n - 2]) << 8 |
                        uint32_t(from[3 * n - 1]) << 16;
}

} // namespace

namespace {

// A buffer of the calling thread's own for the bytes of the rows it reads: a page reads a
// hundred of about 150 KB each.
std::vector<unsigned char>& ThreadBytes() {
    thread_local std::vector<unsigned char> bytes;
    return bytes;
}

} // namespace

// A row as read into the caller's thumbnail, before its checksum is verified: the thumbnail's
// pixels or, with form, the form's. One at a time on a thread.
struct StoredRow {
    explicit StoredRow(Thumb& into) : thumb(into) {}
    int64_t id = 0;
    int64_t checksum = 0;
    bool form = false;
    Thumb& thumb;
    std::vector<unsigned char>& rgb = ThreadBytes();
};

// A row's bytes as written: the thumbnail's and the form's (none when it has no sound form).
struct PackedRow {
    std::vector<unsigned char> rgb, form;
    int64_t checksum = 0, formChecksum = 0;
    bool withForm = false;
};

namespace {

bool SoundForm(const CellForm& f) {
    return f.cellWidth > 0 && f.cellHeight > 0 && Fits(f.width, f.height) &&
           f.pixels.size() == size_t(f.width) * size_t(f.height);
}

bool Sound(const Key& key, const StoredRow& row) {
    const Thumb& t = row.thumb;
    const int w = row.form ? t.form.width : t.width, h = row.form ? t.form.height : t.height;
    return Fits(t.width, t.height) && Fits(w, h) && row.rgb.size() == size_t(w) * size_t(h) * 3 &&
           RowChecksum(key, t, row.rgb, row.form ? &t.form : nullptr) == row.checksum;
}

} // namespace

struct ThumbCache::Statements {
    Statement find, insert, total, oldest, remove, touch;
};

ThumbCache::ThumbCache(std::string path, uint64_t limitBytes)
    : path_(std::move(path)), limit_(limitBytes > uint64_t(INT64_MAX) ? INT64_MAX : limitBytes),
      db_(nullptr, [](sqlite3* db) { sqlite3_close_v2(db); }) {}

std::unique_ptr<ThumbCache> ThumbCache::Open(const std::string& pathUtf8, uint64_t limitBytes) {
    std::unique_ptr<ThumbCache> cache(new ThumbCache(pathUtf8, limitBytes));
    if (limitBytes == 0 || pathUtf8.empty()) return cache;
    std::lock_guard<std::mutex> lock(cache->mutex_);
    if (!cache->Connect() && cache->damaged_) cache->Rebuild();
    return cache;
}

ThumbCache::~ThumbCache() {
    std::lock_guard<std::mutex> lock(mutex_);
    EndRead();
    if (st_ && !touched_.empty() && Exec("BEGIN IMMEDIATE"))
        if (!FlushTouches() || !Exec("COMMIT")) Exec("ROLLBACK");
    Close();
}

bool ThumbCache::Usable() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return st_ != nullptr;
}

// True for a result that is no failure; a file that is not a sound database marks the cache
// for rebuilding.
bool ThumbCache::Ok(int rc) {
    const int primary = rc & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) damaged_ = true;
    return primary == SQLITE_OK || primary == SQLITE_ROW || primary == SQLITE_DONE;
}

bool ThumbCache::Exec(const char* sql) {
    return Ok(sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr));
}

bool ThumbCache::Connect() {
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(db);
    // A file that opens only for reading cannot take new thumbnails: bypassed like a locked one.
    const bool writable = Ok(rc) && sqlite3_db_readonly(db, "main") == 0;
    if (writable) sqlite3_busy_timeout(db, kBusyMs);
    // The write-ahead log lets one copy of the program read while another writes, and a write
    // cut short (a killed program) is simply not there at the next start.
    if (writable && Exec("PRAGMA journal_mode = WAL") && Exec("PRAGMA synchronous = NORMAL") &&
        Exec("PRAGMA journal_size_limit = 4194304") &&
        Exec(("PRAGMA mmap_size = " + std::to_string(kMapBytes)).c_str()) &&
        CreateOrCheckSchema() && Prepare())
        return true;
    Close();
    return false;
}

// What the file holds, read without taking the write lock another program may hold.
enum class ThumbCache::Shape { Ours, Empty, Other, Unreadable };

ThumbCache::Shape ThumbCache::ShapeOf() {
    auto value = [this](const char* sql) -> std::optional<int64_t> {
        sqlite3_stmt* raw = nullptr;
        if (!Ok(sqlite3_prepare_v2(db_.get(), sql, -1, &raw, nullptr))) return std::nullopt;
        Statement s(raw);
        if (!Ok(sqlite3_step(raw)) || sqlite3_column_count(raw) != 1) return std::nullopt;
        return sqlite3_column_int64(raw, 0);
    };
    const auto id = value("PRAGMA application_id");
    const auto version = value("PRAGMA user_version");
    const auto objects = value("SELECT count(*) FROM sqlite_schema");
    if (!id || !version || !objects) return Shape::Unreadable;
    if (*id == 0 && *version == 0 && *objects == 0) return Shape::Empty;
    return *id == kApplicationId && *version == kSchemaVersion ? Shape::Ours : Shape::Other;
}

// Makes the table in a new file; a file holding anything else is damaged.
bool ThumbCache::CreateOrCheckSchema() {
    Shape shape = ShapeOf();
    if (shape == Shape::Empty) {
        if (!Exec("BEGIN IMMEDIATE")) return false;
        shape = ShapeOf(); // another copy of the program may have made it meanwhile
        const bool made =
            (shape == Shape::Ours || (shape == Shape::Empty && Exec(SchemaSql().c_str()))) &&
            Exec("COMMIT");
        if (!made) Exec("ROLLBACK");
        shape = made ? Shape::Ours : shape;
    }
    damaged_ = damaged_ || shape == Shape::Other;
    return shape == Shape::Ours;
}

bool ThumbCache::Prepare() {
    auto st = std::make_unique<Statements>();
    const std::pair<Statement*, const char*> all[] = {
        {&st->find, kFindSql},     {&st->insert, kInsertSql}, {&st->total, kTotalSql},
        {&st->oldest, kOldestSql}, {&st->remove, kRemoveSql}, {&st->touch, kTouchSql}};
    for (const auto& [statement, sql] : all) {
        sqlite3_stmt* raw = nullptr;
        const int rc =
            sqlite3_prepare_v3(db_.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
        statement->reset(raw);
        // Our identity over a table of another shape: as damaged as a broken page.
        if (rc == SQLITE_ERROR) damaged_ = true;
        if (!Ok(rc)) return false;
    }
    st_ = std::move(st);
    return true;
}

void ThumbCache::Close() {
    reading_ = false;
    st_.reset();
    db_.reset();
}

// A damaged file is deleted with its log and made anew. Where that cannot be done (another
// copy of the program holds the file open on Windows) the cache is bypassed for this run.
void ThumbCache::Rebuild() {
    Close();
    damaged_ = false;
    touched_.clear();
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::u8path(path_ + suffix), ignored);
    }
    if (!Connect()) Close();
}

std::optional<Thumb> ThumbCache::Find(const Key& key) {
    Thumb thumb;
    if (!Find(key, thumb)) return std::nullopt;
    return thumb;
}

bool ThumbCache::Find(const Key& key, Thumb& into, int cellWidth, int cellHeight) {
    StoredRow row(into);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!st_ || key.place.size() > kPlaceLimit) return false;
        BeginRead();
        const bool found = Read(key, row, cellWidth, cellHeight);
        if (!keepReading_) EndRead();
        if (damaged_) Rebuild();
        if (!found) return false;
    }
    if (!Sound(key, row)) {
        std::lock_guard<std::mutex> lock(mutex_);
        EndRead();
        if (st_ && StructureSound()) Drop(row.id);
        if (damaged_) Rebuild();
        return false;
    }
    Touch(row.id);
    Unpack(row.rgb, row.form ? into.form.pixels : into.pixels);
    if (row.form) into.pixels.clear();
    return true;
}

// The row of key.place with its key fields compared; false when there is none, the file has
// changed since, or the row cannot be read now.
bool ThumbCache::Read(const Key& key, StoredRow& row, int cellWidth, int cellHeight) {
    Running q(st_->find);
    sqlite3_bind_text(q.get(), 1, key.place.data(), int(key.place.size()), SQLITE_STATIC);
    const int rc = q.Step();
    if (rc != SQLITE_ROW) {
        Ok(rc);
        return false;
    }
    const auto* place = reinterpret_cast<const char*>(sqlite3_column_text(q.get(), 1));
    const std::string_view stored(place ? place : "", size_t(sqlite3_column_bytes(q.get(), 1)));
    if (stored != key.place || static_cast<uint64_t>(q.Int(2)) != key.size ||
        q.Int(3) != key.written)
        return false;
    row.id = q.Int(0);
    Thumb& t = row.thumb;
    t.width = int(q.Int(4));
    t.height = int(q.Int(5));
    t.pictureWidth = int32_t(q.Int(6));
    t.pictureHeight = int32_t(q.Int(7));
    t.left = int32_t(q.Int(8));
    t.top = int32_t(q.Int(9));
    t.colorCount = int32_t(q.Int(10));
    row.checksum = q.Int(11);
    CellForm& form = t.form;
    form.cellWidth = form.cellHeight = form.width = form.height = 0;
    form.pixels.clear();
    row.form = cellWidth > 0 && cellHeight > 0 && q.Int(12) == cellWidth &&
               q.Int(13) == cellHeight && q.Int(14) > 0 && q.Int(15) > 0;
    if (row.form) {
        form.cellWidth = cellWidth;
        form.cellHeight = cellHeight;
        form.width = int(q.Int(14));
        form.height = int(q.Int(15));
        row.checksum = q.Int(16);
    }
    // Read while the row's statement still runs, so that both see the same state of the file.
    return ReadBlob(row, row.form ? "form" : "pixels");
}

bool ThumbCache::ReadBlob(StoredRow& row, const char* column) {
    sqlite3_blob* raw = nullptr;
    const int rc = sqlite3_blob_open(db_.get(), "main", "thumbs", column, row.id, 0, &raw);
    std::unique_ptr<sqlite3_blob, int (*)(sqlite3_blob*)> blob(raw, sqlite3_blob_close);
    if (!Ok(rc)) return false;
    const int bytes = sqlite3_blob_bytes(raw);
    // A row of another size fails its checksum; one beyond any thumbnail is not read at all.
    if (bytes < 0 || bytes > kThumbSide * kThumbSide * 3) return false;
    row.rgb.resize(size_t(bytes));
    return Ok(sqlite3_blob_read(raw, row.rgb.data(), bytes, 0));
}

// Marks a row found as recently used; written together with others, not on every find.
void ThumbCache::Touch(int64_t id) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!st_) return;
    touched_.push_back(id);
    if (touched_.size() < kTouchBatch) return;
    // The order of use is a hint: while another program writes, these marks are dropped.
    EndRead();
    sqlite3_busy_timeout(db_.get(), 0);
    if (Exec("BEGIN IMMEDIATE") && !(FlushTouches() && Exec("COMMIT"))) Exec("ROLLBACK");
    sqlite3_busy_timeout(db_.get(), kBusyMs);
    touched_.clear();
    if (damaged_) Rebuild();
}

void ThumbCache::Put(const Key& key, const Thumb& thumb) {
    if (!Fits(thumb.width, thumb.height) ||
        thumb.pixels.size() != size_t(thumb.width) * size_t(thumb.height) ||
        key.place.size() > kPlaceLimit)
        return;
    PackedRow packed;
    packed.rgb = Pack(thumb.pixels);
    packed.checksum = RowChecksum(key, thumb, packed.rgb);
    packed.withForm = SoundForm(thumb.form);
    if (packed.withForm) {
        packed.form = Pack(thumb.form.pixels);
        packed.formChecksum = RowChecksum(key, thumb, packed.form, &thumb.form);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!st_) return;
    EndRead();
    if (Exec("BEGIN IMMEDIATE") &&
        !(FlushTouches() && Insert(key, thumb, packed) && Evict() && Exec("COMMIT")))
        Exec("ROLLBACK");
    if (damaged_) Rebuild();
}

void ThumbCache::KeepReading(bool keep) {
    std::lock_guard<std::mutex> lock(mutex_);
    keepReading_ = keep;
    if (!keep) EndRead();
}

void ThumbCache::EndReads() {
    std::lock_guard<std::mutex> lock(mutex_);
    EndRead();
}

// Each transaction takes and gives back the file's read lock, and with another process's
// locks in the way that costs more than reading a row from memory: finds in a row share one.
void ThumbCache::BeginRead() {
    if (!reading_) reading_ = Exec("BEGIN");
}

void ThumbCache::EndRead() {
    if (reading_ && st_ && !Exec("COMMIT")) Exec("ROLLBACK");
    reading_ = false;
}

bool ThumbCache::FlushTouches() {
    for (int64_t id : touched_) {
        Running touch(st_->touch);
        sqlite3_bind_int64(touch.get(), 1, id);
        if (!Ok(touch.Step())) return false;
    }
    touched_.clear();
    return true;
}

bool ThumbCache::Insert(const Key& key, const Thumb& t, const PackedRow& packed) {
    Running q(st_->insert);
    sqlite3_bind_text(q.get(), 1, key.place.data(), int(key.place.size()), SQLITE_STATIC);
    const CellForm none;
    const CellForm& form = packed.withForm ? t.form : none;
    const int64_t fields[] = {
        static_cast<int64_t>(key.size),
        key.written,
        t.width,
        t.height,
        t.pictureWidth,
        t.pictureHeight,
        t.left,
        t.top,
        t.colorCount,
        int64_t(packed.rgb.size() + packed.form.size() + key.place.size() + kRowOverhead),
        packed.checksum,
        form.cellWidth,
        form.cellHeight,
        form.width,
        form.height,
        packed.formChecksum};
    int column = 2;
    for (int64_t v : fields) sqlite3_bind_int64(q.get(), column++, v);
    // An empty form is bound as an empty blob, not as NULL.
    static const unsigned char kNone = 0;
    for (const std::vector<unsigned char>* bytes : {&packed.rgb, &packed.form})
        sqlite3_bind_blob(q.get(), column++, bytes->empty() ? &kNone : bytes->data(),
                          int(bytes->size()), SQLITE_STATIC);
    return Ok(q.Step());
}

// Deletes the least recently used rows until the rest fit the bound.
bool ThumbCache::Evict() {
    int64_t total = 0;
    {
        Running sum(st_->total);
        const int rc = sum.Step();
        if (rc != SQLITE_ROW) {
            Ok(rc);
            return false;
        }
        total = sum.Int(0);
    }
    std::vector<int64_t> ids;
    {
        Running oldest(st_->oldest);
        int rc = SQLITE_DONE;
        while (total > int64_t(limit_) && (rc = oldest.Step()) == SQLITE_ROW) {
            ids.push_back(oldest.Int(0));
            total -= oldest.Int(1);
        }
        if (!Ok(rc)) return false;
    }
    for (int64_t id : ids)
        if (!Drop(id)) return false;
    return true;
}

bool ThumbCache::Drop(int64_t id) {
    Running remove(st_->remove);
    sqlite3_bind_int64(remove.get(), 1, id);
    return Ok(remove.Step());
}

// Whether the file's pages hold together; asked when a row fails its checksum, to tell a
// damaged row from a damaged file. A check that cannot run now counts as sound.
bool ThumbCache::StructureSound() {
    sqlite3_stmt* raw = nullptr;
    if (!Ok(sqlite3_prepare_v2(db_.get(), "PRAGMA quick_check", -1, &raw, nullptr)))
        return !damaged_;
    Statement check(raw);
    const int rc = sqlite3_step(raw);
    if (rc != SQLITE_ROW) return Ok(rc) || !damaged_;
    const auto* first = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
    damaged_ = damaged_ || !first || std::strcmp(first, "ok") != 0;
    return !damaged_;
}

} // namespace tovn::thumbcache
