// The text subsystem without a device context: the clock's date and time
// formats, the text setting's strings, and the markup options.
#include "text/DateTime.h"
#include "text/MarkupOptions.h"
#include "text/TextString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Monday 30 October 2017, 13:05:09, with fields changed by the table rows.
DateTime Record(int year = 2017, int month = 10, int day = 30, int hour = 13, int minute = 5, int second = 9) {
    return DateTime{int16_t(year), int16_t(month), int16_t(day), int16_t(hour), int16_t(minute), int16_t(second), 60};
}

std::string Format(const DateTime& r, const char* format) {
    char buffer[200];
    return FormatDateTime(&r, format, buffer);
}

std::string Text(const DateTime& r) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", r.year, r.month, r.day, r.hour, r.minute, r.second);
    return text;
}

// The saver's preparation of the "Text" setting.
std::string WithEscapes(const char* setting) {
    TextString text;
    text.Assign(setting);
    text.Replace("\\n", "\n", 1, 0);
    text.Replace("\\t", "\t", 1, 0);
    return text.Text();
}

// A measuring function for the fitting search: a text whose box is
// `characters` x `lines` cells of a font `height` units high, each character
// half as wide as high. It records the heights it was asked for.
struct FakeText {
    int characters, lines;
    std::vector<int32_t> asked;
};

RECT MeasureFake(int32_t height, void* context) {
    FakeText& text = *static_cast<FakeText*>(context);
    text.asked.push_back(height);
    return RECT{0, 0, text.characters * height / 2, text.lines * height};
}

}  // namespace

TEST(FormatDateTime, EveryLetterAndModifier) {
    const struct { DateTime record; const char* format; const char* text; } cases[] = {
        {Record(), nullptr, "Mon, October 30th, 2017\n1:05:09pm"},  // the clock's own format
        {Record(), "%s|%1s|%m|%1m|%xs", "09|9|05|5|09"},   // x: a modifier without meaning
        {Record(2017, 10, 30, 7, 4), "%H:%m|%2H:%1m", "7:04|07:4"},
        {Record(2017, 10, 30, 0), "%h%cn|%2h|%H", "12am|12|0"},
        {Record(2017, 10, 30, 12), "%h%cn|%n|%Cn", "12pm|Pm|PM"},
        {Record(2017, 10, 30, 23), "%h%cn|%2h", "11pm|11"},
        {Record(2017, 10, 30, 15), "%1n|%c1n|%1Cn", "P|p|P"},
        {Record(2017, 10, 1), "%3d|%3Cd|%3cd|%2d|%d|%C3d", "1St|1ST|1st|01|1|1"},
        {Record(2017, 10, 2), "%3d", "2Nd"},   {Record(2017, 10, 3), "%3d", "3Rd"},
        {Record(2017, 10, 11), "%3d", "11Th"}, {Record(2017, 10, 13), "%3d", "13Th"},
        {Record(2017, 10, 22), "%3d", "22Nd"},
        {Record(2017, 11, 2), "%w|%2w|%3w|%Cw|%cw|%2Cw", "Thursday|Th|Thu|THURSDAY|thursday|TH"},
        {Record(2017, 9), "%M|%3cM|%3M|%CM", "September|sep|Sep|SEPTEMBER"},
        {Record(2017, 3), "%1M|%2M", "3|03"},
        {Record(2007), "%y|%2y", "2007|07"}, {Record(987), "%y", "0987"},
        {Record(), "%%s|100%|a%3", "09|100"},  // no literal percent; an open conversion ends
        {Record(), "line\none\t%", "line\none\t"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.record, c.format), c.text) << (c.format ? c.format : "default");
}

TEST(AddTime, CarriesAndBorrowsAcrossMonthsYearsAndLeapDays) {
    const struct { DateTime start; uint32_t unit; int amount; const char* result; } cases[] = {
        {Record(2016, 2, 28), unitDay, 1, "2016-02-29 13:05:09"},
        {Record(2017, 2, 28), unitDay, 1, "2017-03-01 13:05:09"},
        {Record(2017, 1, 31), unitMonth, 1, "2017-03-03 13:05:09"},
        {Record(2017, 1, 3), unitWeek, -1, "2016-12-27 13:05:09"},
        {Record(2017, 1, 1, 0, 0, 5), unitSecond, -10, "2016-12-31 23:59:55"},
        {Record(2100, 3, 1, 0, 0, 0), unitMinute, -1, "2100-02-28 23:59:00"},  // 2100 is no leap year
        {Record(2000, 3, 1, 0, 30, 0), unitHour, -1, "2000-02-29 23:30:00"},   // 2000 is one
        {Record(2017, 3, 15), unitMonth, -14, "2016-01-15 13:05:09"},
        {Record(2016, 2, 29), unitYear, 1, "2017-03-01 13:05:09"},  // no month step, day normalised
        {Record(2017, 1, 1), unitDay, -366, "2016-01-01 13:05:09"},
        {Record(2017, 10, 30, 13, 5, 75), unitSecond, 0, "2017-10-30 13:06:15"},  // normalises
    };
    for (const auto& c : cases) {
        DateTime r = c.start;
        AddTime(&r, c.unit, c.amount);
        EXPECT_EQ(Text(r), c.result) << Text(c.start) << " + " << c.amount;
    }
}

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

