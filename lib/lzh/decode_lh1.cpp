// -lh1-: LZSS with a 4 KiB window whose literals and match lengths are coded by an
// adaptive Huffman tree, updated after every symbol.
#include "lzh/bitreader.h"
#include "lzh/header.h"
#include <cstring>

namespace lzh {
namespace {

constexpr int kSymbols = 314;            // 256 literals + match lengths 3..60
constexpr int kNodes = 2 * kSymbols - 1; // tree size; the root is kNodes - 1
constexpr int kRoot = kNodes - 1;
constexpr unsigned kMaxFreq = 0x8000;

class AdaptiveTree {
public:
    AdaptiveTree() {
        for (int i = 0; i < kSymbols; ++i) {
            freq_[i] = 1;
            son_[i] = static_cast<uint16_t>(i + kNodes);
            parent_[i + kNodes] = static_cast<uint16_t>(i);
        }
        for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
            freq_[j] = freq_[i] + freq_[i + 1];
            son_[j] = static_cast<uint16_t>(i);
            parent_[i] = parent_[i + 1] = static_cast<uint16_t>(j);
        }
        freq_[kNodes] = 0xFFFF; // sentinel that stops the reordering scan
        parent_[kRoot] = 0;
    }

    int Decode(BitReader& in) {
        unsigned node = son_[kRoot];
        while (node < kNodes) node = son_[node + in.Get(1)];
        int symbol = static_cast<int>(node - kNodes);
        Update(symbol);
        return symbol;
    }

private:
    // Halves every leaf frequency and rebuilds the tree in frequency order.
    void Rebuild() {
        int j = 0;
        for (int i = 0; i < kNodes; ++i) {
            if (son_[i] >= kNodes) {
                freq_[j] = (freq_[i] + 1) / 2;
                son_[j] = son_[i];
                ++j;
            }
        }
        for (int i = 0, node = kSymbols; node < kNodes; i += 2, ++node) {
            unsigned f = freq_[i] + freq_[i + 1];
            int k = node - 1;
            while (f < freq_[k]) --k;
            ++k;
            size_t moved = static_cast<size_t>(node - k);
            std::memmove(&freq_[k + 1], &freq_[k], moved * sizeof freq_[0]);
            std::memmove(&son_[k + 1], &son_[k], moved * sizeof son_[0]);
            freq_[k] = f;
            son_[k] = static_cast<uint16_t>(i);
        }
        for (int i = 0; i < kNodes; ++i) {
            unsigned k = son_[i];
            parent_[k] = static_cast<uint16_t>(i);
            if (k < kNodes) parent_[k + 1] = static_cast<uint16_t>(i);
        }
    }

    // Counts the symbol and moves nodes so that frequencies stay in order.
    void Update(int symbol) {
        if (freq_[kRoot] == kMaxFreq) Rebuild();
        unsigned c = parent_[symbol + kNodes];
        do {
            unsigned k = ++freq_[c];
            unsigned l = c + 1;
            if (k > freq_[l]) {
                while (k > freq_[++l]) {}
                --l;
                freq_[c] = freq_[l];
                freq_[l] = k;
                unsigned i = son_[c];
                parent_[i] = static_cast<uint16_t>(l);
                if (i < kNodes) parent_[i + 1] = static_cast<uint16_t>(l);
                unsigned j = son_[l];
                son_[l] = static_cast<uint16_t>(i);
                parent_[j] = static_cast<uint16_t>(c);
                if (j < kNodes) parent_[j + 1] = static_cast<uint16_t>(c);
                son_[c] = static_cast<uint16_t>(j);
                c = l;
            }
            c = parent_[c];
        } while (c != 0);
    }

    unsigned freq_[kNodes + 1];
    uint16_t parent_[kNodes + kSymbols];
    uint16_t son_[kNodes];
};

// The upper 6 bits of a match position use a fixed prefix code: 1 code of 3 bits,
// 3 of 4, 8 of 5, 12 of 6, 24 of 7 and 16 of 8 bits.
struct PositionCode {
    uint8_t upper[256], length[256];
    PositionCode() {
        static const int counts[] = {1, 3, 8, 12, 24, 16};
        int entry = 0, symbol = 0;
        for (int group = 0; group < 6; ++group) {
            int len = group + 3, span = 1 << (8 - len);
            for (int k = 0; k < counts[group]; ++k, ++symbol) {
                for (int e = 0; e < span; ++e, ++entry) {
                    upper[entry] = static_cast<uint8_t>(symbol);
                    length[entry] = static_cast<uint8_t>(len);
                }
            }
        }
    }
};

unsigned DecodePosition(BitReader& in) {
    static const PositionCode code;
    unsigned first = in.Peek(8);
    unsigned len = code.length[first];
    unsigned bits = in.Get(static_cast<int>(len) + 6);
    return static_cast<unsigned>(code.upper[first]) << 6 | (bits & 0x3F);
}

} // namespace

Status DecodeLh1(BitReader& in, Window& out) {
    AdaptiveTree tree;
    while (!out.Done()) {
        if (in.Overrun()) return Status::kBadData;
        int symbol = tree.Decode(in);
        if (symbol < 256) {
            out.Literal(static_cast<uint8_t>(symbol));
        } else {
            out.Copy(DecodePosition(in) + 1, static_cast<size_t>(symbol - 256 + 3));
        }
    }
    return Status::kOk;
}

} // namespace lzh
