// Expansion of 4-bit run-length-encoded pictures into plain 4-bit rows.
#include <algorithm>
#include <cstring>

#include "imaging/GlobalBlock.h"
#include "imaging/KBitmap.h"
#include "imaging/PixelFormat.h"

namespace {

// The expanded picture under construction: 4-bit rows, bottom-up.
struct Rle4Target {
    BYTE* rows;
    int64_t width;
    int64_t height;
    int64_t stride;

    // Drops pixels outside the picture; x and y keep counting regardless.
    void Put(int64_t x, int64_t y, uint32_t index) {
        if (x < 0 || x >= width || y < 0 || y >= height)
            return;
        pixel::WriteIndex(rows + (height - 1 - y) * stride, static_cast<int>(x), 4, index);
    }
};

// Decodes data[0..size-1]. The first line decoded is the bottom row. A
// command cut short by the end of the data ends the decoding; whatever was
// not reached stays index 0.
void DecodeRle4(const BYTE* data, size_t size, Rle4Target& target) {
    int64_t x = 0;
    int64_t y = target.height - 1;
    size_t at = 0;
    // y only ever decreases, so once it is above the top nothing more lands.
    while (size - at >= 2 && y >= 0) {
        const unsigned count = data[at];
        const unsigned value = data[at + 1];
        at += 2;
        if (count > 0) {
            // Encoded run: the two nibbles of value alternate, high first.
            for (unsigned i = 0; i < count; ++i)
                target.Put(x + i, y, (i & 1) ? value & 15 : value >> 4);
            x += count;
        } else if (value == 0) {  // end of line
            --y;
            x = 0;
        } else if (value == 1) {  // end of picture
            break;
        } else if (value == 2) {  // delta: right dx, down dy
            if (size - at < 2)
                break;
            x += data[at];
            y -= data[at + 1];
            at += 2;
        } else {
            // Absolute run of value pixels, two per byte, padded to a 16-bit
            // boundary.
            const size_t bytes = (value + 1) / 2;
            const size_t padded = (bytes + 1) / 2 * 2;
            const size_t available = std::min(bytes, size - at);
            for (unsigned i = 0; i < value && i / 2 < available; ++i) {
                const BYTE packed = data[at + i / 2];
                target.Put(x + i, y, (i & 1) ? packed & 15 : packed >> 4);
            }
            if (available < bytes)
                break;
            x += value;
            at += std::min(padded, size - at);
        }
    }
}

}  // namespace

void* KBitmap::ExpandRle4() const {
    if (!info || info->biBitCount != 4 || info->biCompression != BI_RLE4)
        return nullptr;
    const int64_t width = info->biWidth;
    const int64_t height = AbsoluteHeight(*info);
    if (width <= 0 || height <= 0)
        return nullptr;
    // At most 16 entries, however many the header claims.
    const uint32_t entries = info->biClrUsed == 0 ? 16 : std::min<uint32_t>(info->biClrUsed, 16);
    const int64_t stride = RowStride64(width, 4);
    if (static_cast<uint64_t>(stride) > kMaxBlockBytes / static_cast<uint64_t>(height))
        return nullptr;
    const uint64_t tableBytes = 4 * uint64_t(entries);
    const uint64_t size = sizeof(BITMAPINFOHEADER) + tableBytes + uint64_t(stride) * uint64_t(height);
    if (size > kMaxBlockBytes)
        return nullptr;
    BYTE* block = static_cast<BYTE*>(AllocGlobalBlock(static_cast<size_t>(size)));
    if (!block)
        return nullptr;
    std::memset(block, 0, static_cast<size_t>(size));

    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(block);
    *header = *info;
    header->biCompression = BI_RGB;
    header->biSizeImage = 0;
    if (header->biClrUsed > 16)
        header->biClrUsed = 16;
    // Entries the source lacks stay black.
    const uint32_t held = std::min(entries, paletteEntries);
    std::memcpy(block + sizeof(BITMAPINFOHEADER), info + 1, 4 * size_t(held));

    Rle4Target target{block + sizeof(BITMAPINFOHEADER) + tableBytes, width, height, stride};
    // The data run as far as biSizeImage says, but never past the block.
    const size_t present = blockSize - static_cast<size_t>(bits - BlockStart());
    DecodeRle4(bits, std::min<size_t>(info->biSizeImage, present), target);
    return block;
}
