// A camera's orientation. The EXIF tag of JPEG and TIFF files built byte by
// byte: both byte orders, segments to step over, the IFD after a TIFF file's
// pixels, and damaged or missing tags, which answer upright; read from files.
// Then decoded pictures turned upright.
#include "BitmapTestUtil.h"
#include "imaging/ExifOrientation.h"
#include "imaging/KBitmap.h"
#include "imaging/OrientPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr bool II = false, MM = true;  // little-endian, big-endian

struct Entry {
    uint16_t tag, type;
    uint32_t count;
    uint16_t value;  // a SHORT, in the first two bytes of the value field
};
constexpr Entry kWidth = {256, 3, 1, 40};
Entry Orientation(uint16_t value, uint16_t type = 3, uint32_t count = 1) { return {274, type, count, value}; }

// A TIFF structure: header, `gap` bytes (a TIFF file's pixel data), then IFD0
// ending with the last entry's value field (no next-IFD offset).
Bytes Tiff(bool bigEndian, const std::vector<Entry>& entries, uint32_t gap = 0) {
    Bytes v;
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            v.push_back(uint8_t(value >> 8 * (bigEndian ? bytes - 1 - i : i)));
    };
    v = bigEndian ? Bytes{'M', 'M'} : Bytes{'I', 'I'};
    put(42, 2);
    put(8 + gap, 4);  // offset of IFD0
    v.resize(8 + gap, 0xAB);
    put(uint32_t(entries.size()), 2);
    for (const Entry& e : entries) {
        put(e.tag, 2);
        put(e.type, 2);
        put(e.count, 4);
        put(e.value, 2);
        put(0, 2);
    }
    return v;
}

// Sized once: growing the vector by insert makes GCC 12 at -O3 warn (-Warray-bounds).
Bytes Segment(uint8_t code, const Bytes& data) {
    Bytes v(4 + data.size());
    std::copy(data.begin(), data.end(), v.begin() + 4);
    v[0] = 0xFF, v[1] = code, v[2] = uint8_t((data.size() + 2) >> 8), v[3] = uint8_t(data.size() + 2);
    return v;
}

// An Exif APP1 segment; `cut` bytes short by its declared length only.
Bytes Exif(const Bytes& tiff, uint8_t cut = 0) {
    Bytes data = {'E', 'x', 'i', 'f', 0, 0};
    data.insert(data.end(), tiff.begin(), tiff.end());
    Bytes segment = Segment(0xE1, data);
    segment[3] = uint8_t(segment[3] - cut);
    return segment;
}

// SOI, then the parts as they are; no scan, so the last byte is the last one read.
Bytes Jpeg(const std::vector<Bytes>& parts) {
    Bytes v = {0xFF, 0xD8};
    for (const Bytes& p : parts)
        v.insert(v.end(), p.begin(), p.end());
    return v;
}

const Bytes kJfif = Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 1, 0, 1, 0, 0});
const Bytes kXmp = Segment(0xE1, {'h', 't', 't', 'p', ':', '/', '/', 'n', 's', 0, '<', 'x', '>'});

}  // namespace

// Every case from a file, as the saver reads it. (Reading from memory,
// nothing past the bytes however they are cut, is the fuzz target's check.)
TEST(ExifOrientation, ReadsTheTagOfJpegAndTiffFiles) {
    const struct {
        const char* name;
        Bytes bytes;
        int orientation;
    } cases[] = {
        {"jpeg, little-endian", Jpeg({Exif(Tiff(II, {kWidth, Orientation(6)}))}), 6},
        // JFIF first, a fill byte, a marker without length, an XMP APP1.
        {"jpeg, segments before", Jpeg({kJfif, {0xFF, 0xFF, 0xD0}, kXmp, Exif(Tiff(MM, {Orientation(6)}))}), 6},
        {"tiff file, IFD after the pixels", Tiff(II, {kWidth, Orientation(3)}, 1000), 3},
        {"tiff file, big-endian", Tiff(MM, {kWidth, Orientation(5)}, 300), 5},
        {"no orientation", Jpeg({Exif(Tiff(II, {kWidth}))}), 1},
        {"only the first exif segment", Jpeg({Exif(Tiff(II, {kWidth})), Exif(Tiff(II, {Orientation(6)}))}), 1},
        {"type LONG", Jpeg({Exif(Tiff(II, {Orientation(6, 4)}))}), 1},
        {"count 0", Jpeg({Exif(Tiff(II, {Orientation(6, 3, 0)}))}), 1},
        {"value 9", Jpeg({Exif(Tiff(II, {Orientation(9)}))}), 1},
        {"value 0", Tiff(MM, {Orientation(0)}), 1},
        // The bytes are all there, but the segment says it ends inside the entry.
        {"segment ends inside the entry", Jpeg({Exif(Tiff(II, {Orientation(6)}), 4)}), 1},
        {"IFD past the end", Jpeg({Exif(testutil::With(Tiff(II, {Orientation(6)}), 4, 0xFFFFFFF0))}), 1},
        {"scan first", Jpeg({{0xFF, 0xDA, 0x00, 0x02}, Exif(Tiff(II, {Orientation(6)}))}), 1},
        {"neither format", {'B', 'M', 0, 0, 0, 0}, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExifOrientationOfFile(testutil::TempFile(c.bytes, "exif_orientation_test.bin").c_str()),
                  c.orientation)
            << c.name;
    }
    EXPECT_EQ(ExifOrientationOfFile((::testing::TempDir() + "no such file").c_str()), 1);
    EXPECT_EQ(ExifOrientationOfFile(nullptr), 1);
}

// Every depth, bottom-up and top-down (rows of 1-bit pixels cross a byte
// boundary both ways; most depths pad): the blocks where each stored pixel
// lies where the EXIF table of the eight orientations puts the stored 0th row
// and column (1 top, left; 2 top, right; 3 bottom, right; 4 bottom, left;
// 5 left, top; 6 right, top; 7 right, bottom; 8 left, bottom), the colour
// table or masks unchanged and the height's sign kept.
TEST(OrientPicture, PutsEveryPixelWhereTheExifTableSaysAndRefusesATurnPastTheBlockLimit) {
    testutil::Results results;
    for (int depth : testutil::kDepths)
        for (bool topDown : {false, true})
            for (int orientation = 1; orientation <= 8; ++orientation) {
                KBitmap picture = testutil::Pattern(11, 9, depth, uint32_t(depth));
                picture.Header()->biHeight = topDown ? -9 : 9;
                results.Add(OrientPicture(picture, orientation));
                results.Add(picture);
            }
    EXPECT_EQ(results.hash, 0xCE70BB85755473F9ull);
    // One row of 2^28 + 1 one-bit pixels would turn into as many rows of 4
    // bytes, 4 bytes past the block limit: refused, the picture kept. (Its
    // only caller passes a picture the platform's decoder has just made, with
    // plain rows, and an orientation of 1 to 8.)
    KBitmap wide((1 << 28) + 1, 1, 1);
    ASSERT_FALSE(wide.IsEmpty());
    const BITMAPINFOHEADER* before = wide.Header();
    EXPECT_FALSE(OrientPicture(wide, orientationRightTop));
    EXPECT_EQ(wide.Header(), before);
}
