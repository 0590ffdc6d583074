// The plug-in host and the one picture loader: every picture the program shows, edits or
// converts is decoded here (BMP directly, everything else by the first plug-in that accepts
// it; in archive mode the entry is read into memory through the archive plug-in).
#pragma once
#include <windows.h>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>
#include "app/result.h"
#include "win/handles.h"
#include "picture/dib_info.h"
#include "published/susie.h"

namespace tovn {

enum LoadPurpose : unsigned char { lpThumbnail = 0, lpSlide = 1, lpEdit = 2, lpConvert = 3 };

using PictureInfo = susie::PictureInfo;

// Where LoadPicture finds a bare entry name: CurrentDir, or the archive
// CurrentDir + ArchiveName in archive mode.
struct PictureSource {
    std::wstring currentDir; // ends in "\"
    bool lhaMode = false;
    std::wstring archiveName;
};

// A drawable picture: a bitmap, the logical palette that goes with it (if any) and its size.
// Every load replaces the whole object, so callers never keep its handles between loads.
class Picture {
public:
    HBITMAP Bitmap() const { return bitmap_.get(); }
    HPALETTE Palette() const { return palette_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return !bitmap_; }

    void Reset() { *this = Picture(); }
    void SetBitmap(UniqueBitmap bitmap, int width, int height);
    void SetPalette(UniquePalette palette) { palette_ = std::move(palette); }

private:
    UniqueBitmap bitmap_;
    UniquePalette palette_;
    int width_ = 0;
    int height_ = 0;
};

// How a decoded picture becomes its bitmap.
enum class Treatment { Plain, Palette, Reduce };

Treatment ChooseTreatment(LoadPurpose purpose, bool paletteDisplay, LONG colorCount);

// A picture as 32-bit pixels, B G R X, top row first: what a reducer takes.
struct PicturePixels {
    int width = 0, height = 0;
    std::vector<uint32_t> data;
};

// What one load gives its caller: the picture, the picture information and the colour count
// with the size of the colour table that goes with it (see PictureHost::LoadPicture).
struct LoadedPicture {
    bool ok = false;
    Picture picture;
    PictureInfo info{};
    LONG colorCount = 0;
    int paletteEntries = 0;
    // Whether the decoder reported the picture information and the colour count, or they
    // are still what the load started from.
    bool infoReported = false;
    bool coloursReported = false;
    // The picture is the plug-in's reduced preview: info (reported) holds the real size.
    bool preview = false;
    // TryLoadPixels gives the picture here instead, and no bitmap.
    PicturePixels pixels;
    // How the one who shows the picture tells of a failed load: a beep.
    Result Outcome() const { return ok ? Result::Ok() : Result::Refused(); }
};

struct PluginSlot;
struct ArchivePlugin;
struct DibBlocks;

class PictureHost {
public:
    static constexpr int kSlotCount = 16;
    static constexpr LONG kDefaultMaxSide = 3000;

    PictureHost();
    ~PictureHost();
    PictureHost(const PictureHost&) = delete;
    PictureHost& operator=(const PictureHost&) = delete;

    // Finds the plug-ins (current folder, else the system folder), binds the archive
    // plug-in and checks the screen. Fails when the screen shows fewer than 256 colours:
    // the program cannot run then.
    Result LoadPlugins(HDC screenDc);
    void UnloadPlugins();

    const std::wstring& PluginMask() const { return pluginMask_; }
    bool PaletteDisplay() const { return paletteDisplay_; }
    bool LhaPluginLoaded() const;
    // Slots examined at start-up (1..PluginCount), and whether slot k (0-based) is usable.
    int PluginCount() const { return static_cast<int>(slots_.size()); }
    bool SlotHoldsPlugin(int k) const;

    // The picture fileName (a bare name in source) with what its decoding reported. The
    // picture information is that of the last picture a plug-in decoded and the colour count
    // that of the last header read, so a BMP load or a failed search carries them over from
    // the loads before. On failure ok is false and the picture is the placeholder; the
    // caller, which shows it, beeps.
    LoadedPicture LoadPicture(const std::wstring& fileName, LoadPurpose purpose,
                              const PictureSource& source);
    // The same without reading or changing what later loads carry over: on failure ok is
    // false and the picture empty (thumbnails decoded on the workers, whose failures the
    // paint reports when it shows them). previewSide > 0 replaces the side set below. Safe
    // from several threads at once: a plug-in that does not declare itself concurrent is
    // called by one thread at a time, and the archive plug-in always is.
    LoadedPicture TryLoadPicture(const std::wstring& fileName, LoadPurpose purpose,
                                 const PictureSource& source, int previewSide = 0) const;
    // A thumbnail load as TryLoadPicture, the picture given as pixels (loaded.pixels): the
    // decoder's blocks converted straight, with no bitmap made and read back.
    LoadedPicture TryLoadPixels(const std::wstring& fileName, const PictureSource& source,
                                int previewSide = 0) const;
    // A picture TryLoadPicture decoded is shown: later loads carry over what it reported,
    // and it comes back as LoadPicture would have given it (what it did not report carried
    // over, the placeholder on failure).
    LoadedPicture NoteShown(LoadedPicture loaded);
    // A plug-in's size and depth for fileName without decoding it; no beep.
    bool QueryPictureInfo(const std::wstring& fileName, const PictureSource& source,
                          PictureInfo& info);

