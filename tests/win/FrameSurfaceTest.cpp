// Frames presented through the kept surface must leave the window showing
// what GDI's COLORONCOLOR stretch of the last frame shows, pixel for pixel, on
// a screen of any depth:
// at every ratio, over the client area (movies) or one pixel more each way
// (pictures), however the lit part of a turning frame moves between frames.
#include "engine/FrameSurface.h"
#include "imaging/KBitmap.h"

#include "../native/BitmapTestUtil.h"
#include "Canvas.h"

#include <gtest/gtest.h>

namespace {

HWND MakeWindow(int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "frame surface test";
    RegisterClassA(&windowClass);  // fails harmlessly the second time
    HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                  width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    UpdateWindow(window);
    return window;
}

// The window's pixels, as the screen holds them.
void Capture(HWND window, Canvas& canvas) {
    HDC windowContext = GetDC(window);
    BitBlt(canvas.dc, 0, 0, canvas.width, canvas.height, windowContext, 0, 0, SRCCOPY);
    ReleaseDC(window, windowContext);
}

// The first pixel where the window differs from GDI's stretch of the frame
// drawn into it: at the screen's own depth, which a 16-bit screen keeps less
// of than the frame holds.
testing::AssertionResult ShowsWhatGdiShows(HWND window, const KBitmap& frame, int width, int height, int extra) {
    Canvas shown(width, height), expected(width, height);
    Capture(window, shown);
    HDC windowContext = GetDC(window);
    SetStretchBltMode(windowContext, COLORONCOLOR);
    StretchDIBits(windowContext, 0, 0, width + extra, height + extra, 0, 0, frame.Width(), frame.Height(),
                  frame.Bits(), reinterpret_cast<const BITMAPINFO*>(frame.Header()), DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(window, windowContext);
    Capture(window, expected);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (shown.At(x, y) != expected.At(x, y))
                return testing::AssertionFailure() << "pixel " << x << "," << y;
    return testing::AssertionSuccess();
}

}  // namespace

TEST(FrameSurface, WindowShowsWhatGdiStretchShows) {
    // Turning canvases on a 1080-line screen, a movie frame, equal sizes,
    // small odd ratios.
    const struct { int pictureWidth, pictureHeight, width, height; bool inclusive; } cases[] = {
        {310, 310, 1080, 1080, true}, {424, 424, 1000, 1000, true}, {640, 480, 1440, 1080, false},
        {17, 13, 17, 13, false},      {3, 2, 7, 7, true},           {5, 9, 64, 23, true},
        {101, 7, 303, 100, false},
    };
    for (const auto& c : cases) {
        HWND window = MakeWindow(c.width, c.height);
        ASSERT_NE(window, nullptr);
        FrameSurface surface = {};
        const int w = c.pictureWidth, h = c.pictureHeight;
        // Lit areas that move, shrink to nothing and come back.
        const RECT lits[] = {{0, 0, w, h}, {w / 4, h / 3, w / 2 + 1, h - 1}, {0, 0, 0, 0}, {w / 2, 0, w, h / 2 + 1}};
        for (const RECT& lit : lits) {
            const KBitmap frame = testutil::OnBlack(w, h, lit, lit.left + 1);
            ASSERT_TRUE(PresentEnlarged(window, surface, *frame.Header(), frame.Bits(), c.inclusive, c.inclusive));
            EXPECT_TRUE(ShowsWhatGdiShows(window, frame, c.width, c.height, c.inclusive ? 1 : 0))
                << w << "x" << h << " to " << c.width << "x" << c.height << ", lit from " << lit.left << ","
                << lit.top;
        }
        ReleaseFrameSurface(surface);
        DestroyWindow(window);
    }
}
