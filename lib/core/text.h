// Small text helpers shared by the program's logic.
#pragma once
#include <string>

namespace tovn {

std::wstring ToUpperAscii(std::wstring s);
// Case-insensitive equality for ASCII letters (full-width and kana are compared as they are,
// as the file system does).
bool EqualNoCase(const std::wstring& a, const std::wstring& b);
// Appends "\" unless the text already ends with one (an empty text stays empty).
std::wstring WithTrailingBackslash(std::wstring s);
// Whole text as a decimal integer (optional sign, no blanks); false otherwise.
bool ParseInteger(const std::wstring& s, long long& value);

} // namespace tovn
