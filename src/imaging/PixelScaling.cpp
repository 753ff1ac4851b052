// Resampling, resizing and area averages of a KBitmap.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/KBitmap.h"
#include "imaging/RowAccess.h"

namespace {

// Geometry of an uncompressed picture, fetched once per operation.
struct Geometry {
    int width;
    int height;
    int depth;
    int stride;
};

Geometry GeometryOf(const KBitmap& bitmap) {
    return Geometry{bitmap.Width(), bitmap.Height(), bitmap.Depth(), bitmap.Stride()};
}

// Sums of red, green and blue over the counted pixels of an area.
struct ChannelSums {
    uint64_t red = 0, green = 0, blue = 0, count = 0;
};

// Mean colour from channel sums: each channel truncate(sum / count) as
// doubles (the sums are exact integers well below 2^53); a transparent colour
// stands in when nothing was counted, black when there is none. The divider
// keeps the reciprocal of the last count, which neighbouring areas share.
uint32_t MeanColour(const ChannelSums& sums, uint32_t transparentColour, pixel::ChannelDivider& divider) {
    if (sums.count == 0) {
        if (transparentColour == KBitmap::kNoTransparentColour)
            return 0;
        return transparentColour & 0xFFFFFF;  // its channels divided by 1
    }
    const uint64_t r = divider.Divide(sums.red, sums.count) & 255;
    const uint64_t g = divider.Divide(sums.green, sums.count) & 255;
    const uint64_t b = divider.Divide(sums.blue, sums.count) & 255;
    return static_cast<uint32_t>(r | g << 8 | b << 16);
}

// Sums over rows top..bottom, columns left..right (inclusive, inside the
// picture; empty when left > right or top > bottom).
struct AreaSummer {
    const KBitmap& bitmap;
    const Geometry& g;
    const uint32_t* lut;
    int left, top, right, bottom;
    ChannelSums sums;

    template <int Depth>
    void Run() {
        const bool skipTransparent = bitmap.transparentColour != KBitmap::kNoTransparentColour;
        const uint32_t transparent = bitmap.transparentColour & 0xFFFFFF;
        uint64_t red = 0, green = 0, blue = 0, count = 0;
        if (!skipTransparent && (Depth == 24 || Depth == 32)) {
            // Every pixel counts: add the stored bytes straight away, in
            // chunks whose 32-bit sums cannot overflow.
            constexpr int bytes = Depth / 8;
            for (int y = top; y <= bottom; ++y) {
                const BYTE* p = bitmap.Row(y, g.height, g.stride) + bytes * static_cast<ptrdiff_t>(left);
                for (int remaining = right - left + 1; remaining > 0;) {
                    const int chunk = remaining < (1 << 16) ? remaining : (1 << 16);
                    uint32_t b = 0, gr = 0, r = 0;
                    for (int i = 0; i < chunk; ++i, p += bytes) {
                        b += p[0];
                        gr += p[1];
                        r += p[2];
                    }
                    blue += b;
                    green += gr;
                    red += r;
                    remaining -= chunk;
                }
            }
            sums = ChannelSums{red, green, blue, uint64_t(right - left + 1) * uint64_t(bottom - top + 1)};
            return;
        }
        for (int y = top; y <= bottom; ++y) {
            const BYTE* row = bitmap.Row(y, g.height, g.stride);
            for (int x = left; x <= right; ++x) {
                const uint32_t c = pixel::Read<Depth>(row, x, lut) & 0xFFFFFF;
                if (skipTransparent && c == transparent)
                    continue;
                red += c & 255;
                green += (c >> 8) & 255;
                blue += c >> 16;
                ++count;
            }
        }
        sums = ChannelSums{red, green, blue, count};
    }
};

ChannelSums SumArea(const KBitmap& bitmap, const Geometry& g, const uint32_t* lut, int left, int top, int right,
                    int bottom) {
    AreaSummer summer{bitmap, g, lut, left, top, right, bottom, {}};
    if (left > right || top > bottom)
        return summer.sums;
    if (!pixel::DispatchDepth(g.depth, summer)) {
        // Unsupported depths read every pixel as 0 (black).
        const bool skipped =
            bitmap.transparentColour != KBitmap::kNoTransparentColour && (bitmap.transparentColour & 0xFFFFFF) == 0;
        if (!skipped)
            summer.sums.count = uint64_t(right - left + 1) * uint64_t(bottom - top + 1);
    }
    return summer.sums;
}

// Nearest-pixel copy: reading with the index in the top byte and writing it
// back reproduces every stored pixel exactly (but the spare bit of 5-5-5), so
// the stored bits are copied.
struct NearestScaler {
    const KBitmap& source;
    const Geometry& from;
    KBitmap& target;
    const Geometry& to;
    const std::vector<int>& columns;  // source column of each new column
    const std::vector<int>& rows;     // source row of each new row

