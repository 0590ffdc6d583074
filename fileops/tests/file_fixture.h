// The browser on a folder of named pictures, with helpers for the file commands' checks.
#pragma once
#include "support/browser_fixture.h"
#include "win/handles.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include <initializer_list>

namespace tovn::test {

class FileFixture : public BrowserFixture {
protected:
    // Writes small BMPs with the given names and starts the browser at n x n.
    void StartWithFiles(std::initializer_list<const wchar_t*> names, int n = 3) {
        PutIni(L"Window", L"Img", std::to_wstring(n));
        int i = 0;
        for (const wchar_t* name : names)
            WriteSolidBmp(pictures / name, 16, 12, static_cast<uint8_t>(40 * ++i), 90, 160);
        Start();
    }
    void StartWithPictures(int files, int n) {
        PutIni(L"Window", L"Img", std::to_wstring(n));
        MakePictures(files);
        Start();
    }
    bool InPictures(const std::wstring& name) const { return FileExists(pictures / name); }
    std::wstring Name(int slot) { return st().FileList.at(slot).name; }
    // The centre pixel of a cell of the current page.
    COLORREF CellPixel(int cell) {
        int n = st().DispCount;
        int x = ((cell - 1) % n) * st().CellWidth + st().CellWidth / 2;
        int y = ((cell - 1) / n) * st().CellHeight + st().CellHeight / 2;
        return Pixel(x, y);
    }
    void Choose(const std::wstring& folder) {
        ChooserAnswer a;
        a.folder = folder;
        a.count = st().DispCount;
        dialogs.choices.push_back({true, a});
    }
    void Answer(std::initializer_list<const wchar_t*> texts) {
        for (const wchar_t* t : texts) dialogs.inputAnswers.push_back(std::wstring(t));
    }
    static std::string Contents(const std::wstring& path) {
        std::string bytes;
        ReadFileBytes(path, bytes);
        return bytes;
    }
    std::wstring LastMessage() const {
        return dialogs.messages.empty() ? L"" : dialogs.messages.back().text;
    }
};

constexpr COLORREF kGrey = RGB(128, 128, 128);

} // namespace tovn::test
