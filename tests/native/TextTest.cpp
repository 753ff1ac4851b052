// The text subsystem without a device context: the clock's date and time, the
// text setting's escapes, and the options and fitting of the markup text.
#include "text/DateTime.h"
#include "text/MarkupOptions.h"
#include "text/TextString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Monday 30 October 2017, 13:05:09, with fields changed by the table rows.
static DateTime Record(int year = 2017, int month = 10, int day = 30, int hour = 13, int minute = 5, int second = 9) {
    return DateTime{int16_t(year), int16_t(month), int16_t(day), int16_t(hour), int16_t(minute), int16_t(second), 60};
}

// The clock's two lines as the saver makes them: the record normalised, adding
// nothing (a leap second carries across days, months and years), then in the
// only format the saver asks for: ordinals, the 12-hour dial, weekdays across
// leap years, four-digit years.
TEST(FormatDateTime, TheClock) {
    const struct {
        DateTime record;
        const char* text;
    } cases[] = {
        {Record(), "Mon, October 30th, 2017\n1:05:09pm"},
        {Record(2017, 10, 1, 0, 0, 0), "Sun, October 1st, 2017\n12:00:00am"},
        {Record(2017, 11, 2, 12), "Thu, November 2nd, 2017\n12:05:09pm"},
        {Record(2017, 10, 3, 23, 59), "Tue, October 3rd, 2017\n11:59:09pm"},
        {Record(2017, 10, 11, 11), "Wed, October 11th, 2017\n11:05:09am"},
        {Record(2017, 10, 13), "Fri, October 13th, 2017\n1:05:09pm"},
        {Record(2017, 10, 22), "Sun, October 22nd, 2017\n1:05:09pm"},
        {Record(987), "Tue, October 30th, 0987\n1:05:09pm"},
        {Record(2016, 12, 31, 23, 59, 60), "Sun, January 1st, 2017\n12:00:00am"},
        {Record(2016, 2, 28, 23, 59, 60), "Mon, February 29th, 2016\n12:00:00am"},
        {Record(2100, 2, 28, 23, 59, 60), "Mon, March 1st, 2100\n12:00:00am"},      // 2100 is no leap year
        {Record(2000, 2, 28, 23, 59, 60), "Tue, February 29th, 2000\n12:00:00am"},  // 2000 is one
    };
    for (const auto& c : cases) {
        DateTime r = c.record;
        AddTime(&r, unitSecond, 0);
        EXPECT_STREQ(FormatDateTime(&r, nullptr, nullptr), c.text) << c.text;
    }
}

// Every escape replaced, left to right, each once. (A plain "\\n" between two
// lines is the end-to-end text test's "Hello\\nWorld".)
TEST(TextString, EscapesOfTheTextSetting) {
    const struct {
        const char* setting;
        const char* shown;
    } cases[] = {
        {"a\\tb\\n\\n", "a\tb\n\n"},
        {"ends in \\", "ends in \\"},     // a lone trailing backslash stays
        {"\\\\n", "\\\n"},                // no way to write a backslash before n
        {"C:\\new\\Tab", "C:\new\\Tab"},  // case-sensitive: \T is no escape
        {"\xC4\\n\xFF", "\xC4\n\xFF"},    // characters above 127 pass through
    };
    for (const auto& c : cases) {
        TextString text;  // as the saver prepares the "Text" setting
        text.Assign(c.setting);
        ReplaceEscapes(text);
        EXPECT_EQ(std::string(text.Text()), c.shown) << c.setting;
    }
}

// The options the saver passes, with the display window's rectangle. (The
// measuring ones the text probe of the end-to-end tests adds are read there.)
TEST(MarkupOptions, TheSaversOptionsAndTheFittingSearch) {
    const MarkupOptions o = ParseMarkupOptions("fill vctr hctr", RECT{0, 0, 640, 480});
    EXPECT_TRUE(o.fill && o.centreVertically && !o.calcRect && o.fontHeight == 8 && o.weight == 400 && !o.face);
    EXPECT_EQ(o.flags, 0x841u);  // centred lines, tabs expanded, no '&' prefixes
    EXPECT_EQ(std::vector<int32_t>({o.bounds.minimum, o.bounds.maximum, o.bounds.step}),
              std::vector<int32_t>({8, 4096, 2}));
    // The fitting search against a fake measure: a text whose box is
    // `characters` x `lines` cells of a font `height` units high, each
    // character half as wide as high; it records the heights it was asked for.
    struct FakeText {
        int characters, lines;
        std::vector<int32_t> asked;
    };
    const auto measure = [](int32_t height, void* context) {
        FakeText& text = *static_cast<FakeText*>(context);
        text.asked.push_back(height);
        return RECT{0, 0, text.characters * height / 2, text.lines * height};
    };
    const struct {
        int characters, lines;
        RECT area;
        FillBounds bounds;
        int32_t height;
        int calls;
    } cases[] = {
        // 11 characters on 2 lines in 640 x 480: widths 5.5 h; 116 fits (638 < 640), 118 overflows.
        {11, 2, {0, 0, 640, 480}, {8, 4096, 2}, 116, 57},
        // Exactly touching the right edge stops at once: 10 x 64 / 2 = 320.
        {10, 1, {0, 0, 320, 480}, {8, 4096, 8}, 64, 8},
        {1, 1, {0, 0, 640, 480}, {8, 100, 2}, 100, 47},   // the maximum ends the growth
        {200, 1, {0, 0, 640, 480}, {8, 4096, 2}, 8, 1},   // even the minimum overflows: minimum
        {10, 1, {0, 0, 0, 0}, {8, 4096, 2}, 8, 1},        // unbounded area: everything overflows
        {3, 1, {0, 0, 100, 1000}, {8, 4096, 3}, 65, 22},  // step 3: 8, 11, ..., 65 (97 < 100)
    };
    for (const auto& c : cases) {
        FakeText text = {c.characters, c.lines, {}};
        EXPECT_EQ(SearchFittingHeight(c.bounds, c.area, measure, &text), c.height)
            << c.characters << " in " << c.area.right;
        EXPECT_EQ(static_cast<int>(text.asked.size()), c.calls) << c.characters;
        EXPECT_EQ(text.asked.back(), c.height);  // the last measurement is the chosen height
    }
}
