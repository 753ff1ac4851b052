#include "options/InstallRules.h"

#include <cstdio>
#include <cstring>

bool SaverFilePath(const char* folder, char (&path)[installPathSize]) {
    path[0] = '\0';
    if (!folder)
        return false;
    const size_t length = strlen(folder);
    const char* separator = length && folder[length - 1] == '\\' ? "" : "\\";
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

static char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSameFolder(const char* a, const char* b) {
    if (!a || !b)
        return false;
    for (; *a && *b; ++a, ++b)
        if (LowerAscii(*a) != LowerAscii(*b))
            return false;
    return *a == *b;
}
