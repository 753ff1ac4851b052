// Turning a picture about its axes: the facts the reference comparisons
// cannot show on their own (which rows a tilted picture covers, where a half
// turn puts each pixel).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "BitmapTestUtil.h"
#include "imaging/KBitmap.h"

using testutil::Blocks;

namespace {

constexpr uint32_t kBackground = 0x00123456;  // the colour of testutil::Turnable's background

bool RowIsBackground(const KBitmap& b, int y) {
    for (int x = 0; x < b.Width(); ++x)
        if (b.GetPixel(x, y, false) != kBackground) return false;
    return true;
}

}  // namespace

// The rows of a 40 x 40 canvas that show the picture, as "first-last". At
// 30 degrees the corners land on (-6, 6), (45, 6), (35, 32), (3, 32). Near a
// quarter turn they fall on one row: none left at 88 and 89 degrees
// (determinant 0), one at 90, two at 85.
TEST(Rotate3D, RowsShownAboutTheHorizontalAxis) {
    const struct { double angle; const char* rows; } cases[] = {
        {30, "6-32"}, {88, ""}, {89, ""}, {90, "20-20"}, {85, "19-20"}, {-88, ""}, {-90, "20-20"}};
    for (const auto& c : cases) {
        KBitmap b = Blocks(40, 40, 9);
        ASSERT_EQ(b.RotateAboutHorizontalAxis(c.angle), 1);
        int first = -1, last = -1, shown = 0;
        for (int y = 0; y < 40; ++y)
            if (!RowIsBackground(b, y)) {
                if (first < 0) first = y;
                last = y;
                ++shown;
            }
        EXPECT_EQ(shown ? std::to_string(first) + "-" + std::to_string(last) : "", c.rows) << c.angle;
        EXPECT_EQ(shown, shown ? last - first + 1 : 0) << c.angle;
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
