// Fading a picture's edges into a fill colour. Only the band along the four
// edges is touched, so the cost grows with (width + height) * band, not with
// the whole picture: it runs on every movie frame.
#include "imaging/KBitmap.h"
#include "imaging/RowAccess.h"

#include <algorithm>
#include <vector>

namespace {

// One distance from the edge: each channel value c becomes
// trunc(c * keep + fill channel * (1 - keep)), keep = d / band (0 at the
// outermost pixel). Looked up in a table made once per distance: a band of
// 120 pixels along a 640 x 480 movie frame blends some 270,000 pixels, 25
// times a second, from 3 x 256 values a distance.
struct Weight {
    BYTE channel[3][256];  // red, green, blue

    uint32_t Blend(uint32_t colour) const {
        // The fourth byte is dropped: 32-bit pixels get 0 there.
        return uint32_t(channel[0][colour & 255]) | uint32_t(channel[1][(colour >> 8) & 255]) << 8 |
               uint32_t(channel[2][(colour >> 16) & 255]) << 16;
    }
};

struct FadePasses {
    KBitmap& bitmap;
    uint32_t fill;
    double band;

    template <int Depth>
    void Run() {
        const int width = bitmap.Width(), height = bitmap.Height(), stride = bitmap.Stride();
        std::vector<Weight> weights;
        for (int d = 0; d < band; ++d)
            weights.push_back(WeightAt(d));
        const int distances = static_cast<int>(weights.size());
        // Along the rows: columns d and width - 1 - d with weight d. Each
        // pixel is blended once in this pass, so walking row by row gives the
        // same result as distance by distance, and stays in cache.
        for (int y = 0; y < height; ++y) {
            BYTE* row = bitmap.Row(y, height, stride);
            for (int d = 0; d < distances; ++d) {
                BlendPixel<Depth>(row, d, weights[d]);
                BlendPixel<Depth>(row, width - 1 - d, weights[d]);
            }
        }
        // Along the columns, on the result of the rows.
        for (int d = 0; d < distances; ++d) {
            BYTE* top = bitmap.Row(d, height, stride);
            BYTE* bottom = bitmap.Row(height - 1 - d, height, stride);
            for (int x = 0; x < width; ++x) {
                BlendPixel<Depth>(top, x, weights[d]);
                BlendPixel<Depth>(bottom, x, weights[d]);
            }
        }
    }

    Weight WeightAt(int d) const {
        Weight w;
        const double keep = d / band;
        for (int channel = 0; channel < 3; ++channel) {
            const double fillShare = double((fill >> (8 * channel)) & 255) * (1.0 - keep);
            for (int c = 0; c < 256; ++c)
                w.channel[channel][c] = BYTE(static_cast<int>(double(c) * keep + fillShare) & 255);
        }
        return w;
    }

    template <int Depth>
    static void BlendPixel(BYTE* row, int x, const Weight& w) {
        if constexpr (Depth == 24) {
            // Movie frames: blue, green, red bytes, each its own channel.
            BYTE* pixel = row + 3 * x;
            pixel[0] = w.channel[2][pixel[0]];
            pixel[1] = w.channel[1][pixel[1]];
            pixel[2] = w.channel[0][pixel[2]];
        } else {
            pixel::Write<Depth>(row, x, w.Blend(pixel::Read<Depth>(row, x, nullptr)));
        }
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
