// The rules that end a running full-screen saver: which messages close it and
// what each message is answered. Pure decisions; the window code acts on them.
#pragma once

#include "platform/WinTypes.h"

// The mouse must move more than this many pixels (|dx| + |dy|) to end the saver.
constexpr uint32_t mouseMoveThreshold = 4;

enum class InputAction {
    PassOn,            // nothing to do; the default window behaviour follows
    Close,             // post WM_CLOSE, then the default window behaviour
    AnswerOne,         // return 1 at once, no default behaviour
    HideCursor,        // SetCursor(NULL), then the default window behaviour
    HideCursorAnswer,  // SetCursor(NULL) and return 1 at once
};

// True when the cursor has moved far enough from `initial` to end the saver.
bool MovedPastThreshold(POINT initial, POINT now);

// Decides a message for a running full-screen saver that is neither closing
// nor checking a password. `cursor` is the cursor position read now (only
// WM_MOUSEMOVE looks at it; the message's own coordinates are not trusted).
InputAction DecideInput(UINT message, WPARAM wParam, LPARAM lParam, POINT initial, POINT cursor);

// What the full-screen saver does with a WM_SYSCOMMAND before the engine sees it.
enum class SysCommandAction {
    PassOn,      // to the engine and the default behaviour
    Swallow,     // answer 0: no task switching, no second screen saver
    CloseAfter,  // post WM_CLOSE, then pass on (the monitor is powering down)
};

SysCommandAction DecideSysCommand(WPARAM command);
