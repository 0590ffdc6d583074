// The Win32 side of the colour reducer: global memory blocks in and out; the work is done
// by the portable quantiser.
#include "hueden32.h"

#include "quant/dib.h"
#include "win/handles.h"

#include <cstring>
#include <new>

namespace {

bool Reduce(HGLOBAL info, HGLOBAL bits, HGLOBAL* outInfo, HGLOBAL* outBits,
            const tovn::quant::Options& options) {
    tovn::quant::DibBlocks dib;
    {
        const tovn::GlobalLockOf<uint8_t> infoBlock(info), bitsBlock(bits);
        if (!infoBlock.get() || !bitsBlock.get()) return false;
        const auto picture = tovn::quant::ReadDib(infoBlock.get(), infoBlock.size(),
                                                  bitsBlock.get(), bitsBlock.size());
        if (!picture) return false;
        const auto result =
            tovn::quant::Quantize(picture->pixels.data(), picture->width, picture->height, options);
        dib = tovn::quant::WriteDib8(picture->width, picture->height, result);
    }
    if (dib.info.empty()) return false;
    tovn::UniqueGlobal newInfo = tovn::GlobalCopyOf(dib.info.data(), dib.info.size());
    tovn::UniqueGlobal newBits = tovn::GlobalCopyOf(dib.bits.data(), dib.bits.size());
    if (!newInfo || !newBits) return false;
    *outInfo = newInfo.release();
    *outBits = newBits.release();
    return true;
}

} // namespace

extern "C" BOOL WINAPI Huedenize(HGLOBAL* info, HGLOBAL* bits, HGLOBAL* outInfo, HGLOBAL* outBits,
                                 int bitCount, BYTE level, int colors, int /*reserved*/, int flags,
                                 int /*unused1*/, int /*unused2*/) {
    if (outInfo) *outInfo = nullptr;
    if (outBits) *outBits = nullptr;
    if (!info || !bits || !outInfo || !outBits || bitCount != 8) return FALSE;
    tovn::quant::Options options;
    options.level = level;
    options.maxColors = colors;
    options.dither = (flags & 1) != 0;
    try {
        return Reduce(*info, *bits, outInfo, outBits, options) ? TRUE : FALSE;
    } catch (...) { // out of memory: nothing may escape into the caller
        return FALSE;
    }
}
