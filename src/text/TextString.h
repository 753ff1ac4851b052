// TextString: the saver's small growable 8-bit string. One global instance,
// the display text, holds what the text and clock screens draw.
//
// The buffer is never null and always NUL-terminated; every change of length
// builds a new buffer of exactly length + 1 bytes. Positions are 0-based; a
// negative start position counts from the end (length + position).
#pragma once

#include "platform/CharStep.h"
#include "platform/WinTypes.h"

#include <cstdint>

class TextString {
public:
    TextString();
    ~TextString();
    TextString(const TextString&) = delete;
    TextString& operator=(const TextString&) = delete;

    // Holds a copy of `source` (null or empty: the empty string). `source`
    // must not point into this string's own buffer, which is released first.
    TextString& Assign(const char* source);
    // Inserts `source` before `position` (0 to Length()). Returns the number of
    // characters inserted: 0 for a position out of range, a null or empty
    // source, or a result too long for 32 bits.
    int32_t Insert(int32_t position, const char* source);
    // Index of the `occurrence`-th match (1 = first) of `pattern` at or after
    // `start`, or -1. `caseSensitive` 0 compares ASCII letters ignoring case.
    // Matches start only where `next`, stepping from `start`, stops.
    int32_t Find(const char* pattern, int caseSensitive, int32_t start, int32_t occurrence,
                 NextCharFunction next = NextByte) const;
    // Replaces every match of `pattern` from `start` on by `replacement` (null
    // or empty deletes). The search resumes at the insertion point, so text the
    // replacement forms with what follows is matched again, unless the
    // replacement contains the pattern itself, when it resumes after it ("a"
    // by "aa" ends). Returns the number of replacements.
    int32_t Replace(const char* pattern, const char* replacement, int caseSensitive, int32_t start,
                    NextCharFunction next = NextByte);

    const char* Text() const { return characters; }
    int32_t Length() const { return length; }

#ifdef _WIN32
    // Draws the text with DrawText, steered by the keywords of `options`; see
    // text/MarkupOptions.h. `dc` null: the window's DC. `area` null: the
    // window's client rectangle; with "calcrect" or "calcchardim" it receives
    // the measurement instead of drawing. Background colour 1 draws without
    // filling behind the text. `scroll` moves the text up and left by whole
    // character cells (x columns, y lines) of the DC's font on entry.
    // Returns the chosen font height when one was chosen and the output
    // succeeded, else DrawText's result (1 for "calcchardim", 0 on failure).
    int32_t DrawMarkupText(HWND window, HDC dc, RECT* area, COLORREF textColour, COLORREF backgroundColour,
                           const char* options, const POINT* scroll) const;
#endif

private:
    // Removes up to `count` characters at `position` (0 to Length() - 1).
    void Delete(int32_t position, int32_t count);
    void TakeBuffer(char* buffer, int32_t newLength);

    char* characters;
    int32_t length;
};

// The escapes of the "Text" setting: backslash-n becomes a line break,
// backslash-t a tab. `next` steps over whole characters, so that a
// double-byte character whose trail byte is a backslash stays whole.
void ReplaceEscapes(TextString& text, NextCharFunction next = NextByte);
