// Projective warp of a picture onto a quadrilateral, bilinearly filtered: the
// second half of every 3D turn, run twice per frame on the whole canvas.
//
// Corners are normalised by W - 1 and H - 1, destinations by W and H; the map
// from the unit square to the corners is inverted through its adjugate, and
// each destination pixel takes SampleBilinear at the source position the
// inverse gives. The loops below evaluate the same double expressions in the
// same order as that per-pixel definition (the column products once per
// call, the row products once per row), so the result is the same to the bit.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

#include "effects/Enlarge.h"
#include "platform/Processor.h"
#include "imaging/KBitmap.h"
#include "imaging/RowAccess.h"

#if defined(__i386__) || defined(__x86_64__)
#define WARP_SSE2 1
#include <emmintrin.h>
#endif

namespace {

// Inverse map, destination (x / W, y / H) to the unit square:
//   u = (A xn + B yn + C) / q,  v = (D xn + E yn + F) / q,  q = G xn + H yn + I.
// A degenerate quadrilateral (zero determinant) makes every coefficient NaN.
struct InverseMap {
    double A, B, C, D, E, F, G, H, I;
};

InverseMap InverseOf(const POINT* quad, int width, int height) {
    const double wn = width - 1, hn = height - 1;
    const double X0 = quad[0].x / wn, X1 = quad[1].x / wn, X3 = quad[3].x / wn;
    const double Y0 = quad[0].y / hn, Y1 = quad[1].y / hn, Y3 = quad[3].y / hn;
    // Differences and sums in 64 bits: the points may be anywhere.
    const int64_t x0 = quad[0].x, x1 = quad[1].x, x2 = quad[2].x, x3 = quad[3].x;
    const int64_t y0 = quad[0].y, y1 = quad[1].y, y2 = quad[2].y, y3 = quad[3].y;
    const double dx1 = double(x1 - x2) / wn, dx2 = double(x3 - x2) / wn;
    const double sx = double(x0 - x1 + x2 - x3) / wn;
    const double dy1 = double(y1 - y2) / hn, dy2 = double(y3 - y2) / hn;
    const double sy = double(y0 - y1 + y2 - y3) / hn;
    const double det = dx1 * dy2 - dy1 * dx2;
    const double g = (sx * dy2 - sy * dx2) / det;
    const double h = (sy * dx1 - sx * dy1) / det;
    // Forward map: X = (a u + b v + c) / (g u + h v + 1), Y = (d u + e v + f) / (...).
    const double a = X1 - X0 + g * X1, b = X3 - X0 + h * X3, c = X0;
    const double d = Y1 - Y0 + g * Y1, e = Y3 - Y0 + h * Y3, f = Y0;
    return InverseMap{e - f * h,     c * h - b,     b * f - c * e,  //
                      f * g - d,     a - c * g,     c * d - a * f,  //
                      d * h - e * g, b * g - a * h, a * e - b * d};
}

// Every byte value as a double, read instead of converted per sample.
struct ByteValues {
    double value[256];
    constexpr ByteValues() : value() {
        for (int i = 0; i < 256; ++i)
            value[i] = i;
    }
};
constexpr ByteValues kByteValues;

// Where the rows of a picture lie; copied into each loop so that the stores
// into the output rows cannot be taken to change it.
struct Rows {
    const BYTE* top;  // picture row 0 (stored last: rows run bottom-up)
    int stride, width, height;
    const BYTE* Row(int y) const { return top - static_cast<ptrdiff_t>(y) * stride; }
};

inline uint32_t Bytes24(const BYTE* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16; }

// One pixel of a 24-bit picture without a transparent colour, the common case
// of the frame cycle: SampleBilinear's blend on the stored bytes (blue,
// green, red).
inline void BlendPixel24(const Rows& rows, double px, double py, uint32_t background, BYTE* out) {
    if (!(px > -1.0 && px < rows.width && py > -1.0 && py < rows.height)) {
        out[0] = static_cast<BYTE>(background >> 16);
        out[1] = static_cast<BYTE>(background >> 8);
        out[2] = static_cast<BYTE>(background);
        return;
    }
    const int x0 = static_cast<int>(px), y0 = static_cast<int>(py);
    const BYTE* p00 = rows.Row(y0) + 3 * x0;
    const ptrdiff_t across = x0 + 1 < rows.width ? 3 : 0;
    const ptrdiff_t down = y0 + 1 < rows.height ? -static_cast<ptrdiff_t>(rows.stride) : 0;
    const BYTE* p10 = p00 + across;
    const BYTE* p01 = p00 + down;
    const BYTE* p11 = p01 + across;
    const uint32_t c00 = Bytes24(p00);
    if (((c00 ^ Bytes24(p10)) | (c00 ^ Bytes24(p01)) | (c00 ^ Bytes24(p11))) == 0) {
        out[0] = p00[0], out[1] = p00[1], out[2] = p00[2];  // four equal samples: see Blend
        return;
    }
    const double fx = px - x0, fy = py - y0;
    const double w11 = fx * fy;
    const double w01 = fy - w11;
    const double w10 = fx - w11;
    const double w00 = 1.0 - (w01 + w11 + w10);
    const double* value = kByteValues.value;
    int channel[3];
    for (int i = 0; i < 3; ++i)
        channel[i] = static_cast<int>(value[p00[i]] * w00 + value[p01[i]] * w01 + value[p10[i]] * w10 +
                                      value[p11[i]] * w11 + 0.5);
    out[0] = static_cast<BYTE>(channel[0]);
    out[1] = static_cast<BYTE>(channel[1]);
    out[2] = static_cast<BYTE>(channel[2]);
}

// A row of such pixels.
void BlendRow24(const Rows rows, const double* positionX, const double* positionY, int count, uint32_t background,
                BYTE* out) {
    for (int x = 0; x < count; ++x)
        BlendPixel24(rows, positionX[x], positionY[x], background, out + 3 * x);
}

#if defined(WARP_SSE2)
// True when the six low bytes of top (a sample and its right neighbour) and
// of bottom (the two below) hold one colour four times.
SSE2_KERNEL inline bool FourEqualSse2(__m128i top, __m128i bottom) {
    const __m128i same = _mm_cmpeq_epi8(top, bottom);
    const __m128i shifted = _mm_cmpeq_epi8(top, _mm_srli_epi64(top, 24));
    // Bytes 0-5 of top equal to bottom's, and bytes 0-2 equal to bytes 3-5.
    return (_mm_movemask_epi8(same) & 0x3F) == 0x3F && (_mm_movemask_epi8(shifted) & 0x07) == 0x07;
}

// BlendRow24 with SSE2 (every x86-64 processor, and 32-bit ones from the
// Pentium 4 on): two neighbouring pixels that both find a source away from
// the last columns are blended together, one per lane: the same double
// operations in the same order, without the equal-sample shortcut (which
// gives the same bytes). The samples are read as whole pixel pairs and
// widened in the vector registers, since a byte-by-byte read leaves the loop
// waiting on its loads.
SSE2_KERNEL void BlendRow24Sse2(const Rows rows, const double* positionX, const double* positionY, int count,
                                uint32_t background, BYTE* out) {
    int x = 0;
    const __m128d minusOne = _mm_set1_pd(-1.0), one = _mm_set1_pd(1.0), half = _mm_set1_pd(0.5);
    const __m128d right = _mm_set1_pd(rows.width), bottom = _mm_set1_pd(rows.height);
    const __m128i zero = _mm_setzero_si128();
    for (; x + 1 < count; x += 2) {
        const __m128d px = _mm_loadu_pd(positionX + x), py = _mm_loadu_pd(positionY + x);
        const __m128d inside = _mm_and_pd(_mm_and_pd(_mm_cmpgt_pd(px, minusOne), _mm_cmplt_pd(px, right)),
                                          _mm_and_pd(_mm_cmpgt_pd(py, minusOne), _mm_cmplt_pd(py, bottom)));
        if (_mm_movemask_pd(inside) != 3) {
            BlendPixel24(rows, positionX[x], positionY[x], background, out + 3 * x);
            BlendPixel24(rows, positionX[x + 1], positionY[x + 1], background, out + 3 * x + 3);
            continue;
        }
        const __m128i ix = _mm_cvttpd_epi32(px), iy = _mm_cvttpd_epi32(py);
        const int x0[2] = {_mm_cvtsi128_si32(ix), _mm_cvtsi128_si32(_mm_srli_si128(ix, 4))};
        const int y0[2] = {_mm_cvtsi128_si32(iy), _mm_cvtsi128_si32(_mm_srli_si128(iy, 4))};
        if (x0[0] + 2 >= rows.width || x0[1] + 2 >= rows.width) {
            // Next to the last column: its neighbour is clamped, and eight
            // bytes from the sample would leave the row.
            BlendPixel24(rows, positionX[x], positionY[x], background, out + 3 * x);
            BlendPixel24(rows, positionX[x + 1], positionY[x + 1], background, out + 3 * x + 3);
            continue;
        }
        const __m128d fx = _mm_sub_pd(px, _mm_cvtepi32_pd(ix));
        const __m128d fy = _mm_sub_pd(py, _mm_cvtepi32_pd(iy));
        const __m128d w11 = _mm_mul_pd(fx, fy);
        const __m128d w01 = _mm_sub_pd(fy, w11);
        const __m128d w10 = _mm_sub_pd(fx, w11);
        const __m128d w00 = _mm_sub_pd(one, _mm_add_pd(_mm_add_pd(w01, w11), w10));
        // Per lane, eight bytes from the top-left sample hold it and its
        // right neighbour (all within the row, as x0 + 2 < width), likewise
        // from the bottom-left one. Interleaving the two lanes' bytes and
        // widening them gives, per channel and sample, both lanes' bytes as
        // 32-bit integers, converted exactly to doubles.
        __m128i pairs[2][2];  // [top, bottom][lane]
        for (int lane = 0; lane < 2; ++lane) {
            const BYTE* p00 = rows.Row(y0[lane]) + 3 * x0[lane];
            const ptrdiff_t down = y0[lane] + 1 < rows.height ? -static_cast<ptrdiff_t>(rows.stride) : 0;
            pairs[0][lane] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p00));
            pairs[1][lane] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p00 + down));
        }
        // Four equal samples in both lanes (the black border of a turning
        // canvas, flat areas of a picture): each lane's colour as it is, as
        // BlendPixel24 gives it.
        BYTE* pair = out + 3 * x;
        if (FourEqualSse2(pairs[0][0], pairs[1][0]) && FourEqualSse2(pairs[0][1], pairs[1][1])) {
            const uint32_t left = static_cast<uint32_t>(_mm_cvtsi128_si32(pairs[0][0]));
            const uint32_t right = static_cast<uint32_t>(_mm_cvtsi128_si32(pairs[0][1]));
            pair[0] = BYTE(left), pair[1] = BYTE(left >> 8), pair[2] = BYTE(left >> 16);
            pair[3] = BYTE(right), pair[4] = BYTE(right >> 8), pair[5] = BYTE(right >> 16);
            continue;
        }
        __m128d sample[2][2][3];  // [top, bottom][left, right][channel]
        for (int r = 0; r < 2; ++r) {
            const __m128i bytes = _mm_unpacklo_epi8(pairs[r][0], pairs[r][1]);
            const __m128i low = _mm_unpacklo_epi8(bytes, zero), high = _mm_unpackhi_epi8(bytes, zero);
            const __m128i v0 = _mm_unpacklo_epi16(low, zero);   // left: channels 0, 1
            const __m128i v1 = _mm_unpackhi_epi16(low, zero);   // left: channel 2; right: channel 0
            const __m128i v2 = _mm_unpacklo_epi16(high, zero);  // right: channels 1, 2
            sample[r][0][0] = _mm_cvtepi32_pd(v0);
            sample[r][0][1] = _mm_cvtepi32_pd(_mm_srli_si128(v0, 8));
            sample[r][0][2] = _mm_cvtepi32_pd(v1);
            sample[r][1][0] = _mm_cvtepi32_pd(_mm_srli_si128(v1, 8));
            sample[r][1][1] = _mm_cvtepi32_pd(v2);
            sample[r][1][2] = _mm_cvtepi32_pd(_mm_srli_si128(v2, 8));
        }
        for (int i = 0; i < 3; ++i) {
            __m128d sum = _mm_add_pd(_mm_mul_pd(sample[0][0][i], w00), _mm_mul_pd(sample[1][0][i], w01));
            sum = _mm_add_pd(sum, _mm_mul_pd(sample[0][1][i], w10));
            sum = _mm_add_pd(sum, _mm_mul_pd(sample[1][1][i], w11));
            const __m128i channel = _mm_cvttpd_epi32(_mm_add_pd(sum, half));
            pair[i] = static_cast<BYTE>(_mm_cvtsi128_si32(channel));
            pair[3 + i] = static_cast<BYTE>(_mm_cvtsi128_si32(_mm_srli_si128(channel, 4)));
        }
    }
    BlendRow24(rows, positionX + x, positionY + x, count - x, background, out + 3 * x);
}
#endif

