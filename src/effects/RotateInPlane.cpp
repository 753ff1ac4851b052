// Turning a picture in the screen plane, nearest pixel by truncation. Runs on
// every frame of a turning picture, so everything that does not change per
// pixel is computed once per call (the sine and cosine, the column terms) or
// once per row; the per-pixel sums are the same double operations, in the
// same order, as the plain definition
//   sx = dx c + (dy s + cx),  sy = (dy c + cy) - dx s,
// with dx = x - cx, dy = y - cy, so the result is the same to the bit.
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

#include "platform/Processor.h"
#include "imaging/KBitmap.h"
#include "imaging/RowAccess.h"

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace {

// The truncated source positions of columns [first, end) of a row, in a loop
// of their own with no reads, so that it runs two pixels at a time where the
// target has vector registers (element by element, the same operations).
void TruncatedPositions(const double* columnCos, const double* columnSin, double rowX, double rowY, int first, int end,
                        int* sourceX, int* sourceY) {
    for (int x = first; x < end; ++x) {
        sourceX[x] = static_cast<int>(columnCos[x] + rowX);
        sourceY[x] = static_cast<int>(rowY - columnSin[x]);
    }
}

#if defined(__i386__) || defined(__x86_64__)
// The same loop with SSE2, two pixels at a time, each truncation one
// instruction (the x87 unit changes its rounding mode twice for every one).
SSE2_KERNEL void TruncatedPositionsSse2(const double* columnCos, const double* columnSin, double rowX, double rowY,
                                        int first, int end, int* sourceX, int* sourceY) {
    const __m128d rowXs = _mm_set1_pd(rowX), rowYs = _mm_set1_pd(rowY);
    int x = first;
    for (; x + 1 < end; x += 2) {
        const __m128i sx = _mm_cvttpd_epi32(_mm_add_pd(_mm_loadu_pd(columnCos + x), rowXs));
        const __m128i sy = _mm_cvttpd_epi32(_mm_sub_pd(rowYs, _mm_loadu_pd(columnSin + x)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(sourceX + x), sx);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(sourceY + x), sy);
    }
    TruncatedPositions(columnCos, columnSin, rowX, rowY, x, end, sourceX, sourceY);
}
#endif

struct PlaneTurn {
    const KBitmap& source;
    KBitmap& target;
    const double* columnCos;  // (x - cx) * c for every column x
    const double* columnSin;  // (x - cx) * s
    int* sourceX;             // one row of truncated source positions
    int* sourceY;
    double s, c, cx, cy;
    bool sse2 = CpuHasSse2();

    template <int Depth>
    void Run() {
        const int width = source.Width(), height = source.Height(), stride = source.Stride();
        uint32_t lut[256] = {};
        if constexpr (Depth <= 8) {
            const pixel::PaletteLut palette(source);
            for (int i = 0; i < 256; ++i)
                lut[i] = palette.colour[i];
        }
        const uint32_t background = source.backgroundColour;
        const double right = width, bottom = height;
        const BYTE* top = source.Row(0, height, stride);  // rows run bottom-up from here
        for (int y = 0; y < height; ++y) {
            const double dy = y - cy;
            const double rowX = dy * s + cx;
            const double rowY = dy * c + cy;
            // The truncated position lies in the picture exactly when the
            // position lies in (-1, size); NaN fails the test too. Along a
            // row both coordinates are monotonic in x (a fixed multiple of
            // x - cx plus a constant, each step rounded), so the pixels that
            // find a source form one run: background before and after it.
            auto inside = [&](int x) {
                const double sx = columnCos[x] + rowX, sy = rowY - columnSin[x];
                return sx > -1.0 && sx < right && sy > -1.0 && sy < bottom;
            };
            int first = 0, end = width;
            while (first < end && !inside(first))
                ++first;
            while (end > first && !inside(end - 1))
                --end;
            BYTE* out = target.Row(y, height, stride);
            for (int x = 0; x < first; ++x)
                pixel::Write<Depth>(out, x, background);
                // The truncated positions first, then the reads.
#if defined(__i386__) || defined(__x86_64__)
            if (sse2)
                TruncatedPositionsSse2(columnCos, columnSin, rowX, rowY, first, end, sourceX, sourceY);
            else
#endif
                TruncatedPositions(columnCos, columnSin, rowX, rowY, first, end, sourceX, sourceY);
            for (int x = first; x < end; ++x)
                pixel::Write<Depth>(
                    out, x, pixel::Read<Depth>(top - static_cast<ptrdiff_t>(sourceY[x]) * stride, sourceX[x], lut));
            for (int x = end; x < width; ++x)
                pixel::Write<Depth>(out, x, background);
        }
    }
};

}  // namespace

bool KBitmap::RotateInPlane(double angle) {
    if (!HasPixels())
        return false;
    if (angle == 0.0)
        return true;
    const double theta = angle * (std::acos(0.0) / 90.0);
    const double s = std::sin(theta), c = std::cos(theta);
    const int width = Width();
    const double cx = width * 0.5, cy = Height() * 0.5;

    // Same header and colour table; every pixel is written below (rows of a
    // depth the accessors do not support stay zero, as StartResult leaves them).
    KBitmap target;
    StartResult(target);
    // Two column tables and one row of source columns and rows (the count
    // checked against a 32-bit size_t first).
    const uint64_t count = 2 * static_cast<uint64_t>(width);
    if (target.IsEmpty() || count > SIZE_MAX / sizeof(double))
        return false;
    std::unique_ptr<double[]> columns(new (std::nothrow) double[static_cast<size_t>(count)]);
    std::unique_ptr<int[]> sources(new (std::nothrow) int[static_cast<size_t>(count)]);
    if (!columns || !sources)
        return false;
    double* columnCos = columns.get();
    double* columnSin = columnCos + width;
    for (int x = 0; x < width; ++x) {
        const double dx = x - cx;
        columnCos[x] = dx * c;
        columnSin[x] = dx * s;
    }
    int* sourceX = sources.get();
    PlaneTurn turn{*this, target, columnCos, columnSin, sourceX, sourceX + width, s, c, cx, cy};
    pixel::DispatchDepth(Depth(), turn);
    TakeResult(target);
    return true;
}
