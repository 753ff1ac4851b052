#include "imaging/KBitmap.h"

#include "BitmapTestUtil.h"

#include <gtest/gtest.h>

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