// SampleBilinear's blend of four samples. Four equal samples give their own
// colour without the arithmetic: the weights sum to 1 within a few units in
// the last place, so c w00 + c w01 + c w10 + c w11 + 0.5 lies within 1e-11 of
// c + 0.5 and truncates to c.
uint32_t Blend(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, double fx, double fy, bool checkTransparent,
               uint32_t transparent) {
    const uint32_t a = c00 & 0xFFFFFF, b = c10 & 0xFFFFFF, c = c01 & 0xFFFFFF, d = c11 & 0xFFFFFF;
    if (checkTransparent && (a == transparent || b == transparent || c == transparent || d == transparent))
        return c00;
    if (a == b && a == c && a == d)
        return a;
    return pixel::BlendBilinear(c00, c10, c01, c11, fx, fy);
}

// Any depth: palette pictures by nearest pixel, the others blended.
template <int Depth>
void SampleRow(const Rows rows, const double* positionX, const double* positionY, int first, int end,
               uint32_t background, uint32_t transparent, const uint32_t* lut, BYTE* out) {
    const double right = rows.width, bottom = rows.height;
    const bool checkTransparent = transparent != KBitmap::kNoTransparentColour;
    for (int x = first; x < end; ++x) {
        const double px = positionX[x], py = positionY[x];
        uint32_t colour = background;
        if constexpr (Depth <= 8) {
            // Never blended: the nearest pixel, limited to the last column and row.
            const double nx = px + 0.5, ny = py + 0.5;
            if (nx > -1.0 && ny > -1.0) {
                const int sx = nx >= right ? rows.width - 1 : static_cast<int>(nx);
                const int sy = ny >= bottom ? rows.height - 1 : static_cast<int>(ny);
                colour = pixel::Read<Depth>(rows.Row(sy), sx, lut);
            }
        } else if (px > -1.0 && px < right && py > -1.0 && py < bottom) {
            // Inside (-1, size) the truncated position is a pixel of the
            // picture; between -1 and 0 the fraction is negative and the blend
            // extrapolates.
            const int x0 = static_cast<int>(px), y0 = static_cast<int>(py);
            const int x1 = x0 + 1 < rows.width ? x0 + 1 : x0;
            const BYTE* row0 = rows.Row(y0);
            const BYTE* row1 = y0 + 1 < rows.height ? rows.Row(y0 + 1) : row0;
            colour = Blend(pixel::Read<Depth>(row0, x0, lut), pixel::Read<Depth>(row0, x1, lut),
                           pixel::Read<Depth>(row1, x0, lut), pixel::Read<Depth>(row1, x1, lut), px - x0, py - y0,
                           checkTransparent, transparent);
        }
        pixel::Write<Depth>(out, x, colour);
    }
}

