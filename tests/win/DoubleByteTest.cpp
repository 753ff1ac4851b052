// Double-byte text, stepped through by the system's own steps for Shift-JIS
// (code page 932), as a Japanese Windows steps through its ANSI text.
#include "text/TextString.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

const char* NextShiftJis(const char* text) { return CharNextExA(932, text, 0); }

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
