#include "host/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

TEST(SkipProgramName, QuotedAndUnquotedNames) {
    struct Case { const char* line; const char* arguments; };
    const Case cases[] = {
        {"saver.scr /s", "/s"},
        {"\"C:\\Program Files\\saver.scr\" /c:55", "/c:55"},
        {"\"C:\\Program Files\\saver.scr\"/s", "/s"},
        {"\"C:\\unterminated quote /s", ""},  // swallows the whole line
        {"saver.scr", ""},
        {"saver.scr \t\x01 /s", "/s"},        // codes 1..32 are all blanks here
        {"", ""},
        {"\"\" /a", "/a"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(SkipProgramName(c.line), c.arguments) << c.line;
}

TEST(ParseDecimal, ReadsLeadingDigitsAndWraps) {
    EXPECT_EQ(ParseDecimal("1234"), 1234u);
    EXPECT_EQ(ParseDecimal("12abc"), 12u);
    EXPECT_EQ(ParseDecimal(""), 0u);
    EXPECT_EQ(ParseDecimal(" 12"), 0u);   // no spaces
    EXPECT_EQ(ParseDecimal("-12"), 0u);   // no sign
    EXPECT_EQ(ParseDecimal("4294967295"), 4294967295u);
    EXPECT_EQ(ParseDecimal("4294967296"), 0u);             // wraps modulo 2^32
    EXPECT_EQ(ParseDecimal("4294967297123"), 1123u);       // 4294967297123 mod 2^32
}

TEST(ReadSaverSwitch, EverySpellingOfEveryRole) {
    struct Case { const char* arguments; SaverRole role; uint32_t handle; };
    const Case cases[] = {
        {"", SaverRole::NoSwitch, 0},
        {"  -/ ", SaverRole::NoSwitch, 0},
        {"/s", SaverRole::FullScreen, 0},
        {" S", SaverRole::FullScreen, 0},
        {"--//s extra", SaverRole::FullScreen, 0},
        {"/p 1234", SaverRole::Preview, 1234},
        {"/p1234", SaverRole::Preview, 1234},
        {"/l1234", SaverRole::Preview, 1234},
        {"/p", SaverRole::Preview, 0},
        {"/p abc", SaverRole::Preview, 0},
        {"/p 12x", SaverRole::Preview, 12},
        {"/c", SaverRole::Configure, 0},
        {"/c:1234", SaverRole::Configure, 1234},
        {"/c 1234", SaverRole::Configure, 0},   // only a colon names the owner
        {"/c: 1234", SaverRole::Configure, 0},
        {"/a 77", SaverRole::ChangePassword, 77},
        {"/x", SaverRole::Invalid, 0},
        {"\xE9", SaverRole::Invalid, 0},
    };
    for (const Case& c : cases) {
        SaverSwitch result = ReadSaverSwitch(c.arguments);
        EXPECT_EQ(static_cast<int>(result.role), static_cast<int>(c.role)) << '"' << c.arguments << '"';
        EXPECT_EQ(result.handle, c.handle) << '"' << c.arguments << '"';
    }
}
