// The browser on a folder of pictures with the macro window over it, and the macro and
// batch files beside the program as bytes.
#pragma once
#include "fileops/tests/file_fixture.h"
#include "macro/macro_window.h"
#include <memory>
#include <string>
#include <vector>

namespace tovn::test {

class MacroFixture : public FileFixture {
protected:
    ~MacroFixture() override { form.reset(); }
    // The macro file: each line ended by CR LF.
    void WriteMacros(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        WriteTextFile(program / L"Tovn32.MCR", text);
    }
    std::string Bytes(const std::wstring& path) const {
        std::string bytes;
        return ReadFileBytes(path, bytes) ? bytes : "<missing>";
    }
    std::string MacroFile() const { return Bytes(program / L"Tovn32.MCR"); }
    std::string Batch(const wchar_t* name = L"TEMP.BAT") const { return Bytes(program / name); }
    // The drive, folder and check lines every batch file of the picture folder begins with.
    std::string FolderLines(const std::wstring& folder) const {
        return ToAnsi(folder.substr(0, 2)) + "\r\nCD /D " +
               ToAnsi(folder.substr(0, folder.size() - 1)) + "\r\nIF ERRORLEVEL 1 GOTO :EOF\r\n";
    }
    TfrmMcr& Open() {
        form = std::make_unique<TfrmMcr>(core());
        EXPECT_NE(form->Create(), nullptr);
        return *form;
    }
    void Press(wchar_t c) {
        form->FormKeyPress(c);
        Pump();
    }
    void Mark(std::initializer_list<int> slots) {
        for (int s : slots) core().SetMark(s, true);
    }
    std::wstring LabelText(HWND label) const {
        wchar_t text[512] = {};
        ::GetWindowTextW(label, text, 512);
        return text;
    }
    std::unique_ptr<TfrmMcr> form;
};

constexpr COLORREF kBlue = RGB(0, 0, 255), kBlack = RGB(0, 0, 0);

} // namespace tovn::test
