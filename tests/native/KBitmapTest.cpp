#include "imaging/KBitmap.h"

#include <gtest/gtest.h>

#include "BitmapTestUtil.h"
#include "imaging/PixelFormat.h"

using testutil::Header;
using testutil::kDepths;
using testutil::PackedDib;

TEST(KBitmapCreate, RefusesBadSizesAndDepths) {
    const struct { int width, height, depth; } cases[] = {
        {0, 10, 24}, {10, 0, 24}, {-3, 10, 24}, {10, 10, 12}, {10, 10, 2}, {10, 10, 0},
        {10, 10, 33}, {1 << 30, 1 << 30, 32},  // far past any block we allocate
    };
    for (const auto& c : cases) {
        KBitmap b(c.width, c.height, c.depth);
        EXPECT_TRUE(b.IsEmpty()) << c.width << "x" << c.height << "x" << c.depth;
        EXPECT_EQ(b.Depth(), 0);
        EXPECT_EQ(b.GetPixel(0, 0, false), 0x00FFFFFFu);
    }
}

TEST(KBitmapCreate, HeaderAndTablePerDepth) {
    const struct { int depth; WORD bitCount; DWORD compression; size_t tableBytes; } cases[] = {
        {1, 1, BI_RGB, 8},   {4, 4, BI_RGB, 64},        {8, 8, BI_RGB, 1024}, {15, 16, BI_RGB, 0},
        {16, 16, BI_BITFIELDS, 12}, {24, 24, BI_RGB, 0}, {32, 32, BI_RGB, 0},
    };
    for (const auto& c : cases) {
        KBitmap b(5, 3, c.depth);
        ASSERT_FALSE(b.IsEmpty());
        const BITMAPINFOHEADER* h = b.Header();
        EXPECT_EQ(h->biSize, 40u);
        EXPECT_EQ(h->biWidth, 5);
        EXPECT_EQ(h->biHeight, 3);
        EXPECT_EQ(h->biPlanes, 1);
        EXPECT_EQ(h->biBitCount, c.bitCount);
        EXPECT_EQ(h->biCompression, c.compression);
        EXPECT_EQ(h->biSizeImage, 0u);
        EXPECT_EQ(h->biClrUsed, 0u);
        EXPECT_EQ(b.Depth(), c.depth);
        EXPECT_EQ(size_t(b.Bits() - reinterpret_cast<const BYTE*>(h)), 40 + c.tableBytes);
        EXPECT_EQ(b.BlockSize(), 40 + c.tableBytes + size_t(KBitmap::RowStride(5, c.depth)) * 3);
    }
    KBitmap masks(2, 2, 16);
    const DWORD* m = reinterpret_cast<const DWORD*>(masks.Header() + 1);
    EXPECT_EQ(m[0], 0xF800u);
    EXPECT_EQ(m[1], 0x07E0u);
    EXPECT_EQ(m[2], 0x001Fu);
}

TEST(KBitmapCreate, DefaultPalettes) {
    RGBQUAD t[256];
    ASSERT_EQ(KBitmap::DefaultPalette(1, t), 2);
    EXPECT_EQ(t[0].rgbRed | t[0].rgbGreen | t[0].rgbBlue, 0);
    EXPECT_EQ(t[1].rgbRed & t[1].rgbGreen & t[1].rgbBlue, 255);
    ASSERT_EQ(KBitmap::DefaultPalette(4, t), 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(t[i].rgbGreen, 17 * i);
    ASSERT_EQ(KBitmap::DefaultPalette(8, t), 256);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(t[i].rgbRed, i);
        EXPECT_EQ(t[i].rgbBlue, i);
        EXPECT_EQ(t[i].rgbReserved, 0);
    }
    EXPECT_EQ(KBitmap::DefaultPalette(24, t), 0);
}

TEST(KBitmapStride, Table) {
    const struct { int width, depth, stride; } cases[] = {
        {3, 24, 12}, {33, 1, 8}, {3, 15, 8}, {3, 16, 8}, {1, 1, 4},  {32, 1, 4},
        {8, 4, 4},   {9, 4, 8},  {4, 8, 4},  {5, 8, 8},  {1, 32, 4}, {0, 24, 0},
        {-1, 24, 0}, {0x7FFFFFFF, 32, 0},  // would not fit an int
    };
    for (const auto& c : cases)
        EXPECT_EQ(KBitmap::RowStride(c.width, c.depth), c.stride) << c.width << " at " << c.depth;
}

