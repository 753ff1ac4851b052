#include "imaging/VideoFrame.h"

namespace {

// Fixed-point weights, 16 fraction bits, that turn luma and chroma into
// 0..255 red, green and blue: R = Y' + Vr V', G = Y' - Ug U' - Vg V',
// B = Y' + Ub U', where Y' is the luma stretched to full scale and U', V'
// the chroma less 128, likewise stretched.
struct Weights {
    int32_t luma, lumaOffset;
    int32_t vr, ug, vg, ub;
};

constexpr int32_t one = 1 << 16;
constexpr int32_t half = 1 << 15;

int32_t Fixed(double value) { return int32_t(value * one + (value < 0 ? -0.5 : 0.5)); }

Weights WeightsOf(YuvMatrix matrix, YuvRange range) {
    const double kr = matrix == YuvMatrix::bt709 ? 0.2126 : 0.299;
    const double kb = matrix == YuvMatrix::bt709 ? 0.0722 : 0.114;
    const double kg = 1 - kr - kb;
    const bool studio = range == YuvRange::studio;
    const double luma = studio ? 255.0 / 219.0 : 1.0;
    const double chroma = studio ? 255.0 / 224.0 : 1.0;
    return Weights{Fixed(luma),
                   studio ? 16 : 0,
                   Fixed(chroma * 2 * (1 - kr)),
                   Fixed(chroma * 2 * (1 - kb) * kb / kg),
                   Fixed(chroma * 2 * (1 - kr) * kr / kg),
                   Fixed(chroma * 2 * (1 - kb))};
}

inline uint8_t Clamp8(int32_t value) {
    value >>= 16;
    return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
}

// The chroma of one pair of pixels, as the amounts it adds to red, green
// and blue (rounding included).
struct ChromaTerms {
    int32_t r, g, b;
};

inline ChromaTerms Chroma(const Weights& w, int32_t u, int32_t v) {
    u -= 128;
    v -= 128;
    return ChromaTerms{w.vr * v + half, half - w.ug * u - w.vg * v, w.ub * u + half};
}

inline void Pixel(const Weights& w, const ChromaTerms& c, int32_t y, uint8_t* out) {
    const int32_t luma = w.luma * (y - w.lumaOffset);
    out[0] = Clamp8(luma + c.b);
    out[1] = Clamp8(luma + c.g);
    out[2] = Clamp8(luma + c.r);
}

// One row of a layout with chroma at half width: luma bytes lumaStep
// apart, U and V bytes chromaStep apart per pair of pixels.
void ConvertRow(const Weights& w, const uint8_t* luma, int lumaStep, const uint8_t* u, const uint8_t* v, int chromaStep,
                int32_t left, int32_t width, uint8_t* out) {
    int32_t x = left;
    const int32_t end = left + width;
    if (x & 1) {  // an odd first column shares its chroma with the column before
        Pixel(w, Chroma(w, u[(x >> 1) * chromaStep], v[(x >> 1) * chromaStep]), luma[x * lumaStep], out);
        ++x;
        out += 3;
    }
    for (; x + 1 < end; x += 2, out += 6) {
        const int32_t pair = (x >> 1) * chromaStep;
        const ChromaTerms c = Chroma(w, u[pair], v[pair]);
        Pixel(w, c, luma[x * lumaStep], out);
        Pixel(w, c, luma[(x + 1) * lumaStep], out + 3);
    }
    if (x < end)
        Pixel(w, Chroma(w, u[(x >> 1) * chromaStep], v[(x >> 1) * chromaStep]), luma[x * lumaStep], out);
}

void ConvertBgrxRow(const uint8_t* in, int32_t width, uint8_t* out) {
    for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
    }
}

}  // namespace

uint64_t VideoFrameBytes(const VideoFrame& f) {
    if (f.stride <= 0 || f.planeRows <= 0 || f.width <= 0 || f.height <= 0 || f.left < 0 || f.top < 0 ||
        int64_t(f.top) + f.height > f.planeRows)
        return 0;
    const int64_t right = int64_t(f.left) + f.width;
    const int64_t pairsRight = right + (right & 1);  // chroma covers whole pairs
    const uint64_t plane = uint64_t(f.stride) * uint64_t(f.planeRows);
    const uint64_t chromaRows = (uint64_t(f.planeRows) + 1) / 2;
    switch (f.layout) {
    case VideoLayout::nv12:
        return pairsRight > f.stride ? 0 : plane + uint64_t(f.stride) * chromaRows;
    case VideoLayout::i420:
        return pairsRight > f.stride / 2 * 2 ? 0 : plane + 2 * uint64_t(f.stride / 2) * chromaRows;
    case VideoLayout::yuy2:
        return pairsRight * 2 > f.stride ? 0 : plane;
    case VideoLayout::bgrx:
        return right * 4 > f.stride ? 0 : plane;
    }
    return 0;
}

void ConvertVideoFrame(const VideoFrame& f, uint8_t* out, ptrdiff_t outStride) {
    const Weights w = WeightsOf(f.matrix, f.range);
    const uint8_t* chromaPlane = f.rows + ptrdiff_t(f.stride) * f.planeRows;
    const ptrdiff_t chromaStride = f.layout == VideoLayout::i420 ? f.stride / 2 : f.stride;
    const ptrdiff_t vPlaneOffset = chromaStride * ((f.planeRows + 1) / 2);
    for (int32_t y = f.top; y < f.top + f.height; ++y, out += outStride) {
        const uint8_t* row = f.rows + ptrdiff_t(y) * f.stride;
        const uint8_t* chromaRow = chromaPlane + ptrdiff_t(y >> 1) * chromaStride;
        switch (f.layout) {
        case VideoLayout::nv12:
            ConvertRow(w, row, 1, chromaRow, chromaRow + 1, 2, f.left, f.width, out);
            break;
        case VideoLayout::i420:
            ConvertRow(w, row, 1, chromaRow, chromaRow + vPlaneOffset, 1, f.left, f.width, out);
            break;
        case VideoLayout::yuy2:
            ConvertRow(w, row, 2, row + 1, row + 3, 4, f.left, f.width, out);
            break;
        case VideoLayout::bgrx:
            ConvertBgrxRow(row + 4 * ptrdiff_t(f.left), f.width, out);
            break;
        }
    }
}
