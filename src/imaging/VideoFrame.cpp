#include "imaging/VideoFrame.h"

#include <cstring>

#include <algorithm>

#include "platform/Processor.h"

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#endif

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

// The arithmetic of every pixel, one at a time here and sixteen at a time in
// the SSE2 lanes below, step for step the same so that every processor shows
// the same bytes: the weights with 13 fraction bits in 16-bit lanes, each
// product keeping 5 fraction bits of the 0..255 result, below 32768.
struct LaneWeights {
    int16_t luma, bias, vr, ug, vg, ub;
};

LaneWeights LanesOf(const Weights& w) {
    const auto lane = [](int32_t weight) { return int16_t((weight + 4) >> 3); };
    const int32_t luma = (w.luma + 4) >> 3;
    // Half a unit rounds; the luma offset is taken off after the product.
    return LaneWeights{int16_t(luma), int16_t(16 - ((w.lumaOffset * luma + 128) >> 8)),
                       lane(w.vr),    lane(w.ug),
                       lane(w.vg),    lane(w.ub)};
}

// The high halves of 16-bit products, signed and unsigned.
inline int16_t MulHigh(int16_t a, int16_t b) { return int16_t((int32_t(a) * b) >> 16); }
inline int16_t MulHighUnsigned(uint16_t a, uint16_t b) { return int16_t((uint32_t(a) * b) >> 16); }

// A channel of 5 fraction bits, the sum saturated at 16 bits, to 0..255.
inline uint8_t Channel(int16_t luma, int16_t chroma) {
    const int32_t sum = std::min(32767, std::max(-32768, luma + chroma)) >> 5;
    return uint8_t(sum < 0 ? 0 : sum > 255 ? 255 : sum);
}

// The chroma of one pair of pixels, as the amounts it adds to red, green
// and blue.
struct ChromaTerms {
    int16_t r, g, b;
};

inline ChromaTerms Chroma(const LaneWeights& w, int32_t u, int32_t v) {
    const int16_t us = int16_t((u - 128) * 256), vs = int16_t((v - 128) * 256);
    return ChromaTerms{MulHigh(vs, w.vr), int16_t(-(MulHigh(us, w.ug) + MulHigh(vs, w.vg))), MulHigh(us, w.ub)};
}

inline void Pixel(const LaneWeights& w, const ChromaTerms& c, int32_t y, uint8_t* out) {
    const int16_t luma = int16_t(MulHighUnsigned(uint16_t(y * 256), uint16_t(w.luma)) + w.bias);
    out[0] = Channel(luma, c.b);
    out[1] = Channel(luma, c.g);
    out[2] = Channel(luma, c.r);
}

#if defined(__i386__) || defined(__x86_64__)
struct LaneVectors {
    __m128i luma, bias, vr, ug, vg, ub;
};

SSE2_KERNEL inline LaneVectors VectorsOfSse2(const LaneWeights& w) {
    return LaneVectors{_mm_set1_epi16(w.luma), _mm_set1_epi16(w.bias), _mm_set1_epi16(w.vr),
                       _mm_set1_epi16(w.ug),   _mm_set1_epi16(w.vg),   _mm_set1_epi16(w.ub)};
}

// Eight lanes of luma (two halves of sixteen pixels) plus a chroma term per
// pair, to sixteen bytes of one channel.
SSE2_KERNEL inline __m128i ChannelSse2(__m128i lumaLow, __m128i lumaHigh, __m128i chroma) {
    const __m128i low = _mm_srai_epi16(_mm_adds_epi16(lumaLow, _mm_unpacklo_epi16(chroma, chroma)), 5);
    const __m128i high = _mm_srai_epi16(_mm_adds_epi16(lumaHigh, _mm_unpackhi_epi16(chroma, chroma)), 5);
    return _mm_packus_epi16(low, high);
}