TEST(KBitmapPixels, OutsideReadsBackgroundAndWritesAreRefused) {
    for (int depth : kDepths) {
        KBitmap b(4, 3, depth);
        b.backgroundColour = 0x00123456;
        const struct { int x, y; } outside[] = {{-1, 0}, {4, 0}, {0, -1}, {0, 3}, {-5, 7}};
        for (const auto& p : outside) {
            EXPECT_EQ(b.GetPixel(p.x, p.y, false), 0x00123456u) << depth;
            EXPECT_EQ(b.GetPixel(p.x, p.y, true), 0x00123456u) << depth;
            EXPECT_EQ(b.SetPixel(p.x, p.y, 0), 0) << depth;
        }
        EXPECT_EQ(b.SetPixel(3, 2, 0), 1);
    }
    KBitmap empty;
    EXPECT_EQ(empty.GetPixel(0, 0, false), 0x00FFFFFFu);
    EXPECT_EQ(empty.SetPixel(0, 0, 0), 0);
    EXPECT_EQ(empty.transparentColour, 0xFFFFFFFFu);
}

TEST(KBitmapPixels, OneBitPaletteWithEitherTopByte) {
    KBitmap b(9, 2, 1);
    ASSERT_EQ(b.SetPixel(0, 0, 0x00000000), 1);
    ASSERT_EQ(b.SetPixel(8, 1, 0x01000000), 1);
    EXPECT_EQ(b.GetPixel(0, 0, true), 0x00000000u);
    EXPECT_EQ(b.GetPixel(8, 1, true), 0x00FFFFFFu);
    EXPECT_EQ(b.GetPixel(8, 1, false), 0x01FFFFFFu);
    // Bottom-up rows, most significant bit leftmost: (8, 1) is the bottom row's
    // second byte, bit 7.
    EXPECT_EQ(b.Bits()[1], 0x80);
    // The reserved byte of the entry answers when asked for.
    reinterpret_cast<RGBQUAD*>(b.Header() + 1)[1].rgbReserved = 0x42;
    EXPECT_EQ(b.GetPixel(8, 1, true), 0x42FFFFFFu);
}

// Stored bytes of a single pixel (0, 0) of a 1 x 1 picture after a write.
TEST(KBitmapPixels, EncodingTable) {
    const struct { int depth; uint32_t colour; std::vector<BYTE> stored; } cases[] = {
        {16, 0x000000FF, {0x00, 0xF8}},     // pure red, 5-6-5
        {15, 0x00FCFCFC, {0xFF, 0x7F}},     // 252 + 3 rounds to 31
        {16, 0x00FEFEFE, {0xFF, 0xFF}},     // green 254 + 1 -> 63
        {15, 0x00040404, {0x00, 0x00}},     // 4 + 3 < 8
        {15, 0x00050505, {0x21, 0x04}},     // 5 + 3 = 8 -> 1 each
        {16, 0x00000300, {0x20, 0x00}},     // green 3 + 1 -> 1
        {8, 0x05FFFFFF, {0x05}},            // only the index is stored
        {4, 0x0A000000, {0xA0}},            // even x: high nibble
        {1, 0xFF000000, {0x80}},            // index & 1
        {24, 0x00112233, {0x11, 0x22, 0x33}},  // blue, green, red
        {32, 0x44112233, {0x11, 0x22, 0x33, 0x44}},
    };
    for (const auto& c : cases) {
        KBitmap b(1, 1, c.depth);
        ASSERT_EQ(b.SetPixel(0, 0, c.colour), 1);
        for (size_t i = 0; i < c.stored.size(); ++i)
            EXPECT_EQ(b.Bits()[i], c.stored[i]) << "depth " << c.depth << " byte " << i;
    }
}

TEST(KBitmapPixels, NibblesAndBitsKeepTheirNeighbours) {
    KBitmap four(3, 1, 4);
    four.SetPixel(0, 0, 0x0C000000);
    four.SetPixel(1, 0, 0x03000000);
    four.SetPixel(2, 0, 0x0F000000);
    EXPECT_EQ(four.Bits()[0], 0xC3);
    EXPECT_EQ(four.Bits()[1], 0xF0);
    EXPECT_EQ(four.GetPixel(1, 0, false), 0x03333333u);
    KBitmap one(10, 1, 1);
    for (int x = 0; x < 10; x += 3) one.SetPixel(x, 0, 0x01000000);
    EXPECT_EQ(one.Bits()[0], 0x92);  // x = 0, 3, 6
    EXPECT_EQ(one.Bits()[1], 0x40);  // x = 9
}

