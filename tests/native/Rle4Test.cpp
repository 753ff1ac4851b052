// Expanding 4-bit run-length pictures: the streams, and the bounds of the
// block and the table they are read from.
#include <gtest/gtest.h>

#include "BitmapTestUtil.h"
#include "imaging/GlobalBlock.h"
#include "imaging/KBitmap.h"

using testutil::Header;

namespace {

// A 4-bit RLE picture (width x height, 16-entry table of greys) from a stream.
KBitmap Rle4Picture(int width, int height, const std::vector<BYTE>& stream, DWORD sizeImage,
                    DWORD clrUsed = 0) {
    const int entries = clrUsed ? int(clrUsed) : 16;
    std::vector<BYTE> rest;
    for (int i = 0; i < entries; ++i) rest.insert(rest.end(), {BYTE(i), BYTE(i), BYTE(i), 0});
    rest.insert(rest.end(), stream.begin(), stream.end());
    KBitmap b;
    testutil::LoadDib(b, Header(width, height, 4, BI_RLE4, clrUsed, sizeImage), rest);
    return b;
}

// The expanded picture; empty when there is nothing to expand.
KBitmap Expanded(const KBitmap& rle) {
    KBitmap expanded;
    if (void* block = rle.ExpandRle4()) {
        expanded.LoadPackedDib(static_cast<const BITMAPINFOHEADER*>(block));
        FreeGlobalBlock(block);
    }
    return expanded;
}

// Its indices, top row first.
std::vector<int> Expand(const KBitmap& rle) {
    const KBitmap expanded = Expanded(rle);
    std::vector<int> indices;
    for (int y = 0; y < expanded.Height(); ++y)
        for (int x = 0; x < expanded.Width(); ++x) indices.push_back(int(expanded.GetPixel(x, y, false) >> 24));
    return indices;
}

}  // namespace

TEST(ExpandRle4, Streams) {
    using V = std::vector<int>;
    const struct { const char* name; int w, h; std::vector<BYTE> stream; V expected; } cases[] = {
        {"encoded run", 4, 1, {0x04, 0x12, 0x00, 0x00, 0x00, 0x01}, V{1, 2, 1, 2}},
        // Absolute run of 3: 2 data bytes, already even; then a run of 1.
        {"absolute 3", 5, 1, {0x00, 0x03, 0x34, 0x50, 0x01, 0x70, 0x00, 0x01}, V{3, 4, 5, 7, 0}},
        // Absolute run of 5: 3 data bytes and 1 padding byte.
        {"absolute 5", 6, 1, {0x00, 0x05, 0x12, 0x34, 0x50, 0xEE, 0x01, 0x90, 0x00, 0x01}, V{1, 2, 3, 4, 5, 9}},
        // Absolute run of 2 cannot be written as such (values 0-2 are escapes);
        // a run of 4 takes 2 data bytes and no padding.
        {"absolute 4", 5, 1, {0x00, 0x04, 0xAB, 0xCD, 0x01, 0x60, 0x00, 0x01}, V{10, 11, 12, 13, 6}},
        // First line is the bottom row; end of line moves up.
        {"two lines", 2, 2, {0x02, 0x12, 0x00, 0x00, 0x02, 0x34, 0x00, 0x01}, V{3, 4, 1, 2}},
        // Delta: right 1, up 1.
        {"delta", 3, 2, {0x00, 0x02, 0x01, 0x01, 0x01, 0x50, 0x00, 0x01}, V{0, 5, 0, 0, 0, 0}},
        // Pixels past the right edge are dropped.
        {"clipped", 2, 1, {0x05, 0x12, 0x00, 0x01}, V{1, 2}},
        // Stream cut short mid-command: decoded so far, the rest index 0.
        {"short", 4, 1, {0x02, 0x77, 0x00, 0x04, 0x12}, V{7, 7, 1, 2}},
        {"no end", 3, 2, {0x03, 0x88}, V{0, 0, 0, 8, 8, 8}},
    };
    for (const auto& c : cases) {
        const KBitmap rle = Rle4Picture(c.w, c.h, c.stream, DWORD(c.stream.size()));
        EXPECT_EQ(Expand(rle), c.expected) << c.name;
    }
}

TEST(ExpandRle4, StaysInsideTheBlockAndTheTable) {
    // biSizeImage claims 1000 bytes; the block holds 3: decoded up to its end.
    KBitmap longClaim = Rle4Picture(4, 1, {0x04, 0x56, 0x00}, 3);
    longClaim.Header()->biSizeImage = 1000;
    EXPECT_EQ(Expand(longClaim), (std::vector<int>{5, 6, 5, 6}));
    // biClrUsed 200: the expanded picture gets 16 entries, all it can hold.
    const KBitmap manyColours = Expanded(Rle4Picture(2, 1, {0x02, 0xF1, 0x00, 0x01}, 4, 200));
    ASSERT_FALSE(manyColours.IsEmpty());
    EXPECT_EQ(manyColours.Header()->biClrUsed, 16u);
    EXPECT_EQ(manyColours.Header()->biCompression, DWORD(BI_RGB));
    EXPECT_EQ(manyColours.GetPixel(0, 0, false), 0x0F0F0F0Fu);
    // Two entries only: index 15 lies past them and reads black.
    const KBitmap fewColours = Expanded(Rle4Picture(2, 1, {0x02, 0xF1, 0x00, 0x01}, 4, 2));
    EXPECT_EQ(fewColours.GetPixel(0, 0, false), 0x0F000000u);
    EXPECT_EQ(fewColours.GetPixel(1, 0, false), 0x01010101u);
    // Not 4-bit RLE: nothing to expand.
    KBitmap plain(4, 4, 4);
    EXPECT_EQ(plain.ExpandRle4(), nullptr);
}