    template <int Depth>
    void Run() {
        if (Depth == 24 || Depth == 32) {
            CopyWhole<Depth / 8>();
            return;
        }
        for (int y = 0; y < to.height; ++y) {
            const BYTE* in = source.Row(rows[y], from.height, from.stride);
            BYTE* out = target.Row(y, to.height, to.stride);
            for (int x = 0; x < to.width; ++x) {
                const int sx = columns[x];
                if (Depth <= 8) {
                    pixel::WriteIndex(out, x, Depth, pixel::ReadIndex(in, sx, Depth));
                } else if (Depth == 15) {
                    // The unused top bit of a 5-5-5 word is not carried.
                    out[2 * x] = in[2 * sx];
                    out[2 * x + 1] = in[2 * sx + 1] & 0x7F;
                } else {
                    constexpr int bytes = Depth == 32 ? 4 : Depth == 24 ? 3 : 2;
                    for (int i = 0; i < bytes; ++i)
                        out[bytes * x + i] = in[bytes * sx + i];
                }
            }
        }
    }

    // Whole-byte pixels: byte offsets of the source columns are worked out
    // once, and each pixel moves as one unaligned word. A 24-bit pixel moves
    // as four bytes, the fourth overwritten by the next pixel; the last
    // columns, whose fourth byte may lie past the row (or the block), move
    // byte by byte.
    template <int Bytes>
    void CopyWhole() {
        std::vector<size_t> offsets(size_t(to.width));
        for (int x = 0; x < to.width; ++x)
            offsets[x] = size_t(Bytes) * size_t(columns[x]);
        int wordColumns = to.width;
        if (Bytes == 3) {
            // Pixels whose four-byte read and write both stay inside the rows.
            const size_t rowBytes = size_t(3) * size_t(from.width);
            wordColumns = from.width < 2 ? 0 : to.width - 1;
            while (wordColumns > 0 && offsets[wordColumns - 1] + 4 > rowBytes)
                --wordColumns;
        }
        for (int y = 0; y < to.height; ++y) {
            const BYTE* in = source.Row(rows[y], from.height, from.stride);
            BYTE* out = target.Row(y, to.height, to.stride);
            const size_t* offset = offsets.data();
            // The next row reads the same columns of another source row, far
            // from this one: ask for its cache lines now, one request per
            // eight pixels (a line each when shrinking to half or so), so
            // they arrive while this row is copied. Only a hint; it never
            // faults.
            const BYTE* ahead = y + 1 < to.height ? source.Row(rows[y + 1], from.height, from.stride) : in;
            int x = 0;
            for (; x < wordColumns; ++x) {
                if ((x & 7) == 0)
                    __builtin_prefetch(ahead + offset[x]);
                uint32_t word;
                std::memcpy(&word, in + offset[x], 4);
                std::memcpy(out + size_t(Bytes) * x, &word, 4);
            }
            for (; x < to.width; ++x)
                for (int i = 0; i < Bytes; ++i)
                    out[size_t(Bytes) * x + i] = in[offset[x] + i];
        }
    }
};

// Area averages of whole-byte pixels where every pixel counts. The rows of
// each new row's area are first added column by column into 16-bit sums (one
// pass over the bytes, the same for every area of that row); each new pixel
// then adds the sums of its columns. The sums are integers, so adding in this
// order gives the same totals as adding pixel by pixel.
template <int Bytes>
void AverageWholePixels(const KBitmap& source, const Geometry& from, KBitmap& target, const Geometry& to,
                        const std::vector<int>& lefts, const std::vector<int>& rights, const std::vector<int>& tops,
                        const std::vector<int>& bottoms) {
    // Spans are non-decreasing, so the columns any area uses run from the
    // first left to the last right.
    const int first = lefts.front();
    const int last = rights.back();
    std::vector<uint16_t> sums(last >= first ? size_t(last - first + 1) * Bytes : 0);
    std::vector<size_t> starts(size_t(to.width));
    for (int x = 0; x < to.width; ++x)
        starts[x] = size_t(lefts[x] - first) * Bytes;
    pixel::ChannelDivider divider;
    const size_t bytes = sums.size();
    for (int y = 0; y < to.height; ++y) {
        BYTE* out = target.Row(y, to.height, to.stride);
        const int top = tops[y], bottom = bottoms[y];
        if (top > bottom || bytes == 0) {
            // Nothing counted: black, as every area of this row is empty.
            for (int x = 0; x < to.width; ++x)
                pixel::Write<Bytes * 8>(out, x, 0);
            continue;
        }
        uint16_t* sum = sums.data();
        {
            const BYTE* in = source.Row(top, from.height, from.stride) + size_t(first) * Bytes;
            for (size_t i = 0; i < bytes; ++i)
                sum[i] = in[i];
        }
        for (int sy = top + 1; sy <= bottom; ++sy) {
            const BYTE* in = source.Row(sy, from.height, from.stride) + size_t(first) * Bytes;
            for (size_t i = 0; i < bytes; ++i)
                sum[i] = uint16_t(sum[i] + in[i]);
        }
        const uint64_t rowsCounted = uint64_t(bottom - top + 1);
        for (int x = 0; x < to.width; ++x) {
            const int left = lefts[x], right = rights[x];
            if (left > right) {
                pixel::Write<Bytes * 8>(out, x, 0);
                continue;
            }
            const uint16_t* column = sum + starts[x];
            uint64_t b = 0, g = 0, r = 0;
            for (int sx = left; sx <= right; ++sx, column += Bytes) {
                b += column[0];
                g += column[1];
                r += column[2];
            }
            const uint64_t count = uint64_t(right - left + 1) * rowsCounted;
            BYTE* p = out + size_t(Bytes) * x;
            p[0] = static_cast<BYTE>(divider.Divide(b, count));
            p[1] = static_cast<BYTE>(divider.Divide(g, count));
            p[2] = static_cast<BYTE>(divider.Divide(r, count));
            if (Bytes == 4)
                p[3] = 0;
        }
    }
}

struct AreaScaler {
    const KBitmap& source;
    const Geometry& from;
    KBitmap& target;
    const Geometry& to;
    // Inclusive source column and row spans of each new column and row,
    // already clamped to the picture.
    const std::vector<int>& lefts;
    const std::vector<int>& rights;
    const std::vector<int>& tops;
    const std::vector<int>& bottoms;

