#include <gtest/gtest.h>

#include "BitmapTestUtil.h"
#include "imaging/KBitmap.h"


TEST(ConvertDepth, StoredBytesOfSinglePixels) {
    const struct { int from; std::vector<BYTE> pixel; int to; std::vector<BYTE> stored; } cases[] = {
        {16, {0xFF, 0xFF}, 24, {248, 252, 248}},        // 5-6-5 white: blue, green, red
        {15, {0xFF, 0x7F}, 24, {248, 248, 248}},        // 5-5-5 white
        {32, {1, 2, 3, 0xAA}, 24, {1, 2, 3}},           // the fourth byte is lost
        {24, {1, 2, 3}, 32, {1, 2, 3, 0}},              // and comes back as 0
        {24, {0xFF, 0xFE, 0xFC}, 15, {0xFF, 0x7F}},     // rounding on the way down
        {24, {0x00, 0x00, 0xFF}, 16, {0x00, 0xF8}},
    };
    for (const auto& c : cases) {
        KBitmap b(1, 1, c.from);
        std::memcpy(b.Bits(), c.pixel.data(), c.pixel.size());
        ASSERT_EQ(b.ConvertDepth(c.to), 1);
        for (size_t i = 0; i < c.stored.size(); ++i)
            EXPECT_EQ(b.Bits()[i], c.stored[i]) << c.from << " to " << c.to << " byte " << i;
    }
}

TEST(ConvertDepth, RefusesWhatHasNoPixels) {
    KBitmap empty;
    EXPECT_EQ(empty.ConvertDepth(24), 0);
    // 4 x 1 RLE4 picture: refused until expanded.
    std::vector<BYTE> rest(64, 0);
    rest.insert(rest.end(), {0x04, 0x12, 0x00, 0x01});
    KBitmap rle;
    ASSERT_NE(testutil::LoadDib(rle, testutil::Header(4, 1, 4, BI_RLE4, 0, 4), rest), 0u);
    const uint64_t before = testutil::BlockHash(rle);
    EXPECT_EQ(rle.ConvertDepth(24), 0);
    EXPECT_EQ(testutil::BlockHash(rle), before);
    KBitmap b(3, 3, 24);
    EXPECT_EQ(b.ConvertDepth(12), 0);  // no such depth: nothing to create
    EXPECT_EQ(b.Depth(), 24);
}