struct Warp {
    const KBitmap& source;
    KBitmap& target;
    const InverseMap m;
    // Per column x: A xn, D xn, G xn with xn = x / W.
    const double* columnA;
    const double* columnD;
    const double* columnG;
    // One row of source positions.
    double* positionX;
    double* positionY;
    // Source positions outside (loX, hiX) x (loY, hiY) give the background:
    // outside the picture, or (a 24-bit picture on black, blended) sampling
    // only black pixels around the lit area.
    double loX, hiX, loY, hiY;
    bool sse2 = CpuHasSse2();

    template <int Depth>
    void Run() {
        const int width = source.Width(), height = source.Height(), stride = source.Stride();
        const Rows rows{source.Row(0, height, stride), stride, width, height};
        const uint32_t background = source.backgroundColour;
        const uint32_t transparent = source.transparentColour;
        uint32_t lut[256] = {};
        if constexpr (Depth <= 8) {
            const pixel::PaletteLut palette(source);
            for (int i = 0; i < 256; ++i)
                lut[i] = palette.colour[i];
        }
        loX = -1.0, hiX = width, loY = -1.0, hiY = height;
        if (Depth == 24 && transparent == KBitmap::kNoTransparentColour && (background & 0xFFFFFF) == 0)
            LimitToLitArea(rows);
        for (int y = 0; y < height; ++y) {
            // Palette pictures take the nearest pixel, clamped to the last
            // column and row, so their rows have no end to cut off.
            int first = 0, end = width;
            if constexpr (Depth > 8)
                SourceSpan(y, width, height, first, end);
            RowPositions(y, first, end, width, height);
            BYTE* out = target.Row(y, height, stride);
            for (int x = 0; x < first; ++x)
                pixel::Write<Depth>(out, x, background);
            if (Depth == 24 && transparent == KBitmap::kNoTransparentColour)
                BlendRow(rows, positionX + first, positionY + first, end - first, background, out + 3 * first);
            else
                SampleRow<Depth>(rows, positionX, positionY, first, end, background, transparent, lut, out);
            for (int x = end; x < width; ++x)
                pixel::Write<Depth>(out, x, background);
        }
    }

