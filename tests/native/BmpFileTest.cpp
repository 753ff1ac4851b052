#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "BitmapTestUtil.h"
#include "imaging/KBitmap.h"
#include "imaging/PictureFile.h"

namespace {

// Little-endian 32 bits at a byte offset.
std::vector<BYTE> With(std::vector<BYTE> v, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) v[at + i] = BYTE(value >> (8 * i));
    return v;
}

// The 14-byte file header followed by a 40-byte info header.
std::vector<BYTE> Headers(uint32_t fileSize, uint32_t offBits, const BITMAPINFOHEADER& info) {
    std::vector<BYTE> v(14 + 40);
    v[0] = 'B';
    v[1] = 'M';
    std::memcpy(&v[14], &info, 40);
    return With(With(v, 2, fileSize), 10, offBits);
}

// Writes the bytes to a file of the running test's own and returns its path.
std::string Write(const std::vector<BYTE>& bytes) {
    const std::string path = ::testing::TempDir() + "bmpfile_test_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bmp";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

// 2 x 2 at 24 bits: rows of 6 bytes padded to 8, bottom row first.
std::vector<BYTE> TwoByTwo24(uint32_t offBits) {
    const uint32_t size = offBits + 16;
    std::vector<BYTE> v = Headers(size, offBits, testutil::Header(2, 2, 24));
    v.resize(offBits, 0xEE);                                // gap bytes, if any
    const BYTE rows[16] = {1, 2, 3, 4, 5, 6, 0, 0,          // bottom row: (0,1) (1,1)
                           7, 8, 9, 10, 11, 12, 0, 0};      // top row: (0,0) (1,0)
    v.insert(v.end(), rows, rows + 16);
    return v;
}

}  // namespace

// With and without a gap before the rows, bottom-up and top-down.
TEST(BmpFile, TwentyFourBits) {
    for (uint32_t offBits : {54u, 61u})
        for (int32_t height : {2, -2}) {
            KBitmap b;
            ASSERT_EQ(b.LoadFile(Write(With(TwoByTwo24(offBits), 22, uint32_t(height))).c_str()), offBits + 16 - 14);
            EXPECT_EQ(b.Height(), 2);
            EXPECT_EQ(b.Bits(), reinterpret_cast<const BYTE*>(b.Header()) + offBits - 14);
            // Rows read bottom-up whatever the sign: bytes blue 7, green 8, red 9.
            EXPECT_EQ(b.GetPixel(0, 0, false), 0x00070809u) << offBits << " " << height;
            EXPECT_EQ(b.GetPixel(1, 1, false), 0x00040506u);
        }
}

