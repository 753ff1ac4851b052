// The turn in the plane written straight from its definition, one pixel at a
// time over the checked GetPixel / SetPixel: the one turn whose result rests on
// the platform's sin and cos, so the fast loop is held to it on each platform
// rather than to stored blocks. bench/turning_frame times both side by side.
#pragma once

#include <cmath>

#include "imaging/KBitmap.h"

namespace reference {

// Pixel at (trunc(x), trunc(y)), backgroundColour when that lies outside.
inline uint32_t PixelAtTruncated(const KBitmap& b, double x, double y) {
    if (!(x > -1.0 && x < b.Width() && y > -1.0 && y < b.Height()))
        return b.backgroundColour;
    return b.GetPixel(int(x), int(y), false);
}

inline bool RotateInPlane(KBitmap& b, double angle) {
    if (!b.HasPixels())
        return false;
    if (angle == 0.0)
        return true;
    const double theta = angle * (std::acos(0.0) / 90.0);
    const double s = std::sin(theta), c = std::cos(theta);
    const double cx = b.Width() * 0.5, cy = b.Height() * 0.5;
    KBitmap out;
    out.CopyFrom(b, nullptr, false);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const double dx = x - cx, dy = y - cy;
            const double sx = dx * c + (dy * s + cx);
            const double sy = (dy * c + cy) - dx * s;
            out.SetPixel(x, y, PixelAtTruncated(b, sx, sy));
        }
    b.TakeFrom(out);
    return true;
}

}  // namespace reference
