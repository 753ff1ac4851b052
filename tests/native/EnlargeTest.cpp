#include "effects/Enlarge.h"
#include "imaging/KBitmap.h"

#include <gtest/gtest.h>

#include <vector>

#include "BitmapTestUtil.h"

// Narrow pictures in blocks of their exact size: a read past the last row
// (the four-byte reads near the end of a row) trips AddressSanitizer.
TEST(Enlarge, EveryPixelIsItsNearestSource) {
    for (int width : {1, 3, 4}) {  // 4: rows without padding
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
    EXPECT_EQ(lit.left, 2);
    EXPECT_EQ(lit.top, 1);
    EXPECT_EQ(lit.right, 7);
    EXPECT_EQ(lit.bottom, 5);
}
