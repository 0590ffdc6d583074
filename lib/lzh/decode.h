#pragma once
#include "lzh/header.h"
#include "lzh/source.h"
#include <cstdint>
#include <vector>

namespace lzh {

// Receives decoded bytes in order; returning false stops decoding.
class Sink {
public:
    virtual ~Sink() = default;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
};

class VectorSink : public Sink {
public:
    explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
    bool Write(const uint8_t* data, size_t size) override {
        out_.insert(out_.end(), data, data + size);
        return true;
    }

private:
    std::vector<uint8_t>& out_;
};

bool IsSupportedMethod(const std::string& method);

// Decodes a member's data into `sink` and checks it against the stored CRC. kBadCrc means
// all bytes were delivered but do not match.
Status DecodeMember(Source& source, const Member& member, Sink& sink);

} // namespace lzh
