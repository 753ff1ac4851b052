// The saver engine: what the saver window shows, and the state of the frame
// and move timers. Windows only.
#pragma once

#include "engine/Content.h"
#include "engine/Layout.h"
#include "platform/WinTypes.h"

#include <cstdint>

// Window timers on the saver window.
constexpr UINT_PTR frameTimer = 'V';  // paints the next frame
constexpr UINT_PTR moveTimer = 'M';   // moves the display window (bounce layout)
constexpr UINT movePeriod = 20;       // ms

// The display window and the timers' state of one saver window, kept in the
// window's own record.
struct EngineState {
    Content content;  // what the frame timer paints; from "Mode", settled at creation
    Layout layout;    // from "ScreenMode"
    HWND displayWindow;
    int32_t displayX, displayY;  // in the saver window's client area
    int32_t displayWidth, displayHeight;
    int32_t velocityX, velocityY;  // pixels per move tick
    RECT clientRect;               // the saver window's client area, read at creation
    float spinSpeed[3];            // degrees per turning frame: A, B, C
    double spinAngle[3];           // degrees: A about the vertical axis, B horizontal, C in plane
    int32_t spinFrameCount;
    int32_t lastClockTime;  // seconds since 1970 of the last clock drawing
    int32_t lastClockHour;  // lastClockTime / 3600 then
    bool clockHourKnown;    // lastClockHour set by a first drawing
    SIZE pictureSize;       // the picture's full upright size; its pixels may be fewer
};

// The engine's window procedure: acts on the saver window's creation, timers
// and destruction, then hands every message to `defaultProc`, the host's
// DefaultSaverProc, and returns its result. The host passes it down so that
// calls run one way: the engine never names the host.
typedef LRESULT (*SaverDefaultProc)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, SaverDefaultProc defaultProc);

// The banner's still frame.
constexpr int bannerWidth = 640;
constexpr int bannerHeight = 80;
