// What the in-place operations refuse, and the fade's band, in numbers.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "BitmapTestUtil.h"
#include "imaging/KBitmap.h"

using testutil::BlockHash;
using testutil::Pattern;

namespace {

// A picture with no plain rows to work on: compressed, or 0 rows high.
KBitmap Compressed(int depth, DWORD compression) {
    KBitmap b = Pattern(12, 9, depth, 13);
    b.Header()->biCompression = compression;
    return b;
}

KBitmap Flat() {
    KBitmap b = Pattern(12, 9, 24, 13);
    b.Header()->biHeight = 0;
    return b;
}

}  // namespace

// Each refusal answers 0 and leaves every byte of the picture as it was.
TEST(Operations, RefusalsLeaveThePictureAsItWas) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const POINT quad[4] = {{1, 1}, {10, 1}, {10, 7}, {1, 7}};
    const RECT area{0, 0, 1, 0};
    using Run = std::function<int(KBitmap&)>;
    const struct { const char* name; Run run; } operations[] = {
        {"ConvertDepth", [](KBitmap& b) { return b.ConvertDepth(24); }},
        {"FadeEdges", [](KBitmap& b) { return int(b.FadeEdges(0, 0.25)); }},
        {"RotateInPlane", [](KBitmap& b) { return int(b.RotateInPlane(30)); }},
        {"RotateAboutVerticalAxis", [](KBitmap& b) { return b.RotateAboutVerticalAxis(30); }},
        {"RotateAboutHorizontalAxis", [](KBitmap& b) { return b.RotateAboutHorizontalAxis(30); }},
        {"WarpToQuad", [&](KBitmap& b) { return int(b.WarpToQuad(quad)); }},
        {"Crop", [&](KBitmap& b) { return b.Crop(&area); }},
    };
    for (const auto& op : operations)
        for (int picture = 0; picture < 4; ++picture) {
            KBitmap b = picture == 0 ? KBitmap() : picture == 1 ? Compressed(24, BI_RLE8)
                      : picture == 2 ? Compressed(4, BI_RLE4) : Flat();
            const uint64_t before = BlockHash(b);
            EXPECT_EQ(op.run(b), 0) << op.name << " on picture " << picture;
            EXPECT_EQ(BlockHash(b), before) << op.name;
        }
    // Refusals of one operation only, on a sound 24-bit picture (palette for the fade).
    const struct { const char* name; int depth; Run run; } own[] = {
        {"no such depth", 24, [](KBitmap& b) { return b.ConvertDepth(12); }},
        {"fading a palette", 8, [](KBitmap& b) { return int(b.FadeEdges(0, 0.25)); }},
        {"vertical NaN", 24, [&](KBitmap& b) { return b.RotateAboutVerticalAxis(nan); }},
        {"horizontal infinity", 24, [&](KBitmap& b) { return b.RotateAboutHorizontalAxis(inf); }},
        {"vertical -infinity", 24, [&](KBitmap& b) { return b.RotateAboutVerticalAxis(-inf); }},
        {"no quadrilateral", 24, [](KBitmap& b) { return int(b.WarpToQuad(nullptr)); }},
        {"no area", 24, [](KBitmap& b) { return b.Crop(nullptr); }},
        {"width 0", 24, [](KBitmap& b) { return b.Resize(0, 10, true); }},
        {"height -1", 24, [](KBitmap& b) { return b.Resize(10, -1, false); }},
        {"block too large", 24, [](KBitmap& b) { return b.Resize(1 << 30, 1 << 20, false); }},
    };
    for (const auto& op : own) {
        KBitmap b = Pattern(12, 9, op.depth, 13);
        const uint64_t before = BlockHash(b);
        EXPECT_EQ(op.run(b), 0) << op.name;
        EXPECT_EQ(BlockHash(b), before) << op.name;
    }
    KBitmap empty;
    EXPECT_EQ(empty.Resize(5, 5, false), 0);
}

// Turns that fold to nothing, the identity quadrilateral and the same size
// are done without touching a byte.
TEST(Operations, NothingToDoLeavesThePictureAsItWas) {
    const POINT identity[4] = {{0, 0}, {11, 0}, {11, 8}, {0, 8}};
    const std::function<int(KBitmap&)> runs[] = {
        [](KBitmap& b) { return int(b.RotateInPlane(-0.0)); },
        [](KBitmap& b) { return b.RotateAboutVerticalAxis(-720); },
        [](KBitmap& b) { return b.RotateAboutHorizontalAxis(0.0); },
        [&](KBitmap& b) { return int(b.WarpToQuad(identity)); },
        [](KBitmap& b) { return b.Resize(12, 9, true); },
    };
    for (const auto& run : runs) {
        KBitmap b = Pattern(12, 9, 24, 13);
        const uint64_t before = BlockHash(b);
        EXPECT_EQ(run(b), 1);
        EXPECT_EQ(BlockHash(b), before);
    }
}

TEST(FadeEdges, BandOfAQuarterOnA200By100Picture) {
    KBitmap b(200, 100, 24);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) b.SetPixel(x, y, 0x00C8C8C8);  // grey 200
    ASSERT_TRUE(b.FadeEdges(0, 0.25));                               // band 25
    EXPECT_EQ(b.GetPixel(0, 50, false), 0u);                         // the edge is the fill
    EXPECT_EQ(b.GetPixel(100, 0, false), 0u);
    EXPECT_EQ(b.GetPixel(24, 50, false), 0x00C0C0C0u);               // 200 * 24/25 = 192
    EXPECT_EQ(b.GetPixel(175, 50, false), 0x00C0C0C0u);
    EXPECT_EQ(b.GetPixel(25, 50, false), 0x00C8C8C8u);               // past the band
    EXPECT_EQ(b.GetPixel(100, 50, false), 0x00C8C8C8u);
    EXPECT_EQ(b.GetPixel(100, 75, false), 0x00C0C0C0u);
    EXPECT_EQ(b.GetPixel(24, 24, false), 0x00B8B8B8u);               // corner: twice, 200*.96*.96
}
