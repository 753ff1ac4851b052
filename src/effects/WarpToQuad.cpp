// Projective warp of a picture onto a quadrilateral, bilinearly filtered: the
// second half of every 3D turn, run twice per frame on the whole canvas.
//
// Corners are normalised by W - 1 and H - 1, destinations by W and H; the map
// from the unit square to the corners is inverted through its adjugate, and
// each destination pixel takes SampleBilinear at the source position the
// inverse gives. The loops below evaluate the same double expressions in the
// same order as that per-pixel definition (the column products once per
// call, the row products once per row), so the result is the same to the bit.
#include <cstdint>
#include <memory>
#include <new>

#include "imaging/KBitmap.h"
#include "imaging/RowAccess.h"

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
    return InverseMap{e - f * h, c * h - b, b * f - c * e,  //
                      f * g - d, a - c * g, c * d - a * f,  //
                      d * h - e * g, b * g - a * h, a * e - b * d};
}

struct Warp {
    const KBitmap& source;
    KBitmap& target;
    const InverseMap& m;
    // Per column x: A xn, D xn, G xn with xn = x / W.
    const double* columnA;
    const double* columnD;
    const double* columnG;

    template <int Depth>
    void Run() {
        const int width = source.Width(), height = source.Height(), stride = source.Stride();
        uint32_t lut[256] = {};
        if constexpr (Depth <= 8) {
            const pixel::PaletteLut palette(source);
            for (int i = 0; i < 256; ++i) lut[i] = palette.colour[i];
        }
        const uint32_t background = source.backgroundColour;
        const uint32_t transparent = source.transparentColour;
        const bool checkTransparent = transparent != KBitmap::kNoTransparentColour;
        const double right = width, bottom = height;
        for (int y = 0; y < height; ++y) {
            const double yn = double(y) / height;
            const double rowB = m.B * yn, rowE = m.E * yn, rowH = m.H * yn;
            BYTE* out = target.Row(y, height, stride);
            for (int x = 0; x < width; ++x) {
                const double q = columnG[x] + rowH + m.I;
                const double u = (columnA[x] + rowB + m.C) / q;
                const double v = (columnD[x] + rowE + m.F) / q;
                const double px = width * u, py = height * v;
                uint32_t colour = background;
                if constexpr (Depth <= 8) {
                    // Palette pictures are never blended: the nearest pixel,
                    // limited to the last column and row.
                    const double nx = px + 0.5, ny = py + 0.5;
                    if (nx > -1.0 && ny > -1.0) {
                        const int sx = nx >= right ? width - 1 : static_cast<int>(nx);
                        const int sy = ny >= bottom ? height - 1 : static_cast<int>(ny);
                        colour = pixel::Read<Depth>(source.Row(sy, height, stride), sx, lut);
                    }
                } else if (px > -1.0 && px < right && py > -1.0 && py < bottom) {
                    // Inside (-1, size) the truncated position is a pixel of
                    // the picture; between -1 and 0 the fraction is negative
                    // and the blend extrapolates.
                    const int x0 = static_cast<int>(px), y0 = static_cast<int>(py);
                    const int x1 = x0 + 1 < width ? x0 + 1 : width - 1;
                    const int y1 = y0 + 1 < height ? y0 + 1 : height - 1;
                    const BYTE* row0 = source.Row(y0, height, stride);
                    const BYTE* row1 = source.Row(y1, height, stride);
                    const uint32_t c00 = pixel::Read<Depth>(row0, x0, lut);
                    const uint32_t c10 = pixel::Read<Depth>(row0, x1, lut);
                    const uint32_t c01 = pixel::Read<Depth>(row1, x0, lut);
                    const uint32_t c11 = pixel::Read<Depth>(row1, x1, lut);
                    colour = Blend(c00, c10, c01, c11, px - x0, py - y0, checkTransparent, transparent);
                }
                pixel::Write<Depth>(out, x, colour);
            }
        }
    }

    // SampleBilinear's blend of four samples. Four equal samples give their
    // own colour without the arithmetic: the weights sum to 1 within a few
    // units in the last place, so c w00 + c w01 + c w10 + c w11 + 0.5 lies
    // within 1e-11 of c + 0.5 and truncates to c.
    static uint32_t Blend(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, double fx,
                          double fy, bool checkTransparent, uint32_t transparent) {
        const uint32_t a = c00 & 0xFFFFFF, b = c10 & 0xFFFFFF, c = c01 & 0xFFFFFF, d = c11 & 0xFFFFFF;
        if (checkTransparent && (a == transparent || b == transparent || c == transparent || d == transparent))
            return c00;
        if (a == b && a == c && a == d) return a;
        return pixel::BlendBilinear(c00, c10, c01, c11, fx, fy);
    }
};

}  // namespace

bool KBitmap::WarpToQuad(const POINT* quad) {
    if (!quad || !HasPixels()) return false;
    const int width = Width(), height = Height();
    if (quad[0].x == 0 && quad[0].y == 0 && quad[1].x == width - 1 && quad[1].y == 0 &&
        quad[2].x == width - 1 && quad[2].y == height - 1 && quad[3].x == 0 && quad[3].y == height - 1)
        return true;
    const InverseMap m = InverseOf(quad, width, height);

    KBitmap target;
    target.CopyFrom(*this, nullptr, false);
    std::unique_ptr<double[]> columns(new (std::nothrow) double[3 * static_cast<size_t>(width)]);
    if (target.IsEmpty() || !columns) return false;
    double* columnA = columns.get();
    double* columnD = columnA + width;
    double* columnG = columnD + width;
    for (int x = 0; x < width; ++x) {
        const double xn = double(x) / width;
        columnA[x] = m.A * xn;
        columnD[x] = m.D * xn;
        columnG[x] = m.G * xn;
    }
    Warp warp{*this, target, m, columnA, columnD, columnG};
    pixel::DispatchDepth(Depth(), warp);
    TakeFrom(target);
    return true;
}
