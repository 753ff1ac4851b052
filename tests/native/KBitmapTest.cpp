// The picture record: creation, pixels at every depth, loading packed DIBs,
// copies and areas; what the in-place operations refuse or have nothing to do
// for (every byte then stays as it was); and the enlarging of frames.
#include "BitmapTestUtil.h"
#include "effects/Enlarge.h"
#include "imaging/KBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <vector>

using testutil::BlockHash;
using testutil::Header;
using testutil::kDepths;
using testutil::LoadDib;
using testutil::Pattern;

TEST(KBitmapCreate, RefusesBadSizesAndDepths) {
    const struct { int width, height, depth; } cases[] = {
        {0, 10, 24}, {10, 0, 24}, {-3, 10, 24}, {10, 10, 12}, {10, 10, 2}, {10, 10, 0},
        {10, 10, 33}, {1 << 30, 1 << 30, 32},  // far past any block we allocate
    };
    for (const auto& c : cases) {
        KBitmap b(c.width, c.height, c.depth);
        EXPECT_TRUE(b.IsEmpty()) << c.width << "x" << c.height << "x" << c.depth;
        EXPECT_EQ(b.Depth(), 0);
        // An empty picture reads white, refuses writes and has no transparent colour.
        EXPECT_TRUE(b.GetPixel(0, 0, false) == 0x00FFFFFFu && b.SetPixel(0, 0, 0) == 0 && b.transparentColour == ~0u);
    }
    EXPECT_TRUE(KBitmap().GetPixel(0, 0, false) == 0x00FFFFFFu && KBitmap().transparentColour == ~0u);
}

TEST(KBitmapCreate, HeaderAndTablePerDepth) {
    const struct { int depth; WORD bitCount; DWORD compression; size_t tableBytes; } cases[] = {
        {1, 1, BI_RGB, 8}, {4, 4, BI_RGB, 64}, {8, 8, BI_RGB, 1024}, {15, 16, BI_RGB, 0},
        {16, 16, BI_BITFIELDS, 12}, {24, 24, BI_RGB, 0}, {32, 32, BI_RGB, 0},
    };
    for (const auto& c : cases) {
        KBitmap b(5, 3, c.depth);
        ASSERT_FALSE(b.IsEmpty());
        const BITMAPINFOHEADER expected = Header(5, 3, c.bitCount, c.compression);
        EXPECT_EQ(std::memcmp(b.Header(), &expected, 40), 0) << c.depth;
        EXPECT_EQ(b.Depth(), c.depth);
        EXPECT_EQ(size_t(b.Bits() - reinterpret_cast<const BYTE*>(b.Header())), 40 + c.tableBytes);
        if (c.depth == 16) { EXPECT_EQ(std::memcmp(b.Header() + 1, "\0\xF8\0\0\xE0\7\0\0\x1F\0\0", 12), 0); }  // 5-6-5
    }
}

TEST(KBitmapStride, Table) {
    const struct { int width, depth, stride; } cases[] = {
        {3, 24, 12}, {33, 1, 8}, {32, 1, 4}, {3, 15, 8}, {9, 4, 8}, {5, 8, 8}, {1, 32, 4},
        {0, 24, 0},  {-1, 24, 0}, {0x7FFFFFFF, 32, 0},  // would not fit an int
    };
    for (const auto& c : cases)
        EXPECT_EQ(KBitmap::RowStride(c.width, c.depth), c.stride) << c.width << " at " << c.depth;
}

TEST(KBitmapPixels, OutsideReadsBackgroundAndWritesAreRefused) {
    for (int depth : kDepths) {
        KBitmap b(4, 3, depth);
        b.backgroundColour = 0x00123456;
        for (const POINT p : {POINT{-1, 0}, POINT{4, 0}, POINT{0, -1}, POINT{0, 3}, POINT{-5, 7}})
            EXPECT_TRUE(b.GetPixel(p.x, p.y, false) == 0x00123456u && b.GetPixel(p.x, p.y, true) == 0x00123456u &&
                        b.SetPixel(p.x, p.y, 0) == 0) << depth << " at " << p.x << "," << p.y;
        EXPECT_EQ(b.SetPixel(3, 2, 0), 1);
    }
}

