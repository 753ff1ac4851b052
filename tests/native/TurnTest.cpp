// Turning a picture about its axes: the facts the reference comparisons
// cannot show on their own (where a half turn puts each pixel, which rows a
// tilted picture covers).
#include <gtest/gtest.h>

#include <cstdint>

#include "BitmapTestUtil.h"
#include "imaging/KBitmap.h"

namespace {

constexpr uint32_t kBackground = 0x00123456;  // the colour of testutil::Turnable's background

using testutil::Blocks;

bool RowIsBackground(const KBitmap& b, int y) {
    for (int x = 0; x < b.Width(); ++x)
        if (b.GetPixel(x, y, false) != kBackground) return false;
    return true;
}

int RowsShown(const KBitmap& b) {
    int rows = 0;
    for (int y = 0; y < b.Height(); ++y) rows += RowIsBackground(b, y) ? 0 : 1;
    return rows;
}

}  // namespace

// The 30-degree turn of a 40 x 40 canvas lands on (-6, 6), (45, 6), (35, 32),
// (3, 32): rows 6 to 32 show the picture, the rest is background.
TEST(Rotate3D, ThirtyDegreesAboutTheHorizontalAxis) {
    KBitmap turned = Blocks(40, 40, 9);
    KBitmap warped(turned, nullptr, true);
    ASSERT_EQ(turned.RotateAboutHorizontalAxis(30), 1);
    const POINT corners[4] = {{-6, 6}, {45, 6}, {35, 32}, {3, 32}};
    ASSERT_TRUE(warped.WarpToQuad(corners));
    EXPECT_TRUE(testutil::SameBlock(turned, warped));
    for (int y = 0; y < 40; ++y) EXPECT_EQ(RowIsBackground(turned, y), y < 6 || y > 32) << y;
}

// Near a quarter turn the corners fall on one row: none left at 88 and 89
// degrees (determinant 0), one at 90, two at 85.
TEST(Rotate3D, EdgeOnNearAQuarterTurn) {
    const struct { double angle; int rows; } cases[] = {{88, 0}, {89, 0}, {90, 1}, {85, 2}, {-88, 0}, {-90, 1}};
    for (const auto& c : cases) {
        KBitmap b = Blocks(40, 40, 10);
        ASSERT_EQ(b.RotateAboutHorizontalAxis(c.angle), 1);
        EXPECT_EQ(RowsShown(b), c.rows) << c.angle;
    }
}

// Half a turn draws the picture upside down (mirrored), one row (column)
// lower: corners are normalised by H - 1, destinations by H.
TEST(Rotate3D, HalfTurnLeavesTheFirstRowOrColumnBackground) {
    const KBitmap source = Blocks(40, 30, 11);
    KBitmap flipped(source, nullptr, true), mirrored(source, nullptr, true);
    ASSERT_EQ(flipped.RotateAboutHorizontalAxis(180), 1);
    ASSERT_EQ(mirrored.RotateAboutVerticalAxis(-180), 1);
    EXPECT_TRUE(RowIsBackground(flipped, 0));
    for (int y = 0; y < 30; ++y) EXPECT_EQ(mirrored.GetPixel(0, y, false), kBackground) << y;
    for (int y = 1; y < 30; ++y)
        for (int x = 1; x < 40; ++x) {
            ASSERT_EQ(flipped.GetPixel(x, y, false), source.GetPixel(x, 30 - y, false)) << x << "," << y;
            ASSERT_EQ(mirrored.GetPixel(x, y, false), source.GetPixel(40 - x, y, false)) << x << "," << y;
        }
}
