#include "lzh/listing_cache.h"
#include "lzh/source.h"
#include <list>
#include <mutex>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace lzh {

namespace {

// Two are enough for a browser and the command it runs; each may hold many thousand members.
constexpr size_t kKept = 2;

struct Kept {
    std::string path;
    FileStamp stamp;
    std::shared_ptr<const Listing> listing;
};

std::mutex g_mutex;
std::list<Kept> g_kept; // most recently used first

} // namespace

bool StampOf(const std::string& path, FileStamp& stamp) {
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    stamp.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.written = int64_t((uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) |
                            data.ftLastWriteTime.dwLowDateTime);
#else
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.written = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
    return true;
}

FileListing ListArchiveFile(const std::string& path) {
    FileStamp before;
    if (!StampOf(path, before)) return {};
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        for (auto it = g_kept.begin(); it != g_kept.end(); ++it) {
            if (it->path != path || !(it->stamp == before)) continue;
            g_kept.splice(g_kept.begin(), g_kept, it);
            return {it->listing, before.size};
        }
    }
    FileSource source(path);
    if (!source.IsOpen()) return {};
    auto listing = std::make_shared<const Listing>(ListArchive(source));
    FileStamp after;
    // Kept only when nothing wrote the file while it was read.
    if (StampOf(path, after) && after == before && source.Size() == before.size) {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_kept.remove_if([&](const Kept& k) { return k.path == path; });
        g_kept.push_front({path, before, listing});
        if (g_kept.size() > kKept) g_kept.pop_back();
    }
    return {listing, source.Size()};
}

void ForgetListings() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_kept.clear();
}

} // namespace lzh
