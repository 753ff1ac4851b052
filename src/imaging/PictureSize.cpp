#include "imaging/PictureSize.h"

#include "imaging/KBitmap.h"

#include <cstring>

namespace {

uint32_t BigEndian16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t BigEndian32(const uint8_t* p) { return BigEndian16(p) << 16 | BigEndian16(p + 2); }
uint32_t LittleEndian16(const uint8_t* p) { return uint32_t(p[1]) << 8 | p[0]; }

// Walks the JPEG markers to the first start-of-frame (SOF0..SOF15 but the
// DHT, JPG and DAC codes that share the range).
bool ReadJpegSize(const uint8_t* data, size_t size, PictureSize* result) {
    size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return false;
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;  // markers without a length
            continue;
        }
        const uint32_t length = BigEndian16(data + at + 2);
        if (length < 2)
            return false;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > size)
                return false;
            result->height = BigEndian16(data + at + 5);
            result->width = BigEndian16(data + at + 7);
            return true;
        }
        if (marker == 0xDA || marker == 0xD9)  // scan data or the end: no frame header before it
            return false;
        at += 2 + length;
    }
    return false;
}

}  // namespace

bool ReadPictureSize(const uint8_t* data, size_t size, PictureSize* result) {
    static const uint8_t png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 24 && std::memcmp(data, png, 8) == 0 && std::memcmp(data + 12, "IHDR", 4) == 0) {
        result->width = BigEndian32(data + 16);
        result->height = BigEndian32(data + 20);
        return true;
    }
    if (size >= 10 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0)) {
        result->width = LittleEndian16(data + 6);
        result->height = LittleEndian16(data + 8);
        return true;
    }
    if (size >= 4 && data[0] == 0xFF && data[1] == 0xD8)
        return ReadJpegSize(data, size, result);
    return false;
}

bool PictureTooLarge(PictureSize size) { return uint64_t(size.width) * size.height * 3 > KBitmap::kMaxBlockBytes; }