    // Rows of an area that 16-bit column sums of bytes can hold.
    static constexpr int kMaxSummedRows = 65535 / 255;

    bool ColumnSumsFit() const {
        int tallest = 0;
        for (size_t i = 0; i < tops.size(); ++i)
            tallest = std::max(tallest, bottoms[i] - tops[i] + 1);
        return tallest <= kMaxSummedRows;
    }

    template <int Depth>
    void Run() {
        if (Depth <= 8)
            return;  // palette pictures are never averaged
        const uint32_t transparentColour = source.transparentColour;
        if ((Depth == 24 || Depth == 32) && transparentColour == KBitmap::kNoTransparentColour && ColumnSumsFit()) {
            AverageWholePixels<Depth / 8>(source, from, target, to, lefts, rights, tops, bottoms);
            return;
        }
        pixel::ChannelDivider divider;
        for (int y = 0; y < to.height; ++y) {
            BYTE* out = target.Row(y, to.height, to.stride);
            for (int x = 0; x < to.width; ++x) {
                AreaSummer summer{source, from, nullptr, lefts[x], tops[y], rights[x], bottoms[y], {}};
                if (summer.left <= summer.right && summer.top <= summer.bottom)
                    summer.template Run<Depth>();
                pixel::Write<Depth>(out, x, MeanColour(summer.sums, transparentColour, divider));
            }
        }
    }
};

// One bilinear sample position along an axis: column (row) x0 and its
// neighbour x1, the fraction, and whether x0 lies inside the picture.
struct SampleAxis {
    int first;
    int second;
    double fraction;
    bool inside;
};

SampleAxis AxisAt(double position, int size) {
    SampleAxis axis{0, 0, 0.0, false};
    // truncate(position) lies in 0..size-1 exactly when position is in (-1, size).
    if (!(position > -1.0 && position < double(size)))
        return axis;
    axis.first = static_cast<int>(position);
    axis.second = axis.first + 1 >= size ? size - 1 : axis.first + 1;
    axis.fraction = position - axis.first;
    axis.inside = true;
    return axis;
}

struct BilinearScaler {
    const KBitmap& source;
    const Geometry& from;
    KBitmap& target;
    const Geometry& to;
    const std::vector<SampleAxis>& columns;
    const std::vector<SampleAxis>& rows;