    void BlendRow(const Rows& rows, const double* positionX, const double* positionY, int count, uint32_t background,
                  BYTE* out) const {
#if defined(WARP_SSE2)
        if (sse2) {
            BlendRow24Sse2(rows, positionX, positionY, count, background, out);
            return;
        }
#endif
        BlendRow24(rows, positionX, positionY, count, background, out);
    }

    // A position at or past the lit area's right or bottom edge, or more
    // than a pixel before its left or top edge, blends four black samples
    // (or none): black, the background. Before column 2 the limit stays at
    // -1, as a position in (-1, 0) blends columns 0 and 1.
    void LimitToLitArea(const Rows& rows) {
        const RECT lit = NonBlackArea(rows.top, -static_cast<ptrdiff_t>(rows.stride), rows.width, rows.height);
        if (lit.right == 0) {
            hiX = -1.0;  // all black: nothing to blend anywhere
            return;
        }
        if (lit.left >= 2)
            loX = lit.left - 1.0;
        if (lit.top >= 2)
            loY = lit.top - 1.0;
        hiX = lit.right;
        hiY = lit.bottom;
    }

    // The columns [first, end) of destination row y outside which no source
    // position can fall inside the picture, found without dividing per pixel.
    //
    // Along a row the numerators n (of u), m (of v) and the denominator q are
    // affine in x, up to a few units in the last place. A position lies in
    // the picture only if q has one sign s across it and
    //   s (W n + q) > 0,  s (q - n) > 0,  s (H m + q) > 0,  s (q - m) > 0,
    // (px > -1, px < W, py > -1, py < H). Each is an affine inequality in x,
    // solved here with a margin of 1e-9 of the size of its terms, far above
    // the rounding of the per-pixel sums and of the solving itself, and
    // widened by a column on each side: a pixel left out fails one of them
    // by more than any rounding could make up, so its exact position lies
    // outside too. Whatever does not fit these bounds (a denominator that
    // changes sign along the row, NaN or infinite coefficients) keeps the
    // whole row.
    void SourceSpan(int y, int width, int height, int& first, int& end) const {
        const double yn = double(y) / height;
        const double w = width, h = height;
        const double n0 = m.B * yn + m.C, m0 = m.E * yn + m.F, q0 = m.H * yn + m.I;  // at x = 0
        const double nSize = std::fabs(m.A) + std::fabs(m.B * yn) + std::fabs(m.C);
        const double mSize = std::fabs(m.D) + std::fabs(m.E * yn) + std::fabs(m.F);
        const double qSize = std::fabs(m.G) + std::fabs(m.H * yn) + std::fabs(m.I);
        const double slopeN = m.A / w, slopeM = m.D / w, slopeQ = m.G / w;  // per column
        const double qEnd = q0 + slopeQ * (w - 1), qMargin = 1e-9 * qSize;
        double sign;
        if (q0 > qMargin && qEnd > qMargin)
            sign = 1.0;
        else if (q0 < -qMargin && qEnd < -qMargin)
            sign = -1.0;
        else
            return;  // NaN as well
        // px > loX is s (W n - loX q) > 0, px < hiX is s (hiX q - W n) > 0, likewise for py.
        const struct {
            double slope, base, margin;
        } bounds[4] = {
            {w * slopeN - loX * slopeQ, w * n0 - loX * q0, 1e-9 * (w * nSize + std::fabs(loX) * qSize)},
            {hiX * slopeQ - w * slopeN, hiX * q0 - w * n0, 1e-9 * (w * nSize + std::fabs(hiX) * qSize)},
            {h * slopeM - loY * slopeQ, h * m0 - loY * q0, 1e-9 * (h * mSize + std::fabs(loY) * qSize)},
            {hiY * slopeQ - h * slopeM, hiY * q0 - h * m0, 1e-9 * (h * mSize + std::fabs(hiY) * qSize)},
        };
        double low = 0.0, high = w - 1;
        for (const auto& bound : bounds) {
            // Possibly inside where a x + b >= 0.
            const double a = sign * bound.slope, b = sign * bound.base + bound.margin;
            if (!std::isfinite(a) || !std::isfinite(b))
                return;
            if (a > 0.0)
                low = std::max(low, -b / a);
            else if (a < 0.0)
                high = std::min(high, -b / a);
            else if (b < 0.0)
                low = w;  // nowhere
        }
        // Limited to the row before converting, so that no value overflows.
        low = std::min(std::max(low, -2.0), w + 2);
        high = std::min(std::max(high, -2.0), w + 2);
        first = std::min(std::max(0, static_cast<int>(std::floor(low)) - 1), width);
        end = std::max(std::min(width, static_cast<int>(std::ceil(high)) + 2), first);
    }

