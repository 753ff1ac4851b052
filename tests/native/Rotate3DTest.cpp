#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

#include "BitmapTestUtil.h"
#include "TurnReference.h"
#include "imaging/KBitmap.h"

using testutil::kDepths;

namespace {

constexpr uint32_t kBackground = 0x00123456;

KBitmap Pattern(int width, int height, int depth, uint32_t seed) {
    KBitmap b = testutil::Pattern(width, height, depth, seed);
    b.backgroundColour = 0x07000000 | kBackground;  // palette index 7
    return b;
}

// A 24-bit picture with runs of equal pixels (and the background colour
// nowhere), so both the blend and the equal-neighbour path are taken.
KBitmap Blocks(int width, int height, uint32_t seed) {
    KBitmap b = Pattern(width, height, 24, seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x / 5 + y / 3) % 3 == 0) b.SetPixel(x, y, 0x00000000);
    return b;
}

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

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

const double kAngles[] = {0,   30,  85,  88,   89,    90,      180, 190,  450, -270,
                          12.75, 1000.25, -30, -100, -180, 360, -720, 1e300, -1e300};
const struct { int w, h; } kSizes[] = {{40, 40}, {37, 23}, {16, 61}, {1, 1}, {2, 3}, {33, 1}};

using Rotation = int (KBitmap::*)(double);
const struct { Rotation turn; const reference::CornerTable& corners; const char* name; } kAxes[] = {
    {&KBitmap::RotateAboutVerticalAxis, reference::kVertical, "vertical"},
    {&KBitmap::RotateAboutHorizontalAxis, reference::kHorizontal, "horizontal"},
};

}  // namespace

// Both axes at every depth, size and angle (all four cases of the folding)
// against the corner tables and the per-pixel warp, byte for byte.
TEST(Rotate3D, MatchesThePerPixelDefinition) {
    for (const auto& axis : kAxes)
        for (int depth : kDepths)
            for (const auto& size : kSizes)
                for (double angle : kAngles) {
                    KBitmap fast = Pattern(size.w, size.h, depth, size.w * 5 + depth);
                    KBitmap expected(fast, nullptr, true);
                    EXPECT_EQ((fast.*axis.turn)(angle), 1);
                    reference::Rotate3D(expected, angle, axis.corners);
                    ASSERT_TRUE(testutil::SameBlock(fast, expected))
                        << axis.name << " " << depth << "-bit " << size.w << "x" << size.h << " at " << angle;
                }
}

// Quadrilaterals of every shape: shrunk, mirrored, crossed, far outside,
// degenerate; with and without a transparent colour.
TEST(WarpToQuad, MatchesThePerPixelDefinition) {
    const POINT quads[][4] = {
        {{3, 2}, {30, 5}, {25, 20}, {1, 18}},
        {{36, 0}, {0, 0}, {0, 22}, {36, 22}},           // mirrored
        {{0, 0}, {36, 22}, {0, 22}, {36, 0}},           // crossed
        {{-50, -40}, {90, -10}, {70, 80}, {-20, 60}},   // larger than the canvas
        {{5, 11}, {30, 11}, {20, 11}, {9, 11}},         // one row: determinant 0
        {{INT32_MIN, 0}, {INT32_MAX, 3}, {7, INT32_MAX}, {0, -9}},
        {{0, 0}, {35, 0}, {36, 22}, {0, 22}},           // next to the identity
    };
    for (int depth : kDepths)
        for (uint32_t transparent : {KBitmap::kNoTransparentColour, 0x00000000u})
            for (const auto& quad : quads) {
                KBitmap fast = Blocks(37, 23, 4);
                if (depth != 24) fast = Pattern(37, 23, depth, 4);
                fast.transparentColour = transparent;
                KBitmap expected(fast, nullptr, true);
                EXPECT_TRUE(fast.WarpToQuad(quad));
                reference::WarpToQuad(expected, quad);
                ASSERT_TRUE(testutil::SameBlock(fast, expected))
                    << depth << "-bit, quad from " << quad[0].x << "," << quad[0].y << " transparent " << transparent;
            }
}