    template <int Depth>
    void Run() {
        if (Depth <= 8)
            return;  // palette pictures are never blended
        const uint32_t transparent = source.transparentColour;
        const bool checkTransparent = transparent != KBitmap::kNoTransparentColour;
        if ((Depth == 24 || Depth == 32) && !checkTransparent) {
            BlendWholePixels<Depth / 8>();
            return;
        }
        for (int y = 0; y < to.height; ++y) {
            BYTE* out = target.Row(y, to.height, to.stride);
            const SampleAxis& ay = rows[y];
            if (!ay.inside) {
                for (int x = 0; x < to.width; ++x)
                    pixel::Write<Depth>(out, x, source.backgroundColour);
                continue;
            }
            const BYTE* row0 = source.Row(ay.first, from.height, from.stride);
            const BYTE* row1 = source.Row(ay.second, from.height, from.stride);
            for (int x = 0; x < to.width; ++x) {
                const SampleAxis& ax = columns[x];
                if (!ax.inside) {
                    pixel::Write<Depth>(out, x, source.backgroundColour);
                    continue;
                }
                const uint32_t c00 = pixel::Read<Depth>(row0, ax.first, nullptr);
                const uint32_t c10 = pixel::Read<Depth>(row0, ax.second, nullptr);
                const uint32_t c01 = pixel::Read<Depth>(row1, ax.first, nullptr);
                const uint32_t c11 = pixel::Read<Depth>(row1, ax.second, nullptr);
                uint32_t colour;
                if (checkTransparent && ((c00 & 0xFFFFFF) == transparent || (c10 & 0xFFFFFF) == transparent ||
                                         (c01 & 0xFFFFFF) == transparent || (c11 & 0xFFFFFF) == transparent))
                    colour = c00;
                else
                    colour = pixel::BlendBilinear(c00, c10, c01, c11, ax.fraction, ay.fraction);
                pixel::Write<Depth>(out, x, colour);
            }
        }
    }

    // Source rows of whole-byte pixels converted to doubles once, since
    // neighbouring new rows share them; two rows are kept.
    struct RowCache {
        std::vector<double> values[2];
        int row[2] = {-1, -1};
    };

    template <int Bytes>
    const double* CachedRow(RowCache& cache, int row, int keep) {
        for (int i = 0; i < 2; ++i)
            if (cache.row[i] == row)
                return cache.values[i].data();
        const int slot = cache.row[0] == keep ? 1 : 0;
        const BYTE* in = source.Row(row, from.height, from.stride);
        double* out = cache.values[slot].data();
        const size_t count = size_t(from.width) * Bytes;
        for (size_t i = 0; i < count; ++i)
            out[i] = double(in[i]);
        cache.row[slot] = row;
        return out;
    }

