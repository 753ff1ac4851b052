// Pictures from files and folders: BMP files read directly, 4-bit run-length
// pictures expanded, the declared sizes of the formats the platform decodes,
// and folders as imagery on real folders (what is listed, how the list grows,
// what is skipped, which entry a random number picks).
#include "BitmapTestUtil.h"
#include "imaging/FolderScan.h"
#include "imaging/KBitmap.h"
#include "imaging/PictureFile.h"
#include "imaging/PictureSize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testutil::With;

namespace {

// The 14-byte file header followed by a 40-byte info header.
std::vector<BYTE> Headers(uint32_t fileSize, uint32_t offBits, const BITMAPINFOHEADER& info) {
    std::vector<BYTE> v{'B', 'M'};
    v.resize(14 + 40);
    std::memcpy(&v[14], &info, 40);
    return With(With(v, 2, fileSize), 10, offBits);
}

// Writes the bytes to a file of the running test's own and returns its path.
std::string Write(const std::vector<BYTE>& bytes) {
    return testutil::TempFile(
        bytes, std::string("bmpfile_test_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bmp");
}

// 2 x 2 at 24 bits: rows of 6 bytes padded to 8, bottom row first.
std::vector<BYTE> TwoByTwo24(uint32_t offBits) {
    std::vector<BYTE> v = Headers(offBits + 16, offBits, testutil::Header(2, 2, 24));
    v.resize(offBits, 0xEE);                            // gap bytes, if any
    const BYTE rows[16] = {1, 2, 3, 4,  5,  6,  0, 0,   // bottom row: (0,1) (1,1)
                           7, 8, 9, 10, 11, 12, 0, 0};  // top row: (0,0) (1,0)
    v.insert(v.end(), rows, rows + 16);
    return v;
}

// A table of greys, entry i grey i * step, followed by other bytes.
std::vector<BYTE> Greys(int entries, int step, const std::vector<BYTE>& then) {
    std::vector<BYTE> v;
    for (int i = 0; i < entries; ++i)
        v.insert(v.end(), {BYTE(step * i), BYTE(step * i), BYTE(step * i), 0});
    v.insert(v.end(), then.begin(), then.end());
    return v;
}

// A fresh folder of the running test's own under the system's temporary
// folder, removed afterwards.
struct TempFolder {
    fs::path path = fs::temp_directory_path() /
                    (std::string("velorin-") + testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string name = path.string();
    TempFolder() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    void File(const std::string& entry) const { std::ofstream(path / entry) << "x"; }
};

struct Scan {
    uint32_t files = 0, folders = 0;
    FolderListState state{folderListStart, 0};
    std::vector<std::string> entries;  // sorted: the file system's order varies
};

Scan ScanOf(const std::string& folder) {
    Scan scan;
    char* list = static_cast<char*>(std::calloc(folderListStart, 1));
    scan.files = ScanFolder(folder.c_str(), "*", &scan.folders, &list, &scan.state);
    for (const char* entry = list; *entry; entry += std::strlen(entry) + 1)
        scan.entries.push_back(entry);
    EXPECT_EQ(list[scan.state.used], '\0');  // the closing empty entry
    std::sort(scan.entries.begin(), scan.entries.end());
    std::free(list);
    return scan;
}

int nextRandom;
int Counting() { return nextRandom++; }

}  // namespace

// Sound files load, with a gap before the rows or top-down: LoadFile answers
// the block's size. Files that must be refused: it answers 0 and the bitmap is
// empty, never holding the previous picture.
TEST(BmpFile, LoadsSoundFilesAndRefusesFilesWhoseSizesDisagree) {
    const std::vector<BYTE> good = TwoByTwo24(54);  // 70 bytes
    // 4 x 2, 4-bit RLE, 16 greys; biSizeImage 200 claims more than the file holds.
    std::vector<BYTE> rle = Headers(54 + 64 + 10, 54 + 64, testutil::Header(4, 2, 4, BI_RLE4, 0, 200));
    for (BYTE byte : Greys(16, 17, {0x04, 0x12, 0x00, 0x00, 0x00, 0x04, 0x34, 0x56, 0x00, 0x01}))
        rle.push_back(byte);
    const struct {
        const char* name;
        std::vector<BYTE> bytes;
        uint32_t size = 0;
    } cases[] = {
        {"a gap before the rows", TwoByTwo24(61), 61 + 16 - 14},
        {"top-down", With(good, 22, uint32_t(-2)), 70 - 14},
        {"compressed rows claiming more", rle, uint32_t(rle.size() - 14)},
        {"empty file", {}},
        {"signature",
         [&] {
             auto v = good;
             v[0] = 'B';
             v[1] = 'A';
             return v;
         }()},
        {"bfOffBits 53", With(good, 10, 53)},
        {"bfSize below the headers", With(good, 2, 53)},
        {"bfOffBits at bfSize", With(good, 10, 70)},
        {"bfSize past the file", With(good, 2, 71)},
        {"rows past the block", With(good, 18, 3)},  // width 3 needs 2 x 12 bytes
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
        if (size && !c.size) {
            EXPECT_EQ(size, b.BlockSize()) << c.name;
            EXPECT_TRUE(b.HasPixels()) << c.name;
            continue;
        }
#endif
        EXPECT_EQ(size, c.size) << c.name;
        EXPECT_EQ(b.IsEmpty(), c.size == 0) << c.name;
        if (size) {  // the rows at bfOffBits, and what biSizeImage claims inside the block
            const size_t rowsAt = b.Bits() - reinterpret_cast<BYTE*>(b.Header());
            EXPECT_EQ(rowsAt, c.bytes[10] - 14u) << c.name;
            EXPECT_LE(b.Header()->biSizeImage, size - rowsAt) << c.name;
        }
    }
    // biClrUsed is taken as stored: an 8-bit picture claiming 2^32 - 1 entries
    // loads, and the entries the block lacks read black.
    std::vector<BYTE> absurdTable = With(With(good, 28, 8), 46, 0xFFFFFFFF);
    KBitmap b;
    ASSERT_NE(b.LoadFile(Write(absurdTable).c_str()), 0u);
    EXPECT_EQ(b.PaletteEntries(), (70u - 14 - 40) / 4);
    EXPECT_EQ(b.GetPixel(0, 1, false), 0x01050600u);  // entry 1 is row bytes 5, 6, 0, 0
    EXPECT_EQ(b.GetPixel(1, 0, true), 0u);            // index 8: past the block
    // A missing file empties the picture; a null path leaves it alone.
    EXPECT_EQ(b.LoadFile(nullptr), 0u);
    EXPECT_FALSE(b.IsEmpty());
    EXPECT_EQ(b.LoadFile((Write({}) + ".missing").c_str()), 0u);
    EXPECT_TRUE(b.IsEmpty());
}

TEST(ExpandRle4, Streams) {
    using V = std::vector<int>;
    const struct {
        const char* name;
        int w, h;
        std::vector<BYTE> stream;
        V expected;
        DWORD clrUsed = 0, claimed = 0;  // claimed: a biSizeImage past the block
    } cases[] = {
        {"encoded run", 4, 1, {0x04, 0x12, 0x00, 0x00, 0x00, 0x01}, V{1, 2, 1, 2}},
        // Absolute run of 3: 2 data bytes, already even; then a run of 1.
        {"absolute 3", 5, 1, {0x00, 0x03, 0x34, 0x50, 0x01, 0x70, 0x00, 0x01}, V{3, 4, 5, 7, 0}},
        // Absolute run of 5: 3 data bytes and 1 padding byte.
        {"absolute 5", 6, 1, {0x00, 0x05, 0x12, 0x34, 0x50, 0xEE, 0x01, 0x90, 0x00, 0x01}, V{1, 2, 3, 4, 5, 9}},
        // First line is the bottom row; end of line moves up.
        {"two lines", 2, 2, {0x02, 0x12, 0x00, 0x00, 0x02, 0x34, 0x00, 0x01}, V{3, 4, 1, 2}},
        // Delta: right 1, up 1.
        {"delta", 3, 2, {0x00, 0x02, 0x01, 0x01, 0x01, 0x50, 0x00, 0x01}, V{0, 5, 0, 0, 0, 0}},
        // Pixels past the right edge are dropped, even past the row's padding.
        {"clipped", 2, 2, {0x0A, 0x12, 0x00, 0x01}, V{0, 0, 1, 2}},
        // Stream cut short mid-command: decoded so far, the rest index 0.
        {"short", 4, 1, {0x02, 0x77, 0x00, 0x04, 0x12}, V{7, 7, 1, 2}},
        {"no end", 3, 2, {0x03, 0x88}, V{0, 0, 0, 8, 8, 8}},
        // The block holds 3 bytes of the 1000 claimed: decoded up to its end.
        {"claims more", 4, 1, {0x04, 0x56, 0x00}, V{5, 6, 5, 6}, 0, 1000},
        {"200 colours", 2, 1, {0x02, 0xF1, 0x00, 0x01}, V{15, 1}, 200},
        {"2 colours", 2, 1, {0x02, 0xF1, 0x00, 0x01}, V{15, 1}, 2},
    };
    for (const auto& c : cases) {
        // 16 greys unless told; each pixel reads its entry's grey, or black
        // past the table, which keeps at most 16 entries.
        KBitmap rle;
        rle.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(
            testutil::PackedDib(testutil::Header(c.w, c.h, 4, BI_RLE4, c.clrUsed, DWORD(c.stream.size())),
                                Greys(c.clrUsed ? int(c.clrUsed) : 16, 1, c.stream))
                .data()));
        rle.Header()->biSizeImage = c.claimed ? c.claimed : rle.Header()->biSizeImage;
        Decompress(rle);  // as the saver does it
        const uint32_t entries = std::min(c.clrUsed ? c.clrUsed : 16, DWORD{16});
        EXPECT_EQ(rle.Header()->biClrUsed, std::min(c.clrUsed, DWORD{16})) << c.name;
        V indices;  // top row first
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const uint32_t pixel = rle.GetPixel(x, y, false), index = pixel >> 24;
                EXPECT_EQ(pixel & 0xFFFFFF, index < entries ? 0x010101 * index : 0) << c.name << " " << x << "," << y;
                indices.push_back(int(index));
            }
        EXPECT_EQ(indices, c.expected) << c.name;
    }
}

