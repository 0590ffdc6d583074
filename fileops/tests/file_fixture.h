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
    // Where the desktop trash keeps a deleted file (Wine names the Unix home \\??\\Z:\\...);
    // empty when the home folder is unknown.
    static std::wstring TrashPath(const std::wstring& name) {
        wchar_t home[MAX_PATH] = {};
        if (::GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH) < 5) return L"";
        return std::wstring(home + 4) + L"\\.local\\share\\Trash\\files\\" + name;
    }
    // How many files in the trash carry name (the trash adds a suffix to a name it holds).
    static int TrashCount(const std::wstring& name) {
        std::wstring pattern = TrashPath(name);
        if (pattern.empty()) return 0;
        WIN32_FIND_DATAW fd;
        UniqueFind find(::FindFirstFileW((pattern + L"*").c_str(), &fd));
        int n = 0;
        if (find) do
                ++n;
            while (::FindNextFileW(find.get(), &fd));
        return n;
    }
    std::wstring LastMessage() const {
        return dialogs.messages.empty() ? L"" : dialogs.messages.back().text;
    }
};

constexpr COLORREF kGrey = RGB(128, 128, 128);

} // namespace tovn::test
