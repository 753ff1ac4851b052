#include "engine/SettingsText.h"

#include <cstring>

int32_t FirstCharacterCode(const char* value) { return static_cast<signed char>(value[0]); }

bool IsFolderMarker(const char* marker) { return marker && marker[0] == '<'; }

bool FolderKeyFromMarker(const char* marker, char (&keyName)[folderPathSize]) {
    // Only the first folderPathSize + 1 characters matter: anything longer is
    // refused without measuring the rest.
    size_t length = strnlen(marker, folderPathSize + 2);
    size_t keyLength = length >= 2 ? length - 2 : 0;
    if (keyLength >= folderPathSize)
        return false;
    memcpy(keyName, marker + 1, keyLength);
    keyName[keyLength] = '\0';
    return true;
}

bool FolderFromCommandLine(const char* commandLine, char (&folder)[folderPathSize]) {
    // Work on [begin, end) of the caller's text: a command line may be far
    // longer than a path, and only the final folder has to fit.
    const char* begin = commandLine;
    const char* end;
    if (*begin == '"') {
        ++begin;
        end = strchr(begin, '"');
        if (!end)
            end = begin + strlen(begin);
    } else {
        end = begin + strlen(begin);
    }

    static const char extension[] = ".exe";
    const size_t extensionLength = sizeof extension - 1;
    for (const char* p = begin; p + extensionLength <= end; ++p) {
        if (memcmp(p, extension, extensionLength) == 0) {
            end = p;
            break;
        }
    }
    for (const char* p = end; p > begin; --p) {
        if (p[-1] == '\\') {
            end = p - 1;
            break;
        }
    }

    size_t length = static_cast<size_t>(end - begin);
    if (length >= folderPathSize)
        return false;
    memcpy(folder, begin, length);
    folder[length] = '\0';
    return true;
}
