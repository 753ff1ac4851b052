#include "imaging/ExifOrientation.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kOrientationTag = 274;
constexpr int kShortType = 3;
// A damaged file cannot make either walk long: real files hold a few dozen
// markers before the scan and a few dozen entries in IFD0.
constexpr int kMaxSteps = 1000;

uint32_t BigEndian16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }

// The TIFF structure: `size` bytes from `start` of the source, its offsets
// counted from `start`, its numbers in its own byte order.
struct TiffView {
    ReadAt read;
    void* source;
    uint64_t start, size;
    bool bigEndian;

    bool Read(uint64_t offset, uint8_t* out, size_t count) const {
        return offset <= size && count <= size - offset && read(source, start + offset, out, count);
    }
    uint32_t U16(const uint8_t* p) const { return bigEndian ? uint32_t(p[0]) << 8 | p[1] : uint32_t(p[1]) << 8 | p[0]; }
    uint32_t U32(const uint8_t* p) const { return bigEndian ? U16(p) << 16 | U16(p + 2) : U16(p + 2) << 16 | U16(p); }
};

// The orientation held in IFD0 of the structure, or 1.
int OrientationOfTiff(TiffView tiff) {
    uint8_t header[8];
    if (!tiff.Read(0, header, 8))
        return 1;
    if (std::memcmp(header, "MM", 2) == 0)
        tiff.bigEndian = true;
    else if (std::memcmp(header, "II", 2) != 0)
        return 1;
    const uint64_t ifd = tiff.U32(header + 4);
    uint8_t count[2];
    if (tiff.U16(header + 2) != 42 || !tiff.Read(ifd, count, 2))
        return 1;
    const uint32_t entries = tiff.U16(count) < kMaxSteps ? tiff.U16(count) : kMaxSteps;
    for (uint32_t i = 0; i < entries; ++i) {
        uint8_t entry[12];  // tag, type, count, value (or its offset)
        if (!tiff.Read(ifd + 2 + 12 * uint64_t(i), entry, 12))
            return 1;
        if (tiff.U16(entry) != kOrientationTag)
            continue;
        // A SHORT sits in the first two bytes of the value field.
        const uint32_t value = tiff.U16(entry + 8);
        const bool valid = tiff.U16(entry + 2) == kShortType && tiff.U32(entry + 4) >= 1;
        return valid && value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

// Walks the markers after SOI to the first Exif APP1 segment, whose data
// after "Exif\0\0" are a TIFF structure ending with the segment.
int OrientationOfJpeg(ReadAt read, void* source) {
    uint64_t at = 2;
    for (int step = 0; step < kMaxSteps; ++step) {
        uint8_t marker[10];  // FF, code, length, then "Exif\0\0" for an Exif APP1
        if (!read(source, at, marker, 2) || marker[0] != 0xFF)
            return 1;
        const uint8_t code = marker[1];
        if (code == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if ((code >= 0xD0 && code <= 0xD7) || code == 0x01) {  // no length
            at += 2;
            continue;
        }
        if (code == 0xDA || code == 0xD9 || !read(source, at + 2, marker + 2, 2))
            return 1;                                     // scan data or the end: no Exif segment before it
        const uint32_t length = BigEndian16(marker + 2);  // counts itself, not the marker
        if (length < 2)
            return 1;
        if (code == 0xE1 && length >= 8 && read(source, at + 4, marker + 4, 6) &&
            std::memcmp(marker + 4, "Exif\0\0", 6) == 0)
            return OrientationOfTiff({read, source, at + 10, length - 8u, false});
        at += 2 + length;
    }
    return 1;
}

struct Bytes {
    const uint8_t* data;
    size_t size;
};

bool ReadFromBytes(void* source, uint64_t offset, uint8_t* out, size_t count) {
    const Bytes& bytes = *static_cast<const Bytes*>(source);
    if (offset > bytes.size || count > bytes.size - offset)
        return false;
    std::memcpy(out, bytes.data + offset, count);
    return true;
}

bool ReadFromFile(void* source, uint64_t offset, uint8_t* out, size_t count) {
    std::FILE* file = static_cast<std::FILE*>(source);
    // fseek takes a long, 32 bits on Windows: a TIFF offset past 2 GB is not read.
    return offset <= uint64_t(LONG_MAX) && std::fseek(file, long(offset), SEEK_SET) == 0 &&
           std::fread(out, 1, count, file) == count;
}

}  // namespace

int ReadExifOrientation(ReadAt read, void* source) {
    uint8_t start[4];
    if (!read(source, 0, start, 4))
        return 1;
    if (start[0] == 0xFF && start[1] == 0xD8)
        return OrientationOfJpeg(read, source);
    // A TIFF file is one TIFF structure; its IFD may lie anywhere, often after
    // the pixel data, so its end is wherever the file ends.
    if (std::memcmp(start, "II*\0", 4) == 0 || std::memcmp(start, "MM\0*", 4) == 0)
        return OrientationOfTiff({read, source, 0, UINT64_MAX, false});
    return 1;
}

int ExifOrientationOfBytes(const uint8_t* data, size_t size) {
    Bytes bytes = {data, size};
    return ReadExifOrientation(ReadFromBytes, &bytes);
}

int ExifOrientationOfFile(const char* path) {
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return 1;
    const int orientation = ReadExifOrientation(ReadFromFile, file);
    std::fclose(file);
    return orientation;
}

bool OrientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }
