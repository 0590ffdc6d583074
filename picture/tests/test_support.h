// Shared pieces of the picture tests: a counting dialog seam, scratch folders with test
// plug-ins in a chosen listing order, and picture files made byte by byte.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "support/scripted_dialogs.h"
#include "picture/picture_host.h"

namespace tovn::test {

// Counts beeps and records message boxes while installed.
using CountingDialogs = ScriptedDialogs;

// Makes folder the current folder for the object's life.
class InFolder {
public:
    explicit InFolder(const std::wstring& folder);
    ~InFolder();
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::wstring previous_;
};

// A fresh folder under the test's working folder, made current for the object's life
// (plug-ins are looked for in the current folder) and removed afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; } // ends in "\"
    std::wstring File(const std::wstring& name) const { return path_ + name; }
    void Write(const std::wstring& name, const std::vector<uint8_t>& bytes) const;
    // Puts the named fixture plug-ins (FXGOOD, ...) or junk (an empty name) into the folder
    // so that the file system lists them in the order given; returns their file names.
    std::vector<std::string> PlacePlugins(const std::vector<std::string>& fixtures) const;

private:
    std::wstring path_;
    std::unique_ptr<InFolder> inFolder_;
};

// The names "*.SPI" lists in folder, in listing order.
std::vector<std::string> ListedPlugins(const std::wstring& folder);

// A picture file for the fixture plug-ins: width, height, bits per pixel and a fault number.
std::vector<uint8_t> FxFile(uint32_t width, uint32_t height, uint16_t bits, uint8_t fault = 0);
enum FxFault : uint8_t { fxShortBits = 1, fxShortTable, fxFailAfterAlloc, fxInfoFails, fxComment };

// The fixture's own record of the blocks it handed out last and of its calls.
struct FxProbe {
    explicit FxProbe(const std::string& moduleName);
    HLOCAL lastInfo = nullptr, lastBits = nullptr;
    int supportedCalls = 0, pictureCalls = 0;
};

// An uncompressed BMP file with a deterministic picture: for up to 8 bits pixel (x, y) has
// index (x + 2y) mod 2^bits and entry i is (i, 255 - i, 3i); 24 bits: (x, y, 200).
std::vector<uint8_t> BmpFile(int width, int height, int bits);
void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);

// The colour of pixel (x, y) of a picture, read back through GDI.
COLORREF PixelOf(const Picture& picture, int x, int y);
// The entries of a logical palette.
std::vector<PALETTEENTRY> EntriesOf(HPALETTE palette);
bool IsPlaceholder(const Picture& picture);
inline PictureSource FolderSource(const std::wstring& dir) {
    PictureSource source;
    source.currentDir = dir;
    return source;
}

} // namespace tovn::test