// Every 5-5-5 and 5-6-5 word: decoding shifts with the low bits 0, and
// writing the decoded colour back stores the same word.
TEST(KBitmapPixels, AllSixteenBitWordsRoundTrip) {
    for (int depth : {15, 16}) {
        KBitmap b(1, 1, depth);
        for (uint32_t word = 0; word < 65536; ++word) {
            b.Bits()[0] = BYTE(word);
            b.Bits()[1] = BYTE(word >> 8);
            const uint32_t c = b.GetPixel(0, 0, false);
            const uint32_t expected =
                depth == 15 ? ((word >> 10) & 31) << 3 | (((word >> 5) & 31) << 3) << 8 | ((word & 31) << 3) << 16
                            : ((word >> 11) & 31) << 3 | (((word >> 5) & 63) << 2) << 8 | ((word & 31) << 3) << 16;
            ASSERT_EQ(c, expected) << depth << " " << word;
            ASSERT_EQ(b.SetPixel(0, 0, c), 1);
            const uint32_t stored = b.Bits()[0] | b.Bits()[1] << 8;
            ASSERT_EQ(stored, depth == 15 ? (word & 0x7FFF) : word) << depth << " " << word;
        }
    }
}

// Every 24-bit colour channel value through the 5-bit and 6-bit rounding.
TEST(KBitmapPixels, RoundingOfEveryChannelValue) {
    for (uint32_t v = 0; v < 256; ++v) {
        const uint32_t five = std::min(v + 3, 255u) >> 3, six = std::min(v + 1, 255u) >> 2;
        EXPECT_EQ(pixel::Encode15(v | v << 8 | v << 16), five << 10 | five << 5 | five);
        EXPECT_EQ(pixel::Encode16(v | v << 8 | v << 16), five << 11 | six << 5 | five);
    }
}

TEST(KBitmapPixels, SixteenBitsWithoutBitfieldsReadAsFiveFiveFive) {
    // 1 x 1, 16 bits, BI_RGB: the word 0xF800 is 5-6-5 red but reads 5-5-5.
    const auto dib = PackedDib(Header(1, 1, 16), {0x00, 0xF8, 0, 0});
    KBitmap b;
    ASSERT_EQ(b.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())), 44u);
    EXPECT_EQ(b.Depth(), 15);
    // 5-5-5 reading of 0xF800: red (0x3E & 31) << 3 = 240, green and blue 0.
    EXPECT_EQ(b.GetPixel(0, 0, false), 0x0000F0u);
}

TEST(KBitmapPixels, PaletteIndexPastTheTableReadsBlack) {
    // 8 bits, biClrUsed 2: entries 0 and 1 only; the pixel holds index 5.
    const auto dib = PackedDib(Header(1, 1, 8, BI_RGB, 2), {
        10, 20, 30, 0x77,   // entry 0: blue, green, red, reserved
        40, 50, 60, 0x88,   // entry 1
        5, 0, 0, 0,         // row: index 5, padding
    });
    KBitmap b;
    ASSERT_EQ(b.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())), 52u);
    EXPECT_EQ(b.GetPixel(0, 0, false), 0x05000000u);
    EXPECT_EQ(b.GetPixel(0, 0, true), 0x00000000u);
    b.SetPixel(0, 0, 0x01000000);
    EXPECT_EQ(b.GetPixel(0, 0, false), 0x0128323Cu);  // red 60, green 50, blue 40
    EXPECT_EQ(b.GetPixel(0, 0, true), 0x8828323Cu);
}

TEST(KBitmapPixels, UnsupportedDepthReadsZeroAndRefusesWrites) {
    // A 2-bit picture (a decoder's 2bppIndexed): readable block, no pixels.
    const auto dib = PackedDib(Header(4, 1, 2, BI_RGB, 4), std::vector<BYTE>(16 + 4, 0xFF));
    KBitmap b;
    ASSERT_NE(b.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())), 0u);
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
        {Header(1, INT32_MIN, 24), 0},
        {Header(1, 1, 24, BI_RGB, 0xFFFFFFFF), 0},           // absurd table
    };
    std::vector<BYTE> memory(4096, 0x5A);
    for (const auto& c : cases) {
        std::memcpy(memory.data(), &c.header, 40);
        const uint32_t expected = c.size;
        EXPECT_EQ(b.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(memory.data())), expected)
            << c.header.biWidth << "x" << c.header.biHeight << "x" << c.header.biBitCount;
        EXPECT_EQ(b.IsEmpty(), expected == 0);
        if (expected) {
            EXPECT_EQ(std::memcmp(b.Header(), memory.data(), expected), 0);
        }
    }
}

