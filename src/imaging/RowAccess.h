// Depth-specialised pixel reads and writes on raw rows, for the inner loops of
// the scalers and converters. Each matches the checked GetPixel / SetPixel of
// KBitmap bit for bit; the depth is a template argument so the loops carry no
// per-pixel switch.
#pragma once

#include <cstdint>

#include "imaging/KBitmap.h"
#include "imaging/PixelFormat.h"

namespace pixel {

// Colour values of all 256 palette indices as GetPixel reads them with
// topByteFromTable false (index in the top byte, black past the table).
struct PaletteLut {
    uint32_t colour[256];
    explicit PaletteLut(const KBitmap& bitmap) {
        for (uint32_t i = 0; i < 256; ++i)
            colour[i] = bitmap.PaletteColour(i, false);
    }
};

template <int Depth>
inline uint32_t Read(const BYTE* row, int x, const uint32_t* lut) {
    if (Depth <= 8)
        return lut[ReadIndex(row, x, Depth)];
    if (Depth == 24) {
        const BYTE* p = row + 3 * x;
        return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
    }
    if (Depth == 32) {
        const BYTE* p = row + 4 * x;
        return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16 | uint32_t(p[3]) << 24;
    }
    return Depth == 15 ? Decode15(ReadWord(row + 2 * x)) : Decode16(ReadWord(row + 2 * x));
}

template <int Depth>
inline void Write(BYTE* row, int x, uint32_t colour) {
    if (Depth <= 8) {
        WriteIndex(row, x, Depth, colour >> 24);
    } else if (Depth == 24) {
        BYTE* p = row + 3 * x;
        p[0] = static_cast<BYTE>(colour >> 16);
        p[1] = static_cast<BYTE>(colour >> 8);
        p[2] = static_cast<BYTE>(colour);
    } else if (Depth == 32) {
        BYTE* p = row + 4 * x;
        p[0] = static_cast<BYTE>(colour >> 16);
        p[1] = static_cast<BYTE>(colour >> 8);
        p[2] = static_cast<BYTE>(colour);
        p[3] = static_cast<BYTE>(colour >> 24);
    } else {
        WriteWord(row + 2 * x, Depth == 15 ? Encode15(colour) : Encode16(colour));
    }
}

// Calls f.template Run<D>() for the supported depth D; returns false for an
// unsupported depth.
template <typename F>
inline bool DispatchDepth(int depth, F& f) {
    switch (depth) {
    case 1:
        f.template Run<1>();
        return true;
    case 4:
        f.template Run<4>();
        return true;
    case 8:
        f.template Run<8>();
        return true;
    case 15:
        f.template Run<15>();
        return true;
    case 16:
        f.template Run<16>();
        return true;
    case 24:
        f.template Run<24>();
        return true;
    case 32:
        f.template Run<32>();
        return true;
    default:
        return false;
    }
}

// truncate(double(sum) / double(count)) for channel sums, without a division
// per call. Both operands are integers and the sum is at most 255 * count, so
// the truncated double quotient equals the integer quotient; for counts up to
// 2^16 that is computed as (sum * m) >> shift with m = floor(2^shift / count) + 1
// and shift = 24 + ceil(log2 count), exact for every sum below 2^24.
struct ChannelDivider {
    uint64_t count = 0;
    uint64_t multiplier = 0;
    int shift = 0;

    uint64_t Divide(uint64_t sum, uint64_t by) {
        if (by > (uint64_t(1) << 16))
            return static_cast<uint64_t>(static_cast<int64_t>(double(sum) / double(by)));
        if (by != count) {
            int log = 0;
            while ((uint64_t(1) << log) < by)
                ++log;
            count = by;
            shift = 24 + log;
            multiplier = (uint64_t(1) << shift) / by + 1;
        }
        return (sum * multiplier) >> shift;
    }
};

// Bilinear blend of four samples with the fractions fx, fy (each in (-1, 1)):
// weights w11 = fx fy, w01 = fy - w11, w10 = fx - w11, w00 = 1 - (w01 + w11 + w10);
// each channel truncated after + 0.5, low 8 bits kept. Top byte 0.
inline uint32_t BlendBilinear(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, double fx, double fy) {
    const double w11 = fx * fy;
    const double w01 = fy - w11;
    const double w10 = fx - w11;
    const double w00 = 1.0 - (w01 + w11 + w10);
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double value = double((c00 >> shift) & 255) * w00 + double((c01 >> shift) & 255) * w01 +
                             double((c10 >> shift) & 255) * w10 + double((c11 >> shift) & 255) * w11 + 0.5;
        result |= (static_cast<uint32_t>(static_cast<int>(value)) & 255) << shift;
    }
    return result;
}

}  // namespace pixel
