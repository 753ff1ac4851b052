// The host's decisions that need no window: the command line, input that
// closes the saver, and when the Windows 9x password is asked for.
#include "host/CommandLine.h"
#include "host/InputRules.h"
#include "host/PasswordRules.h"

#include "WinMessages.h"

#include <gtest/gtest.h>

TEST(SkipProgramName, QuotedAndUnquotedNames) {
    const struct { const char* line; const char* arguments; } cases[] = {
        {"saver.scr /s", "/s"},
        {"\"C:\\Program Files\\saver.scr\" /c:55", "/c:55"},
        {"\"C:\\Program Files\\saver.scr\"/s", "/s"},
        {"\"C:\\unterminated quote /s", ""},  // swallows the whole line
        {"saver.scr \t\x01 /s", "/s"},        // codes 1..32 are all blanks here
        {"saver.scr", ""}, {"", ""}, {"\"\" /a", "/a"},
    };
    for (const auto& c : cases) EXPECT_STREQ(SkipProgramName(c.line), c.arguments) << c.line;
}

// Leading digits only (no spaces, no sign), wrapping modulo 2^32.
TEST(ParseDecimal, ReadsLeadingDigitsAndWraps) {
    const struct { const char* text; uint32_t value; } cases[] = {
        {"1234", 1234}, {"12abc", 12}, {"", 0}, {" 12", 0}, {"-12", 0},
        {"4294967295", 4294967295u}, {"4294967296", 0}, {"4294967297123", 1123},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.value) << c.text;
}

TEST(ReadSaverSwitch, EverySpellingOfEveryRole) {
    const struct { const char* arguments; SaverRole role; uint32_t handle; } cases[] = {
        {"", SaverRole::NoSwitch, 0}, {"  -/ ", SaverRole::NoSwitch, 0},
        {"/s", SaverRole::FullScreen, 0}, {" S", SaverRole::FullScreen, 0}, {"--//s extra", SaverRole::FullScreen, 0},
        {"/p 1234", SaverRole::Preview, 1234}, {"/p1234", SaverRole::Preview, 1234}, {"/l1234", SaverRole::Preview, 1234},
        {"/p", SaverRole::Preview, 0}, {"/p abc", SaverRole::Preview, 0}, {"/p 12x", SaverRole::Preview, 12},
        {"/c", SaverRole::Configure, 0}, {"/c:1234", SaverRole::Configure, 1234},
        {"/c 1234", SaverRole::Configure, 0}, {"/c: 1234", SaverRole::Configure, 0},  // only a colon names the owner
        {"/a 77", SaverRole::ChangePassword, 77}, {"/x", SaverRole::Invalid, 0}, {"\xE9", SaverRole::Invalid, 0},
    };
    for (const auto& c : cases) {
        const SaverSwitch result = ReadSaverSwitch(c.arguments);
        EXPECT_TRUE(result.role == c.role && result.handle == c.handle) << '"' << c.arguments << '"';
    }
}