// Stored bytes of the single pixel of a 1 x 1 picture after a write, and the
// colour it reads back as (16-bit channels widen without repeating bits).
TEST(KBitmapPixels, EncodingTable) {
    const struct { int depth; uint32_t colour; std::vector<BYTE> stored; uint32_t read; } cases[] = {
        {16, 0x000002FF, {0x00, 0xF8}, 0x000000F8},     // red, 5-6-5, low byte first; green 2 -> 0
        {16, 0x00050304, {0x21, 0x00}, 0x00080400},     // rounding edges: 4 -> 0, 5 -> 1; green 3 -> 1
        {16, 0x00FFFFFF, {0xFF, 0xFF}, 0x00F8FCF8},
        {15, 0x00050505, {0x21, 0x04}, 0x00080808},     // 5-5-5: 5 + 3 = 8 -> 1 each
        {15, 0x00FFFEFC, {0xFF, 0x7F}, 0x00F8F8F8},     // rounding stops at the top
        {8, 0x05FFFFFF, {0x05}, 0x05050505},            // only the index is stored
        {4, 0x0A000000, {0xA0}, 0x0AAAAAAA},            // even x: high nibble
        {1, 0xFF000000, {0x80}, 0x01FFFFFF},            // index & 1
        {24, 0x00112233, {0x11, 0x22, 0x33}, 0x00112233},  // blue, green, red
        {32, 0x44112233, {0x11, 0x22, 0x33, 0x44}, 0x44112233},
    };
    for (const auto& c : cases) {
        KBitmap b(1, 1, c.depth);
        ASSERT_EQ(b.SetPixel(0, 0, c.colour), 1);
        for (size_t i = 0; i < c.stored.size(); ++i)
            EXPECT_EQ(b.Bits()[i], c.stored[i]) << "depth " << c.depth << " byte " << i;
        EXPECT_EQ(b.GetPixel(0, 0, false), c.read) << "depth " << c.depth;
    }
}

// Bottom-up rows, the leftmost pixel in the most significant bits.
TEST(KBitmapPixels, NibblesAndBitsKeepTheirNeighbours) {
    KBitmap four(3, 1, 4), one(10, 2, 1);
    for (int x = 0; x < 3; ++x) four.SetPixel(x, 0, uint32_t("\x0C\x03\x0F"[x]) << 24);
    for (int x = 0; x < 10; x += 3) one.SetPixel(x, 1, 0x01000000);  // x = 0, 3, 6 | 9
    EXPECT_EQ((std::vector<BYTE>{four.Bits()[0], four.Bits()[1], one.Bits()[0], one.Bits()[1]}),
              (std::vector<BYTE>{0xC3, 0xF0, 0x92, 0x40}));
    EXPECT_EQ(four.GetPixel(1, 0, false), 0x03333333u);
    EXPECT_EQ(one.GetPixel(9, 1, false), 0x01FFFFFFu);
}

// Every 5-5-5 and 5-6-5 word, written back from the colour it reads as,
// stores the same word (the rounding on the way down undoes the widening).
TEST(KBitmapPixels, AllSixteenBitWordsRoundTrip) {
    for (int depth : {15, 16}) {
        KBitmap b(1, 1, depth);
        for (uint32_t word = 0; word < 65536; ++word) {
            b.Bits()[0] = BYTE(word);
            b.Bits()[1] = BYTE(word >> 8);
            ASSERT_EQ(b.SetPixel(0, 0, b.GetPixel(0, 0, false)), 1);
            const uint32_t stored = b.Bits()[0] | b.Bits()[1] << 8;
            ASSERT_EQ(stored, depth == 15 ? (word & 0x7FFF) : word) << depth << " " << word;
        }
    }
}

