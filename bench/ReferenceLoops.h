// Straightforward per-pixel versions of the bitmap operations, written only
// with the checked GetPixel / SetPixel. The optimised loops must match them
// byte for byte (tests/native/ReferenceTest.cpp holds them to the blocks these
// make); the benchmarks time them side by side.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "imaging/KBitmap.h"

namespace reference {

inline uint32_t Blend(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, double fx, double fy) {
    const double w11 = fx * fy;
    const double w01 = fy - w11;
    const double w10 = fx - w11;
    const double w00 = 1.0 - (w01 + w11 + w10);
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double c = double((c00 >> shift) & 255) * w00 + double((c01 >> shift) & 255) * w01 +
                         double((c10 >> shift) & 255) * w10 + double((c11 >> shift) & 255) * w11 + 0.5;
        result |= (uint32_t(int(c)) & 255) << shift;
    }
    return result;
}

// Bilinear sample for positions inside (-1, width) x (-1, height).
inline uint32_t SampleBilinear(const KBitmap& b, double x, double y) {
    if (b.Depth() <= 8) {
        return b.GetPixel(std::min(b.Width() - 1, int(x + 0.5)), std::min(b.Height() - 1, int(y + 0.5)), false);
    }
    const int x0 = int(x), y0 = int(y);
    if (x0 < 0 || y0 < 0 || x0 >= b.Width() || y0 >= b.Height())
        return b.backgroundColour;
    const int x1 = x0 + 1 >= b.Width() ? b.Width() - 1 : x0 + 1;
    const int y1 = y0 + 1 >= b.Height() ? b.Height() - 1 : y0 + 1;
    const uint32_t c00 = b.GetPixel(x0, y0, false), c10 = b.GetPixel(x1, y0, false);
    const uint32_t c01 = b.GetPixel(x0, y1, false), c11 = b.GetPixel(x1, y1, false);
    const uint32_t t = b.transparentColour;
    if (t != 0xFFFFFFFF &&
        ((c00 & 0xFFFFFF) == t || (c10 & 0xFFFFFF) == t || (c01 & 0xFFFFFF) == t || (c11 & 0xFFFFFF) == t))
        return c00;
    return Blend(c00, c10, c01, c11, x - x0, y - y0);
}

inline uint32_t AverageColour(const KBitmap& b, int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, b.Width() - 1);
    bottom = std::min(bottom, b.Height() - 1);
    double r = 0, g = 0, bl = 0, n = 0;
    const uint32_t t = b.transparentColour;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const uint32_t c = b.GetPixel(x, y, false);
            if (t != 0xFFFFFFFF && (c & 0xFFFFFF) == (t & 0xFFFFFF))
                continue;
            r += c & 255;
            g += (c >> 8) & 255;
            bl += (c >> 16) & 255;
            n += 1;
        }
    }
    if (n == 0 && t != 0xFFFFFFFF) {
        r = t & 255;
        g = (t >> 8) & 255;
        bl = (t >> 16) & 255;
        n = 1;
    }
    if (n == 0)
        return 0;
    return (uint32_t(int(r / n)) & 255) | (uint32_t(int(g / n)) & 255) << 8 | (uint32_t(int(bl / n)) & 255) << 16;
}

// Resize into result (left empty when refused).
inline void Resize(const KBitmap& b, int newWidth, int newHeight, bool smooth, KBitmap& result) {
    KBitmap target(newWidth, newHeight, b.Depth());
    BYTE* targetTable = reinterpret_cast<BYTE*>(target.Header()) + 40;
    const size_t targetTableBytes = size_t(target.Bits() - targetTable);
    std::memset(targetTable, 0, targetTableBytes);
    std::memcpy(targetTable, b.Header() + 1, std::min<size_t>(targetTableBytes, 4 * b.PaletteEntries()));
    const double sx = double(b.Width()) / newWidth, sy = double(b.Height()) / newHeight;
    const bool blend = smooth && b.Depth() > 8;
    for (int y = 0; y < newHeight; ++y) {
        for (int x = 0; x < newWidth; ++x) {
            uint32_t c;
            if (!blend) {
                c = b.GetPixel(int(x * sx), int(y * sy), false);
            } else if (sx >= 2.0 || sy >= 2.0) {
                const int bx = int(sx - 1.0), by = int(sy - 1.0);
                c = AverageColour(b, int(x * sx), int(y * sy), int(x * sx + bx), int(y * sy + by));
            } else {
                c = SampleBilinear(b, x * sx, y * sy);
            }
            target.SetPixel(x, y, c);
        }
    }
    result.TakeFrom(target);
}

inline void ConvertDepth(const KBitmap& b, int depth, KBitmap& result) {
    KBitmap target(b.Width(), b.Height(), depth);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            target.SetPixel(x, y, b.GetPixel(x, y, false) & 0xFFFFFF);
    result.TakeFrom(target);
}

// The fade over the checked accessors: every row at columns d and
// width - 1 - d, then every column at rows d and height - 1 - d.
inline uint32_t FadeBlend(uint32_t c, uint32_t fill, int d, double band) {
    const double t = d / band;
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= uint32_t(int(double((c >> shift) & 255) * t + double((fill >> shift) & 255) * (1 - t))) << shift;
    return out;
}

inline void FadeEdges(KBitmap& b, uint32_t fill, double fraction) {
    fraction = std::max(std::min(fraction, 1.0), 0.0);
    const int w = b.Width(), h = b.Height();
    const double band = std::min(w, h) * fraction;
    for (int y = 0; y < h; ++y)
        for (int d = 0; d < band; ++d) {
            b.SetPixel(d, y, FadeBlend(b.GetPixel(d, y, false), fill, d, band));
            b.SetPixel(w - 1 - d, y, FadeBlend(b.GetPixel(w - 1 - d, y, false), fill, d, band));
        }
    for (int x = 0; x < w; ++x)
        for (int d = 0; d < band; ++d) {
            b.SetPixel(x, d, FadeBlend(b.GetPixel(x, d, false), fill, d, band));
            b.SetPixel(x, h - 1 - d, FadeBlend(b.GetPixel(x, h - 1 - d, false), fill, d, band));
        }
}

}  // namespace reference
