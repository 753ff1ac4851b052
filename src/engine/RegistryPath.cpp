#include "engine/RegistryPath.h"

#include <cstring>

namespace {

struct RootName {
    const char* name;
    RegistryRoot root;
};

// Tried in this order; no name is a prefix of a later one, so the order only
// matters for paths that are odd anyway.
const RootName rootNames[] = {
    {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},     {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},   {"HKEY_USERS", RegistryRoot::Users},
    {"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
};

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Compares `text` with the upper-case `name` over the name's length; stops at
// the end of `text`, so a short path never reads past its terminator.
bool StartsWithIgnoringCase(const char* text, const char* name) {
    for (; *name; ++name, ++text) {
        if (UpperAscii(*text) != *name)
            return false;
    }
    return true;
}

}  // namespace

RegistryRoot MatchRegistryRoot(const char* path) {
    for (const RootName& r : rootNames) {
        if (StartsWithIgnoringCase(path, r.name))
            return r.root;
    }
    return RegistryRoot::None;
}

bool ParseRegistryPath(const char* path, RegistryPath* parsed) {
    if (!path)
        return false;
    size_t length = strnlen(path, registryPathSize);
    if (length >= registryPathSize)
        return false;
    const char* first = static_cast<const char*>(memchr(path, '\\', length));
    const char* last = strrchr(path, '\\');
    if (!first || first == last)
        return false;

    parsed->root = MatchRegistryRoot(path);
    size_t subkeyLength = static_cast<size_t>(last - first - 1);
    memcpy(parsed->subkey, first + 1, subkeyLength);
    parsed->subkey[subkeyLength] = '\0';
    // Both parts are shorter than the path, so both fit.
    strcpy(parsed->valueName, last + 1);
    return true;
}
