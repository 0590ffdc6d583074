#include "picture/picture_host.h"
#include <cstdint>
#include <cstring>
#include <exception>

namespace tovn {

// Plug-in entry points as published (stdcall; the 64-bit interface widens the length,
// the IsSupported value and the callback data to pointer size).
using GetPluginInfoFn = int(WINAPI*)(int infono, LPSTR buf, int buflen);
using IsSupportedFn = int(WINAPI*)(LPCSTR filename, ULONG_PTR dw);
using GetPictureFn = int(WINAPI*)(LPCSTR buf, LONG_PTR len, UINT flag, HLOCAL* info, HLOCAL* bits,
                                  FARPROC progress, LONG_PTR data);
using GetPictureInfoFn = int(WINAPI*)(LPCSTR buf, LONG_PTR len, UINT flag, PictureInfo* info);
// Our own plug-ins' additions: the longer side GetPreview should give pictures at, and
// whether they may be called from several threads at once (1).
using SetPreviewSideFn = void(WINAPI*)(int side);
using IsConcurrentFn = int(WINAPI*)(void);

using SusieFileInfo = susie::FileInfo;
using GetFileInfoFn = int(WINAPI*)(LPCSTR buf, LONG_PTR len, LPCSTR filename, UINT flag,
                                   SusieFileInfo* info);
using GetFileFn = int(WINAPI*)(LPCSTR src, LONG_PTR len, LPSTR dest, UINT flag, FARPROC progress,
                               LONG_PTR data);
using HuedenizeFn = int(WINAPI*)(HLOCAL* inInfo, HLOCAL* inBits, HLOCAL* outInfo, HLOCAL* outBits,
                                 int bitCount, int level, int colours, int p8, int p9, int p10,
                                 int p11);

struct PluginSlot {
    UniqueModule module; // null: an empty slot, skipped by every search
    IsSupportedFn isSupported = nullptr;
    GetPictureFn getPicture = nullptr;
    GetPictureInfoFn getPictureInfo = nullptr;
    GetPictureFn getPreview = nullptr; // optional, asked for thumbnails only
    SetPreviewSideFn setPreviewSide = nullptr;
    bool concurrent = false;
    mutable std::mutex calls; // held around every call to a plug-in that is not concurrent

    // Holds the plug-in for one thread's calls unless it may take several at once.
    std::unique_lock<std::mutex> Serialise() const {
        return concurrent ? std::unique_lock<std::mutex>() : std::unique_lock<std::mutex>(calls);
    }
};

struct ArchivePlugin {
    UniqueModule module;
    GetFileInfoFn getFileInfo = nullptr;
    GetFileFn getFile = nullptr;
};

// A plug-in or library block locked for one scope.
class LocalBlock {
public:
    explicit LocalBlock(HLOCAL h)
        : h_(h), p_(h ? static_cast<const uint8_t*>(::LocalLock(h)) : nullptr),
          size_(p_ ? ::LocalSize(h) : 0) {}
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;
    ~LocalBlock() {
        if (p_) ::LocalUnlock(h_);
    }
    const uint8_t* get() const { return p_; }
    size_t size() const { return size_; }

private:
    HLOCAL h_;
    const uint8_t* p_;
    size_t size_;
};

// A decoded picture ready for GDI: the rebuilt header in a block of its own and the pixels.
struct DibBlocks {
    dib::Header header;
    UniqueLocal info;
    UniqueLocal bits;
};

// The accepting plug-in and the arguments every later call to it repeats.
struct PictureHost::Claim {
    const PluginSlot* slot = nullptr;
    std::string name;          // a path the plug-in opens, or the bare name of bytes in memory
    std::vector<uint8_t> file; // a file no ANSI path reaches, read whole
    UniqueLocal entry;
    std::unique_ptr<LocalBlock> entryLock; // declared after entry: unlocked before it is freed
    std::vector<char> probe;               // at least 2 KB of the entry for IsSupported
    LPCSTR buf = nullptr;
    LONG_PTR len = 0;
    UINT flag = 0;
};

namespace {

constexpr size_t kProbeBytes = 2048;
constexpr size_t kMaxWholeFile = size_t(256) << 20;
constexpr int kMaxFormats = 64;
constexpr UINT kFromMemory = 1;
constexpr UINT kIgnoreCase = 128;
constexpr UINT kToMemory = 256;
constexpr int kPatternBuffer = 32;
constexpr int kVersionBuffer = 128;
const wchar_t kTooFewColours[] = L"このソフトは最低２５６色以上が必要です．";

template <typename Fn> Fn Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

std::wstring FromAnsi(const char* text) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring out(size_t(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), n);
    out.resize(size_t(n - 1));
    return out;
}

// text in the ANSI code page without best fit: a character that has no exact form there
// becomes '?', which no file name holds, so the text can never name another file (a
// best-fitted "café" would be "cafe"). exact (if given) tells whether it came through whole.
std::string NoBestFitAnsi(const std::wstring& text, bool* exact = nullptr) {
    if (exact) *exact = true;
    if (text.empty()) return {};
    const UINT flags = ::GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int size = int(text.size());
    int n = ::WideCharToMultiByte(CP_ACP, flags, text.c_str(), size, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, flags, text.c_str(), size, out.data(), n, nullptr, nullptr);
    if (exact) *exact = n > 0 && FromAnsi(out.c_str()) == text;
    return out;
}

std::wstring UpperCase(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(text.data(), DWORD(text.size()));
    return text;
}

// The extension of the last path component, dot included, in upper case.
std::wstring UpperExtension(const std::wstring& name) {
    size_t start = name.find_last_of(L"\\/:");
    start = start == std::wstring::npos ? 0 : start + 1;
    size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || dot < start) return {};
    return UpperCase(name.substr(dot));
}

