#include "imaging/KBitmap.h"

#include "BitmapTestUtil.h"

#include <gtest/gtest.h>

namespace {

// The fade written out pixel by pixel over the checked accessors: every row,
// columns d and width-1-d; then every column, rows d and height-1-d.
uint32_t BlendReference(uint32_t c, uint32_t fill, int d, double band) {
    const double t = d / band;
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        double v = double((c >> shift) & 255) * t + double((fill >> shift) & 255) * (1 - t);
        out |= uint32_t(int(v)) << shift;
    }
    return out;
}

void FadeReference(KBitmap& b, uint32_t fill, double fraction) {
    fraction = std::min(fraction, 1.0);
    if (fraction < 0) fraction = 0;
    const int w = b.Width(), h = b.Height();
    const double band = std::min(w, h) * fraction;
    for (int y = 0; y < h; ++y)
        for (int d = 0; d < band; ++d) {
            b.SetPixel(d, y, BlendReference(b.GetPixel(d, y, false), fill, d, band));
            b.SetPixel(w - 1 - d, y, BlendReference(b.GetPixel(w - 1 - d, y, false), fill, d, band));
        }
    for (int x = 0; x < w; ++x)
        for (int d = 0; d < band; ++d) {
            b.SetPixel(x, d, BlendReference(b.GetPixel(x, d, false), fill, d, band));
            b.SetPixel(x, h - 1 - d, BlendReference(b.GetPixel(x, h - 1 - d, false), fill, d, band));
        }
}

}  // namespace

TEST(FadeEdges, MatchesThePerPixelDefinitionAtEveryDepth) {
    struct Size { int w, h; };
    const Size sizes[] = {{200, 100}, {10, 10}, {1, 7}, {7, 1}, {33, 17}};
    const double fractions[] = {0.25, 0.6, 1.5, 0.0, -1.0, 0.05};
    for (int depth : {15, 16, 24, 32})
        for (Size size : sizes)
            for (double fraction : fractions) {
                KBitmap fast(size.w, size.h, depth);
                testutil::FillPattern(fast, size.w * 31 + depth);
                KBitmap reference(fast, nullptr, true);
                ASSERT_TRUE(fast.FadeEdges(0x00306090, fraction));
                FadeReference(reference, 0x00306090, fraction);
                for (int y = 0; y < size.h; ++y)
                    for (int x = 0; x < size.w; ++x)
                        ASSERT_EQ(fast.GetPixel(x, y, false), reference.GetPixel(x, y, false))
                            << depth << "-bit " << size.w << "x" << size.h << " fraction "
                            << fraction << " at " << x << "," << y;
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

TEST(FadeEdges, BandsBelowOnePixelAndRefusals) {
    KBitmap thin(1, 9, 24);  // band 0.25: only the outermost pixels
    for (int y = 0; y < 9; ++y) thin.SetPixel(0, y, 0x00FFFFFF);
    ASSERT_TRUE(thin.FadeEdges(0x000000FF, 0.25));
    for (int y = 0; y < 9; ++y) EXPECT_EQ(thin.GetPixel(0, y, false), 0x000000FFu);

    KBitmap palette(8, 8, 8);
    testutil::FillPattern(palette, 3);
    uint64_t before = testutil::BlockHash(palette);
    EXPECT_FALSE(palette.FadeEdges(0, 0.25));
    EXPECT_EQ(testutil::BlockHash(palette), before);
    KBitmap empty;
    EXPECT_FALSE(empty.FadeEdges(0, 0.25));
}

TEST(FadeEdges, FourthByteClearedInTheBandOnly) {
    KBitmap b(40, 40, 32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) b.SetPixel(x, y, 0x7F808080);
    ASSERT_TRUE(b.FadeEdges(0, 0.25));
    EXPECT_EQ(b.GetPixel(5, 20, false) >> 24, 0u);
    EXPECT_EQ(b.GetPixel(20, 20, false), 0x7F808080u);
}
