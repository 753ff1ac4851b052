// Stepping through 8-bit text one character at a time. On Windows the step is
// CharNextA, which knows the double-byte characters of the ANSI code page,
// whose trail byte may be a backslash or a letter; elsewhere, a byte.
#pragma once

typedef const char* (*NextCharFunction)(const char* text);

inline const char* NextByte(const char* text) { return *text ? text + 1 : text; }

// The case of the ASCII letters alone, as a file name or a format letter needs:
// the C library's tolower follows the locale, and is no function the 32-bit
// saver may import.
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
