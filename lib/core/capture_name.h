// Names of the numbered capture files: the prefix, a number of at least three digits and
// ".BMP" (TOVN_000.BMP, TOVN_001.BMP, ... TOVN_999.BMP, TOVN_1000.BMP).
#pragma once
#include <functional>
#include <string>

namespace tovn {

std::wstring CaptureFileTitle(const std::wstring& prefix, int number);

// The first name from number 0 upward for which taken(name) is false; there is no upper
// limit, so after 999 the numbers grow to four digits.
std::wstring FirstFreeCaptureName(const std::wstring& prefix,
                                  const std::function<bool(const std::wstring&)>& taken);

} // namespace tovn