// The declared sizes, read to refuse a picture too large before a decoder
// spends seconds on it. (A broken header gives none or a size the decoder
// refuses again; reading nothing past it is the fuzz target's check.)
TEST(PictureSize, ReadsTheDeclaredSizeOfEachFormatAndRefusesPastTheBlockLimit) {
    // PNG: signature, IHDR length and type, width 0x4E20 (20000), height 300.
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0,    13,
                                      'I',  'H', 'D', 'R', 0,    0,    0x4E, 0x20, 0, 0, 0x01, 0x2C};
    // JPEG: SOI, an APP0 of 16 bytes, a fill byte, then SOF2 (progressive):
    // precision 8, height 12000, width 16000.
    std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10};
    jpeg.resize(jpeg.size() + 14, 0);
    jpeg.insert(jpeg.end(), {0xFF, 0xFF, 0xC2, 0x00, 0x11, 0x08, 0x2E, 0xE0, 0x3E, 0x80});
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        uint32_t width, height;
    } cases[] = {
        {"png", png, 20000, 300},
        {"jpeg", jpeg, 16000, 12000},
        {"gif", {'G', 'I', 'F', '8', '9', 'a', 0x80, 0x02, 0xE0, 0x01}, 640, 480},  // little-endian
        // A DHT (0xC4) shares the frame codes' range and must be stepped over.
        {"jpeg with a table",
         {0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x03, 0x00, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x10, 0x00, 0x20},
         32,
         16},
    };
    for (const auto& c : cases) {
        PictureSize size = {};
        ASSERT_TRUE(ReadPictureSize(c.bytes.data(), c.bytes.size(), &size)) << c.name;
        EXPECT_EQ(size.width * uint64_t{100000} + size.height, c.width * uint64_t{100000} + c.height) << c.name;
    }
    // Too large: three bytes a pixel past the block limit, without overflow.
    EXPECT_TRUE(PictureTooLarge({20000, 20000}) && PictureTooLarge({0xFFFFFFFF, 0xFFFFFFFF}));
    EXPECT_FALSE(PictureTooLarge({16000, 12000}) || PictureTooLarge({0, 0xFFFFFFFF}));
}