// GetPluginInfo's text for infono, terminated whatever the plug-in wrote.
int PluginInfoText(GetPluginInfoFn info, int infono, int length, std::string& text) {
    char buffer[256] = {}; // larger than any length passed: a careless plug-in stays inside
    int n = info(infono, buffer, length);
    buffer[length - 1] = '\0';
    text = buffer;
    return n;
}

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& data) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        ULONGLONG(size.QuadPart) > kMaxWholeFile)
        return false;
    data.resize(size_t(size.QuadPart));
    size_t done = 0;
    while (done < data.size()) {
        DWORD got = 0;
        DWORD want = DWORD(data.size() - done);
        if (!::ReadFile(file.get(), data.data() + done, want, &got, nullptr) || got == 0)
            return false;
        done += got;
    }
    return true;
}

UniqueLocal CopyToBlock(const uint8_t* bytes, size_t size) {
    UniqueLocal block(::LocalAlloc(LMEM_MOVEABLE, size ? size : 1));
    if (!block) return block;
    void* p = ::LocalLock(block.get());
    if (!p) return UniqueLocal();
    if (size) std::memcpy(p, bytes, size);
    ::LocalUnlock(block.get());
    return block;
}

// Takes a header block and a pixel block from a plug-in or the colour-reduction library.
bool AdoptBlocks(DibBlocks& dib, UniqueLocal info, UniqueLocal bits) {
    if (!info || !bits) return false;
    {
        LocalBlock infoView(info.get()), bitsView(bits.get());
        if (!infoView.get() || !bitsView.get()) return false;
        auto header = dib::ParseBlocks(infoView.get(), infoView.size(), bitsView.size());
        if (!header) return false;
        dib.header = std::move(*header);
    }
    dib.info = CopyToBlock(dib.header.block.data(), dib.header.block.size());
    dib.bits = std::move(bits);
    return bool(dib.info);
}

