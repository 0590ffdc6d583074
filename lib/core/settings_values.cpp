#include "core/settings_values.h"
#include "core/text.h"

namespace tovn {

int IntSetting(const IntKey& key, const std::wstring& stored) {
    long long v = 0;
    if (!ParseInteger(stored, v)) return key.absent;
    const bool onStep = (v - key.low) % key.step == 0;
    if (v >= key.low && v <= key.high && onStep) return static_cast<int>(v);
    if (key.outside) return *key.outside;
    return v < key.low ? key.low : key.high;
}

bool BoolSetting(const std::wstring& stored, bool absent) {
    long long v = 0;
    return ParseInteger(stored, v) ? v != 0 : absent;
}

} // namespace tovn
