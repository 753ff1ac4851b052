// Colour-depth conversion of a KBitmap through the colour value.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/KBitmap.h"
#include "imaging/RowAccess.h"

namespace {

// Source rows decoded to colour values without their top byte.
struct RowDecoder {
    const BYTE* row;
    int width;
    const uint32_t* lut;
    uint32_t* out;

    template <int Depth>
    void Run() {
        for (int x = 0; x < width; ++x)
            out[x] = pixel::Read<Depth>(row, x, lut) & 0xFFFFFF;
    }
};

struct RowEncoder {
    const uint32_t* in;
    int width;
    BYTE* row;

    template <int Depth>
    void Run() {
        for (int x = 0; x < width; ++x)
            pixel::Write<Depth>(row, x, in[x]);
    }
};

// Converts every row from one layout to another. Output row r (stored order)
// starts at out + r * toStride, input row r at in + r * fromStride. When both
// share one block, out <= in and toStride <= fromStride keep every output
// row at or before the input row it comes from, and each input row is read
// whole before its output row is written, so the conversion may run in place.
void ConvertRows(const BYTE* in, int fromDepth, int fromStride, const uint32_t* lut, BYTE* out, int toDepth,
                 int toStride, int width, int height) {
    // In 64 bits: a very wide row of a deep target overflows an int.
    const int64_t usedBytes = (int64_t(width) * (toDepth == 15 ? 16 : toDepth) + 7) / 8;
    if (fromDepth == 32 && toDepth == 24) {
        // The common case, free of the colour-value round trip: B, G, R are
        // kept and the fourth byte dropped. Writes never overtake reads.
        for (int r = 0; r < height; ++r) {
            const BYTE* s = in + static_cast<ptrdiff_t>(r) * fromStride;
            BYTE* d = out + static_cast<ptrdiff_t>(r) * toStride;
            for (int x = 0; x < width; ++x) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                d += 3;
                s += 4;
            }
            std::memset(out + static_cast<ptrdiff_t>(r) * toStride + usedBytes, 0, toStride - usedBytes);
        }
        return;
    }
    std::vector<uint32_t> colours(static_cast<size_t>(width), 0);
    for (int r = 0; r < height; ++r) {
        // Unsupported source depths read as 0 (black): the buffer stays 0.
        RowDecoder decoder{in + static_cast<ptrdiff_t>(r) * fromStride, width, lut, colours.data()};
        pixel::DispatchDepth(fromDepth, decoder);
        BYTE* row = out + static_cast<ptrdiff_t>(r) * toStride;
        std::memset(row, 0, toStride);  // padding as a new bitmap has it, and clean bits to OR into
        RowEncoder encoder{colours.data(), width, row};
        pixel::DispatchDepth(toDepth, encoder);
    }
}

}  // namespace

int KBitmap::ConvertDepth(int depth) {
    if (!HasPixels())
        return 0;
    const int from = Depth();
    if (depth == from)
        return 1;
    const int width = Width();
    const int height = Height();
    const int fromStride = Stride();
    const pixel::PaletteLut palette(*this);

    // The layout a new bitmap of the target depth has (header, table, rows).
    KBitmap shape(1, 1, depth);
    if (shape.IsEmpty())
        return 0;
    const size_t tableBytes = static_cast<size_t>(shape.Bits() - reinterpret_cast<const BYTE*>(shape.Header()));
    // The new rows must fit a block: a very wide picture of a shallow depth
    // may not fit at the target depth.
    const int64_t toStride64 = RowStride64(width, depth);
    if (toStride64 <= 0 || uint64_t(toStride64) > kMaxBlockBytes / uint64_t(height))
        return 0;
    const int toStride = static_cast<int>(toStride64);
    const size_t bitsOffset = static_cast<size_t>(bits - BlockStart());

    if (toStride <= fromStride && tableBytes <= bitsOffset && depth != 16 && depth > 8) {
        // Shrinking to a depth without a table: convert within the block, then
        // give the header its new values and return the tail of the block.
        BYTE* block = reinterpret_cast<BYTE*>(info);
        ConvertRows(bits, from, fromStride, palette.colour, block + tableBytes, depth, toStride, width, height);
        const size_t size = tableBytes + static_cast<size_t>(toStride) * static_cast<size_t>(height);
        std::memcpy(block, shape.Header(), tableBytes);
        BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(block);
        header->biWidth = width;
        header->biHeight = height;
        info = nullptr;  // the block changes hands below
        BYTE* kept = static_cast<BYTE*>(std::realloc(block, size));
        AdoptBlock(kept ? kept : block, size, tableBytes);
        return 1;
    }

    KBitmap target(width, height, depth);
    if (target.IsEmpty())
        return 0;
    ConvertRows(bits, from, fromStride, palette.colour, target.Bits(), depth, target.Stride(), width, height);
    TakeFrom(target);
    return 1;
}
