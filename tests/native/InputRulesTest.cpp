#include "host/InputRules.h"

#include "WinMessages.h"

#include <gtest/gtest.h>

static InputAction Decide(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return DecideInput(message, wParam, lParam, POINT{100, 100}, POINT{100, 100});
}

TEST(InputRules, MouseMustMoveMoreThanFourPixelsInSum) {
    struct Case { POINT now; bool closes; };
    const Case cases[] = {
        {{100, 100}, false}, {{103, 101}, false}, {{97, 99}, false}, {{104, 100}, false},
        {{103, 102}, true},  {{105, 100}, true},  {{100, 95}, true}, {{98, 97}, true},
    };
    for (const Case& c : cases) {
        InputAction action = DecideInput(WM_MOUSEMOVE, 0, 0, POINT{100, 100}, c.now);
        EXPECT_EQ(action == InputAction::Close, c.closes) << c.now.x << "," << c.now.y;
    }
    // Extreme coordinates do not overflow into a small distance.
    EXPECT_TRUE(MovedPastThreshold(POINT{INT32_MIN, 0}, POINT{INT32_MAX, 0}));
}

TEST(InputRules, KeysClicksActivationAndCursor) {
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN})
        EXPECT_EQ(Decide(message), InputAction::Close) << message;
    EXPECT_EQ(Decide(WM_ACTIVATEAPP, 0), InputAction::Close);
    EXPECT_EQ(Decide(WM_ACTIVATEAPP, 1), InputAction::PassOn);
    EXPECT_EQ(Decide(WM_POWER, 3), InputAction::Close);
    EXPECT_EQ(Decide(WM_POWER, 1), InputAction::PassOn);
    EXPECT_EQ(Decide(WM_SHOWWINDOW, 1), InputAction::HideCursor);
    EXPECT_EQ(Decide(WM_SHOWWINDOW, 0), InputAction::PassOn);
    EXPECT_EQ(Decide(WM_SETCURSOR), InputAction::HideCursorAnswer);
    EXPECT_EQ(Decide(WM_PAINT), InputAction::PassOn);
    EXPECT_EQ(Decide(WM_TIMER), InputAction::PassOn);
}

TEST(InputRules, PowerBroadcasts) {
    struct Case { WPARAM event; LPARAM flags; InputAction action; };
    const Case cases[] = {
        {0, 0, InputAction::AnswerOne},   // query suspend: agree, keep running
        {4, 0, InputAction::Close},       // the suspend itself
        {6, 0, InputAction::Close}, {6, 1, InputAction::PassOn},
        {9, 0, InputAction::Close}, {9, 1, InputAction::Close},
        {10, 0, InputAction::PassOn},     // power status change
        {18, 0, InputAction::Close}, {18, 1, InputAction::PassOn},
        {0x8013, 0, InputAction::PassOn}, // power setting change
        {0x8014, 0, InputAction::Close},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decide(WM_POWERBROADCAST, c.event, c.flags), c.action) << c.event << "/" << c.flags;
}

TEST(InputRules, SystemCommands) {
    EXPECT_EQ(DecideSysCommand(SC_SCREENSAVE), SysCommandAction::Swallow);
    EXPECT_EQ(DecideSysCommand(SC_SCREENSAVE | 0xF), SysCommandAction::Swallow);  // low bits are the system's
    EXPECT_EQ(DecideSysCommand(SC_NEXTWINDOW), SysCommandAction::Swallow);
    EXPECT_EQ(DecideSysCommand(SC_PREVWINDOW), SysCommandAction::Swallow);
    EXPECT_EQ(DecideSysCommand(SC_MONITORPOWER), SysCommandAction::CloseAfter);
    EXPECT_EQ(DecideSysCommand(SC_MONITORPOWER + 2), SysCommandAction::CloseAfter);
    EXPECT_EQ(DecideSysCommand(0xF060 /* SC_CLOSE */), SysCommandAction::PassOn);
}