// Sixteen pixels: their luma bytes, and the U and V of their eight pairs in
// 16-bit lanes. Writes 48 bytes of B, G, R and one byte more, which the
// caller's next pixel overwrites.
SSE2_KERNEL inline void Convert16Sse2(const LaneVectors& w, const uint8_t* luma, __m128i u, __m128i v, uint8_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i centre = _mm_set1_epi16(128);
    u = _mm_slli_epi16(_mm_sub_epi16(u, centre), 8);
    v = _mm_slli_epi16(_mm_sub_epi16(v, centre), 8);
    const __m128i r = _mm_mulhi_epi16(v, w.vr);
    const __m128i g = _mm_sub_epi16(zero, _mm_add_epi16(_mm_mulhi_epi16(u, w.ug), _mm_mulhi_epi16(v, w.vg)));
    const __m128i b = _mm_mulhi_epi16(u, w.ub);
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(luma));
    // Luma in the high byte of each lane: Y * 256, unsigned.
    const __m128i yl = _mm_add_epi16(_mm_mulhi_epu16(_mm_unpacklo_epi8(zero, y), w.luma), w.bias);
    const __m128i yh = _mm_add_epi16(_mm_mulhi_epu16(_mm_unpackhi_epi8(zero, y), w.luma), w.bias);
    const __m128i r8 = ChannelSse2(yl, yh, r), g8 = ChannelSse2(yl, yh, g), b8 = ChannelSse2(yl, yh, b);
    const __m128i bgLow = _mm_unpacklo_epi8(b8, g8), bgHigh = _mm_unpackhi_epi8(b8, g8);
    const __m128i rLow = _mm_unpacklo_epi8(r8, zero), rHigh = _mm_unpackhi_epi8(r8, zero);
    uint32_t pixels[16];  // unaligned stores: a 32-bit Windows stack is aligned to 4 bytes only
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_unpacklo_epi16(bgLow, rLow));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + 4), _mm_unpackhi_epi16(bgLow, rLow));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + 8), _mm_unpacklo_epi16(bgHigh, rHigh));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + 12), _mm_unpackhi_epi16(bgHigh, rHigh));
    for (int i = 0; i < 16; ++i)
        std::memcpy(out + 3 * i, &pixels[i], 4);
}

// Sixteen pixels at a time from the even column x while one more pixel
// follows them; returns the column after the last converted.
SSE2_KERNEL int32_t ConvertBlocksSse2(const LaneWeights& weights, const uint8_t* luma, const uint8_t* u,
                                      const uint8_t* v, int chromaStep, int32_t x, int32_t end, uint8_t*& out) {
    const LaneVectors w = VectorsOfSse2(weights);
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_set1_epi16(0xFF);
    for (; x + 16 < end; x += 16, out += 48) {
        __m128i uLanes, vLanes;
        if (chromaStep == 2) {  // U, V pairs
            const __m128i pairs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(u + x));
            uLanes = _mm_and_si128(pairs, low);
            vLanes = _mm_srli_epi16(pairs, 8);
        } else {
            uLanes = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(u + x / 2)), zero);
            vLanes = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + x / 2)), zero);
        }
        Convert16Sse2(w, luma + x, uLanes, vLanes, out);
    }
    return x;
}
#endif

// One row of a layout with chroma at half width: luma bytes lumaStep
// apart, U and V bytes chromaStep apart per pair of pixels.
void ConvertRow(const LaneWeights& w, const uint8_t* luma, int lumaStep, const uint8_t* u, const uint8_t* v,
                int chromaStep, int32_t left, int32_t width, uint8_t* out) {
    int32_t x = left;
    const int32_t end = left + width;
    if (x & 1) {  // an odd first column shares its chroma with the column before
        Pixel(w, Chroma(w, u[(x >> 1) * chromaStep], v[(x >> 1) * chromaStep]), luma[x * lumaStep], out);
        ++x;
        out += 3;
    }
#if defined(__i386__) || defined(__x86_64__)
    if (lumaStep == 1 && CpuHasSse2())
        x = ConvertBlocksSse2(w, luma, u, v, chromaStep, x, end, out);
#endif
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

// Bytes per row of the first plane for each byte of its width, times 2, and
// bytes of all planes for each of its rows, times 2.
int32_t WidthBytes2(VideoLayout layout) {
    return layout == VideoLayout::bgrx ? 8 : layout == VideoLayout::yuy2 ? 4 : 2;
}
uint64_t PlanesPerRow2(VideoLayout layout) {
    return layout == VideoLayout::nv12 || layout == VideoLayout::i420 ? 3 : 2;
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
    const LaneWeights w = LanesOf(WeightsOf(f.matrix, f.range));
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

bool PlaceVideoRows(VideoLayout layout, int32_t stride, int32_t width, int32_t height, uint64_t length,
                    VideoFrame* frame) {
    const uint64_t widthBytes = uint64_t(width) * WidthBytes2(layout) / 2;
    for (uint64_t align = 1; align <= 128; align *= 2) {
        const uint64_t tried = stride > 0 ? uint64_t(stride) : (widthBytes + align - 1) / align * align;
        const uint64_t rowBytes = tried * PlanesPerRow2(layout) / 2;
        const uint64_t rows = rowBytes ? length / rowBytes : 0;
        const bool padded = rows >= uint64_t(height) && rows <= uint64_t(height) + 256;
        if (stride > 0 || (padded && rows * rowBytes == length)) {
            // A stride given stands; a guessed one must fill the buffer with
            // whole rows exactly.
            frame->stride = int32_t(tried);
            frame->planeRows = padded ? int32_t(rows) : height;
            return tried <= uint64_t(INT32_MAX);
        }
    }
    return false;
}