TEST(WarpToQuad, IdentityAndDegenerateQuadrilaterals) {
    KBitmap b = Pattern(40, 30, 24, 8);
    const uint64_t before = testutil::BlockHash(b);
    const POINT identity[4] = {{0, 0}, {39, 0}, {39, 29}, {0, 29}};
    EXPECT_TRUE(b.WarpToQuad(identity));
    EXPECT_EQ(testutil::BlockHash(b), before);
    const POINT column[4] = {{7, 0}, {7, 10}, {7, 29}, {7, 3}};
    EXPECT_TRUE(b.WarpToQuad(column));
    EXPECT_EQ(RowsShown(b), 0);
}

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

TEST(Rotate3D, AnglesFoldToTheSameTurn) {
    const struct { double a, b; } same[] = {{450, 90}, {-270, 90}, {190, -170}, {-190, 170}, {1000.25, -79.75}};
    for (const auto& axis : kAxes)
        for (const auto& pair : same) {
            KBitmap first = Blocks(31, 27, 12), second = Blocks(31, 27, 12);
            ASSERT_EQ((first.*axis.turn)(pair.a), 1);
            ASSERT_EQ((second.*axis.turn)(pair.b), 1);
            EXPECT_TRUE(testutil::SameBlock(first, second)) << axis.name << " " << pair.a;
        }
}

TEST(Rotate3D, RefusalsLeaveThePictureAsItWas) {
    for (const auto& axis : kAxes) {
        KBitmap b = Pattern(12, 9, 24, 13);
        const uint64_t before = testutil::BlockHash(b);
        EXPECT_EQ((b.*axis.turn)(0.0), 1);
        EXPECT_EQ((b.*axis.turn)(-720), 1);
        EXPECT_EQ((b.*axis.turn)(kNaN), 0);
        EXPECT_EQ((b.*axis.turn)(kInfinity), 0);
        EXPECT_EQ((b.*axis.turn)(-kInfinity), 0);
        EXPECT_EQ(testutil::BlockHash(b), before);
        KBitmap empty;
        EXPECT_EQ((empty.*axis.turn)(30), 0);
        b.Header()->biCompression = 2;  // BI_RLE4
        const uint64_t compressed = testutil::BlockHash(b);
        EXPECT_EQ((b.*axis.turn)(30), 0);
        EXPECT_EQ(testutil::BlockHash(b), compressed);
    }
    KBitmap b = Pattern(12, 9, 24, 13);
    const uint64_t before = testutil::BlockHash(b);
    EXPECT_FALSE(b.WarpToQuad(nullptr));
    b.Header()->biCompression = 2;
    const POINT quad[4] = {{1, 1}, {10, 1}, {10, 7}, {1, 7}};
    EXPECT_FALSE(b.WarpToQuad(quad));
    b.Header()->biCompression = 0;
    EXPECT_EQ(testutil::BlockHash(b), before);
}

// Whole turned frames hashed, so that any change in them shows in review.
TEST(Rotate3D, GoldenHashes) {
    const struct { int depth; double vertical, horizontal; uint64_t hash; } cases[] = {
        {24, 30, 0, 0x9d74c95b82ce012b},
        {24, 0, 30, 0x0b62305aeb62ff1f},
        {24, -125, 47.5, 0xdba8aa636a59b9c1},
        {32, 170, -12.75, 0x563f21abeaeb6405},
        {16, 60, -100, 0x599cb05d1a145adc},
        {8, 20, 40, 0x6bd2bec902271da2},
        {4, -95, 15, 0xd5e3b237493f8aaf},
    };
    for (const auto& c : cases) {
        KBitmap b = c.depth == 24 ? Blocks(61, 47, 14) : Pattern(61, 47, c.depth, 14);
        b.RotateAboutVerticalAxis(c.vertical);
        b.RotateAboutHorizontalAxis(c.horizontal);
        EXPECT_EQ(testutil::BlockHash(b), c.hash) << c.depth << "-bit " << c.vertical << ", " << c.horizontal;
    }
}
