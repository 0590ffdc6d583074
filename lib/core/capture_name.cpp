#include "core/capture_name.h"
#include <cwchar>

namespace tovn {

std::wstring CaptureFileTitle(const std::wstring& prefix, int number) {
    wchar_t digits[16];
    std::swprintf(digits, 16, L"%3.3d.BMP", number);
    return prefix + digits;
}

std::wstring FirstFreeCaptureName(const std::wstring& prefix,
                                  const std::function<bool(const std::wstring&)>& taken) {
    for (int n = 0;; ++n) {
        std::wstring name = CaptureFileTitle(prefix, n);
        if (!taken(name)) return name;
    }
}

} // namespace tovn
