// Tumbling a picture about its vertical or horizontal axis. There is no 3D
// geometry: the angle picks, by fixed linear rules, the quadrilateral on
// which the picture's corners land, and WarpToQuad draws the picture onto it.
// The apparent size follows the angle linearly (halved at 45 degrees,
// edge-on at 90), not its cosine.
#include <cstdint>
#include <cmath>

#include "imaging/KBitmap.h"

namespace {

// The angle folded into [-180, 180] as the side it is seen from and the
// amount k in [0, 90] degrees.
enum class Side {
    kFront,          // 0 < a <= 90: the top (left) edge comes toward the viewer
    kBack,           // 90 < a <= 180: seen from behind, mirrored
    kFrontReversed,  // -90 <= a < 0: the bottom (right) edge comes toward the viewer
    kBackReversed,   // -180 <= a < -90: seen from behind, mirrored
};

struct Turn {
    Side side;
    double k;
};

// False when there is nothing to draw: the angle folds to 0, or it is not a
// finite number (nothing then fits any case).
bool Fold(double angle, Turn& turn) {
    if (!std::isfinite(angle))
        return false;
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
        return false;
    if (a > 90)
        turn = Turn{Side::kBack, 180 - a};
    else if (a > 0)
        turn = Turn{Side::kFront, a};
    else if (a >= -90)
        turn = Turn{Side::kFrontReversed, -a};
    else
        turn = Turn{Side::kBackReversed, a + 180};
    return true;
}

// The share n k / 90 of a length n (multiplied first, divided second).
double Share(int n, double k) { return n * k / 90; }

// Truncation toward zero; only a canvas wider than 2^31 / 1.5 could reach
// the limits, which then hold.
LONG Coordinate(double value) {
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<LONG>(value);
}

POINT Corner(double x, double y) { return POINT{Coordinate(x), Coordinate(y)}; }

}  // namespace

// The top and bottom edges move toward each other by H/2 k; the nearer one
// widens by W/2 k on each side, the farther one narrows by W/4 k.
int KBitmap::RotateAboutHorizontalAxis(double angle) {
    if (!HasPixels())
        return 0;
    Turn turn;
    if (!Fold(angle, turn))
        return std::isfinite(angle) ? 1 : 0;
    const int width = Width(), height = Height();
    const double right = width - 1, bottom = height - 1;
    const double widen = Share(width / 2, turn.k), narrow = Share(width / 4, turn.k);
    const double top = Share(height / 2, turn.k), low = bottom - top;
    POINT quad[4];
    switch (turn.side) {
    case Side::kFront:
        quad[0] = Corner(-widen, top), quad[1] = Corner(right + widen, top);
        quad[2] = Corner(right - narrow, low), quad[3] = Corner(narrow, low);
        break;
    case Side::kBack:
        quad[0] = Corner(-widen, low), quad[1] = Corner(right + widen, low);
        quad[2] = Corner(right - narrow, top), quad[3] = Corner(narrow, top);
        break;
    case Side::kFrontReversed:
        quad[0] = Corner(narrow, top), quad[1] = Corner(right - narrow, top);
        quad[2] = Corner(right + widen, low), quad[3] = Corner(-widen, low);
        break;
    case Side::kBackReversed:
        quad[0] = Corner(narrow, low), quad[1] = Corner(right - narrow, low);
        quad[2] = Corner(right + widen, top), quad[3] = Corner(-widen, top);
        break;
    }
    return WarpToQuad(quad) ? 1 : 0;
}

// The left and right edges move toward each other by W/2 k; the nearer one
// lengthens by H/2 k at each end, the farther one shortens by H/4 k.
int KBitmap::RotateAboutVerticalAxis(double angle) {
    if (!HasPixels())
        return 0;
    Turn turn;
    if (!Fold(angle, turn))
        return std::isfinite(angle) ? 1 : 0;
    const int width = Width(), height = Height();
    const double right = width - 1, bottom = height - 1;
    const double left = Share(width / 2, turn.k), inner = right - left;
    const double grow = Share(height / 2, turn.k), shrink = Share(height / 4, turn.k);
    POINT quad[4];
    switch (turn.side) {
    case Side::kFront:
        quad[0] = Corner(left, -grow), quad[1] = Corner(inner, shrink);
        quad[2] = Corner(inner, bottom - shrink), quad[3] = Corner(left, bottom + grow);
        break;
    case Side::kBack:
        quad[0] = Corner(inner, -grow), quad[1] = Corner(left, shrink);
        quad[2] = Corner(left, bottom - shrink), quad[3] = Corner(inner, bottom + grow);
        break;
    case Side::kFrontReversed:
        quad[0] = Corner(left, shrink), quad[1] = Corner(inner, -grow);
        quad[2] = Corner(inner, bottom + grow), quad[3] = Corner(left, bottom - shrink);
        break;
    case Side::kBackReversed:
        quad[0] = Corner(inner, shrink), quad[1] = Corner(left, -grow);
        quad[2] = Corner(left, bottom + grow), quad[3] = Corner(inner, bottom - shrink);
        break;
    }
    return WarpToQuad(quad) ? 1 : 0;
}
