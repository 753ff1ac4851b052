#include "imaging/PictureSize.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PictureSize, ReadsTheDeclaredSizeOfEachFormat) {
    // PNG: signature, IHDR length and type, width 0x4E20 (20000), height 300.
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                                      'I', 'H', 'D', 'R', 0, 0, 0x4E, 0x20, 0, 0, 0x01, 0x2C};
    // GIF: signature, width 640 and height 480, little-endian.
    const std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0x80, 0x02, 0xE0, 0x01};
    // JPEG: SOI, an APP0 of 16 bytes, a fill byte, then SOF2 (progressive):
    // precision 8, height 12000, width 16000.
    std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10};
    jpeg.resize(jpeg.size() + 14, 0);
    jpeg.insert(jpeg.end(), {0xFF, 0xFF, 0xC2, 0x00, 0x11, 0x08, 0x2E, 0xE0, 0x3E, 0x80});
    // A DHT (0xC4) shares the frame codes' range and must be stepped over.
    const std::vector<uint8_t> jpegWithTable = {0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x03, 0x00,
                                                0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x10, 0x00, 0x20};
    struct Case { const char* name; std::vector<uint8_t> bytes; uint32_t width, height; };
    const Case cases[] = {{"png", png, 20000, 300}, {"gif", gif, 640, 480},
                          {"jpeg", jpeg, 16000, 12000}, {"jpeg with a table", jpegWithTable, 32, 16}};
    for (const Case& c : cases) {
        PictureSize size = {};
        ASSERT_TRUE(ReadPictureSize(c.bytes.data(), c.bytes.size(), &size)) << c.name;
        EXPECT_EQ(size.width, c.width) << c.name;
        EXPECT_EQ(size.height, c.height) << c.name;
        // Cut anywhere before the size, the header gives no answer and reads nothing past the end.
        for (size_t cut = 0; cut + 1 < c.bytes.size(); ++cut) {
            std::vector<uint8_t> head(c.bytes.begin(), c.bytes.begin() + cut);
            ReadPictureSize(head.data(), head.size(), &size);
        }
    }
}

TEST(PictureSize, UnknownOrBrokenHeadersGiveNoAnswer) {
    const std::vector<std::vector<uint8_t>> cases = {
        {'B', 'M', 0, 0},                                   // BMP files are read directly
        {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02},               // scan before any frame header
        {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x00, 0xFF, 0xC0},   // a length below 2
        {0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78},               // not a marker
        {0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xFF, 0xFF, 0xC0},   // a segment running past the end
    };
    for (const auto& bytes : cases) {
        PictureSize size = {};
        EXPECT_FALSE(ReadPictureSize(bytes.data(), bytes.size(), &size));
    }
}

TEST(PictureSize, TooLargeWhenThreeBytesAPixelPassTheBlockLimit) {
    EXPECT_TRUE(PictureTooLarge({20000, 20000}));
    EXPECT_FALSE(PictureTooLarge({16000, 12000}));
    EXPECT_TRUE(PictureTooLarge({0xFFFFFFFF, 0xFFFFFFFF}));  // no overflow
    EXPECT_FALSE(PictureTooLarge({0, 0xFFFFFFFF}));
}
