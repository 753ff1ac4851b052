// Turning decoded pictures upright: at every depth, bottom-up and top-down,
// each stored pixel must land where the EXIF table of the eight orientations
// puts it; pictures that cannot be turned stay as they were.
#include "BitmapTestUtil.h"
#include "imaging/ExifOrientation.h"
#include "imaging/KBitmap.h"
#include "imaging/OrientPicture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

enum Side { top, bottom, left, right };

// Where the stored picture's 0th row and 0th column lie on the picture as the
// camera meant it, for orientations 1..8 (index 0 unused).
const struct {
    Side row, column;
} kSides[9] = {{top, left},     {top, left},  {top, right},    {bottom, right}, {bottom, left},
               {left, top},     {right, top}, {right, bottom}, {left, bottom}};

// Where stored pixel (x, y) is shown in a result w x h: its row lies y steps
// in from the 0th row's side, its column x steps in from the 0th column's.
POINT Shown(int orientation, int x, int y, int w, int h) {
    POINT p = {};
    auto place = [&](Side side, int steps) {
        switch (side) {
        case top: p.y = steps; break;
        case bottom: p.y = h - 1 - steps; break;
        case left: p.x = steps; break;
        case right: p.x = w - 1 - steps; break;
        }
    };
    place(kSides[orientation].row, y);
    place(kSides[orientation].column, x);
    return p;
}

// Pixel (x, y) as shown, 0 = top: GetPixel counts rows bottom-up whatever
// the sign of the height.
uint32_t ShownPixel(const KBitmap& b, int x, int y) {
    return b.GetPixel(x, b.Header()->biHeight < 0 ? b.Height() - 1 - y : y, false);
}

}  // namespace

TEST(OrientPicture, PutsEveryPixelWhereTheExifTableSays) {
    // Rows of 1-bit pixels cross a byte boundary both ways; most depths pad.
    const int w = 11, h = 9;
    for (int depth : testutil::kDepths)
        for (bool topDown : {false, true})
            for (int orientation = 1; orientation <= 8; ++orientation) {
                KBitmap stored = testutil::Pattern(w, h, depth, uint32_t(depth));
                BITMAPINFOHEADER& header = *stored.Header();
                header.biHeight = topDown ? -h : h;
                header.biXPelsPerMeter = 100;
                header.biYPelsPerMeter = 200;
                KBitmap shown(stored, nullptr, true);
                ASSERT_TRUE(OrientPicture(shown, orientation));

                const bool sideways = kSides[orientation].row == left || kSides[orientation].row == right;
                const int sw = sideways ? h : w, sh = sideways ? w : h;
                const BITMAPINFOHEADER& result = *shown.Header();
                ASSERT_EQ(result.biWidth, sw);
                ASSERT_EQ(result.biHeight, topDown ? -sh : sh);
                EXPECT_EQ(result.biXPelsPerMeter, sideways ? 200 : 100);
                // The colour table (or masks) comes along unchanged.
                const size_t tableEnd = size_t(stored.Bits() - reinterpret_cast<const BYTE*>(&header));
                ASSERT_EQ(shown.Bits() - reinterpret_cast<const BYTE*>(&result), ptrdiff_t(tableEnd));
                EXPECT_EQ(std::memcmp(&header + 1, &result + 1, tableEnd - sizeof header), 0);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const POINT p = Shown(orientation, x, y, sw, sh);
                        ASSERT_EQ(ShownPixel(shown, p.x, p.y), ShownPixel(stored, x, y))
                            << "depth " << depth << (topDown ? " top-down" : " bottom-up") << ", orientation "
                            << orientation << ", stored pixel " << x << "," << y;
                    }
            }
}

// Refused (false) or nothing asked (true): either way the same block.
TEST(OrientPicture, LeavesWhatItCannotTurnAsItWas) {
    KBitmap compressed, empty;
    testutil::LoadDib(compressed, testutil::Header(3, 2, 4, BI_RLE4, 0, 4), std::vector<BYTE>(16 * 4 + 4));
    // One row of 2^28 + 1 one-bit pixels: turned, as many rows of 4 bytes,
    // 4 bytes past the block limit.
    KBitmap wide((1 << 28) + 1, 1, 1);
    ASSERT_FALSE(compressed.IsEmpty() || wide.IsEmpty());
    for (KBitmap* b : {&compressed, &empty, &wide}) {
        const BITMAPINFOHEADER* before = b->Header();
        EXPECT_FALSE(OrientPicture(*b, orientationRightTop));
        EXPECT_EQ(b->Header(), before);
    }
    KBitmap upright = testutil::Pattern(3, 2, 24, 1);
    const BITMAPINFOHEADER* before = upright.Header();
    for (int orientation : {1, 0, 9, -6}) {
        EXPECT_TRUE(OrientPicture(upright, orientation)) << orientation;
        EXPECT_EQ(upright.Header(), before) << orientation;
    }
}
