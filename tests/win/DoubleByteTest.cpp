// Double-byte text, stepped through by the system's own steps for Shift-JIS
// (code page 932), as a Japanese Windows steps through its ANSI text: the
// "Text" setting's escapes, the comparison of folder names and the saver's
// file in the folder the installer picks.
#include "options/InstallRules.h"
#include "text/TextString.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

const char* NextShiftJis(const char* text) { return CharNextExA(932, text, 0); }
const char* PreviousShiftJis(const char* text, const char* current) { return CharPrevExA(932, text, current, 0); }

}  // namespace

// 許 is 0x8B 0x5C: its trail byte is a backslash, which with an n or a t
// after it reads as an escape when the text is taken byte by byte.
TEST(ReplaceEscapes, KeepsShiftJisCharactersWhole) {
    const struct {
        const char* setting;
        const char* shown;
    } cases[] = {
        {"\x8B\x5Cnen", "\x8B\x5Cnen"},
        {"\x8B\x5Ctest", "\x8B\x5Ctest"},
        {"\x8B\x5C\\n\x8B\x5C\\t", "\x8B\x5C\n\x8B\x5C\t"},
        {"a\\tb\\nc", "a\tb\nc"},
    };
    for (const auto& c : cases) {
        TextString text;
        text.Assign(c.setting);
        ReplaceEscapes(text, NextShiftJis);
        EXPECT_STREQ(text.Text(), c.shown) << c.setting;
    }
}

// ア is 0x83 0x41 and チ 0x83 0x61: trail bytes that are the letters A and a.
// Two folders named by them are two folders; ASCII letters still fold.
TEST(IsSameFolder, KeepsTheCaseOfTrailBytes) {
    EXPECT_FALSE(IsSameFolder("C:\\\x83\x41", "C:\\\x83\x61", NextShiftJis));
    EXPECT_TRUE(IsSameFolder("C:\\\x83\x41\\System32", "c:\\\x83\x41\\SYSTEM32", NextShiftJis));
}

// 表 is 0x95 0x5C: a folder ending in it still needs its separator.
TEST(SaverFilePath, KeepsATrailByteThatIsABackslash) {
    char path[installPathSize];
    EXPECT_TRUE(SaverFilePath("C:\\\x95\\", path, PreviousShiftJis));
    EXPECT_STREQ(path, "C:\\\x95\\\\VelorinScreenSaver.scr");
}