// The values inside are checked against the per-pixel reference; here the
// positions it cannot take: far outside, and not a number.
TEST(KBitmapPixels, SamplesOutsideOrWithoutANumberGiveTheBackground) {
    KBitmap row(3, 1, 24);
    for (double x : {-1.0, 3.0, 1e300, -1e300, std::nan("")}) EXPECT_EQ(row.SampleBilinear(x, 0), 0x00FFFFFFu) << x;
    EXPECT_EQ(row.SampleBilinear(0, -1e300), 0x00FFFFFFu);
}

TEST(KBitmapPixels, PaletteEntriesWithEitherTopByteAndPastTheTableBlack) {
    // 8 bits, biClrUsed 2: entries 0 and 1 only; the pixel holds index 5.
    KBitmap b;
    ASSERT_EQ(LoadDib(b, Header(1, 1, 8, BI_RGB, 2), {
        10, 20, 30, 0x77,   // entry 0: blue, green, red, reserved
        40, 50, 60, 0x88,   // entry 1
        5, 0, 0, 0,         // row: index 5, padding
    }), 52u);
    EXPECT_EQ(b.GetPixel(0, 0, false), 0x05000000u);
    EXPECT_EQ(b.GetPixel(0, 0, true), 0x00000000u);
    b.SetPixel(0, 0, 0x01000000);
    EXPECT_EQ(b.GetPixel(0, 0, false), 0x0128323Cu);  // red 60, green 50, blue 40
    EXPECT_EQ(b.GetPixel(0, 0, true), 0x8828323Cu);
}

TEST(KBitmapPixels, UnsupportedDepthReadsZeroAndRefusesWrites) {
    // A 2-bit picture (a decoder's 2bppIndexed): readable block, no pixels.
    KBitmap b;
    ASSERT_NE(LoadDib(b, Header(4, 1, 2, BI_RGB, 4), std::vector<BYTE>(16 + 4, 0xFF)), 0u);
    EXPECT_EQ(b.GetPixel(1, 0, false), 0u);
    EXPECT_EQ(b.SetPixel(1, 0, 0), 0);
    EXPECT_EQ(b.GetPixel(4, 0, false), 0x00FFFFFFu);  // outside still answers the background
}

TEST(KBitmapLoadPackedDib, SizesAndRefusals) {
    KBitmap b(2, 2, 24);
    EXPECT_EQ(b.LoadPackedDib(nullptr), 0u);
    EXPECT_TRUE(b.IsEmpty());
    const struct { BITMAPINFOHEADER header; uint32_t size; } cases[] = {
        {Header(3, 2, 24), 40 + 12 * 2},
        {Header(3, -2, 24), 40 + 12 * 2},                    // top-down rows, same size
        {Header(33, 1, 1), 40 + 8 + 8},
        {Header(2, 2, 4, BI_RGB, 3), 40 + 12 + 8},
        {Header(2, 2, 8, BI_BITFIELDS, 7), 40 + 12 + 8},     // masks count 3 entries
        {Header(3, 1, 16, BI_BITFIELDS), 40 + 12 + 8},
        {Header(5, 5, 4, BI_RLE4, 0, 6), 40 + 64 + 6},       // compressed: biSizeImage
        {Header(0, 0, 24), 40},                              // no pixels: the header alone
        {Header(-1, 1, 24), 0},                              // negative width
        {Header(0x7FFFFFFF, 0x7FFFFFFF, 32), 0},             // overflows 32 bits
        {Header(1, 1, 24, BI_RGB, 0xFFFFFFFF), 0},           // absurd table
    };
    std::vector<BYTE> memory(4096, 0x5A);
    for (const auto& c : cases) {
        std::memcpy(memory.data(), &c.header, 40);
        EXPECT_EQ(b.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(memory.data())), c.size)
            << c.header.biWidth << "x" << c.header.biHeight << "x" << c.header.biBitCount;
        EXPECT_EQ(b.IsEmpty(), c.size == 0);
        if (c.size) { EXPECT_EQ(std::memcmp(b.Header(), memory.data(), c.size), 0); }
    }
}