    // The source positions (W u, H v) of destination row y. A loop of its own
    // with no branches, so that it runs two pixels at a time where the
    // target has vector registers (element by element, the same operations).
    void RowPositions(int y, int first, int end, int width, int height) {
        const double yn = double(y) / height;
        const double rowB = m.B * yn, rowE = m.E * yn, rowH = m.H * yn;
        const double c = m.C, f = m.F, i = m.I, w = width, h = height;
        const double* a = columnA;
        const double* d = columnD;
        const double* g = columnG;
        double* px = positionX;
        double* py = positionY;
        for (int x = first; x < end; ++x) {
            const double q = g[x] + rowH + i;
            px[x] = w * ((a[x] + rowB + c) / q);
            py[x] = h * ((d[x] + rowE + f) / q);
        }
    }
};

}  // namespace

bool KBitmap::WarpToQuad(const POINT* quad) {
    if (!quad || !HasPixels())
        return false;
    const int width = Width(), height = Height();
    if (quad[0].x == 0 && quad[0].y == 0 && quad[1].x == width - 1 && quad[1].y == 0 && quad[2].x == width - 1 &&
        quad[2].y == height - 1 && quad[3].x == 0 && quad[3].y == height - 1)
        return true;
    const InverseMap m = InverseOf(quad, width, height);

    KBitmap target;
    StartResult(target);
    // Three column tables and one row of source positions (the count checked
    // against a 32-bit size_t first).
    const uint64_t count = 5 * static_cast<uint64_t>(width);
    if (target.IsEmpty() || count > SIZE_MAX / sizeof(double))
        return false;
    std::unique_ptr<double[]> scratch(new (std::nothrow) double[static_cast<size_t>(count)]);
    if (!scratch)
        return false;
    double* columnA = scratch.get();
    double* columnD = columnA + width;
    double* columnG = columnD + width;
    for (int x = 0; x < width; ++x) {
        const double xn = double(x) / width;
        columnA[x] = m.A * xn;
        columnD[x] = m.D * xn;
        columnG[x] = m.G * xn;
    }
    Warp warp{*this, target, m, columnA, columnD, columnG, columnG + width, columnG + 2 * width, -1.0, 0.0, -1.0, 0.0};
    pixel::DispatchDepth(Depth(), warp);
    TakeResult(target);
    return true;
}
