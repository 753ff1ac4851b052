// Stepping through 8-bit text one character at a time. On Windows the step is
// CharNextA, which knows the double-byte characters of the ANSI code page,
// whose trail byte may be a backslash or a letter; elsewhere, a byte.
#pragma once

typedef const char* (*NextCharFunction)(const char* text);

inline const char* NextByte(const char* text) { return *text ? text + 1 : text; }
