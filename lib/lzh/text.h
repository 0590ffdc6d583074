#pragma once
#include <string>

namespace lzh {

// Converts a UTF-16 name to code page 932. Characters without an exact form there become
// '_'; returns false when that happened. Separators are the caller's business: a '\' or
// '/' comes out as itself.
bool WideToCp932(const std::u16string& wide, std::string& out);

} // namespace lzh