    // The blend of BlendBilinear on whole-byte pixels, channel by channel in
    // their stored order: the same double expressions in the same order, so
    // the same bytes. The alpha of a 32-bit picture is not carried (0).
    template <int Bytes>
    void BlendWholePixels() {
        RowCache cache;
        for (std::vector<double>& values : cache.values)
            values.resize(size_t(from.width) * Bytes);
        std::vector<size_t> firsts(size_t(to.width)), seconds(size_t(to.width));
        std::vector<double> fractions(size_t(to.width));
        for (int x = 0; x < to.width; ++x) {
            firsts[x] = size_t(columns[x].first) * Bytes;
            seconds[x] = size_t(columns[x].second) * Bytes;
            fractions[x] = columns[x].fraction;
        }
        const uint32_t background = source.backgroundColour;
        for (int y = 0; y < to.height; ++y) {
            BYTE* out = target.Row(y, to.height, to.stride);
            const SampleAxis& ay = rows[y];
            if (!ay.inside) {
                for (int x = 0; x < to.width; ++x)
                    pixel::Write<Bytes * 8>(out, x, background);
                continue;
            }
            const double* row0 = CachedRow<Bytes>(cache, ay.first, ay.second);
            const double* row1 = CachedRow<Bytes>(cache, ay.second, ay.first);
            const double fy = ay.fraction;
            for (int x = 0; x < to.width; ++x, out += Bytes) {
                if (!columns[x].inside) {
                    pixel::Write<Bytes * 8>(out, 0, background);
                    continue;
                }
                const double fx = fractions[x];
                const double w11 = fx * fy;
                const double w01 = fy - w11;
                const double w10 = fx - w11;
                const double w00 = 1.0 - (w01 + w11 + w10);
                const double* c00 = row0 + firsts[x];
                const double* c10 = row0 + seconds[x];
                const double* c01 = row1 + firsts[x];
                const double* c11 = row1 + seconds[x];
                for (int i = 0; i < 3; ++i) {
                    const double value = c00[i] * w00 + c01[i] * w01 + c10[i] * w10 + c11[i] * w11 + 0.5;
                    out[i] = static_cast<BYTE>(static_cast<int>(value));
                }
                if (Bytes == 4)
                    out[3] = 0;
            }
        }
    }
};

}  // namespace

uint32_t KBitmap::SampleBilinear(double x, double y) const {
    if (!HasPixels())
        return backgroundColour;
    const Geometry g = GeometryOf(*this);
    if (g.depth == 1 || g.depth == 4 || g.depth == 8) {
        // Palette pictures are never blended: the nearest pixel, clamped to the
        // last column and row.
        const double nx = x + 0.5, ny = y + 0.5;
        if (!(nx > -1.0) || !(ny > -1.0))
            return backgroundColour;
        const int px = nx >= double(g.width) ? g.width - 1 : static_cast<int>(nx);
        const int py = ny >= double(g.height) ? g.height - 1 : static_cast<int>(ny);
        return GetPixel(px, py, false);
    }
    const SampleAxis ax = AxisAt(x, g.width);
    const SampleAxis ay = AxisAt(y, g.height);
    if (!ax.inside || !ay.inside)
        return backgroundColour;
    const uint32_t c00 = GetPixelUnchecked(ax.first, ay.first, g.width, g.height, g.depth, g.stride, false);
    const uint32_t c10 = GetPixelUnchecked(ax.second, ay.first, g.width, g.height, g.depth, g.stride, false);
    const uint32_t c01 = GetPixelUnchecked(ax.first, ay.second, g.width, g.height, g.depth, g.stride, false);
    const uint32_t c11 = GetPixelUnchecked(ax.second, ay.second, g.width, g.height, g.depth, g.stride, false);
    if (transparentColour != kNoTransparentColour &&
        ((c00 & 0xFFFFFF) == transparentColour || (c10 & 0xFFFFFF) == transparentColour ||
         (c01 & 0xFFFFFF) == transparentColour || (c11 & 0xFFFFFF) == transparentColour))
        return c00;
    return pixel::BlendBilinear(c00, c10, c01, c11, ax.fraction, ay.fraction);
}

