// The host's decisions that need no window: the command line, input that
// closes the saver, and when the Windows 9x password is asked for.
#include "host/CommandLine.h"
#include "host/InputRules.h"
#include "host/PasswordRules.h"

#include "platform/WinMessages.h"

#include <gtest/gtest.h>

// The whole command line as the system gives it: the program name skipped
// (quoted, unquoted, unterminated), then the switch and the window handle
// after it (leading digits only, no sign).
TEST(CommandLine, EverySpellingOfEveryRole) {
    const struct {
        const char* line;
        SaverRole role;
        uint32_t handle;
    } cases[] = {
        {"", SaverRole::NoSwitch, 0},
        {"saver.scr", SaverRole::NoSwitch, 0},
        {"s  -/ ", SaverRole::NoSwitch, 0},
        {"\"C:\\unterminated quote /s", SaverRole::NoSwitch, 0},  // swallows the whole line
        {"\"C:\\Program Files\\saver.scr\"/s", SaverRole::FullScreen, 0},
        {"saver.scr \t\x01 S", SaverRole::FullScreen, 0},  // codes 1..32 are all blanks here
        {"s --//s extra", SaverRole::FullScreen, 0},
        {"s /p 1234", SaverRole::Preview, 1234},
        {"s /p1234", SaverRole::Preview, 1234},
        {"s /l1234", SaverRole::Preview, 1234},
        {"s /p", SaverRole::Preview, 0},
        {"s /p abc", SaverRole::Preview, 0},
        {"s /p 12x", SaverRole::Preview, 12},
        {"s /p -12", SaverRole::Preview, 0},
        {"s /p 4294967295", SaverRole::Preview, 4294967295u},
        {"s /c", SaverRole::Configure, 0},
        {"\"C:\\Program Files\\saver.scr\" /c:55", SaverRole::Configure, 55},
        {"s /c 1234", SaverRole::Configure, 0},
        {"s /c: 1234", SaverRole::Configure, 0},  // only a colon names the owner
        {"\"\" /a 77", SaverRole::ChangePassword, 77},
        {"s /x", SaverRole::Invalid, 0},
        {"s \xE9", SaverRole::Invalid, 0},
    };
    for (const auto& c : cases) {
        const SaverSwitch result = ReadSaverSwitch(SkipProgramName(c.line));
        EXPECT_TRUE(result.role == c.role && result.handle == c.handle) << '"' << c.line << '"';
    }
}

// The mouse moved from (100, 100) to `now`: more than four pixels in sum closes.
TEST(InputRules, MouseKeysClicksActivationCursorPowerAndSystemCommands) {
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        InputAction action;
        POINT now = {100, 100};
    } cases[] = {
        {WM_MOUSEMOVE, 0, 0, InputAction::PassOn, {100, 100}},
        {WM_MOUSEMOVE, 0, 0, InputAction::PassOn, {103, 101}},
        {WM_MOUSEMOVE, 0, 0, InputAction::PassOn, {97, 99}},
        {WM_MOUSEMOVE, 0, 0, InputAction::PassOn, {104, 100}},
        {WM_MOUSEMOVE, 0, 0, InputAction::Close, {103, 102}},
        {WM_MOUSEMOVE, 0, 0, InputAction::Close, {105, 100}},
        {WM_MOUSEMOVE, 0, 0, InputAction::Close, {100, 95}},
        {WM_MOUSEMOVE, 0, 0, InputAction::Close, {98, 97}},
        {WM_KEYDOWN, 0, 0, InputAction::Close},
        {WM_SYSKEYDOWN, 0, 0, InputAction::Close},
        {WM_LBUTTONDOWN, 0, 0, InputAction::Close},
        {WM_RBUTTONDOWN, 0, 0, InputAction::Close},
        {WM_MBUTTONDOWN, 0, 0, InputAction::Close},
        {WM_ACTIVATEAPP, 0, 0, InputAction::Close},
        {WM_ACTIVATEAPP, 1, 0, InputAction::PassOn},
        {WM_POWER, 3, 0, InputAction::Close},
        {WM_POWER, 1, 0, InputAction::PassOn},
        {WM_SHOWWINDOW, 1, 0, InputAction::HideCursor},
        {WM_SHOWWINDOW, 0, 0, InputAction::PassOn},
        {WM_SETCURSOR, 0, 0, InputAction::HideCursorAnswer},
        {WM_PAINT, 0, 0, InputAction::PassOn},
        // Power broadcasts: agree to a suspend query and keep running; close
        // on the suspend itself; pass on status (10) and setting (0x8013) changes.
        {WM_POWERBROADCAST, 0, 0, InputAction::AnswerOne},
        {WM_POWERBROADCAST, 4, 0, InputAction::Close},
        {WM_POWERBROADCAST, 6, 0, InputAction::Close},
        {WM_POWERBROADCAST, 6, 1, InputAction::PassOn},
        {WM_POWERBROADCAST, 9, 0, InputAction::Close},
        {WM_POWERBROADCAST, 9, 1, InputAction::Close},
        {WM_POWERBROADCAST, 10, 0, InputAction::PassOn},
        {WM_POWERBROADCAST, 18, 0, InputAction::Close},
        {WM_POWERBROADCAST, 18, 1, InputAction::PassOn},
        {WM_POWERBROADCAST, 0x8013, 0, InputAction::PassOn},
        {WM_POWERBROADCAST, 0x8014, 0, InputAction::Close},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideInput(c.message, c.wParam, c.lParam, POINT{100, 100}, c.now), c.action)
            << c.message << " " << c.wParam << "/" << c.lParam << " at " << c.now.x << "," << c.now.y;
    // System commands; the low four bits are the system's.
    const struct {
        WPARAM command;
        SysCommandAction action;
    } commands[] = {
        {SC_SCREENSAVE, SysCommandAction::Swallow},        {SC_SCREENSAVE | 0xF, SysCommandAction::Swallow},
        {SC_NEXTWINDOW, SysCommandAction::Swallow},        {SC_PREVWINDOW, SysCommandAction::Swallow},
        {SC_MONITORPOWER, SysCommandAction::CloseAfter},   {SC_MONITORPOWER + 2, SysCommandAction::CloseAfter},
        {0xF060 /* SC_CLOSE */, SysCommandAction::PassOn},
    };
    for (const auto& c : commands)
        EXPECT_EQ(DecideSysCommand(c.command), c.action) << c.command;
}

TEST(PasswordRules, OnlyWindows9xAsksAndARefusalPausesTheNextCheck) {
    // Not the NT family (2), nor when the version call failed.
    EXPECT_TRUE(IsWindows9xPlatform(true, 1) && !IsWindows9xPlatform(true, 2) && !IsWindows9xPlatform(false, 1));
    const struct {
        uint32_t last, now;
        bool pausing;
    } cases[] = {
        {neverVerified, 0, false},
        {neverVerified, 100, false},  // no check yet
        {1000, 1000, true},
        {1000, 1199, true},
        {1000, 1200, false},
        {0xFFFFFF00u, 0x00000010u, false},  // 272 ms across the wrap
        {0xFFFFFFF0u, 0x00000010u, true},   // 32 ms across the wrap
    };
    for (const auto& c : cases)
        EXPECT_EQ(InRetryPause(c.last, c.now), c.pausing) << c.last << " " << c.now;
}
