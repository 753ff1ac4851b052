// Frames presented through the kept surface must leave the window showing
// what GDI's stretch of the last frame shows, pixel for pixel, however the
// lit part of the picture moves between frames.
#include "engine/FrameSurface.h"
#include "imaging/KBitmap.h"

#include "../native/BitmapTestUtil.h"
#include "Canvas.h"

#include <gtest/gtest.h>

TEST(FrameSurface, WindowShowsWhatGdiStretchShows) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "frame surface test";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                  230, 170, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    FrameSurface surface = {};
    // Lit areas that move, grow, shrink to nothing and come back.
    const RECT lits[] = {{10, 8, 50, 30}, {30, 2, 64, 12}, {0, 0, 0, 0}, {20, 20, 23, 48}, {0, 0, 64, 48}};
    for (const RECT& lit : lits) {
        const KBitmap frame = testutil::OnBlack(64, 48, lit, lit.left + 1);
        ASSERT_TRUE(PresentEnlarged(window, surface, *frame.Header(), frame.Bits(), true, true));
        Canvas shown(230, 170), expected(230, 170);
        HDC windowContext = GetDC(window);
        BitBlt(shown.dc, 0, 0, 230, 170, windowContext, 0, 0, SRCCOPY);
        ReleaseDC(window, windowContext);
        SetStretchBltMode(expected.dc, COLORONCOLOR);
        StretchDIBits(expected.dc, 0, 0, 231, 171, 0, 0, 64, 48, frame.Bits(),
                      reinterpret_cast<const BITMAPINFO*>(frame.Header()), DIB_RGB_COLORS, SRCCOPY);
        for (int y = 0; y < 170; ++y)
            for (int x = 0; x < 230; ++x)
                if (shown.At(x, y) != expected.At(x, y))
                    FAIL() << "lit from " << lit.left << "," << lit.top << ": pixel " << x << "," << y;
    }
    ReleaseFrameSurface(surface);
    DestroyWindow(window);
}
