#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "BitmapTestUtil.h"
#include "TurnReference.h"
#include "imaging/KBitmap.h"

using testutil::kDepths;

namespace {

// The test picture, with a background colour that is a palette index too.
KBitmap Pattern(int width, int height, int depth, uint32_t seed) {
    KBitmap b = testutil::Pattern(width, height, depth, seed);
    b.backgroundColour = 0x07123456;
    return b;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

const double kAngles[] = {0,   30,   85,  88, 89, 90, 180, 190, 450, -270, 12.75, 1000.25, 360,
                          -45, 1e300, kNaN, kInfinity};
const struct { int w, h; } kSizes[] = {{40, 40}, {37, 23}, {16, 61}, {1, 1}, {2, 3}, {33, 1}};

}  // namespace

// Every depth, size and angle against the per-pixel definition, byte for byte.
TEST(RotateInPlane, MatchesThePerPixelDefinition) {
    for (int depth : kDepths)
        for (const auto& size : kSizes)
            for (double angle : kAngles) {
                KBitmap fast = Pattern(size.w, size.h, depth, size.w * 7 + depth);
                KBitmap expected(fast, nullptr, true);
                EXPECT_TRUE(fast.RotateInPlane(angle));
                reference::RotateInPlane(expected, angle);
                ASSERT_TRUE(testutil::SameBlock(fast, expected))
                    << depth << "-bit " << size.w << "x" << size.h << " at " << angle;
                EXPECT_EQ(fast.backgroundColour, 0x07123456u);
            }
}

TEST(RotateInPlane, ZeroLeavesThePictureAngleWithoutANumberGivesBackground) {
    KBitmap b = Pattern(9, 5, 24, 1);
    const uint64_t before = testutil::BlockHash(b);
    EXPECT_TRUE(b.RotateInPlane(0.0));
    EXPECT_TRUE(b.RotateInPlane(-0.0));
    EXPECT_EQ(testutil::BlockHash(b), before);
    for (double angle : {kNaN, kInfinity, -kInfinity}) {
        KBitmap turned = Pattern(9, 5, 24, 1);
        EXPECT_TRUE(turned.RotateInPlane(angle));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x) ASSERT_EQ(turned.GetPixel(x, y, false), 0x00123456u);
    }
}

// The centre is (d / 2, d / 2), not the middle of the pixel grid: a quarter
// turn takes (x, y) from (y, d - x), so column 0 is background. cos 90 is not
// exactly 0: where dx cos or dy cos leaves a sum a hair below a whole number,
// the sample comes from one column or row lower.
TEST(RotateInPlane, QuarterTurnOfASquare) {
    const int d = 40;
    const KBitmap source = Pattern(d, d, 24, 3);
    KBitmap b(source, nullptr, true);
    ASSERT_TRUE(b.RotateInPlane(90));
    int shifted = 0;
    for (int y = 0; y < d; ++y) {
        EXPECT_EQ(b.GetPixel(0, y, false), 0x00123456u);
        for (int x = 1; x < d; ++x) {
            const uint32_t got = b.GetPixel(x, y, false);
            if (got == source.GetPixel(y, d - x, false)) continue;
            const bool lower = got == source.GetPixel(y - 1, d - x, false) ||
                               got == source.GetPixel(y, d - x - 1, false) ||
                               got == source.GetPixel(y - 1, d - x - 1, false);
            ASSERT_TRUE(lower) << x << "," << y;
            ++shifted;
        }
    }
    EXPECT_EQ(shifted, 157);  // with the brackets evaluated as written
}

TEST(RotateInPlane, RefusesPicturesWithoutPlainRows) {
    KBitmap empty;
    EXPECT_FALSE(empty.RotateInPlane(30));
    EXPECT_TRUE(empty.IsEmpty());
    KBitmap rle = Pattern(8, 8, 8, 2);
    rle.Header()->biCompression = 1;  // BI_RLE8
    const uint64_t before = testutil::BlockHash(rle);
    EXPECT_FALSE(rle.RotateInPlane(30));
    EXPECT_EQ(testutil::BlockHash(rle), before);
    KBitmap flat = Pattern(8, 8, 24, 2);
    flat.Header()->biHeight = 0;
    EXPECT_FALSE(flat.RotateInPlane(30));
}

// Whole turned frames hashed, so that any change in them shows in review.
TEST(RotateInPlane, GoldenHashes) {
    const struct { int w, h, depth; double angle; uint64_t hash; } cases[] = {
        {40, 40, 24, 30, 0x446b9214b3b47244},
        {40, 40, 24, 90, 0x0fca5561e3ea1090},
        {61, 47, 24, -12.75, 0x09eccf6ef32fab93},
        {61, 47, 32, 1000.25, 0x708184a897b3812e},
        {50, 50, 16, 190, 0x40e40831176b9936},
        {33, 20, 8, 45, 0xf635aea665c7b938},
        {33, 20, 1, -60, 0x138d80e35394fbea},
    };
    for (const auto& c : cases) {
        KBitmap b = Pattern(c.w, c.h, c.depth, 99);
        ASSERT_TRUE(b.RotateInPlane(c.angle));
        EXPECT_EQ(testutil::BlockHash(b), c.hash) << c.w << "x" << c.h << " " << c.depth << "-bit at " << c.angle;
    }
}