// "folder\name" may be 255 characters, a sub-folder's with its backslash too.
// With a trailing backslash the entries carry a doubled one, which the file
// system accepts; the longest names then no longer fit.
TEST(ScanFolder, ListsFilesAndSubFoldersButNotWhatTheyHoldNorNamesTooLong) {
    TempFolder pictures;
    const std::string& folder = pictures.name;
    // The name that makes "folder\name" exactly n characters long.
    auto name = [&](size_t n, char fill) { return std::string(n - folder.size() - 1, fill); };
    for (const std::string& file : {std::string("a.bmp"), std::string("b.jpg"), name(255, 'a'), name(256, 'b')})
        pictures.File(file);
    for (const std::string& sub : {std::string("old"), name(254, 'c'), name(255, 'd')})
        fs::create_directory(pictures.path / sub);
    pictures.File("old/inner.bmp");
    const Scan scan = ScanOf(folder), doubled = ScanOf(folder + "\\");
    EXPECT_TRUE(scan.files == 3 && scan.folders == 2 && doubled.files == 2 && doubled.folders == 1);
    const std::string in = folder + "\\", twice = folder + "\\\\";
    EXPECT_EQ(scan.entries, (std::vector<std::string>{in + "a.bmp", in + name(255, 'a'), in + "b.jpg",
                                                      in + name(254, 'c') + "\\", in + "old\\"}));
    EXPECT_EQ(doubled.entries, (std::vector<std::string>{twice + "a.bmp", twice + "b.jpg", twice + "old\\"}));
}

TEST(ScanFolder, GrowsTheListWithoutLosingEntries) {
    TempFolder base;
    const fs::path before = fs::current_path();
    fs::current_path(base.path);  // a short relative folder: entries of 11 characters
    fs::create_directory("g");
    for (int i = 0; i < 300; ++i)
        std::ofstream("g/entry-" + std::to_string(100 + i)) << "x";
    const Scan scan = ScanOf("g");
    fs::current_path(before);
    // 300 entries of 12 bytes outgrow 1024 bytes once.
    EXPECT_EQ(scan.state.capacity, 4096u);
    EXPECT_EQ(scan.state.used, 300u * 12);
    ASSERT_EQ(scan.files, 300u);
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(scan.entries[i], "g\\entry-" + std::to_string(100 + i));
}

TEST(PickFolderEntry, TakesTheEntryTheRandomNumberNamesModuloTheTotal) {
    nextRandom = 0;
    char path[256] = "folder";
    for (const char* want : {"a", "bb", "ccc", "a"}) {
        char* list = static_cast<char*>(std::malloc(9));
        std::memcpy(list, "a\0bb\0ccc\0", 9);
        PickFolderEntry(&list, 3, Counting, path);
        EXPECT_STREQ(path, want);
    }
}