uint32_t KBitmap::AverageColour(const RECT* area) const {
    if (!HasPixels())
        return backgroundColour;
    const Geometry g = GeometryOf(*this);
    const int left = area ? std::max<int>(area->left, 0) : 0;
    const int top = area ? std::max<int>(area->top, 0) : 0;
    const int right = area ? std::min<int>(area->right, g.width - 1) : g.width - 1;
    const int bottom = area ? std::min<int>(area->bottom, g.height - 1) : g.height - 1;
    uint32_t lut[256] = {};
    if (g.depth <= 8) {
        const pixel::PaletteLut palette(*this);
        std::copy(palette.colour, palette.colour + 256, lut);
    }
    pixel::ChannelDivider divider;
    return MeanColour(SumArea(*this, g, lut, left, top, right, bottom), transparentColour, divider);
}

int KBitmap::Resize(int newWidth, int newHeight, bool smooth) {
    if (!HasPixels() || newWidth < 1 || newHeight < 1)
        return 0;
    const Geometry from = GeometryOf(*this);
    if (from.width == newWidth && from.height == newHeight)
        return 1;
    const bool palette = from.depth <= 8;

    KBitmap target(newWidth, newHeight, from.depth);
    if (target.IsEmpty())
        return 0;
    // As many table entries as both tables hold; the rest stay black (zero).
    const uint32_t entries = std::min(PaletteEntries(), target.PaletteEntries());
    std::copy(reinterpret_cast<const BYTE*>(info) + sizeof(BITMAPINFOHEADER),
              reinterpret_cast<const BYTE*>(info) + sizeof(BITMAPINFOHEADER) + 4 * size_t(entries),
              reinterpret_cast<BYTE*>(target.Header()) + sizeof(BITMAPINFOHEADER));
    std::fill(reinterpret_cast<BYTE*>(target.Header()) + sizeof(BITMAPINFOHEADER) + 4 * size_t(entries), target.Bits(),
              BYTE(0));
    const Geometry to = GeometryOf(target);

    const double sx = double(from.width) / double(newWidth);
    const double sy = double(from.height) / double(newHeight);
    if (!smooth || palette) {
        std::vector<int> columns(newWidth), rows(newHeight);
        for (int x = 0; x < newWidth; ++x)
            columns[x] = static_cast<int>(double(x) * sx);
        for (int y = 0; y < newHeight; ++y)
            rows[y] = static_cast<int>(double(y) * sy);
        NearestScaler scaler{*this, from, target, to, columns, rows};
        pixel::DispatchDepth(from.depth, scaler);
    } else if (sx >= 2.0 || sy >= 2.0) {
        const int bx = static_cast<int>(sx - 1.0);
        const int by = static_cast<int>(sy - 1.0);
        std::vector<int> lefts(newWidth), rights(newWidth), tops(newHeight), bottoms(newHeight);
        for (int x = 0; x < newWidth; ++x) {
            lefts[x] = std::max(static_cast<int>(double(x) * sx), 0);
            rights[x] = std::min(static_cast<int>(double(x) * sx + double(bx)), from.width - 1);
        }
        for (int y = 0; y < newHeight; ++y) {
            tops[y] = std::max(static_cast<int>(double(y) * sy), 0);
            bottoms[y] = std::min(static_cast<int>(double(y) * sy + double(by)), from.height - 1);
        }
        AreaScaler scaler{*this, from, target, to, lefts, rights, tops, bottoms};
        pixel::DispatchDepth(from.depth, scaler);
    } else {
        std::vector<SampleAxis> columns(newWidth), rows(newHeight);
        for (int x = 0; x < newWidth; ++x)
            columns[x] = AxisAt(double(x) * sx, from.width);
        for (int y = 0; y < newHeight; ++y)
            rows[y] = AxisAt(double(y) * sy, from.height);
        BilinearScaler scaler{*this, from, target, to, columns, rows};
        pixel::DispatchDepth(from.depth, scaler);
    }
    TakeFrom(target);
    return 1;
}
