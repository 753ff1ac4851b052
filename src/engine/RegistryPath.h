// Registry values addressed by one text path: a root key name, the subkey and
// the value name, as in "HKEY_CURRENT_USER\Control Panel\Desktop\Wallpaper".
// The parsing here is pure text work; the registry calls live in
// RegistryPath_win.cpp.
#pragma once

#include "platform/WinTypes.h"

#include <cstddef>

// Paths, their parts and read results are held in buffers of this many bytes
// (the Windows path limit), so a path must be at most 259 characters.
constexpr size_t registryPathSize = 260;

enum class RegistryRoot {
    None,  // the path starts with no known root name; every registry call on it fails
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    CurrentConfig,
};

struct RegistryPath {
    RegistryRoot root;
    char subkey[registryPathSize];     // between the first and the last backslash; may be empty
    char valueName[registryPathSize];  // after the last backslash; empty when the path ends with one
};

// The root whose name starts the path, compared ignoring case over the name's
// own length only, so "hkey_current_user" and "HKEY_CURRENT_USERX" both give
// CurrentUser.
RegistryRoot MatchRegistryRoot(const char* path);

// Splits a path into its parts. Refused (false, `parsed` undefined) when the
// path is null, 260 characters or longer, or has fewer than two backslashes.
bool ParseRegistryPath(const char* path, RegistryPath* parsed);

// Registry result buffers: the capacity a caller's size word asks for, where
// 0 (or no size word) means the full registryPathSize.
inline DWORD RegistryBufferCapacity(const DWORD* size) {
    return (size && *size) ? *size : static_cast<DWORD>(registryPathSize);
}

// Defined in RegistryPath_win.cpp, on the ADVAPI32 registry functions.

// The result buffer of ReadRegistryPath calls that give none; each such call
// overwrites it.
extern char registryTextBuffer[registryPathSize];

// Reads a value into `buffer`, or into registryTextBuffer when `buffer` is
// null, and returns that buffer, or null on failure. `size`, when given, holds
// the buffer's size in bytes on entry (0 means 260), is set to 0 at once and on
// success to the byte count the registry returned. With `expand`: a
// REG_EXPAND_SZ has its environment variables expanded, a REG_BINARY reads as
// "", a REG_DWORD or REG_DWORD_BIG_ENDIAN as the decimal text of its four
// bytes taken little-endian and signed; other types are left as read.
char* ReadRegistryPath(const char* path, char* buffer = nullptr, bool expand = false, DWORD* size = nullptr);

// With `data`: creates the key and sets the value; `size` is the byte count
// except for REG_SZ (the string and its NUL) and the two DWORD types (4).
// Without `data`: deletes the value, or, when the path ends with a backslash,
// the key named by the subkey. Returns 1 on success, 0 on failure.
int WriteRegistryPath(const char* path, const void* data, DWORD type, DWORD size);
