// A broken-down local time, its formatter and its calendar arithmetic: what
// the clock screen shows.
#pragma once

#include <cstdint>

// Seven 16-bit fields, in this order. Months run 1 to 12; the offset is in
// minutes and carried for the caller only.
struct DateTime {
    int16_t year, month, day, hour, minute, second, zoneOffset;
};
static_assert(sizeof(DateTime) == 14, "DateTime is seven 16-bit fields");

// The clock's two lines, e.g. "Mon, October 30th, 2017\n1:05:09pm".
extern const char defaultDateTimeFormat[];

// Size of the internal buffer used when the caller passes none: results are
// cut to 79 characters there.
constexpr int dateTimeBufferSize = 80;

// Expands `format` (null: the default format) into `buffer`, which must hold
// the whole expansion, or, when `buffer` is null, into an internal buffer
// that the next such call overwrites. Returns the NUL-terminated result.
//
// A '%' opens a conversion; every character up to one of the letters
// s m H h n d w M y is a modifier (the first one is kept as the first, the
// last of the others as the second). Letters:
//   s, m  second, minute: two digits; first modifier '1': no padding
//   H, h  hour 0-23, hour on the 12-hour dial: no padding; '2': two digits
//   n     "Am" or "Pm"; a '1' modifier keeps only the first letter
//   d     day of month; '2': two digits; '3': with "St", "Nd", "Rd", "Th",
//         then the second modifier 'C' gives "ST", 'c' gives "st"
//   w     weekday name; '2' or '3': only that many letters
//   M     month name; '1', '2': the number, unpadded or two digits; '3': three letters
//   y     year, four digits; '2': two digits
// Names (n, w, M) are upper-case with a 'C' modifier, lower-case with 'c'.
const char* FormatDateTime(const DateTime* record, const char* format, char* buffer);

// 0 = Sunday to 6 = Saturday, on the proleptic Gregorian calendar.
int DayOfWeek(const DateTime* record);

// Unit codes of AddTime: the unit's name spelt in the bytes, first letter
// highest.
constexpr uint32_t unitSecond = 0x736563;  // "sec"
constexpr uint32_t unitMinute = 0x6D696E;  // "min"
constexpr uint32_t unitHour = 0x686F7572;  // "hour"
constexpr uint32_t unitDay = 0x646179;     // "day"
constexpr uint32_t unitWeek = 0x7765656B;  // "week"
constexpr uint32_t unitMonth = 0x6D6F6E;   // "mon"
constexpr uint32_t unitYear = 0x79656172;  // "year"

// Adds `amount` (truncated to 16 bits) of `unit` and normalises the record:
// seconds, minutes and hours carry upward (negative amounts borrow), then the
// day of month is brought within its month. An unknown unit only
// normalises the day. Amount 0 of unitSecond normalises a freshly filled record.
void AddTime(DateTime* record, uint32_t unit, int amount);