    const Picture& PlaceholderBitmap() const { return placeholderBitmap_; }
    void SetReductionLevel(int level) { reductionLevel_ = level; }
    int ReductionLevel() const { return reductionLevel_; }
    // Pictures a plug-in decodes wider or higher than this (their real size, even when only a
    // preview was decoded) fail to load.
    void SetMaxPictureSide(LONG side) { maxSide_ = side; }
    // The longer side thumbnails are drawn at: plug-ins that decode reduced previews are told
    // it before they are asked for a thumbnail.
    void SetPreviewSide(int side) { previewSide_ = side; }
    // Plug-in GetPicture calls and BMP reads so far.
    int DecodeCount() const { return decodeCount_.load(); }
    bool ReductionLibraryLoaded() const;

    // The progress window: a text shows it, an empty text hides it.
    std::function<void(const std::wstring&)> showWaiting;
    // Bits per pixel of the screen; tests replace it to pose as another display.
    std::function<int(HDC)> screenDepth;
    // The short form of a path, empty where the volume keeps none; tests replace it to pose
    // as such a volume.
    std::function<std::wstring(const std::wstring&)> shortPath;

private:
    struct Claim;
    // How a load is asked for: what for, the preview side, and whether as pixels.
    struct LoadAsk {
        LoadPurpose purpose = lpThumbnail;
        int previewSide = 0;
        bool asPixels = false;
    };
    LoadedPicture Decode(LoadedPicture loaded, const std::wstring& fileName,
                         const PictureSource& source, const LoadAsk& ask) const;
    bool ReadBmpPicture(LoadedPicture& loaded, const std::wstring& fileName,
                        const PictureSource& source, const LoadAsk& ask) const;
    bool ReadPluginPicture(LoadedPicture& loaded, const std::wstring& fileName,
                           const PictureSource& source, const LoadAsk& ask) const;
    bool TakePixels(LoadedPicture& loaded, const dib::Header& header, const uint8_t* bits,
                    size_t size, const LoadAsk& ask) const;
    bool Finish(LoadedPicture& loaded, DibBlocks& dib, const LoadAsk& ask) const;
    bool ReadArchiveEntry(const std::wstring& fileName, const PictureSource& source,
                          UniqueLocal& block) const;
    bool ClaimPlugin(const std::wstring& fileName, const PictureSource& source, Claim& claim) const;
    bool ClaimFromMemory(const std::wstring& fileName, const uint8_t* bytes, size_t size,
                         Claim& claim) const;
    // The path as plug-ins take it (ANSI): exactly, else by its short form; false when
    // neither spells it, and the plug-ins must get the file's bytes.
    bool PluginPath(const std::wstring& path, std::string& ansi) const;
    bool GetPluginPicture(const Claim& claim, LoadPurpose purpose, int previewSide,
                          UniqueLocal& info, UniqueLocal& bits, bool& preview) const;
    bool MakePictureBitmap(Picture& target, DibBlocks& dib, Treatment treatment) const;
    bool ReducePicture(Picture& target, DibBlocks& dib) const;
    void LoadPluginFolder(const std::wstring& folder);
    void LoadReductionLibrary();

    std::vector<std::unique_ptr<PluginSlot>> slots_;
    std::vector<UniqueModule> retired_; // loaded but refused: kept loaded, never asked
    std::unique_ptr<ArchivePlugin> archive_;
    UniqueModule huedenLib_;
    FARPROC huedenize_ = nullptr;
    std::wstring pluginMask_;
    bool paletteDisplay_ = false;
    Picture placeholderBitmap_;
    // What the last shown load leaves for the next one to carry over.
    PictureInfo picInfo_{};
    LONG colorCount_ = 0;
    int paletteEntries_ = 0;
    int reductionLevel_ = 4;
    LONG maxSide_ = kDefaultMaxSide;
    int previewSide_ = 0;
    mutable std::atomic<int> decodeCount_{0};
    mutable std::mutex archiveCalls_; // the archive plug-in is called by one thread at a time
};

// Loads the built-in placeholder picture (resource "Tovn32") with its 256-colour palette.
bool LoadPlaceholder(Picture& target);

} // namespace tovn