// Files that must be refused: LoadFile answers 0 and the bitmap is empty,
// never holding the previous picture.
TEST(BmpFile, RefusesMissingFilesAndFilesWhoseSizesDisagree) {
    const std::vector<BYTE> good = TwoByTwo24(54);  // 70 bytes
    const struct { const char* name; std::vector<BYTE> bytes; } cases[] = {
        {"empty file", {}},
        {"header only", std::vector<BYTE>(good.begin(), good.begin() + 14)},
        {"signature", [&] { auto v = good; v[0] = 'B'; v[1] = 'A'; return v; }()},
        {"bfOffBits 53", With(good, 10, 53)},
        {"bfSize below the headers", With(good, 2, 53)},
        {"bfOffBits at bfSize", With(good, 10, 70)},
        {"bfSize past the file", With(good, 2, 71)},
        {"rows past the block", With(good, 18, 3)},             // width 3 needs 2 x 12 bytes
        {"height past the block", With(good, 22, 3)},
        {"negative width", With(good, 18, uint32_t(-2))},
        {"height INT_MIN", With(good, 22, 0x80000000)},
        {"sizes overflow", With(With(good, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF)},
        {"depth 0, huge", With(With(With(good, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF), 28, 0)},
    };
    for (const auto& c : cases) {
        KBitmap b(3, 3, 24);
        uint32_t size = b.LoadFile(Write(c.bytes).c_str());
#ifdef _WIN32
        // The platform's picture decoder gives a refused BMP a second chance;
        // whatever it makes of it must be a sound picture.
        if (size) {
            EXPECT_EQ(size, b.BlockSize()) << c.name;
            EXPECT_TRUE(b.HasPixels()) << c.name;
            continue;
        }
#endif
        EXPECT_EQ(size, 0u) << c.name;
        EXPECT_TRUE(b.IsEmpty()) << c.name;
    }
    // biClrUsed is taken as stored: an 8-bit picture claiming 2^32 - 1 entries
    // loads, and the entries the block lacks read black.
    std::vector<BYTE> absurdTable = With(With(good, 28, 8), 46, 0xFFFFFFFF);
    KBitmap b;
    ASSERT_NE(b.LoadFile(Write(absurdTable).c_str()), 0u);
    EXPECT_EQ(b.PaletteEntries(), (70u - 14 - 40) / 4);
    EXPECT_EQ(b.GetPixel(0, 1, false), 0x01050600u);  // entry 1 is row bytes 5, 6, 0, 0
    EXPECT_EQ(b.GetPixel(1, 0, true), 0u);                          // index 8: past the block
    // An area copy keeps only the entries the block held, not 16 GB of table.
    const RECT area{0, 0, 1, 1};
    KBitmap part(b, &area, true);
    EXPECT_EQ(part.Header()->biClrUsed, 4u);
    EXPECT_EQ(part.BlockSize(), 40u + 16 + 8);
    EXPECT_EQ(part.GetPixel(0, 1, false), 0x01050600u);
    // A missing file empties the picture; a null path leaves it alone.
    EXPECT_EQ(b.LoadFile(nullptr), 0u);
    EXPECT_FALSE(b.IsEmpty());
    EXPECT_EQ(b.LoadFile((Write({}) + ".missing").c_str()), 0u);
    EXPECT_TRUE(b.IsEmpty());
}

TEST(BmpFile, Rle4FileDecompresses) {
    // 4 x 2, 4-bit RLE, 16 greys; biSizeImage 200 claims more than the file holds.
    const std::vector<BYTE> stream = {0x04, 0x12, 0x00, 0x00, 0x00, 0x04, 0x34, 0x56, 0x00, 0x01};
    std::vector<BYTE> v = Headers(54 + 64 + uint32_t(stream.size()), 54 + 64, testutil::Header(4, 2, 4, BI_RLE4, 0, 200));
    for (int i = 0; i < 16; ++i) v.insert(v.end(), {BYTE(17 * i), BYTE(17 * i), BYTE(17 * i), 0});
    v.insert(v.end(), stream.begin(), stream.end());
    KBitmap b;
    ASSERT_EQ(b.LoadFile(Write(v).c_str()), v.size() - 14);
    EXPECT_EQ(b.Header()->biSizeImage, stream.size());  // lowered to the bytes present
    EXPECT_EQ(b.GetPixel(0, 0, false), 0x00FFFFFFu);    // compressed: no pixel reads yet
    Decompress(b);
    EXPECT_EQ(b.Header()->biCompression, DWORD(BI_RGB));
    // The streams themselves are checked in Rle4Test: here one pixel of each row.
    EXPECT_EQ(b.GetPixel(3, 0, false), 0x06666666u);  // index 6, grey 6 * 17
    EXPECT_EQ(b.GetPixel(3, 1, false), 0x02222222u);
    // Plain pictures and compressions without a decoder stay as they are.
    const uint64_t plain = testutil::BlockHash(b);
    Decompress(b);
    EXPECT_EQ(testutil::BlockHash(b), plain);
    b.Header()->biCompression = BI_RLE8;
    Decompress(b);
    EXPECT_EQ(b.Header()->biCompression, DWORD(BI_RLE8));
}
