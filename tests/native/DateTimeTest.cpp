#include "text/DateTime.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Monday 30 October 2017, 13:05:09, with fields changed by the table rows.
DateTime Record(int year = 2017, int month = 10, int day = 30, int hour = 13, int minute = 5,
                int second = 9) {
    return DateTime{static_cast<int16_t>(year), static_cast<int16_t>(month),
                    static_cast<int16_t>(day), static_cast<int16_t>(hour),
                    static_cast<int16_t>(minute), static_cast<int16_t>(second), 60};
}

std::string Format(const DateTime& r, const char* format) {
    char buffer[200];
    return FormatDateTime(&r, format, buffer);
}

std::string Text(const DateTime& r) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", r.year, r.month, r.day,
                  r.hour, r.minute, r.second);
    return text;
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
