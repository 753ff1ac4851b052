// What the in-place operations refuse or have nothing to do for: either way
// every byte of the picture stays as it was; and the enlarging of frames.
#include "BitmapTestUtil.h"
#include "effects/Enlarge.h"
#include "imaging/KBitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

using testutil::BlockHash;
using testutil::Pattern;

TEST(Operations, RefusalsAndNothingToDoLeaveThePictureAsItWas) {
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
        {"area copy", [&](KBitmap& b) { return int(!KBitmap(b, &area, true).IsEmpty()); }},
    };
    for (const auto& op : operations)
        for (int picture = 0; picture < 4; ++picture) {
            // No plain rows to work on: empty, compressed, or 0 rows high.
            KBitmap b = picture ? Pattern(12, 9, picture == 2 ? 4 : 24, 13) : KBitmap();
            if (picture == 1 || picture == 2) b.Header()->biCompression = picture == 1 ? BI_RLE8 : BI_RLE4;
            if (picture == 3) b.Header()->biHeight = 0;
            const uint64_t before = BlockHash(b);
            EXPECT_EQ(op.run(b), 0) << op.name << " on picture " << picture;
            EXPECT_EQ(BlockHash(b), before) << op.name;
        }
    // On a sound 24-bit picture (a palette for the fade): refusals of one
    // operation only, and the calls with nothing to do, which answer 1.
    const POINT identity[4] = {{0, 0}, {11, 0}, {11, 8}, {0, 8}};
    const struct { const char* name; int depth, answer; Run run; } own[] = {
        {"no such depth", 24, 0, [](KBitmap& b) { return b.ConvertDepth(12); }},
        {"fading a palette", 8, 0, [](KBitmap& b) { return int(b.FadeEdges(0, 0.25)); }},
        {"vertical NaN", 24, 0, [&](KBitmap& b) { return b.RotateAboutVerticalAxis(nan); }},
        {"horizontal infinity", 24, 0, [&](KBitmap& b) { return b.RotateAboutHorizontalAxis(inf); }},
        {"vertical -infinity", 24, 0, [&](KBitmap& b) { return b.RotateAboutVerticalAxis(-inf); }},
        {"no quadrilateral", 24, 0, [](KBitmap& b) { return int(b.WarpToQuad(nullptr)); }},
        {"no area", 24, 0, [](KBitmap& b) { return b.Crop(nullptr); }},
        {"width 0", 24, 0, [](KBitmap& b) { return b.Resize(0, 10, true); }},
        {"height -1", 24, 0, [](KBitmap& b) { return b.Resize(10, -1, false); }},
        {"block too large", 24, 0, [](KBitmap& b) { return b.Resize(1 << 30, 1 << 20, false); }},
        {"turn by -0", 24, 1, [](KBitmap& b) { return int(b.RotateInPlane(-0.0)); }},
        {"two whole turns", 24, 1, [](KBitmap& b) { return b.RotateAboutVerticalAxis(-720); }},
        {"identity quadrilateral", 24, 1, [&](KBitmap& b) { return int(b.WarpToQuad(identity)); }},
        {"same size", 24, 1, [](KBitmap& b) { return b.Resize(12, 9, true); }},
    };
    for (const auto& op : own) {
        KBitmap b = Pattern(12, 9, op.depth, 13);
        const uint64_t before = BlockHash(b);
        EXPECT_EQ(op.run(b), op.answer) << op.name;
        EXPECT_EQ(BlockHash(b), before) << op.name;
    }
    EXPECT_EQ(KBitmap().Resize(5, 5, false), 0);
}

// Narrow pictures in blocks of their exact size: a read past the last row
// (the four-byte reads near the end of a row) trips AddressSanitizer.
TEST(Enlarge, EveryPixelIsItsNearestSource) {
    for (int width : {1, 3, 4})  // 4: rows without padding
        for (const SIZE extent : {SIZE{width, 2}, SIZE{3 * width + 1, 7}}) {
            const KBitmap picture = testutil::Pattern(width, 2, 24, width);
            std::vector<uint32_t> out(size_t(extent.cx) * extent.cy);
            ASSERT_TRUE(EnlargeNearest(*picture.Header(), picture.Bits(), extent.cx, extent.cy, out.data(),
                                       extent.cx, extent.cy, RECT{0, 0, extent.cx, extent.cy}));
            for (int y = 0; y < extent.cy; ++y)
                for (int x = 0; x < extent.cx; ++x) {
                    const uint32_t c = picture.GetPixel(NearestSource(x, width, extent.cx),
                                                        NearestSource(y, 2, extent.cy), false);
                    const uint32_t bgr = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
                    ASSERT_EQ(out[(extent.cy - 1 - y) * extent.cx + x], bgr) << x << "," << y;
                }
        }
    // Shrinking, other depths and areas past the target are left to GDI.
    const KBitmap picture = testutil::Pattern(4, 4, 24, 1), deep = testutil::Pattern(4, 4, 32, 1);
    uint32_t out[64];
    EXPECT_FALSE(EnlargeNearest(*picture.Header(), picture.Bits(), 3, 8, out, 8, 8, RECT{0, 0, 3, 8}));
    EXPECT_FALSE(EnlargeNearest(*deep.Header(), deep.Bits(), 8, 8, out, 8, 8, RECT{0, 0, 8, 8}));
    EXPECT_FALSE(EnlargeNearest(*picture.Header(), picture.Bits(), 9, 9, out, 8, 8, RECT{0, 0, 9, 8}));
}

TEST(Enlarge, NonBlackAreaFindsOneLitByte) {
    KBitmap picture(7, 5, 24);
    const BYTE* top = picture.Row(0, 5, picture.Stride());
    const RECT none = NonBlackArea(top, -picture.Stride(), 7, 5);
    EXPECT_TRUE(none.right == 0 && none.bottom == 0);
    picture.SetPixel(6, 4, 0x010000);  // blue, the last byte of the bottom row
    picture.SetPixel(2, 1, 0x000001);  // red
    const RECT lit = NonBlackArea(top, -picture.Stride(), 7, 5);
    EXPECT_EQ(std::vector<LONG>({lit.left, lit.top, lit.right, lit.bottom}), std::vector<LONG>({2, 1, 7, 5}));
}
