// What the saver does to a loaded picture (expanding, area copies, resizing,
// converting), once over whatever a fuzzer loaded, with sizes kept small
// enough for many runs per second.
#pragma once

#include "imaging/KBitmap.h"
#include "imaging/PictureFile.h"

namespace fuzzops {

// Pictures beyond this many pixels get only the operations whose cost does
// not grow with the picture.
constexpr int64_t kMaxPixels = int64_t(1) << 12;

// Both sides are bounded too: a picture 0 rows high but 2^31 - 1 wide has no
// pixels, yet growing it by a few columns would not fit in an int.
inline bool Small(const KBitmap& b) {
    return b.Width() <= kMaxPixels && b.Height() <= kMaxPixels && int64_t(b.Width()) * b.Height() <= kMaxPixels;
}

inline void Exercise(KBitmap& b, uint32_t seed) {
    const int w = b.Width(), h = b.Height();
    volatile uint32_t sink = 0;
    b.transparentColour = seed & 1 ? 0xFFFFFFFF : b.GetPixel(0, 0, false) & 0xFFFFFF;
    const RECT area{int(seed % 7) - 2, int(seed % 5) - 1, w / 2 + 1, h / 3 + 2};
    if (Small(b)) {
        Decompress(b);  // a 4-bit run-length picture expanded
        sink = sink + b.GetPixel(w - 1, 0, false);
        KBitmap part(b, &area, true);  // what Crop keeps
        sink = sink + part.GetPixel(0, 0, false);
        KBitmap shrunk(b, nullptr, true);
        shrunk.Resize(1 + int(seed % 13), 1 + int(seed % 11), true);
        KBitmap grown(b, nullptr, true);
        grown.Resize(w + 3, h + 2, seed & 2);
        KBitmap converted(b, nullptr, true);
        const int depths[] = {15, 16, 24, 32};
        converted.ConvertDepth(depths[seed % 4]);
        sink = sink + converted.GetPixel(0, 0, false);
    }
    (void)sink;
}

}  // namespace fuzzops
