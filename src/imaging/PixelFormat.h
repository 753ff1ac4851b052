// Pixel encodings of the supported depths and the colour value they map to
// (red bits 0-7, green 8-15, blue 16-23, top byte 24-31). Shared by the
// checked accessors and the row loops of the scalers and converters.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/WinTypes.h"

namespace pixel {

inline bool IsSupportedDepth(int depth) {
    return depth == 1 || depth == 4 || depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

inline uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) { return red | green << 8 | blue << 16; }

// 5-5-5 word to colour value; the low three bits of each channel stay 0.
inline uint32_t Decode15(uint32_t word) {
    return Rgb(((word >> 10) & 31) << 3, ((word >> 5) & 31) << 3, (word & 31) << 3);
}

// 5-6-5 word to colour value; the low bits stay 0.
inline uint32_t Decode16(uint32_t word) {
    return Rgb(((word >> 11) & 31) << 3, ((word >> 5) & 63) << 2, (word & 31) << 3);
}

// Rounds each channel up by half a step (clamped to 255) before dropping bits.
inline uint32_t Round5(uint32_t channel) { return (channel + 3 > 255 ? 255 : channel + 3) >> 3; }
inline uint32_t Round6(uint32_t channel) { return (channel + 1 > 255 ? 255 : channel + 1) >> 2; }

inline uint16_t Encode15(uint32_t colour) {
    return static_cast<uint16_t>(Round5(colour & 255) << 10 | Round5((colour >> 8) & 255) << 5 |
                                 Round5((colour >> 16) & 255));
}

inline uint16_t Encode16(uint32_t colour) {
    return static_cast<uint16_t>(Round5(colour & 255) << 11 | Round6((colour >> 8) & 255) << 5 |
                                 Round5((colour >> 16) & 255));
}

inline uint32_t ReadWord(const BYTE* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }

inline void WriteWord(BYTE* p, uint16_t word) {
    p[0] = static_cast<BYTE>(word);
    p[1] = static_cast<BYTE>(word >> 8);
}

// Palette index of pixel x in a row of depth 1, 4 or 8.
inline uint32_t ReadIndex(const BYTE* row, int x, int depth) {
    switch (depth) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
    default:
        return row[x];
    }
}

inline void WriteIndex(BYTE* row, int x, int depth, uint32_t index) {
    switch (depth) {
    case 1: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = static_cast<BYTE>((row[x >> 3] & ~(1 << shift)) | (index & 1) << shift);
        break;
    }
    case 4:
        if (x & 1)
            row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0xF0) | (index & 15));
        else
            row[x >> 1] = static_cast<BYTE>((row[x >> 1] & 0x0F) | (index & 15) << 4);
        break;
    default:
        row[x] = static_cast<BYTE>(index);
        break;
    }
}

// Colour value of pixel x of a row of depth 15, 16, 24 or 32.
inline uint32_t ReadDirect(const BYTE* row, int x, int depth) {
    switch (depth) {
    case 15:
        return Decode15(ReadWord(row + 2 * x));
    case 16:
        return Decode16(ReadWord(row + 2 * x));
    case 24: {
        const BYTE* p = row + 3 * x;
        return Rgb(p[2], p[1], p[0]);
    }
    default: {
        const BYTE* p = row + 4 * x;
        return Rgb(p[2], p[1], p[0]) | uint32_t(p[3]) << 24;
    }
    }
}

inline void WriteDirect(BYTE* row, int x, int depth, uint32_t colour) {
    switch (depth) {
    case 15:
        WriteWord(row + 2 * x, Encode15(colour));
        break;
    case 16:
        WriteWord(row + 2 * x, Encode16(colour));
        break;
    case 24: {
        BYTE* p = row + 3 * x;
        p[0] = static_cast<BYTE>(colour >> 16);
        p[1] = static_cast<BYTE>(colour >> 8);
        p[2] = static_cast<BYTE>(colour);
        break;
    }
    default: {
        BYTE* p = row + 4 * x;
        p[0] = static_cast<BYTE>(colour >> 16);
        p[1] = static_cast<BYTE>(colour >> 8);
        p[2] = static_cast<BYTE>(colour);
        p[3] = static_cast<BYTE>(colour >> 24);
        break;
    }
    }
}

}  // namespace pixel