TEST(InputRules, MouseMustMoveMoreThanFourPixelsInSum) {
    const struct { POINT now; bool closes; } cases[] = {
        {{100, 100}, false}, {{103, 101}, false}, {{97, 99}, false}, {{104, 100}, false},
        {{103, 102}, true},  {{105, 100}, true},  {{100, 95}, true}, {{98, 97}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideInput(WM_MOUSEMOVE, 0, 0, POINT{100, 100}, c.now) == InputAction::Close, c.closes)
            << c.now.x << "," << c.now.y;
    // Extreme coordinates do not overflow into a small distance.
    EXPECT_TRUE(MovedPastThreshold(POINT{INT32_MIN, 0}, POINT{INT32_MAX, 0}));
}

TEST(InputRules, KeysClicksActivationCursorAndPower) {
    const struct { UINT message; WPARAM wParam; LPARAM lParam; InputAction action; } cases[] = {
        {WM_KEYDOWN, 0, 0, InputAction::Close}, {WM_SYSKEYDOWN, 0, 0, InputAction::Close},
        {WM_LBUTTONDOWN, 0, 0, InputAction::Close}, {WM_RBUTTONDOWN, 0, 0, InputAction::Close},
        {WM_MBUTTONDOWN, 0, 0, InputAction::Close},
        {WM_ACTIVATEAPP, 0, 0, InputAction::Close}, {WM_ACTIVATEAPP, 1, 0, InputAction::PassOn},
        {WM_POWER, 3, 0, InputAction::Close}, {WM_POWER, 1, 0, InputAction::PassOn},
        {WM_SHOWWINDOW, 1, 0, InputAction::HideCursor}, {WM_SHOWWINDOW, 0, 0, InputAction::PassOn},
        {WM_SETCURSOR, 0, 0, InputAction::HideCursorAnswer},
        {WM_PAINT, 0, 0, InputAction::PassOn}, {WM_TIMER, 0, 0, InputAction::PassOn},
        // Power broadcasts: agree to a suspend query and keep running; close
        // on the suspend itself; pass on status (10) and setting (0x8013) changes.
        {WM_POWERBROADCAST, 0, 0, InputAction::AnswerOne}, {WM_POWERBROADCAST, 4, 0, InputAction::Close},
        {WM_POWERBROADCAST, 6, 0, InputAction::Close}, {WM_POWERBROADCAST, 6, 1, InputAction::PassOn},
        {WM_POWERBROADCAST, 9, 0, InputAction::Close}, {WM_POWERBROADCAST, 9, 1, InputAction::Close},
        {WM_POWERBROADCAST, 10, 0, InputAction::PassOn},
        {WM_POWERBROADCAST, 18, 0, InputAction::Close}, {WM_POWERBROADCAST, 18, 1, InputAction::PassOn},
        {WM_POWERBROADCAST, 0x8013, 0, InputAction::PassOn}, {WM_POWERBROADCAST, 0x8014, 0, InputAction::Close},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideInput(c.message, c.wParam, c.lParam, POINT{100, 100}, POINT{100, 100}), c.action)
            << c.message << " " << c.wParam << "/" << c.lParam;
}

TEST(InputRules, SystemCommands) {
    // The low four bits are the system's.
    const struct { WPARAM command; SysCommandAction action; } cases[] = {
        {SC_SCREENSAVE, SysCommandAction::Swallow}, {SC_SCREENSAVE | 0xF, SysCommandAction::Swallow},
        {SC_NEXTWINDOW, SysCommandAction::Swallow}, {SC_PREVWINDOW, SysCommandAction::Swallow},
        {SC_MONITORPOWER, SysCommandAction::CloseAfter}, {SC_MONITORPOWER + 2, SysCommandAction::CloseAfter},
        {0xF060 /* SC_CLOSE */, SysCommandAction::PassOn},
    };
    for (const auto& c : cases) EXPECT_EQ(DecideSysCommand(c.command), c.action) << c.command;
}

TEST(PasswordRules, OnlyWindows9xAsksAndARefusalPausesTheNextCheck) {
    // Not the NT family (2), nor when the version call failed.
    EXPECT_TRUE(IsWindows9xPlatform(true, 1) && !IsWindows9xPlatform(true, 2) && !IsWindows9xPlatform(false, 1));
    const struct { uint32_t last, now; bool pausing; } cases[] = {
        {neverVerified, 0, false}, {neverVerified, 100, false},  // no check yet
        {1000, 1000, true}, {1000, 1199, true}, {1000, 1200, false},
        {0xFFFFFF00u, 0x00000010u, false},   // 272 ms across the wrap
        {0xFFFFFFF0u, 0x00000010u, true},    // 32 ms across the wrap
    };
    for (const auto& c : cases) EXPECT_EQ(InRetryPause(c.last, c.now), c.pausing) << c.last << " " << c.now;
}
