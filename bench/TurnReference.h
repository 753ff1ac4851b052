// The turns about an axis written straight from their definitions, one pixel
// at a time over the checked SampleBilinear / SetPixel, timed beside the fast
// loops; tests/native/ReferenceTest.cpp holds the fast loops to the blocks
// these make.
#pragma once

#include <cmath>
#include <cstdint>

#include "imaging/KBitmap.h"

namespace reference {

inline bool WarpToQuad(KBitmap& b, const POINT* q) {
    if (!q || !b.HasPixels())
        return false;
    const int w = b.Width(), h = b.Height();
    if (q[0].x == 0 && q[0].y == 0 && q[1].x == w - 1 && q[1].y == 0 && q[2].x == w - 1 && q[2].y == h - 1 &&
        q[3].x == 0 && q[3].y == h - 1)
        return true;
    const double wn = w - 1, hn = h - 1;
    const double X0 = q[0].x / wn, X1 = q[1].x / wn, X3 = q[3].x / wn;
    const double Y0 = q[0].y / hn, Y1 = q[1].y / hn, Y3 = q[3].y / hn;
    const double dx1 = double(int64_t(q[1].x) - q[2].x) / wn, dx2 = double(int64_t(q[3].x) - q[2].x) / wn;
    const double sx = double(int64_t(q[0].x) - q[1].x + q[2].x - q[3].x) / wn;
    const double dy1 = double(int64_t(q[1].y) - q[2].y) / hn, dy2 = double(int64_t(q[3].y) - q[2].y) / hn;
    const double sy = double(int64_t(q[0].y) - q[1].y + q[2].y - q[3].y) / hn;
    const double det = dx1 * dy2 - dy1 * dx2;
    const double g = (sx * dy2 - sy * dx2) / det, hh = (sy * dx1 - sx * dy1) / det;
    const double a = X1 - X0 + g * X1, bb = X3 - X0 + hh * X3, c = X0;
    const double d = Y1 - Y0 + g * Y1, e = Y3 - Y0 + hh * Y3, f = Y0;
    const double A = e - f * hh, B = c * hh - bb, C = bb * f - c * e;
    const double D = f * g - d, E = a - c * g, F = c * d - a * f;
    const double G = d * hh - e * g, H = bb * g - a * hh, I = a * e - bb * d;
    KBitmap out;
    out.CopyFrom(b, nullptr, false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double xn = double(x) / w, yn = double(y) / h;
            const double qq = G * xn + H * yn + I;
            const double u = (A * xn + B * yn + C) / qq, v = (D * xn + E * yn + F) / qq;
            out.SetPixel(x, y, b.SampleBilinear(w * u, h * v));
        }
    b.TakeFrom(out);
    return true;
}

// The quadrilateral of a turn about one axis. Each coordinate is
// base + sign * n * k / 90 with base 0, W - 1 or H - 1 and n one of W / 2,
// W / 4, H / 2, H / 4; the table holds {base, sign, n} per coordinate, cases A
// to D (0 < a <= 90, 90 < a <= 180, -90 <= a < 0, -180 <= a < -90).
enum Base { kZero, kRight, kBottom };
enum Length { kHalfW, kQuarterW, kHalfH, kQuarterH };
struct Term {
    Base base;
    int sign;
    Length n;
};
using CornerTable = Term[4][8];

// Kept in their layout: two lines a case, four corners a line.
// clang-format off
// About the horizontal axis: the near edge widens by W/2 k, the far one narrows by W/4 k.
constexpr CornerTable kHorizontal = {
    {{kZero, -1, kHalfW}, {kZero, 1, kHalfH}, {kRight, 1, kHalfW}, {kZero, 1, kHalfH},
     {kRight, -1, kQuarterW}, {kBottom, -1, kHalfH}, {kZero, 1, kQuarterW}, {kBottom, -1, kHalfH}},
    {{kZero, -1, kHalfW}, {kBottom, -1, kHalfH}, {kRight, 1, kHalfW}, {kBottom, -1, kHalfH},
     {kRight, -1, kQuarterW}, {kZero, 1, kHalfH}, {kZero, 1, kQuarterW}, {kZero, 1, kHalfH}},
    {{kZero, 1, kQuarterW}, {kZero, 1, kHalfH}, {kRight, -1, kQuarterW}, {kZero, 1, kHalfH},
     {kRight, 1, kHalfW}, {kBottom, -1, kHalfH}, {kZero, -1, kHalfW}, {kBottom, -1, kHalfH}},
    {{kZero, 1, kQuarterW}, {kBottom, -1, kHalfH}, {kRight, -1, kQuarterW}, {kBottom, -1, kHalfH},
     {kRight, 1, kHalfW}, {kZero, 1, kHalfH}, {kZero, -1, kHalfW}, {kZero, 1, kHalfH}},
};
// About the vertical axis: the sides move in by W/2 k, the near one grows by H/2 k, the far one shrinks by H/4 k.
constexpr CornerTable kVertical = {
    {{kZero, 1, kHalfW}, {kZero, -1, kHalfH}, {kRight, -1, kHalfW}, {kZero, 1, kQuarterH},
     {kRight, -1, kHalfW}, {kBottom, -1, kQuarterH}, {kZero, 1, kHalfW}, {kBottom, 1, kHalfH}},
    {{kRight, -1, kHalfW}, {kZero, -1, kHalfH}, {kZero, 1, kHalfW}, {kZero, 1, kQuarterH},
     {kZero, 1, kHalfW}, {kBottom, -1, kQuarterH}, {kRight, -1, kHalfW}, {kBottom, 1, kHalfH}},
    {{kZero, 1, kHalfW}, {kZero, 1, kQuarterH}, {kRight, -1, kHalfW}, {kZero, -1, kHalfH},
     {kRight, -1, kHalfW}, {kBottom, 1, kHalfH}, {kZero, 1, kHalfW}, {kBottom, -1, kQuarterH}},
    {{kRight, -1, kHalfW}, {kZero, 1, kQuarterH}, {kZero, 1, kHalfW}, {kZero, -1, kHalfH},
     {kZero, 1, kHalfW}, {kBottom, 1, kHalfH}, {kRight, -1, kHalfW}, {kBottom, -1, kQuarterH}},
};
// clang-format on

inline int Rotate3D(KBitmap& b, double angle, const CornerTable& table) {
    if (!b.HasPixels() || std::isnan(angle) || std::isinf(angle))
        return 0;
    double a = angle;
    if (a >= 360)
        a = std::fmod(a, 360);
    if (a <= -360)
        a = -std::fmod(-a, 360);
    if (a > 180)
        a -= 360;
    if (a < -180)
        a += 360;
    if (a == 0.0)
        return 1;
    const int which = a > 90 ? 1 : a > 0 ? 0 : a >= -90 ? 2 : 3;
    const double k = which == 0 ? a : which == 1 ? 180 - a : which == 2 ? -a : a + 180;
    const int w = b.Width(), h = b.Height();
    const int bases[] = {0, w - 1, h - 1}, parts[] = {w / 2, w / 4, h / 2, h / 4};
    LONG c[8];
    for (int i = 0; i < 8; ++i) {
        const Term& t = table[which][i];
        c[i] = LONG(bases[t.base] + t.sign * (parts[t.n] * k / 90));
    }
    const POINT quad[4] = {{c[0], c[1]}, {c[2], c[3]}, {c[4], c[5]}, {c[6], c[7]}};
    return WarpToQuad(b, quad) ? 1 : 0;
}

}  // namespace reference
