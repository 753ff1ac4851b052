#include "text/DateTime.h"

#include "platform/CharStep.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

const char defaultDateTimeFormat[] = "%3w, %M %3cd, %y\n%h:%m:%s%cn";

namespace {

const char* const weekdayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const monthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                    "July",    "August",   "September", "October", "November", "December"};
const char* const ordinalSuffixes[5] = {"Th", "St", "Nd", "Rd", "Th"};
// A common year's months, then a leap year's.
const int monthLengths[24] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31,
                              31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

char internalBuffer[dateTimeBufferSize];

int FloorDiv(int a, int b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }
int FloorMod(int a, int b) { return a - FloorDiv(a, b) * b; }

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// `month` 0 to 11.
int MonthLength(int month, int year) { return monthLengths[month + (IsLeapYear(year) ? 12 : 0)]; }

// Output that never passes its capacity: what does not fit is dropped, and
// the terminator always fits.
struct Output {
    char* text;
    size_t used;
    size_t capacity;  // including the terminator

    void Put(char c) {
        if (used + 1 < capacity)
            text[used++] = c;
    }
    void PutText(const char* s) {
        while (*s)
            Put(*s++);
    }
    void PutNumber(const char* numberFormat, int value) {
        char digits[16];
        std::snprintf(digits, sizeof digits, numberFormat, value);
        PutText(digits);
    }
};

struct Modifiers {
    char first, second;
    bool Either(char c) const { return first == c || second == c; }
};

// Writes up to `count` letters of a name (all of it when count is 0), in the
// case the modifiers ask for.
void PutName(Output& out, const char* name, size_t count, Modifiers mods) {
    const size_t n = count ? std::min(count, std::strlen(name)) : std::strlen(name);
    for (size_t i = 0; i < n; ++i) {
        char c = name[i];
        if (mods.Either('C'))
            c = UpperAscii(c);
        else if (mods.Either('c'))
            c = LowerAscii(c);
        out.Put(c);
    }
}

// Days 4 to 20 are "th"; the others go by their last digit.
int OrdinalIndex(int day) {
    if (day >= 4 && day <= 20)
        return 0;
    const int lastDigit = FloorMod(day, 10);
    return lastDigit > 4 ? 4 : lastDigit;
}

void PutDay(Output& out, int day, Modifiers mods) {
    out.PutNumber(mods.first == '2' ? "%02d" : "%d", day);
    if (mods.first != '3')
        return;
    char suffix[3];
    std::memcpy(suffix, ordinalSuffixes[OrdinalIndex(day)], sizeof suffix);
    if (mods.second == 'C')
        suffix[1] = UpperAscii(suffix[1]);
    else if (mods.second == 'c')
        suffix[0] = LowerAscii(suffix[0]);
    out.PutText(suffix);
}

// A month field outside 1 to 12 names a month by its place in the year.
int MonthIndex(int month) { return FloorMod(month - 1, 12); }

void PutConversion(Output& out, const DateTime& r, char letter, Modifiers mods) {
    switch (letter) {
    case 's':
        out.PutNumber(mods.first == '1' ? "%d" : "%02d", r.second);
        break;
    case 'm':
        out.PutNumber(mods.first == '1' ? "%d" : "%02d", r.minute);
        break;
    case 'H':
        out.PutNumber(mods.first == '2' ? "%02d" : "%d", r.hour);
        break;
    case 'h': {
        int hour = r.hour;
        if (hour == 0)
            hour = 12;
        else if (hour > 12)
            hour -= 12;
        out.PutNumber(mods.first == '2' ? "%02d" : "%d", hour);
        break;
    }
    case 'n':
        PutName(out, r.hour < 12 ? "Am" : "Pm", mods.Either('1') ? 1 : 0, mods);
        break;
    case 'd':
        PutDay(out, r.day, mods);
        break;
    case 'w':
        PutName(out, weekdayNames[DayOfWeek(&r)], mods.first == '2' ? 2 : mods.first == '3' ? 3 : 0, mods);
        break;
    case 'M':
        if (mods.first == '1')
            out.PutNumber("%d", r.month);
        else if (mods.first == '2')
            out.PutNumber("%02d", r.month);
        else
            PutName(out, monthNames[MonthIndex(r.month)], mods.first == '3' ? 3 : 0, mods);
        break;
    case 'y':
        if (mods.first == '2')
            out.PutNumber("%02d", r.year % 100);
        else
            out.PutNumber("%04d", r.year);
        break;
    }
}

