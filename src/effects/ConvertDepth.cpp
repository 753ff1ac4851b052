// Colour-depth conversion of a KBitmap through the colour value.
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
        for (int x = 0; x < width; ++x) out[x] = pixel::Read<Depth>(row, x, lut) & 0xFFFFFF;
    }
};

struct RowEncoder {
    const uint32_t* in;
    int width;
    BYTE* row;

    template <int Depth>
    void Run() {
        for (int x = 0; x < width; ++x) pixel::Write<Depth>(row, x, in[x]);
    }
};

}  // namespace

int KBitmap::ConvertDepth(int depth) {
    if (!HasPixels()) return 0;
    const int from = Depth();
    if (depth == from) return 1;
    const int width = Width();
    const int height = Height();
    KBitmap target(width, height, depth);
    if (target.IsEmpty()) return 0;
    const int fromStride = Stride();
    const int toStride = target.Stride();

    if (from == 32 && depth == 24) {
        // The common case, kept free of the colour-value round trip: B, G, R
        // are kept and the fourth byte dropped.
        for (int y = 0; y < height; ++y) {
            const BYTE* in = Row(y, height, fromStride);
            BYTE* out = target.Row(y, height, toStride);
            for (int x = 0; x < width; ++x) {
                out[3 * x] = in[4 * x];
                out[3 * x + 1] = in[4 * x + 1];
                out[3 * x + 2] = in[4 * x + 2];
            }
        }
    } else {
        const pixel::PaletteLut palette(*this);
        std::vector<uint32_t> colours(static_cast<size_t>(width), 0);
        for (int y = 0; y < height; ++y) {
            // Unsupported source depths read as 0 (black): the buffer stays 0.
            RowDecoder decoder{Row(y, height, fromStride), width, palette.colour, colours.data()};
            pixel::DispatchDepth(from, decoder);
            RowEncoder encoder{colours.data(), width, target.Row(y, height, toStride)};
            pixel::DispatchDepth(depth, encoder);
        }
    }
    TakeFrom(target);
    return 1;
}
