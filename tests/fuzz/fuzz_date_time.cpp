// The date-time formatter on any record and any format string, before and
// after AddTime: into a caller's buffer of exactly the expansion's size (so
// AddressSanitizer sees any byte written past it), and into the internal
// buffer, which must hold the expansion's first 79 characters.
#include "text/DateTime.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void FormatBothWays(const DateTime& record, const std::string& format) {
    // No conversion writes more than 9 characters, and each takes at least
    // 2 of the format.
    std::vector<char> roomy(9 * format.size() + 16);
    const size_t n = std::strlen(FormatDateTime(&record, format.c_str(), roomy.data()));
    char* exact = static_cast<char*>(std::malloc(n + 1));
    if (FormatDateTime(&record, format.c_str(), exact) != exact)
        abort();
    if (std::memcmp(exact, roomy.data(), n + 1) != 0)
        abort();
    std::free(exact);

    const char* internal = FormatDateTime(&record, format.c_str(), nullptr);
    const size_t cut = std::strlen(internal);
    if (cut != std::min<size_t>(n, dateTimeBufferSize - 1))
        abort();
    if (std::memcmp(internal, roomy.data(), cut) != 0)
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < sizeof(DateTime) + 5)
        return 0;
    DateTime record;
    std::memcpy(&record, data, sizeof record);
    uint32_t unit;
    std::memcpy(&unit, data + sizeof record, 4);
    const uint32_t units[] = {unitSecond, unitMinute, unitHour, unitDay, unitWeek, unitMonth, unitYear, unit};
    const uint8_t amountByte = data[sizeof record + 4];
    const std::string format(
        reinterpret_cast<const char*>(data) + sizeof record + 5,
        strnlen(reinterpret_cast<const char*>(data) + sizeof record + 5, size - sizeof record - 5));

    // The record as the fuzzer gave it: fields out of every range.
    FormatBothWays(record, format);
    if (static_cast<unsigned>(DayOfWeek(&record)) > 6)
        abort();

    AddTime(&record, units[unit % 8], static_cast<int8_t>(amountByte) * 37);
    FormatBothWays(record, format);
    if (record.month < 1 || record.month > 12)
        abort();
    if (record.day < 1 || record.day > 31)
        abort();
    return 0;
}
