// Reading the screen-saver switch from the command line. Pure text work: the
// window checks (IsWindow, the foreground window) are the caller's.
#pragma once

#include "platform/CharStep.h"

#include <cstdint>

// The argument text after the program name: a quoted name is skipped up to its
// closing quote (an unterminated quote swallows the whole line), an unquoted
// one up to the first character at or below space; then the blanks and
// control characters (codes 1..32) that follow are skipped.
const char* SkipProgramName(const char* commandLine, NextCharFunction next = NextByte);

// Reads the leading run of '0'..'9'; no sign, no spaces, wraps modulo 2^32.
// An empty run gives 0.
uint32_t ParseDecimal(const char* text);

enum class SaverRole {
    NoSwitch,        // nothing after the program name: options dialog with no owner
    Configure,       // options dialog; `handle` is the owner asked for (0: none)
    FullScreen,      // run the saver over the whole screen
    Preview,         // run the saver inside window `handle`
    ChangePassword,  // password change with owner `handle`
    Invalid,         // unknown switch: the process ends with -1
};

struct SaverSwitch {
    SaverRole role;
    uint32_t handle;  // a 32-bit window handle value as written on the command line
};

// Decodes the argument text: any run of ' ', '-' and '/' is skipped, then the
// switch letter decides. "/c:123" names owner 123; "/c 123" names none, so the
// foreground window is used. "/p" and "/a" take the number after any spaces.
SaverSwitch ReadSaverSwitch(const char* arguments);