TEST(KBitmapCopy, WholeBlockCopiesEverythingIncludingCompressedData) {
    const auto dib = PackedDib(Header(4, 1, 4, BI_RLE4, 0, 6),
                               [] { std::vector<BYTE> v(64, 0x11); v.insert(v.end(), {4, 0x12, 0, 0, 0, 1}); return v; }());
    KBitmap source;
    ASSERT_NE(source.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())), 0u);
    source.backgroundColour = 1;
    source.transparentColour = 2;
    KBitmap copy(source, nullptr, true);
    EXPECT_TRUE(testutil::SameBlock(copy, source));
    EXPECT_EQ(copy.backgroundColour, 1u);
    EXPECT_EQ(copy.transparentColour, 2u);
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
        const RECT reversed{2, 3, 0, 1};
        copy.CopyFrom(source, &reversed, true);
        ASSERT_EQ(copy.Width(), 3);
        ASSERT_EQ(copy.Height(), 3);
        EXPECT_EQ(copy.Header()->biSizeImage, 0u);
        EXPECT_EQ(copy.transparentColour, 0x00FFFF00u);  // kept: an area was given
        EXPECT_EQ(copy.backgroundColour, source.backgroundColour);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(copy.GetPixel(x, y, false), source.GetPixel(x, y + 1, false)) << depth;
        const RECT overhang{3, 4, 6, 7};  // partly outside: background there
        copy.CopyFrom(source, &overhang, true);
        ASSERT_EQ(copy.Width(), 4);
        KBitmap expected(4, 4, depth);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) expected.SetPixel(x, y, source.GetPixel(3 + x, 4 + y, false));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(copy.GetPixel(x, y, false), expected.GetPixel(x, y, false)) << depth;
    }
}

TEST(KBitmapCopy, TopDownSourceMirrorsTheAreaRows) {
    // 1 x 3, 8 bits, biHeight -3: stored rows 0, 1, 2 hold 10, 11, 12.
    std::vector<BYTE> rest(1024, 0);
    rest.insert(rest.end(), {10, 0, 0, 0, 11, 0, 0, 0, 12, 0, 0, 0});
    const auto dib = PackedDib(Header(1, -3, 8), rest);
    KBitmap source;
    ASSERT_NE(source.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())), 0u);
    // Rows are addressed bottom-up regardless: picture row 0 is stored row 2.
    EXPECT_EQ(source.GetPixel(0, 0, false) >> 24, 12u);
    const RECT top{0, 0, 0, 0};
    KBitmap copy(source, &top, true);
    EXPECT_EQ(copy.Header()->biHeight, 1);
    EXPECT_EQ(copy.GetPixel(0, 0, false) >> 24, 10u);  // mirrored to picture row 2
}

TEST(KBitmapCopy, EmptyOrCompressedSourcesGiveEmptyCopies) {
    KBitmap empty;
    KBitmap copy(3, 3, 24);
    copy.CopyFrom(empty, nullptr, true);
    EXPECT_TRUE(copy.IsEmpty());
    const auto dib = PackedDib(Header(4, 1, 4, BI_RLE4, 0, 2), std::vector<BYTE>(66, 0));
    KBitmap rle;
    ASSERT_NE(rle.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())), 0u);
    const RECT area{0, 0, 1, 0};
    copy.CopyFrom(rle, &area, true);
    EXPECT_TRUE(copy.IsEmpty());
    // Cropping the compressed picture is refused and leaves it as it was.
    const uint64_t before = testutil::BlockHash(rle);
    EXPECT_EQ(rle.Crop(&area), 0);
    EXPECT_EQ(testutil::BlockHash(rle), before);
}

TEST(KBitmapCrop, KeepsTheAreaAndTheColourFields) {
    KBitmap b(6, 4, 24);
    testutil::FillPattern(b, 3);
    KBitmap original(b, nullptr, true);
    b.transparentColour = 0x00000001;
    b.backgroundColour = 0x00000002;
    EXPECT_EQ(b.Crop(nullptr), 0);
    const RECT area{1, 1, 4, 2};
    ASSERT_EQ(b.Crop(&area), 1);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.transparentColour, 1u);
    EXPECT_EQ(b.backgroundColour, 2u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(b.GetPixel(x, y, false), original.GetPixel(x + 1, y + 1, false));
}

TEST(KBitmapTakeFrom, MovesTheBlockNotTheColours) {
    KBitmap a(2, 2, 24), b(3, 3, 8);
    a.backgroundColour = 5;
    b.backgroundColour = 6;
    const BITMAPINFOHEADER* block = b.Header();
    a.TakeFrom(b);
    EXPECT_EQ(a.Header(), block);
    EXPECT_EQ(a.Width(), 3);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(a.backgroundColour, 5u);
    EXPECT_EQ(b.backgroundColour, 6u);
    EXPECT_EQ(b.GetPixel(0, 0, false), 6u);
}
