// The browser on a folder of pictures, the editor opened on the cursor picture as the E
// command opens it, and the pictures' pixels for comparisons.
#pragma once
#include "support/browser_fixture.h"
#include "app/win_text.h"
#include "editor/edit_window.h"
#include "editor/tests/reference.h"
#include "editor/tests/test_pictures.h"
#include "picture/picture_host.h"
#include <algorithm>

namespace tovn::test {

inline std::string ReadBytes(const std::wstring& path) {
    return ReadFileBytes(ToAnsi(path));
}
inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    WriteFileBytes(ToAnsi(path), bytes);
}
inline void WriteMag(const std::wstring& path, const imaging::Picture& p) {
    WriteMagFile(ToAnsi(path), p);
}
inline std::vector<uint32_t> MagPixels(const std::wstring& path) {
    return MagPixels(ToAnsi(path));
}

class EditorFixture : public BrowserFixture {
protected:
    // The browser on the picture folder holding the named MAG picture (640 x 400 unless said).
    void StartOnMag(const std::wstring& name, int width = 640, int height = 400) {
        WriteMag(pictures / name, BlockPicture(width, height));
        Start();
    }
    // The encoder beside the program: ours, or another program of the build in its place.
    void WithMg(const wchar_t* encoder = L"MG.EXE") {
        wchar_t here[MAX_PATH];
        ::GetCurrentDirectoryW(MAX_PATH, here);
        ASSERT_TRUE(::CopyFileW((std::wstring(here) + L"\\" + encoder).c_str(),
                                (program / L"MG.EXE").c_str(), FALSE));
    }
    // The names of the files (not folders) in the picture folder.
    std::vector<std::wstring> PictureFolderFiles() {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW fd;
        UniqueFind find(::FindFirstFileW((pictures / L"*").c_str(), &fd));
        if (find) do
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    names.push_back(fd.cFileName);
            while (::FindNextFileW(find.get(), &fd));
        std::sort(names.begin(), names.end());
        return names;
    }
    TfrmEdit& Open() {
        editor = std::make_unique<TfrmEdit>(core());
        EXPECT_TRUE(editor->Create());
        Pump();
        return *editor;
    }
    const Picture& Edited() { return editor->PictureBitmap(); }
    std::vector<uint32_t> EditedPixels() {
        return PixelsOf(Edited().Bitmap(), Edited().Width(), Edited().Height());
    }
    std::wstring Caption() const {
        wchar_t buf[512] = {};
        ::GetWindowTextW(editor->Handle(), buf, 512);
        return buf;
    }
    void Type(const std::wstring& text) { ::SetWindowTextW(editor->Memo(), text.c_str()); }
    void Drag(int x0, int y0, int x1, int y1) {
        editor->imgEditMouseDown(true, x0, y0);
        editor->imgEditMouseMove((x0 + x1) / 2, (y0 + y1) / 2);
        editor->imgEditMouseUp(true, x1, y1);
    }
    // A left click with colour tool 1..4 at a picture pixel.
    void Pick(int tool, int x, int y, bool left = true) {
        editor->ToolButtonClick(tool, true);
        editor->imgEditMouseDown(left, x, y);
        editor->imgEditMouseUp(left, x, y);
    }
    // The reference: the original picture with the overlay drawn independently.
    std::vector<uint32_t> Reference(const std::vector<std::wstring>& lines) {
        const Picture& p = Edited();
        DIBSECTION ds{};
        ::GetObjectW(p.Bitmap(), sizeof ds, &ds);
        struct {
            BITMAPINFOHEADER h;
            RGBQUAD colours[256];
        } info{};
        info.h = ds.dsBmih;
        info.h.biHeight = p.Height();
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, p.Bitmap());
        ::GetDIBColorTable(dc, 0, 256, info.colours);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        void* bits = nullptr;
        UniqueBitmap ref(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                            DIB_RGB_COLORS, &bits, nullptr, 0));
        std::string original = ReadBytes(pictures / editor->EditFileName());
        imaging::Decoded d =
            imaging::DecodeMag(reinterpret_cast<const uint8_t*>(original.data()), original.size());
        const int stride = ((p.Width() * info.h.biBitCount + 31) / 32) * 4;
        auto* row0 = static_cast<uint8_t*>(bits);
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x) {
                uint8_t v = d.picture.pixels[size_t(y) * p.Width() + x];
                uint8_t* b = row0 + size_t(p.Height() - 1 - y) * stride;
                if (info.h.biBitCount == 4)
                    b[x / 2] = uint8_t(x % 2 ? (b[x / 2] & 0xF0) | v : (b[x / 2] & 0x0F) | v << 4);
                else
                    b[x] = v;
            }
        DrawReferenceOverlay(ref.get(), p.Palette(), editor->Settings(), lines);
        return PixelsOf(ref.get(), p.Width(), p.Height());
    }

    std::unique_ptr<TfrmEdit> editor;
};

} // namespace tovn::test
