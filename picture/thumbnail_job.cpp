#include "picture/thumbnail_job.h"
#include "imaging/area_reduce.h"
#include "picture/dib_info.h"
#include "picture/thumb_cache_path.h"
#include <shlobj.h>
#include <algorithm>

namespace tovn {

namespace {

using thumbcache::kThumbSide;
using thumbcache::Thumb;

constexpr uint32_t kCellEdge = 0xFFFFFF;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring UpperExtensionOf(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    std::wstring ext = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
    if (!ext.empty()) ::CharUpperBuffW(ext.data(), static_cast<DWORD>(ext.size()));
    return ext;
}

// The box the cell's placement rule gives a picture of this size, as the serial paint drew.
PictureBox BoxFor(const ThumbRequest& r, int width, int height, int left, int top) {
    return UsesScreenPlacement(UpperExtensionOf(r.name), width, height)
               ? ScreenPlacement(width, height, left, top, r.column, r.row, r.cellWidth,
                                 r.cellHeight)
               : FitPlacement(width, height, r.column, r.row, r.cellWidth, r.cellHeight);
}

// The cache's copy: the picture itself up to kThumbSide a side, else reduced to it.
Thumb MakeThumb(const std::vector<uint32_t>& pixels, int width, int height) {
    Thumb thumb;
    const int longer = std::max(width, height);
    if (longer <= kThumbSide) {
        thumb.width = width;
        thumb.height = height;
        thumb.pixels = pixels;
        return thumb;
    }
    thumb.width = std::max(1, static_cast<int>(int64_t(width) * kThumbSide / longer));
    thumb.height = std::max(1, static_cast<int>(int64_t(height) * kThumbSide / longer));
    thumb.pixels.assign(static_cast<size_t>(thumb.width) * thumb.height, 0);
    imaging::AreaReduce({pixels.data(), width, height, width},
                        {thumb.pixels.data(), thumb.width, thumb.height, thumb.width});
    return thumb;
}

bool IsBmp(const std::wstring& name) {
    return UpperExtensionOf(name) == L".BMP";
}

// The picture as the cell shows it, kept for cells of this size where it stands whole in
// the cell and fits the cache's side.
void KeepForm(const CellThumb& cell, thumbcache::CellForm& form) {
    const int w = cell.Width(), h = cell.Height();
    if (w < 1 || h < 1 || w > kThumbSide || h > kThumbSide || cell.pictureX < 0 ||
        cell.pictureY < 0 || cell.pictureX + w > cell.cellWidth ||
        cell.pictureY + h > cell.cellHeight)
        return;
    form.cellWidth = cell.cellWidth;
    form.cellHeight = cell.cellHeight;
    form.width = w;
    form.height = h;
    form.pixels = cell.Picture();
}

// A thumbnail of the calling thread's own for what the lasting cache gives: a page reads a
// hundred, and memory new to the process is slow to touch on some machines.
Thumb& ThreadThumb() {
    thread_local Thumb thumb;
    return thumb;
}

// What memory or the lasting cache keeps of the picture, or null: from the cache, the form of
// the request's cells where it keeps one. What the cache gives is not kept in memory as well:
// it is read again as fast as it would be copied.
const Thumb* KeptThumb(thumbcache::ThumbCache* cache, ThumbMemory* memory,
                       const ThumbRequest& request, std::shared_ptr<const Thumb>& held) {
    if (memory && (held = memory->Find(request.key))) return held.get();
    Thumb& read = ThreadThumb();
    return cache && cache->Find(request.key, read, request.cellWidth, request.cellHeight) ? &read
                                                                                          : nullptr;
}

// The pixels a kept thumbnail gives the cell: its form when it has one of the box's size, else
// the thumbnail itself when it is the whole picture or at least the box's size; null when
// neither serves.
const uint32_t* KeptPixels(const Thumb& thumb, const CellThumb& cell, int& width, int& height) {
    const thumbcache::CellForm& form = thumb.form;
    if (form.width > 0) {
        width = form.width;
        height = form.height;
        const bool fits = width == cell.Width() && height == cell.Height() &&
                          form.pixels.size() == size_t(width) * height;
        return fits ? form.pixels.data() : nullptr;
    }
    width = thumb.width;
    height = thumb.height;
    if (width < 1 || height < 1 || thumb.pixels.size() != size_t(width) * height) return nullptr;
    const bool whole = width == thumb.pictureWidth && height == thumb.pictureHeight;
    if (!whole && (width < cell.Width() || height < cell.Height())) return nullptr;
    return thumb.pixels.data();
}

// A kept thumbnail serving the cell, composed into it as a decode would have been.
bool FromKept(const Thumb& thumb, const ThumbRequest& request, CellThumb& cell) {
    cell.box = BoxFor(request, thumb.pictureWidth, thumb.pictureHeight, thumb.left, thumb.top);
    int width = 0, height = 0;
    const uint32_t* pixels = KeptPixels(thumb, cell, width, height);
    if (!pixels) return false;
    ComposeCell(cell, request, {pixels, width, height, width});
    LoadedPicture& report = cell.report;
    report.ok = true;
    // What the decode would have reported: plug-ins report the picture, a BMP only colours.
    report.infoReported = !IsBmp(request.name);
    report.info.left = thumb.left;
    report.info.top = thumb.top;
    report.info.width = thumb.pictureWidth;
    report.info.height = thumb.pictureHeight;
    report.info.colorDepth = static_cast<SHORT>(thumb.colorCount <= 2     ? 1
                                                : thumb.colorCount <= 16  ? 4
                                                : thumb.colorCount <= 256 ? 8
                                                                          : 24);
    report.coloursReported = true;
    report.colorCount = thumb.colorCount;
    report.paletteEntries = dib::PaletteEntriesFor(thumb.colorCount);
    return true;
}

// Pixels already of the box's size (a kept form) are copied, their 4th byte cleared as the
// reduction clears it.
void ReduceInto(imaging::PixelView from, imaging::PixelSpan to) {
    if (from.width != to.width || from.height != to.height) return imaging::AreaReduce(from, to);
    for (int row = 0; row < to.height; ++row) {
        const uint32_t* in = from.pixels + size_t(row) * from.stride;
        uint32_t* out = to.pixels + size_t(row) * to.stride;
        for (int x = 0; x < to.width; ++x) out[x] = in[x] & 0xFFFFFFu;
    }
}

} // namespace

void ComposeCell(CellThumb& thumb, const ThumbRequest& request, imaging::PixelView from) {
    const int w = request.cellWidth, h = request.cellHeight;
    if (w <= 0 || h <= 0) return;
    thumb.cellWidth = w;
    thumb.cellHeight = h;
    const int x = thumb.pictureX = thumb.box.x + 1 - request.column * w;
    const int y = thumb.pictureY = thumb.box.y + 1 - request.row * h;
    // New memory takes room for a somewhat larger cell, so that it serves the next layout.
    const size_t size = size_t(w) * h;
    if (thumb.cell.capacity() < size) {
        thumb.cell = std::vector<uint32_t>();
        thumb.cell.reserve(size + size / 4);
    }
    thumb.cell.assign(size, kCellEdge);
    for (int row = 1; row + 1 < h; ++row)
        std::fill_n(thumb.cell.begin() + ptrdiff_t(row) * w + 1, std::max(0, w - 2),
                    request.cellFill);
    const int pw = thumb.Width(), ph = thumb.Height();
    if (pw <= 0 || ph <= 0) return;
    if (x >= 0 && y >= 0 && x + pw <= w && y + ph <= h) {
        ReduceInto(from, {thumb.cell.data() + ptrdiff_t(y) * w + x, pw, ph, w});
        return;
    }
    std::vector<uint32_t> picture(size_t(pw) * ph);
    ReduceInto(from, {picture.data(), pw, ph, pw});
    const int left = std::max(0, x), right = std::min(w, x + pw);
    for (int row = std::max(0, y); row < std::min(h, y + ph) && left < right; ++row) {
        const uint32_t* in = picture.data() + size_t(row - y) * pw + (left - x);
        std::copy(in, in + (right - left), thumb.cell.begin() + ptrdiff_t(row) * w + left);
    }
}

std::vector<uint32_t> CellThumb::Picture() const {
    const int w = std::max(0, Width()), h = std::max(0, Height());
    std::vector<uint32_t> picture(size_t(w) * h, 0);
    for (int row = 0; row < h; ++row) {
        const int y = pictureY + row;
        for (int column = 0; column < w; ++column) {
            const int x = pictureX + column;
            if (x >= 0 && x < cellWidth && y >= 0 && y < cellHeight)
                picture[size_t(row) * w + column] = cell[size_t(y) * cellWidth + x];
        }
    }
    return picture;
}

std::shared_ptr<const Thumb> ThumbMemory::Find(const thumbcache::Key& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = byPlace_.find(key.place);
    if (it == byPlace_.end()) return nullptr;
    const Entry& entry = *it->second;
    if (entry.key.size != key.size || entry.key.written != key.written) return nullptr;
    used_.splice(used_.begin(), used_, it->second);
    return entry.thumb;
}

void ThumbMemory::Put(const thumbcache::Key& key, std::shared_ptr<const Thumb> thumb) {
    const size_t bytes = thumb->pixels.size() * sizeof(uint32_t) + key.place.size();
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = byPlace_.find(key.place);
    if (it != byPlace_.end()) Drop(it->second);
    if (bytes > limit_) return;
    used_.push_front(Entry{key, std::move(thumb), bytes});
    byPlace_[key.place] = used_.begin();
    bytes_ += bytes;
    while (bytes_ > limit_) Drop(std::prev(used_.end()));
}

size_t ThumbMemory::Bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}