UniquePalette CreatePaletteOf(const std::vector<PALETTEENTRY>& entries) {
    std::vector<uint8_t> record(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(record.data());
    log->palVersion = 0x300;
    log->palNumEntries = WORD(entries.size());
    std::memcpy(log->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
    return UniquePalette(::CreatePalette(log));
}

// PaletteEntries entries: the first ColorCount from the colour table, the rest black.
UniquePalette PaletteFromTable(const dib::Header& header) {
    std::vector<PALETTEENTRY> entries(size_t(header.paletteEntries), PALETTEENTRY{});
    for (int32_t i = 0; i < header.colorCount && i < header.paletteEntries; ++i) {
        dib::Colour c = dib::TableColour(header, i);
        entries[size_t(i)] = PALETTEENTRY{c.r, c.g, c.b, 0};
    }
    return CreatePaletteOf(entries);
}

void DropComment(PictureInfo& info) {
    if (info.hInfo) ::LocalFree(info.hInfo);
    info.hInfo = nullptr;
}

// The picture's pixels in 32 bits, whatever depth its bitmap holds; none on failure.
PicturePixels ReadBack(const Picture& picture) {
    PicturePixels out{picture.Width(), picture.Height(), {}};
    out.data.resize(size_t(out.width) * size_t(out.height));
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = out.width;
    header.bmiHeader.biHeight = -out.height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    if (!dc || ::GetDIBits(dc.get(), picture.Bitmap(), 0, static_cast<UINT>(out.height),
                           out.data.data(), &header, DIB_RGB_COLORS) != out.height)
        return {};
    return out;
}

void NoteColours(LoadedPicture& loaded, int bitCount) {
    loaded.coloursReported = true;
    loaded.colorCount = dib::ColorCountFor(bitCount);
    loaded.paletteEntries = dib::PaletteEntriesFor(loaded.colorCount);
}

} // namespace

void Picture::SetBitmap(UniqueBitmap bitmap, int width, int height) {
    bitmap_ = std::move(bitmap);
    width_ = width;
    height_ = height;
}

Treatment ChooseTreatment(LoadPurpose purpose, bool paletteDisplay, LONG colorCount) {
    switch (purpose) {
    case lpSlide:
        if (!paletteDisplay) return Treatment::Plain;
        return colorCount > 256 ? Treatment::Reduce : Treatment::Palette;
    case lpEdit:
    case lpConvert:
        return colorCount <= 256 ? Treatment::Palette : Treatment::Plain;
    default:
        return Treatment::Plain;
    }
}

bool LoadPlaceholder(Picture& target) {
    target.Reset();
    UniqueBitmap bitmap(static_cast<HBITMAP>(::LoadImageW(
        ::GetModuleHandleW(nullptr), L"Tovn32", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    DIBSECTION section{};
    if (!bitmap || ::GetObjectW(bitmap.get(), sizeof section, &section) != sizeof section)
        return false;
    RGBQUAD table[256] = {};
    UINT count = 0;
    {
        UniqueMemDc dc(::CreateCompatibleDC(nullptr));
        SelectIn in(dc.get(), bitmap.get());
        count = ::GetDIBColorTable(dc.get(), 0, 256, table);
    }
    std::vector<PALETTEENTRY> entries;
    for (UINT i = 0; i < count; ++i)
        entries.push_back({table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0});
    target.SetBitmap(std::move(bitmap), section.dsBm.bmWidth, section.dsBm.bmHeight);
    if (!entries.empty()) target.SetPalette(CreatePaletteOf(entries));
    return true;
}

PictureHost::PictureHost()
    : screenDepth([](HDC dc) { return ::GetDeviceCaps(dc, BITSPIXEL); }),
      shortPath([](const std::wstring& path) {
          DWORD n = ::GetShortPathNameW(path.c_str(), nullptr, 0);
          std::wstring out(n, L'\0');
          n = n ? ::GetShortPathNameW(path.c_str(), out.data(), n) : 0;
          out.resize(n < out.size() ? n : 0);
          return out;
      }) {}

PictureHost::~PictureHost() {
    UnloadPlugins();
}

bool PictureHost::LhaPluginLoaded() const {
    return archive_ && archive_->module;
}

bool PictureHost::SlotHoldsPlugin(int k) const {
    return k >= 0 && k < PluginCount() && slots_[size_t(k)]->module;
}

bool PictureHost::ReductionLibraryLoaded() const {
    return bool(huedenLib_);
}

void PictureHost::LoadPluginFolder(const std::wstring& folder) {
    for (auto& slot : slots_)
        if (slot->module) retired_.push_back(std::move(slot->module));
    slots_.clear();
    // Wide names throughout: an ANSI listing best-fits a name it cannot spell, and
    // LoadLibrary could then load another plug-in.
    WIN32_FIND_DATAW found{};
    UniqueFind find(::FindFirstFileExW((folder + L"*.SPI").c_str(), FindExInfoStandard, &found,
                                       FindExSearchNameMatch, nullptr, 0));
    if (!find) return;
    do {
        slots_.push_back(std::make_unique<PluginSlot>());
        PluginSlot& slot = *slots_.back();
        UniqueModule module(::LoadLibraryW(found.cFileName));
        if (!module) continue;
        auto info = Bind<GetPluginInfoFn>(module.get(), "GetPluginInfo");
        std::string text;
        if (!info || (PluginInfoText(info, 0, kVersionBuffer, text), text != "00IN")) {
            retired_.push_back(std::move(module));
            continue;
        }
        for (int c = 0;
             c < kMaxFormats && PluginInfoText(info, 2 * c + 3, kPatternBuffer, text) > 0; ++c) {
            PluginInfoText(info, 2 * c + 2, kPatternBuffer, text);
            pluginMask_ += FromAnsi(text.c_str()) + L";";
        }
        slot.isSupported = Bind<IsSupportedFn>(module.get(), "IsSupported");
        slot.getPicture = Bind<GetPictureFn>(module.get(), "GetPicture");
        slot.getPictureInfo = Bind<GetPictureInfoFn>(module.get(), "GetPictureInfo");
        slot.getPreview = Bind<GetPictureFn>(module.get(), "GetPreview");
        slot.setPreviewSide = Bind<SetPreviewSideFn>(module.get(), "SetPreviewSide");
        auto concurrent = Bind<IsConcurrentFn>(module.get(), "IsConcurrent");
        slot.concurrent = concurrent && concurrent() == 1;
        slot.module = std::move(module);
    } while (slots_.size() < size_t(kSlotCount) && ::FindNextFileW(find.get(), &found));
}

void PictureHost::LoadReductionLibrary() {
    huedenLib_.reset(::LoadLibraryW(L"HUEDEN32.DLL"));
    huedenize_ = huedenLib_ ? ::GetProcAddress(huedenLib_.get(), "Huedenize") : nullptr;
}

Result PictureHost::LoadPlugins(HDC screenDc) {
    UnloadPlugins();
    LoadPluginFolder(L"");
    if (pluginMask_.empty()) {
        wchar_t system[MAX_PATH] = {};
        UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
        if (n > 0 && n < MAX_PATH) LoadPluginFolder(std::wstring(system) + L"\\");
    }
    pluginMask_ = UpperCase(pluginMask_);

    UniqueModule lha(::LoadLibraryA("LHASAD.SPI"));
    if (lha) {
        archive_ = std::make_unique<ArchivePlugin>();
        archive_->getFileInfo = Bind<GetFileInfoFn>(lha.get(), "GetFileInfo");
        archive_->getFile = Bind<GetFileFn>(lha.get(), "GetFile");
        archive_->module = std::move(lha);
    }

    const int depth = screenDepth(screenDc);
    if (depth < 8) return Result::Error(kTooFewColours, L"Error", Say::Box);
    paletteDisplay_ = depth == 8;
    if (paletteDisplay_) LoadReductionLibrary();
    LoadPlaceholder(placeholderBitmap_);
    return Result::Ok();
}

void PictureHost::UnloadPlugins() {
    slots_.clear();
    retired_.clear();
    archive_.reset();
    huedenize_ = nullptr;
    huedenLib_.reset();
    pluginMask_.clear();
    paletteDisplay_ = false;
    placeholderBitmap_.Reset();
}

// A load starts from what the last shown load left: the picture information and the colour
// count change only when a plug-in or a header reports them.
LoadedPicture PictureHost::Decode(LoadedPicture loaded, const std::wstring& fileName,
                                  const PictureSource& source, const LoadAsk& ask) const {
    try {
        loaded.ok = UpperExtension(fileName) == L".BMP"
                        ? ReadBmpPicture(loaded, fileName, source, ask)
                        : ReadPluginPicture(loaded, fileName, source, ask);
    } catch (const std::exception&) { // out of memory while copying: a failed load
        loaded.ok = false;
    }
    if (!loaded.ok) {
        loaded.picture.Reset();
        loaded.pixels = PicturePixels();
    }
    return loaded;
}

LoadedPicture PictureHost::LoadPicture(const std::wstring& fileName, LoadPurpose purpose,
                                       const PictureSource& source) {
    return NoteShown(Decode(LoadedPicture(), fileName, source, {purpose, previewSide_, false}));
}

LoadedPicture PictureHost::TryLoadPicture(const std::wstring& fileName, LoadPurpose purpose,
                                          const PictureSource& source, int previewSide) const {
    return Decode(LoadedPicture(), fileName, source,
                  {purpose, previewSide > 0 ? previewSide : previewSide_, false});
}

LoadedPicture PictureHost::TryLoadPixels(const std::wstring& fileName, const PictureSource& source,
                                         int previewSide) const {
    return Decode(LoadedPicture(), fileName, source,
                  {lpThumbnail, previewSide > 0 ? previewSide : previewSide_, true});
}

LoadedPicture PictureHost::NoteShown(LoadedPicture loaded) {
    if (loaded.infoReported)
        picInfo_ = loaded.info;
    else
        loaded.info = picInfo_;
    if (loaded.coloursReported) {
        colorCount_ = loaded.colorCount;
        paletteEntries_ = loaded.paletteEntries;
    } else {
        loaded.colorCount = colorCount_;
        loaded.paletteEntries = paletteEntries_;
    }
    if (!loaded.ok) LoadPlaceholder(loaded.picture);
    return loaded;
}

bool PictureHost::QueryPictureInfo(const std::wstring& fileName, const PictureSource& source,
                                   PictureInfo& info) {
    try {
        Claim claim;
        if (!ClaimPlugin(fileName, source, claim) || !claim.slot->getPictureInfo) return false;
        PictureInfo answer{};
        auto serial = claim.slot->Serialise();
        if (claim.slot->getPictureInfo(claim.buf, claim.len, claim.flag, &answer) != 0)
            return false;
        DropComment(answer);
        info = answer;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool PictureHost::PluginPath(const std::wstring& path, std::string& ansi) const {
    bool exact = false;
    ansi = NoBestFitAnsi(path, &exact);
    if (exact) return true;
    const std::wstring shortened = shortPath ? shortPath(path) : std::wstring();
    if (shortened.empty() || shortened == path) return false;
    ansi = NoBestFitAnsi(shortened, &exact);
    return exact;
}

bool PictureHost::ReadArchiveEntry(const std::wstring& fileName, const PictureSource& source,
                                   UniqueLocal& block) const {
    if (!archive_ || !archive_->getFileInfo || !archive_->getFile) return false;
    bool exact = false;
    const std::string entry = NoBestFitAnsi(fileName, &exact);
    if (!exact) return false; // a best-fitted name could match another entry
    std::lock_guard<std::mutex> serial(archiveCalls_);
    const std::wstring path = source.currentDir + source.archiveName;
    std::string archive;
    std::vector<uint8_t> image; // the archive itself when no ANSI name reaches it
    const bool inMemory = !PluginPath(path, archive);
    if (inMemory && !ReadWholeFile(path, image)) return false;
    const LPCSTR buf = inMemory ? reinterpret_cast<LPCSTR>(image.data()) : archive.c_str();
    const UINT input = inMemory ? kFromMemory : 0;
    SusieFileInfo info{};
    if (archive_->getFileInfo(buf, inMemory ? LONG_PTR(image.size()) : 0, entry.c_str(),
                              input | kIgnoreCase, &info) != 0)
        return false;
    if (inMemory && info.position >= image.size()) return false;
    // From memory the entry's bytes are handed over from its position on.
    const LPCSTR src = inMemory ? buf + info.position : buf;
    const LONG_PTR len =
        inMemory ? LONG_PTR(image.size() - info.position) : LONG_PTR(info.position);
    HLOCAL h = nullptr;
    int rc =
        archive_->getFile(src, len, reinterpret_cast<LPSTR>(&h), input | kToMemory, nullptr, 0);
    block.reset(h);
    return rc == 0 && block;
}

bool PictureHost::ClaimFromMemory(const std::wstring& fileName, const uint8_t* bytes, size_t size,
                                  Claim& claim) const {
    claim.name = NoBestFitAnsi(fileName);
    claim.buf = reinterpret_cast<LPCSTR>(bytes);
    claim.len = LONG_PTR(size);
    claim.flag = kFromMemory;
    // Plug-ins look at 2 KB of the head whatever the file's size.
    LPCSTR head = claim.buf;
    if (size < kProbeBytes) {
        claim.probe.assign(kProbeBytes, '\0');
        if (size) std::memcpy(claim.probe.data(), bytes, size);
        head = claim.probe.data();
    }
    for (const auto& slot : slots_) {
        if (!slot->module) continue;
        if (!slot->isSupported) return false;
        auto serial = slot->Serialise();
        if (slot->isSupported(claim.name.c_str(), reinterpret_cast<ULONG_PTR>(head))) {
            claim.slot = slot.get();
            return true;
        }
    }
    return false;
}

bool PictureHost::ClaimPlugin(const std::wstring& fileName, const PictureSource& source,
                              Claim& claim) const {
    if (source.lhaMode) {
        if (!ReadArchiveEntry(fileName, source, claim.entry)) return false;
        claim.entryLock = std::make_unique<LocalBlock>(claim.entry.get());
        const LocalBlock& bytes = *claim.entryLock;
        if (!bytes.get()) return false;
        return ClaimFromMemory(fileName, bytes.get(), bytes.size(), claim);
    }
    const std::wstring path = source.currentDir + fileName;
    if (!PluginPath(path, claim.name)) {
        // No ANSI name reaches the file: the plug-ins get its bytes instead.
        if (!ReadWholeFile(path, claim.file)) return false;
        return ClaimFromMemory(fileName, claim.file.data(), claim.file.size(), claim);
    }
    claim.buf = claim.name.c_str();
    for (const auto& slot : slots_) {
        // Opened afresh for every plug-in asked: each may move the file pointer.
        UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (!slot->module) continue;
        if (!slot->isSupported) return false;
        auto serial = slot->Serialise();
        if (slot->isSupported(claim.buf, reinterpret_cast<ULONG_PTR>(file.get()))) {
            claim.slot = slot.get();
            return true;
        }
    }
    return false;
}

bool PictureHost::ReadBmpPicture(LoadedPicture& loaded, const std::wstring& fileName,
                                 const PictureSource& source, const LoadAsk& ask) const {
    ++decodeCount_;
    std::vector<uint8_t> file;
    if (source.lhaMode) {
        UniqueLocal entry;
        if (!ReadArchiveEntry(fileName, source, entry)) return false;
        LocalBlock bytes(entry.get());
        if (!bytes.get() || bytes.size() > kMaxWholeFile) return false;
        file.assign(bytes.get(), bytes.get() + bytes.size());
    } else if (!ReadWholeFile(source.currentDir + fileName, file)) {
        return false;
    }
    // The colours the file itself declares, whatever depth its plain form takes.
    const auto declared = bmp::ParseBmpFile(file.data(), file.size());
    if (!declared) return false;
    file = bmp::PlainBmpFile(std::move(file));
    auto header = dib::ParseBmp(file.data(), file.size());
    if (!header) return false;
    DibBlocks dib;
    dib.header = std::move(*header);
    const bmp::DibLayout& layout = dib.header.layout;
    NoteColours(loaded, declared->bitCount);
    if (TakePixels(loaded, dib.header, file.data() + layout.bitsOffset, layout.bitsSize, ask))
        return true; // converted from the file's own bytes
    dib.info = CopyToBlock(dib.header.block.data(), dib.header.block.size());
    dib.bits = CopyToBlock(file.data() + layout.bitsOffset, layout.bitsSize);
    file = {};
    if (!dib.info || !dib.bits) return false;
    return Finish(loaded, dib, ask);
}

bool PictureHost::ReadPluginPicture(LoadedPicture& loaded, const std::wstring& fileName,
                                    const PictureSource& source, const LoadAsk& ask) const {
    DibBlocks dib;
    {
        Claim claim;
        if (!ClaimPlugin(fileName, source, claim)) return false;
        const PluginSlot& slot = *claim.slot;
        if (!slot.getPicture || !slot.getPictureInfo) return false;
        UniqueLocal infoBlock, bitsBlock;
        ++decodeCount_;
        if (!GetPluginPicture(claim, ask.purpose, ask.previewSide, infoBlock, bitsBlock,
                              loaded.preview))
            return false;
        PictureInfo picture{};
        {
            auto serial = slot.Serialise();
            if (slot.getPictureInfo(claim.buf, claim.len, claim.flag, &picture) != 0) return false;
        }
        DropComment(picture);
        loaded.info = picture;
        loaded.infoReported = true;
        if (picture.width < 1 || picture.width > maxSide_ || picture.height < 1 ||
            picture.height > maxSide_)
            return false;
        if (!AdoptBlocks(dib, std::move(infoBlock), std::move(bitsBlock))) return false;
    }
    NoteColours(loaded, dib.header.layout.bitCount);
    return Finish(loaded, dib, ask);
}

// A pixel load of a picture shown as decoded, converted straight from its bits where the
// layout allows; false leaves the load to the bitmap.
bool PictureHost::TakePixels(LoadedPicture& loaded, const dib::Header& header, const uint8_t* bits,
                             size_t size, const LoadAsk& ask) const {
    if (!ask.asPixels ||
        ChooseTreatment(ask.purpose, paletteDisplay_, loaded.colorCount) != Treatment::Plain)
        return false;
    const bmp::DibLayout& layout = header.layout;
    const uint64_t count = uint64_t(layout.width) * uint64_t(layout.height);
    if (count > SIZE_MAX / sizeof(uint32_t)) return false; // beyond a 32-bit program's reach
    std::vector<uint32_t> data(static_cast<size_t>(count));
    if (!dib::ToPixels(header, bits, size, data.data())) return false;
    loaded.pixels = {layout.width, layout.height, std::move(data)};
    return true;
}

// The decoded blocks as asked: a bitmap, or pixels converted straight where the layout
// allows, else read back from the bitmap as GDI converts them.
bool PictureHost::Finish(LoadedPicture& loaded, DibBlocks& dib, const LoadAsk& ask) const {
    {
        LocalBlock bits(dib.bits.get());
        if (bits.get() && TakePixels(loaded, dib.header, bits.get(), bits.size(), ask)) return true;
    }
    if (!MakePictureBitmap(loaded.picture, dib,
                           ChooseTreatment(ask.purpose, paletteDisplay_, loaded.colorCount)))
        return false;
    if (!ask.asPixels) return true;
    loaded.pixels = ReadBack(loaded.picture);
    loaded.picture.Reset();
    return !loaded.pixels.data.empty();
}

// Thumbnails take the plug-in's preview where it has one; one that answers "not implemented"
// (-1) decodes the whole picture like every other purpose.
bool PictureHost::GetPluginPicture(const Claim& claim, LoadPurpose purpose, int previewSide,
                                   UniqueLocal& info, UniqueLocal& bits, bool& preview) const {
    const PluginSlot& slot = *claim.slot;
    auto serial = slot.Serialise(); // the preview side set holds for the call that follows
    auto get = [&](GetPictureFn fn) {
        HLOCAL i = nullptr, b = nullptr;
        const int rc = fn(claim.buf, claim.len, claim.flag, &i, &b, nullptr, 0);
        info.reset(i);
        bits.reset(b);
        return rc;
    };
    if (purpose == lpThumbnail && slot.getPreview) {
        if (slot.setPreviewSide && previewSide > 0) slot.setPreviewSide(previewSide);
        const int rc = get(slot.getPreview);
        preview = rc == 0;
        if (rc != susie::kNotImplemented) return rc == 0;
    }
    return get(slot.getPicture) == 0;
}

bool PictureHost::MakePictureBitmap(Picture& target, DibBlocks& dib, Treatment treatment) const {
    if (treatment == Treatment::Reduce) return ReducePicture(target, dib);
    const bmp::DibLayout& layout = dib.header.layout;
    LocalBlock info(dib.info.get()), bits(dib.bits.get());
    if (!info.get() || !bits.get() || bits.size() < layout.bitsSize) return false;
    void* pixels = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.get()),
                                           DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || !pixels) return false;
    std::memcpy(pixels, bits.get(), layout.bitsSize);
    ::GdiFlush();
    target.SetBitmap(std::move(bitmap), layout.width, layout.height);
    if (treatment == Treatment::Palette) {
        UniquePalette palette = PaletteFromTable(dib.header);
        if (!palette) return false;
        target.SetPalette(std::move(palette));
    }
    return true;
}

bool PictureHost::ReducePicture(Picture& target, DibBlocks& dib) const {
    if (showWaiting) showWaiting(L"減色中 Level:" + std::to_wstring(reductionLevel_));
    auto huedenize = reinterpret_cast<HuedenizeFn>(reinterpret_cast<void (*)()>(huedenize_));
    if (!huedenize) return false;
    HLOCAL inInfo = dib.info.get(), inBits = dib.bits.get();
    HLOCAL outInfo = nullptr, outBits = nullptr;
    {
        LocalBlock lockedInfo(inInfo), lockedBits(inBits);
        huedenize(&inInfo, &inBits, &outInfo, &outBits, 8, reductionLevel_ & 0xFF, 256, 8192, 0, 0,
                  0);
    }
    DibBlocks reduced;
    if (!AdoptBlocks(reduced, UniqueLocal(outInfo), UniqueLocal(outBits)) ||
        reduced.header.layout.bitCount != 8)
        return false;
    return MakePictureBitmap(target, reduced, Treatment::Palette);
}

} // namespace tovn
