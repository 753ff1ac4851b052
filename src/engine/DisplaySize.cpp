#include "engine/DisplaySize.h"
#include "platform/IntegerRange.h"

#include <algorithm>
#include <cmath>

// Sizes are worked in 64 bits, so that doubling, tenths and squares of any
// 32-bit size cannot overflow, and brought back to 32 bits at the end.
static int64_t Half(int64_t x) { return x / 2; }
static int64_t Tenths(int64_t x, int64_t k) { return (x * k) / 10; }

static SIZE MakeSize(int64_t width, int64_t height) { return SIZE{ClampToInt32(width), ClampToInt32(height)}; }

// Halves both sides while either reaches its limit. A pass that changes
// neither side (both 0 already) ends it, so zero and negative limits end too.
static void HalveWhileReaching(int64_t& w, int64_t& h, int64_t limitW, int64_t limitH) {
    while (w >= limitW || h >= limitH) {
        const int64_t newW = Half(w), newH = Half(h);
        if (newW == w && newH == h)
            break;
        w = newW;
        h = newH;
    }
}

static SIZE FitKeepingProportions(SIZE frame, SIZE screen) {
    if (frame.cx <= 0 || frame.cy <= 0)
        return SIZE{0, 0};
    const double s = std::min(static_cast<double>(screen.cx) / frame.cx, static_cast<double>(screen.cy) / frame.cy);
    return SIZE{TruncateToInt32(frame.cx * s + 0.5), TruncateToInt32(frame.cy * s + 0.5)};
}

SIZE MovieDisplaySize(Layout layout, SIZE frame, SIZE screen, SIZE current) {
    switch (layout) {
    case Layout::centred:
    case Layout::bounce: {
        int64_t w = frame.cx, h = frame.cy;
        HalveWhileReaching(w, h, screen.cx, screen.cy);  // equal to the screen is too large
        return MakeSize(w, h);
    }
    case Layout::fullScreen:
        return FitKeepingProportions(frame, screen);
    case Layout::stretched:
        return screen;
    default:
        return current;
    }
}

SIZE PictureDisplaySize(Layout layout, SIZE picture, SIZE screen, bool rotation2D, bool rotation3D, SIZE current) {
    const int64_t pictureW = picture.cx;
    const int64_t pictureH = std::llabs(static_cast<int64_t>(picture.cy));
    SIZE size = current;
    if (pictureW != 0 && pictureH != 0) {
        switch (layout) {
        case Layout::centred:
        case Layout::bounce: {
            int64_t w = pictureW, h = pictureH;
            const int64_t growW = Tenths(screen.cx, 4), growH = Tenths(screen.cy, 4);
            // A side of 0 or less never grows; the check keeps the loop finite.
            while (w > 0 && h > 0 && w < growW && h < growH) {
                w *= 2;
                h *= 2;
            }
            HalveWhileReaching(w, h, Tenths(screen.cx, 6), Tenths(screen.cy, 6));
            size = MakeSize(w, h);
            break;
        }
        case Layout::fullScreen:
            size = FitKeepingProportions(SIZE{ClampToInt32(pictureW), ClampToInt32(pictureH)}, screen);
            break;
        case Layout::stretched:
            size = screen;
            break;
        default:
            break;
        }
    }
    if (rotation2D || rotation3D) {
        // A turning picture needs the same room whichever way it points.
        const LONG side = std::max(size.cx, size.cy);
        size = SIZE{side, side};
    }
    return size;
}

SIZE PictureDecodeSize(Layout layout, SIZE picture, SIZE screen, bool rotation2D, bool rotation3D) {
    SIZE wanted = PictureDisplaySize(layout, picture, screen, false, false, picture);
    if (rotation2D || rotation3D) {
        const TurningCanvas canvas = PlanTurningCanvas(picture.cx, picture.cy, rotation3D);
        wanted = SIZE{canvas.width, canvas.height};
    }
    return SIZE{std::min(wanted.cx, picture.cx), std::min(wanted.cy, picture.cy)};
}

SIZE TextDisplaySize(Layout layout, int32_t length, int32_t lines, SIZE screen, SIZE current) {
    switch (layout) {
    case Layout::centred:
    case Layout::bounce: {
        const int64_t w = Half(screen.cx);
        // Roughly two characters' height per line of a text spread over the
        // width; the clock's two lines get 4/10 of the width.
        const int64_t h = length == 0 ? Tenths(w, 4) : (2 * int64_t{lines} * w) / length;
        return MakeSize(w, std::min(h, Half(screen.cy)));
    }
    case Layout::fullScreen:
    case Layout::stretched:
        return screen;
    default:
        return current;
    }
}

POINT CentredPosition(SIZE display, SIZE screen) {
    return POINT{ClampToInt32(Half(int64_t{screen.cx} - display.cx)),
                 ClampToInt32(Half(int64_t{screen.cy} - display.cy))};
}

TurningCanvas PlanTurningCanvas(int32_t width, int32_t height, bool rotation3D) {
    const int64_t limit = rotation3D ? turningAreaLimit3D : turningAreaLimit;
    int64_t w = width, h = std::llabs(static_cast<int64_t>(height));
    // A side of 5 or less rounds back to itself (x * 0.9 + 0.5 truncates to
    // x), so the area always ends below the limit; the unchanged-pass check
    // only guards against sizes that make no sense, such as a negative width.
    while (w * h > limit) {
        const int64_t newW = static_cast<int64_t>(w * 0.9 + 0.5);
        const int64_t newH = static_cast<int64_t>(h * 0.9 + 0.5);
        if (newW == w && newH == h)
            break;
        w = newW;
        h = newH;
    }
    TurningCanvas canvas{};
    canvas.width = ClampToInt32(w);
    canvas.height = ClampToInt32(h);
    const int64_t d = static_cast<int64_t>(std::sqrt(static_cast<double>(h) * h + static_cast<double>(w) * w));
    canvas.diagonal = ClampToInt32(d);
    const int64_t borderX = Half(d - w), borderY = Half(d - h);
    canvas.crop = RECT{ClampToInt32(-borderX), ClampToInt32(-borderY), ClampToInt32(w - 1 + borderX),
                       ClampToInt32(h - 1 + borderY)};
    return canvas;
}
