#include "host/InputRules.h"

#include "platform/WinMessages.h"

#include <cstdlib>

bool MovedPastThreshold(POINT initial, POINT now) {
    // 64-bit so that coordinates at the ends of the LONG range cannot overflow.
    int64_t dx = std::llabs(static_cast<int64_t>(now.x) - initial.x);
    int64_t dy = std::llabs(static_cast<int64_t>(now.y) - initial.y);
    return dx + dy > static_cast<int64_t>(mouseMoveThreshold);
}

static InputAction DecidePowerBroadcast(WPARAM event, LPARAM data) {
    const bool resumedFromFailure = (data & 1) != 0;  // PBTF_APMRESUMEFROMFAILURE
    switch (event) {
    case 0:  // PBT_APMQUERYSUSPEND: agree, and keep running until the suspend itself
        return InputAction::AnswerOne;
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
        return InputAction::Close;
    case 6:
    case 7:
    case 8:
    case 18:  // PBT_APMRESUMEAUTOMATIC
        return resumedFromFailure ? InputAction::PassOn : InputAction::Close;
    case 10:      // PBT_APMPOWERSTATUSCHANGE
    case 0x8013:  // PBT_POWERSETTINGCHANGE
        return InputAction::PassOn;
    default:
        return InputAction::Close;
    }
}

InputAction DecideInput(UINT message, WPARAM wParam, LPARAM lParam, POINT initial, POINT cursor) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return InputAction::Close;
    case WM_MOUSEMOVE:
        return MovedPastThreshold(initial, cursor) ? InputAction::Close : InputAction::PassOn;
    case WM_ACTIVATEAPP:
        return wParam == 0 ? InputAction::Close : InputAction::PassOn;
    case WM_POWER:
        return wParam == PWR_CRITICALRESUME ? InputAction::Close : InputAction::PassOn;
    case WM_POWERBROADCAST:
        return DecidePowerBroadcast(wParam, lParam);
    case WM_SHOWWINDOW:
        return wParam != 0 ? InputAction::HideCursor : InputAction::PassOn;
    case WM_SETCURSOR:
        return InputAction::HideCursorAnswer;
    default:
        return InputAction::PassOn;
    }
}

SysCommandAction DecideSysCommand(WPARAM command) {
    switch (command & 0xFFF0) {
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_SCREENSAVE:
        return SysCommandAction::Swallow;
    case SC_MONITORPOWER:
        return SysCommandAction::CloseAfter;
    default:
        return SysCommandAction::PassOn;
    }
}