void ThumbMemory::Drop(std::list<Entry>::iterator it) {
    bytes_ -= it->bytes;
    byPlace_.erase(it->key.place);
    used_.erase(it);
}

std::unique_ptr<thumbcache::ThumbCache> OpenThumbCache(const std::wstring& programDir,
                                                       int megabytes) {
    if (megabytes <= 0) return nullptr;
    wchar_t local[MAX_PATH] = L"";
    if (FAILED(
            ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)))
        local[0] = L'\0';
    const std::wstring path = ThumbCachePathIn(programDir, local);
    if (path.empty()) return nullptr;
    return thumbcache::ThumbCache::Open(Utf8(path), static_cast<uint64_t>(megabytes) << 20);
}

thumbcache::Key ThumbKey(const PictureSource& source, const std::wstring& name, uint64_t size,
                         int64_t written) {
    thumbcache::Key key;
    key.place = source.lhaMode ? Utf8(source.currentDir + source.archiveName) + "|" + Utf8(name)
                               : Utf8(source.currentDir + name);
    key.size = size;
    key.written = written;
    return key;
}

CellThumb MakeCellThumb(const PictureHost& host, thumbcache::ThumbCache* cache,
                        const ThumbRequest& request, ThumbMemory* memory,
                        std::vector<uint32_t> buffer) {
    CellThumb cell;
    cell.cell = std::move(buffer);
    if (request.keyed) {
        std::shared_ptr<const Thumb> held;
        const Thumb* kept = KeptThumb(cache, memory, request, held);
        if (kept && FromKept(*kept, request, cell)) return cell;
        // A form that does not fit the box (the placement changed): the thumbnail itself.
        Thumb& read = ThreadThumb();
        if (kept && kept->form.width > 0 && cache->Find(request.key, read) &&
            FromKept(read, request, cell))
            return cell;
    }
    buffer = std::move(cell.cell);
    cell = CellThumb{};
    cell.cell = std::move(buffer);
    cell.decoded = true;
    const int side = std::max({kThumbSide, request.cellWidth, request.cellHeight});
    LoadedPicture loaded = host.TryLoadPixels(request.name, request.source, side);
    const int width = loaded.pixels.width, height = loaded.pixels.height;
    std::vector<uint32_t> pixels = std::move(loaded.pixels.data);
    loaded.pixels = PicturePixels();
    if (pixels.empty()) loaded.ok = false;
    cell.report = std::move(loaded);
    if (!cell.report.ok) return cell;
    // A preview is placed by the picture's real size, as the whole picture would be.
    const PictureInfo& info = cell.report.info;
    const bool real = cell.report.preview && info.width > 0 && info.height > 0;
    auto made = std::make_shared<Thumb>(MakeThumb(pixels, width, height));
    Thumb& thumb = *made;
    thumb.pictureWidth = real ? info.width : width;
    thumb.pictureHeight = real ? info.height : height;
    thumb.left = info.left;
    thumb.top = info.top;
    thumb.colorCount = cell.report.colorCount;
    cell.box = BoxFor(request, thumb.pictureWidth, thumb.pictureHeight, info.left, info.top);
    ComposeCell(cell, request, {pixels.data(), width, height, width});
    if (request.keyed && cache) {
        KeepForm(cell, thumb.form);
        cache->Put(request.key, thumb);
        thumb.form = thumbcache::CellForm(); // memory serves other layouts only
    }
    if (request.keyed && memory) memory->Put(request.key, std::move(made));
    return cell;
}

} // namespace tovn
