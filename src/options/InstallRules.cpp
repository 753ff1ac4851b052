#include "options/InstallRules.h"

#include <cstdio>
#include <cstring>

const char* PreviousByte(const char* text, const char* current) { return current > text ? current - 1 : text; }

bool SaverFilePath(const char* folder, char (&path)[installPathSize], PreviousCharFunction previous) {
    path[0] = '\0';
    if (!folder)
        return false;
    const char* end = folder + strlen(folder);
    const bool endsInSeparator = end > folder && *previous(folder, end) == '\\';
    const char* separator = endsInSeparator ? "" : "\\";
    const int written = snprintf(path, sizeof path, "%s%s%s.scr", folder, separator, SAVER_PRODUCT_NAME);
    if (written < 0 || static_cast<size_t>(written) >= sizeof path) {
        path[0] = '\0';
        return false;
    }
    return true;
}

bool CopyReachesSystemFolder(bool tokenAnswered, DWORD virtualisationEnabled) {
    return !tokenAnswered || virtualisationEnabled == 0;
}

bool IsSameFolder(const char* a, const char* b, NextCharFunction next) {
    if (!a || !b)
        return false;
    while (*a && *b) {
        const size_t sizeA = static_cast<size_t>(next(a) - a), sizeB = static_cast<size_t>(next(b) - b);
        if (sizeA != sizeB || (sizeA == 1 ? LowerAscii(*a) != LowerAscii(*b) : std::memcmp(a, b, sizeA) != 0))
            return false;
        a += sizeA;
        b += sizeB;
    }
    return *a == *b;
}