TEST(MarkupOptions, Keywords) {
    const struct { const char* options; UINT flags; int height; bool fill; FillBounds bounds;
                   int weight; const char* face; } cases[] = {
        {nullptr, 0x840, 0, false, {0, 0, 0}, 400, nullptr},
        {"fill vctr hctr", 0x841, 8, true, {8, 4096, 2}, 400, nullptr},
        {"fill( -5, 30,x)", 0x840, 8, true, {8, 30, 2}, 400, nullptr},
        {"fill(12 ,30,1)", 0x840, 12, true, {12, 4096, 2}, 400, nullptr},  // fields stop at " ,"
        {"fill(99999999999,5,5)", 0x840, -1, true, {INT32_MAX, INT32_MAX, 5}, 400, nullptr},
        {"24 bold italic font=Courier New", 0x840, 24, false, {0, 0, 0}, 700, "Courier New"},
        {"30 font=Arial right", 0x842, 30, false, {0, 0, 0}, 400, "Arial right"},  // keywords in the face count
        {"bold 24", 0x840, 0, false, {0, 0, 0}, 700, nullptr},  // the number must lead
        {"  -12thin", 0x840, -12, false, {0, 0, 0}, 100, nullptr},
        {"70000", 0x840, 4464, false, {0, 0, 0}, 400, nullptr},  // kept to 16 bits
        {"center right wrap noclip", 0x953, 0, false, {0, 0, 0}, 400, nullptr},
    };
    for (const auto& c : cases) {
        const MarkupOptions o = ParseMarkupOptions(c.options, RECT{0, 0, 640, 480});
        const char* label = c.options ? c.options : "(none)";
        EXPECT_EQ(o.flags, c.flags) << label;
        EXPECT_EQ(o.fontHeight, c.height) << label;
        EXPECT_EQ(o.fill, c.fill) << label;
        if (c.fill) {
            EXPECT_EQ(std::tie(o.bounds.minimum, o.bounds.maximum, o.bounds.step),
                      std::tie(c.bounds.minimum, c.bounds.maximum, c.bounds.step)) << label;
        }
        EXPECT_EQ(o.weight, c.weight) << label;
        EXPECT_STREQ(o.face, c.face) << label;
    }
    const MarkupOptions styles = ParseMarkupOptions("fixed italic underline strike", RECT{0, 0, 640, 480});
    EXPECT_TRUE(styles.fixedPitch && styles.italic && styles.underline && styles.strikeOut);
    // An empty rectangle at the origin is unbounded: never clipped.
    EXPECT_EQ(ParseMarkupOptions("", RECT{0, 0, 0, 0}).flags, 0x940u);
    EXPECT_EQ(ParseMarkupOptions("", RECT{0, 0, 0, 1}).flags, 0x840u);
}

TEST(MarkupOptions, FittingSearchAgainstAFakeMeasure) {
    const struct { int characters, lines; RECT area; FillBounds bounds; int32_t height; int calls; } cases[] = {
        // 11 characters on 2 lines in 640 x 480: widths 5.5 h; 116 fits (638 < 640), 118 overflows.
        {11, 2, {0, 0, 640, 480}, {8, 4096, 2}, 116, 57},
        // Exactly touching the right edge stops at once: 10 x 64 / 2 = 320.
        {10, 1, {0, 0, 320, 480}, {8, 4096, 8}, 64, 8},
        {1, 1, {0, 0, 640, 480}, {8, 100, 2}, 100, 47},   // the maximum ends the growth
        {200, 1, {0, 0, 640, 480}, {8, 4096, 2}, 8, 1},   // even the minimum overflows: minimum
        {20, 1, {0, 0, 640, 480}, {20, 20, 2}, 20, 1},    // fill(20,10,0): only 20 is tried
        {10, 1, {0, 0, 0, 0}, {8, 4096, 2}, 8, 1},        // unbounded area: everything overflows
        {3, 1, {0, 0, 100, 1000}, {8, 4096, 3}, 65, 22},  // step 3: 8, 11, ..., 65 (97 < 100)
    };
    for (const auto& c : cases) {
        FakeText text = {c.characters, c.lines, {}};
        EXPECT_EQ(SearchFittingHeight(c.bounds, c.area, MeasureFake, &text), c.height)
            << c.characters << " in " << c.area.right;
        EXPECT_EQ(static_cast<int>(text.asked.size()), c.calls) << c.characters;
        EXPECT_EQ(text.asked.back(), c.height);  // the last measurement is the chosen height
    }
}
