#include "fileops/names.h"
#include "core/text.h"
#include <cwchar>

namespace tovn {

std::wstring ExtensionOf(const std::wstring& name) {
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
}

std::wstring StemBeforeFirstDot(const std::wstring& name) {
    size_t dot = name.find(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(0, dot);
}

std::wstring ThreeDigits(int n) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"%3.3d", n);
    return buf;
}

std::wstring NumberedName(const std::wstring& part, int number, const std::wstring& original) {
    return part + ThreeDigits(number) + ExtensionOf(original);
}

std::wstring DuplicateName(int counter, const std::wstring& original) {
    return NumberedName(L"ZZZZZ", counter, original);
}

NameProblem CheckTypedName(const std::wstring& text, size_t length, size_t limit,
                           bool longFileNames) {
    if (longFileNames) return NameProblem::None;
    if (length > limit) return NameProblem::TooLong;
    if (text.find_first_of(L" \u3000") != std::wstring::npos) return NameProblem::Blank;
    return NameProblem::None;
}

NumberProblem ParseRenameNumber(const std::wstring& text, int& number) {
    if (text.size() > 3) return NumberProblem::TooLong;
    long long value = 0;
    if (!ParseInteger(text, value)) return NumberProblem::NotANumber;
    number = static_cast<int>(value);
    return NumberProblem::None;
}

bool StaysInFolder(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." &&
           name.find_first_of(L"\\/:") == std::wstring::npos;
}

} // namespace tovn
