// Names the file commands build and the checks typed names go through.
#pragma once
#include <cstddef>
#include <string>

namespace tovn {

constexpr int kRenameNoLimit = 1000;  // numbered names have at most three digits
constexpr int kDuplicateTries = 998;  // duplicate names run from 000 to 997
constexpr size_t kNamePartLimit = 5;  // numbered rename: name part before the number
constexpr size_t kShortNameLimit = 8; // rename and new folder

// From the last "." on, dot included; empty when the name has no ".".
std::wstring ExtensionOf(const std::wstring& name);
// Up to, not including, the first "."; empty when the name has no ".".
std::wstring StemBeforeFirstDot(const std::wstring& name);
// At least three digits, zero-padded ("%3.3d").
std::wstring ThreeDigits(int n);
std::wstring NumberedName(const std::wstring& part, int number, const std::wstring& original);
std::wstring DuplicateName(int counter, const std::wstring& original);

enum class NameProblem { None, TooLong, Blank };
// The short-name checks of typed names: length is the text's size in the ANSI code page
// (what the old 8.3 limit counts); a half-width or full-width blank anywhere is refused.
// Long file names switch both checks off.
NameProblem CheckTypedName(const std::wstring& text, size_t length, size_t limit,
                           bool longFileNames);

enum class NumberProblem { None, TooLong, NotANumber };
NumberProblem ParseRenameNumber(const std::wstring& text, int& number);

// A name that stays inside its folder: not empty, no folder separators or drive colons.
// A rename to anything else would move the file elsewhere, so it counts as a failed rename.
bool StaysInFolder(const std::wstring& name);

} // namespace tovn
