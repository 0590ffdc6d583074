#include "lzh/text.h"
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace lzh {
namespace {

// One UTF-16 character (a surrogate pair counts as one) in code page 932, or false.
bool CharToCp932(const char16_t* c, size_t units, std::string& out) {
#ifdef _WIN32
    char buf[8];
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(c),
                                static_cast<int>(units), buf, sizeof buf, nullptr, &lossy);
    if (n <= 0 || lossy) return false;
    out.append(buf, static_cast<size_t>(n));
    return true;
#else
    // Host builds (tests, tools) use the C library's converter.
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char in[4];
    for (size_t i = 0; i < units; ++i) {
        in[2 * i] = static_cast<char>(c[i] & 0xFF);
        in[2 * i + 1] = static_cast<char>(c[i] >> 8);
    }
    char buf[8];
    char* inp = in;
    char* outp = buf;
    size_t in_left = units * 2, out_left = sizeof buf;
    bool ok =
        iconv(cd, &inp, &in_left, &outp, &out_left) != static_cast<size_t>(-1) && in_left == 0;
    iconv_close(cd);
    if (ok) out.append(buf, static_cast<size_t>(outp - buf));
    return ok;
#endif
}

} // namespace

bool WideToCp932(const std::u16string& wide, std::string& out) {
    out.clear();
    bool exact = true;
    for (size_t i = 0; i < wide.size();) {
        size_t units = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size() ? 2 : 1;
        // Control characters and the yen sign (which would come out as 0x5C) never pass.
        bool plain = wide[i] >= 0x20 && wide[i] != 0xA5 && wide[i] != 0x203E;
        if (!plain || !CharToCp932(&wide[i], units, out)) {
            out += '_';
            exact = false;
        }
        i += units;
    }
    return exact;
}

} // namespace lzh
