// The program's input box: a caption, a prompt and one line of text, OK or Cancel.
#pragma once
#include <windows.h>
#include <string>

namespace tovn {

// Control ids a test finds the input box's parts by.
enum InputBoxId { kInputPrompt = 100, kInputEdit = 101 };

// Shows the input box modally with text as the selected default. Returns true for OK and
// then leaves the typed text in text; on Cancel text is left as it was. A maxLength other
// than 0 stops typing and pasting at that many characters; a longer default is shown whole.
bool ShowInputBox(HWND owner, const std::wstring& caption, const std::wstring& prompt,
                  std::wstring& text, size_t maxLength = 0);

} // namespace tovn