TEST(KBitmapCopy, WholeBlockCopiesEverythingIncludingCompressedData) {
    std::vector<BYTE> rest(64, 0x11);
    rest.insert(rest.end(), {4, 0x12, 0, 0, 0, 1});
    KBitmap source;
    ASSERT_NE(LoadDib(source, Header(4, 1, 4, BI_RLE4, 0, 6), rest), 0u);
    source.backgroundColour = 1;
    source.transparentColour = 2;
    KBitmap copy(source, nullptr, true);
    EXPECT_TRUE(testutil::SameBlock(copy, source));
    EXPECT_TRUE(copy.backgroundColour == 1 && copy.transparentColour == 2);
    KBitmap shell(source, nullptr, false);  // header and table only
    EXPECT_EQ(shell.BlockSize(), source.BlockSize());
    EXPECT_EQ(std::memcmp(shell.Header(), source.Header(), 40 + 64), 0);
    // Each owns its block.
    copy.Bits()[0] = 0x99;
    EXPECT_EQ(source.Bits()[0], 4);
}

TEST(KBitmapCopy, AreaWithReversedCornersAndOutsidePixels) {
    for (int depth : kDepths) {
        KBitmap source(5, 6, depth);
        testutil::FillPattern(source, depth);
        source.backgroundColour = depth <= 8 ? 0x03000000 : 0x00ABCDEF;
        source.transparentColour = 0x00010203;
        KBitmap copy;
        copy.transparentColour = 0x00FFFF00;
        // Reversed corners; then partly outside, where the background is stored.
        for (const RECT area : {RECT{2, 3, 0, 1}, RECT{3, 4, 6, 7}}) {
            copy.CopyFrom(source, &area, true);
            const int left = std::min(area.left, area.right), top = std::min(area.top, area.bottom);
            ASSERT_EQ(copy.Width(), std::abs(area.right - area.left) + 1);
            ASSERT_EQ(copy.Height(), std::abs(area.bottom - area.top) + 1);
            EXPECT_EQ(copy.Header()->biSizeImage, 0u);
            EXPECT_EQ(copy.transparentColour, 0x00FFFF00u);  // kept: an area was given
            EXPECT_EQ(copy.backgroundColour, source.backgroundColour);
            KBitmap expected(copy.Width(), copy.Height(), depth);
            for (int y = 0; y < copy.Height(); ++y)
                for (int x = 0; x < copy.Width(); ++x) {
                    expected.SetPixel(x, y, source.GetPixel(left + x, top + y, false));
                    EXPECT_EQ(copy.GetPixel(x, y, false), expected.GetPixel(x, y, false)) << depth;
                }
            // Crop is the same copy in place, keeping the picture's own colour fields.
            KBitmap cropped(source, nullptr, true);
            ASSERT_EQ(cropped.Crop(&area), 1);
            EXPECT_TRUE(testutil::SameBlock(cropped, copy));
            EXPECT_TRUE(cropped.transparentColour == 0x00010203 && cropped.backgroundColour == source.backgroundColour);
        }
    }
}

TEST(KBitmapCopy, TopDownSourceMirrorsTheAreaRows) {
    // 1 x 3, 8 bits, biHeight -3: stored rows 0, 1, 2 hold 10, 11, 12.
    std::vector<BYTE> rest(1024, 0);
    rest.insert(rest.end(), {10, 0, 0, 0, 11, 0, 0, 0, 12, 0, 0, 0});
    KBitmap source;
    ASSERT_NE(LoadDib(source, Header(1, -3, 8), rest), 0u);
    // Rows are addressed bottom-up regardless: picture row 0 is stored row 2.
    EXPECT_EQ(source.GetPixel(0, 0, false) >> 24, 12u);
    const RECT top{0, 0, 0, 0};
    KBitmap copy(source, &top, true);
    EXPECT_EQ(copy.Header()->biHeight, 1);
    EXPECT_EQ(copy.GetPixel(0, 0, false) >> 24, 10u);  // mirrored to picture row 2
}

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
