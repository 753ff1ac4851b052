#include "text/TextString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The saver's preparation of the "Text" setting.
std::string WithEscapes(const char* setting) {
    TextString text;
    text.Assign(setting);
    text.Replace("\\n", "\n", 1, 0);
    text.Replace("\\t", "\t", 1, 0);
    return text.Text();
}

}  // namespace

TEST(TextString, EscapesOfTheTextSetting) {
    const struct { const char* setting; const char* shown; } cases[] = {
        {"Line one\\nLine two", "Line one\nLine two"},
        {"a\\tb\\n\\n", "a\tb\n\n"},
        {"ends in \\", "ends in \\"},         // a lone trailing backslash stays
        {"\\\\\\", "\\\\\\"},                 // nothing but backslashes
        {"\\\\n", "\\\n"},                    // no way to write a backslash before n
        {"C:\\new\\Tab", "C:\new\\Tab"},      // case-sensitive: \T is no escape
        {"\xC4\\n\xFF", "\xC4\n\xFF"},        // characters above 127 pass through
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithEscapes(c.setting), c.shown) << c.setting;
}

TEST(TextString, ReplaceResumesAtTheInsertionPointUnlessTheReplacementHoldsThePattern) {
    const struct { const char* text; const char* pattern; const char* replacement; int caseSensitive;
                   int start; int passes; const char* result; } cases[] = {
        {"abb", "ab", "a", 1, 0, 2, "a"},          // "a" + "b" forms the pattern again
        {"aba", "a", "aa", 1, 0, 2, "aabaa"},      // would never end if it resumed at pos
        {"aAa", "a", "A", 0, 0, 3, "AAA"},         // holds the pattern ignoring case: ends
        {"xyxy", "xy", "", 1, 0, 2, ""},           // empty replacement deletes
        {"xyxy", "xy", nullptr, 1, 1, 1, "xy"},
        {"xyxy", "xy", "z", 1, -2, 1, "xyz"},      // negative start counts from the end
        {"xyxy", "xy", "z", 1, -5, 0, "xyxy"},     // before the text's start: nothing
        {"hello", "q", "z", 1, 0, 0, "hello"},     // no match: unchanged
    };
    for (const auto& c : cases) {
        TextString s;
        s.Assign(c.text);
        EXPECT_EQ(s.Replace(c.pattern, c.replacement, c.caseSensitive, c.start), c.passes) << c.text;
        EXPECT_STREQ(s.Text(), c.result) << c.text << " " << c.pattern;
        EXPECT_EQ(s.Length(), static_cast<int>(std::strlen(c.result)));
    }
}
