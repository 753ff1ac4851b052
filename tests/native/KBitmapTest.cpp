// The picture record: copies and areas (its pixels at every depth are held
// by the operations' stored results); what the in-place operations refuse or
// have nothing to do for (every byte then stays as it was); and the enlarging
// of frames.
#include "BitmapTestUtil.h"
#include "effects/Enlarge.h"
#include "imaging/KBitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

using testutil::BlockHash;
using testutil::kDepths;
using testutil::Pattern;

// An area past every side, as the turning canvas is: the pixels outside are
// the background, each inside the source's pixel (x - 2, y - 1), without a
// size of the rows (biSizeImage 0). Crop is the same copy in place.
TEST(KBitmapCopy, AreaPastEverySideHoldsTheBackground) {
    const RECT area{-2, -1, 6, 7};
    testutil::Results results;
    for (int depth : kDepths) {
        KBitmap source(5, 6, depth);
        testutil::FillPattern(source, depth);
        source.backgroundColour = depth <= 8 ? 0x03000000 : 0x00ABCDEF;
        const KBitmap copy(source, &area, true);
        results.Add(copy);
        ASSERT_EQ(source.Crop(&area), 1);
        EXPECT_TRUE(testutil::SameBlock(source, copy));
    }
    EXPECT_EQ(results.hash, 0x336A1035CD859138ull);
}

TEST(Operations, RefusalsAndNothingToDoLeaveThePictureAsItWas) {
    const POINT quad[4] = {{1, 1}, {10, 1}, {10, 7}, {1, 7}};
    const RECT area{0, 0, 1, 0};
    using Run = std::function<int(KBitmap&)>;
    const struct {
        const char* name;
        Run run;
    } operations[] = {
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
            // No plain rows to work on: empty, compressed, or 0 rows high.
            KBitmap b = picture ? Pattern(12, 9, picture == 2 ? 4 : 24, 13) : KBitmap();
            if (picture == 1 || picture == 2)
                b.Header()->biCompression = picture == 1 ? BI_RLE8 : BI_RLE4;
            if (picture == 3)
                b.Header()->biHeight = 0;
            const uint64_t before = BlockHash(b);
            EXPECT_EQ(op.run(b), 0) << op.name << " on picture " << picture;
            EXPECT_EQ(BlockHash(b), before) << op.name;
        }
    // A palette picture the fade refuses: a GIF shown with fading shows unfaded.
    KBitmap palette = Pattern(12, 9, 8, 13);
    const uint64_t before = BlockHash(palette);
    EXPECT_FALSE(palette.FadeEdges(0, 0.25));
    EXPECT_EQ(BlockHash(palette), before);
    EXPECT_EQ(KBitmap().Resize(5, 5, false), 0);
}

// Narrow pictures in blocks of their exact size: a read past the last row
// (the four-byte reads near the end of a row) trips AddressSanitizer. Each
// pixel is the source pixel under its centre (on a border, the one before).
TEST(Enlarge, EveryPixelIsItsNearestSourceAndTheLitAreaIsFound) {
    testutil::Results results;
    for (int width : {1, 3, 4})  // 4: rows without padding
        for (const SIZE extent : {SIZE{width, 2}, SIZE{3 * width + 1, 7}}) {
            const KBitmap picture = testutil::Pattern(width, 2, 24, width);
            std::vector<uint32_t> out(size_t(extent.cx) * extent.cy);
            ASSERT_TRUE(EnlargeNearest(*picture.Header(), picture.Bits(), extent.cx, extent.cy, out.data(), extent.cx,
                                       extent.cy, RECT{0, 0, extent.cx, extent.cy}));
            for (uint32_t pixel : out)
                results.Add(pixel);
        }
    EXPECT_EQ(results.hash, 0xBDE92A38D23308E7ull);
    // Shrinking and other depths are left to GDI.
    const KBitmap picture = testutil::Pattern(4, 4, 24, 1), deep = testutil::Pattern(4, 4, 32, 1);
    uint32_t out[64];
    EXPECT_FALSE(EnlargeNearest(*picture.Header(), picture.Bits(), 3, 8, out, 8, 8, RECT{0, 0, 3, 8}));
    EXPECT_FALSE(EnlargeNearest(*deep.Header(), deep.Bits(), 8, 8, out, 8, 8, RECT{0, 0, 8, 8}));
    // The area that is not black finds one lit byte.
    KBitmap canvas(7, 5, 24);
    const BYTE* top = canvas.Row(0, 5, canvas.Stride());
    const RECT none = NonBlackArea(top, -canvas.Stride(), 7, 5);
    EXPECT_TRUE(none.right == 0 && none.bottom == 0);
    canvas.SetPixel(6, 4, 0x010000);  // blue, the last byte of the bottom row
    canvas.SetPixel(2, 1, 0x000001);  // red
    const RECT lit = NonBlackArea(top, -canvas.Stride(), 7, 5);
    EXPECT_EQ(std::vector<LONG>({lit.left, lit.top, lit.right, lit.bottom}), std::vector<LONG>({2, 1, 7, 5}));
}
