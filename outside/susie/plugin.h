// What an import plug-in ("00IN") tells the shared entry points about itself.
// Each plug-in defines ThisPlugin(); the exported functions live in entries.cpp.
#pragma once
#include "imaging/picture.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tovn::susie {

struct Format {
    const char* pattern;     // e.g. "*.MAG"
    const char* description; // e.g. "MAG picture"
};

struct Plugin {
    const char* about; // name, version and copyright
    std::vector<Format> formats;
    // Whether the first bytes of a file (at least 2 KB, zero-filled past its end) are ours.
    bool (*accepts)(const uint8_t* head, size_t size);
    imaging::Decoded (*decode)(const uint8_t* data, size_t size);
    // Optional: size and depth without the pixels, for formats where decoding is costly.
    imaging::Decoded (*describe)(const uint8_t* data, size_t size) = nullptr;
    // Optional: a smaller picture whose longer side is at least `side` pixels where the
    // format can decode one cheaply (else the whole picture). Without it GetPreview answers
    // "not implemented" and hosts fall back to GetPicture.
    imaging::Decoded (*preview)(const uint8_t* data, size_t size, int side) = nullptr;
};

// The longer side GetPreview aims at when the host has not said (SetPreviewSide).
constexpr int kDefaultPreviewSide = 256;

const Plugin& ThisPlugin();

} // namespace tovn::susie
