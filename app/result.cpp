#include "app/result.h"
#include "win/handles.h"
#include <windows.h>
#include <cstdio>
#include <string>

namespace tovn {

Result Result::Refused() {
    Result r;
    r.ok_ = false;
    r.say_ = Say::Beep;
    return r;
}

Result Result::Error(std::wstring text, std::wstring caption, Say say) {
    Result r;
    r.ok_ = false;
    r.say_ = say;
    r.what_ = text;
    r.text_ = std::move(text);
    r.caption_ = std::move(caption);
    return r;
}

Result Result::Fail(std::wstring what, unsigned long code) {
    if (what.empty()) what = L"?";
    wchar_t hex[32];
    std::swprintf(hex, 32, L"0x%lX", code);
    Result r = Error(L"処理に失敗しました．\n" + what + L"\n(" + hex + L")", L"Error.");
    r.what_ = std::move(what);
    r.code_ = code;
    LogFailure(r.what_, code);
    return r;
}

Result Result::Standard(std::wstring text) {
    return Error(std::move(text), L"Tovane 32", Say::ErrorBox);
}

Result Result::ArchiveGone() {
    Result r;
    r.ok_ = false;
    r.say_ = Say::ArchiveGone;
    return r;
}

Result Result::As(Say say) const {
    Result r = *this;
    r.say_ = say;
    return r;
}

void LogFailure(const std::wstring& what, unsigned long code) {
    wchar_t path[MAX_PATH];
    DWORD n = ::GetEnvironmentVariableW(L"TOVN32_LOG", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    UniqueFile file(::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    wchar_t head[64];
    std::swprintf(head, 64, L"%04u-%02u-%02u %02u:%02u:%02u 0x%08lX ", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond, code);
    std::wstring line = head + what + L"\r\n";
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(),
                          bytes, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

} // namespace tovn
