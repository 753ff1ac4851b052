// Fading a picture's edges into a fill colour. Only the band along the four
// edges is touched, so the cost grows with (width + height) * band, not with
// the whole picture: it runs on every movie frame.
#include "imaging/KBitmap.h"
#include "imaging/RowAccess.h"

#include <algorithm>

namespace {

// One distance from the edge: c becomes trunc(c * keep + fillShare[channel]).
struct Weight {
    double keep;          // d / band: 0 at the outermost pixel
    double fillShare[3];  // fill channel * (1 - keep), red, green, blue
};

inline uint32_t Blend(uint32_t colour, const Weight& w) {
    uint32_t result = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const int shift = 8 * channel;
        const double value = double((colour >> shift) & 255) * w.keep + w.fillShare[channel];
        result |= (static_cast<uint32_t>(static_cast<int>(value)) & 255) << shift;
    }
    return result;  // the fourth byte is dropped: 32-bit pixels get 0 there
}

struct FadePasses {
    KBitmap& bitmap;
    uint32_t fill;
    double band;

    template <int Depth>
    void Run() {
        const int width = bitmap.Width(), height = bitmap.Height(), stride = bitmap.Stride();
        for (int d = 0; d < band; ++d) {
            const Weight w = WeightAt(d);
            // Along the rows: column d, then column width - 1 - d, in every row.
            for (int y = 0; y < height; ++y) {
                BYTE* row = bitmap.Row(y, height, stride);
                BlendPixel<Depth>(row, d, w);
                BlendPixel<Depth>(row, width - 1 - d, w);
            }
        }
        // Along the columns, on the result of the rows. Taking the distances
        // in the outer loop applies the same blends to each pixel in the same
        // order as walking each column, and keeps the rows in cache.
        for (int d = 0; d < band; ++d) {
            const Weight w = WeightAt(d);
            BYTE* top = bitmap.Row(d, height, stride);
            BYTE* bottom = bitmap.Row(height - 1 - d, height, stride);
            for (int x = 0; x < width; ++x) {
                BlendPixel<Depth>(top, x, w);
                BlendPixel<Depth>(bottom, x, w);
            }
        }
    }

    Weight WeightAt(int d) const {
        Weight w;
        w.keep = d / band;
        for (int channel = 0; channel < 3; ++channel)
            w.fillShare[channel] = double((fill >> (8 * channel)) & 255) * (1.0 - w.keep);
        return w;
    }

    template <int Depth>
    static void BlendPixel(BYTE* row, int x, const Weight& w) {
        pixel::Write<Depth>(row, x, Blend(pixel::Read<Depth>(row, x, nullptr), w));
    }
};

}  // namespace

bool KBitmap::FadeEdges(uint32_t colour, double fraction) {
    if (!HasPixels())
        return false;
    const int depth = Depth();
    if (depth != 15 && depth != 16 && depth != 24 && depth != 32)
        return false;
    fraction = std::min(fraction, 1.0);
    if (!(fraction >= 0))  // below 0, or not a number
        fraction = 0;
    FadePasses passes{*this, colour, std::min(Width(), Height()) * fraction};
    pixel::DispatchDepth(depth, passes);
    return true;
}