bool IsConversionLetter(char c) { return c && std::strchr("smHhndwMy", c); }

// Days from 1 January of year 0 to 1 January of `year` (negative before it),
// with the leap years of the proleptic Gregorian calendar; year 0 is one.
long DaysBeforeYear(int year) {
    const long leapYears = FloorDiv(year + 3, 4) - FloorDiv(year + 99, 100) + FloorDiv(year + 399, 400);
    return 365L * year + leapYears;
}

}  // namespace

const char* FormatDateTime(const DateTime* record, const char* format, char* buffer) {
    // A caller's buffer holds the whole expansion by contract; the internal
    // one cuts the result at its capacity.
    Output out = {buffer ? buffer : internalBuffer, 0, buffer ? SIZE_MAX : sizeof internalBuffer};
    const char* f = format ? format : defaultDateTimeFormat;
    while (*f) {
        if (*f != '%') {
            out.Put(*f++);
            continue;
        }
        ++f;
        Modifiers mods = {0, 0};
        while (*f && !IsConversionLetter(*f)) {
            if (!mods.first)
                mods.first = *f;
            else
                mods.second = *f;
            ++f;
        }
        if (!*f)
            break;  // the format ends inside a conversion
        PutConversion(out, *record, *f++, mods);
    }
    out.text[out.used] = '\0';
    return out.text;
}

int DayOfWeek(const DateTime* record) {
    const int monthIndex = MonthIndex(record->month);
    long days = record->day + 5 + DaysBeforeYear(record->year);
    for (int m = 0; m < monthIndex; ++m)
        days += MonthLength(m, record->year);
    return static_cast<int>(((days % 7) + 7) % 7);
}

void AddTime(DateTime* record, uint32_t unit, int amount) {
    // Fields are worked as ints and stored back as 16-bit values, so every
    // addition wraps as 16-bit arithmetic does.
    const int add = static_cast<int16_t>(amount);
    int year = record->year, month = record->month - 1, day = record->day;
    int hour = record->hour, minute = record->minute, second = record->second;
    int carry = add;
    bool monthStep = true;
    switch (unit) {
    case unitSecond:
        second = static_cast<int16_t>(second + carry);
        carry = FloorDiv(second, 60);
        second = FloorMod(second, 60);
        [[fallthrough]];
    case unitMinute:
        minute = static_cast<int16_t>(minute + carry);
        carry = FloorDiv(minute, 60);
        minute = FloorMod(minute, 60);
        [[fallthrough]];
    case unitHour:
        hour = static_cast<int16_t>(hour + carry);
        carry = FloorDiv(hour, 24);
        hour = FloorMod(hour, 24);
        [[fallthrough]];
    case unitDay:
        day = static_cast<int16_t>(day + carry);
        break;
    case unitWeek:
        day = static_cast<int16_t>(day + 7 * add);
        break;
    case unitMonth:
        month = static_cast<int16_t>(month + add);
        break;
    case unitYear:
        year = static_cast<int16_t>(year + add);
        monthStep = false;
        break;
    default:
        monthStep = false;
        break;
    }
    // The month step; without it a month out of range is still brought into
    // the year, so that the month table is never read outside.
    if (monthStep || month < 0 || month > 11) {
        year = static_cast<int16_t>(year + FloorDiv(month, 12));
        month = FloorMod(month, 12);
    }
    while (day > MonthLength(month, year)) {
        day -= MonthLength(month, year);
        if (++month > 11) {
            month = 0;
            year = static_cast<int16_t>(year + 1);
        }
    }
    while (day <= 0) {
        if (--month < 0) {
            month = 11;
            year = static_cast<int16_t>(year - 1);
        }
        day += MonthLength(month, year);
    }
    record->year = static_cast<int16_t>(year);
    record->month = static_cast<int16_t>(month + 1);
    record->day = static_cast<int16_t>(day);
    record->hour = static_cast<int16_t>(hour);
    record->minute = static_cast<int16_t>(minute);
    record->second = static_cast<int16_t>(second);
}
