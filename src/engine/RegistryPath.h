// Registry values addressed by one text path: a root key name, the subkey and
// the value name, as in "HKEY_CURRENT_USER\Control Panel\Desktop\Wallpaper".
// The parsing here is pure text work; the registry calls live in
// RegistryPath_win.cpp.
#pragma once

#include "WinTypes.h"

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
