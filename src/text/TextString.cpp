#include "text/TextString.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// ASCII letters only, as the C locale compares them: the same on every
// platform, and bytes above 127 compare as themselves.
int FoldCase(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Compares up to n characters, stopping at the first NUL, like strncmp; with
// `caseSensitive` 0 like _strnicmp in the C locale.
bool MatchesAt(const char* text, const char* pattern, size_t n, int caseSensitive) {
    for (size_t i = 0; i < n; ++i) {
        const unsigned char a = static_cast<unsigned char>(text[i]);
        const unsigned char b = static_cast<unsigned char>(pattern[i]);
        if (caseSensitive ? a != b : FoldCase(a) != FoldCase(b))
            return false;
        if (a == 0)
            return true;
    }
    return true;
}

char* NewEmptyBuffer() {
    char* buffer = static_cast<char*>(std::malloc(1));
    buffer[0] = '\0';
    return buffer;
}

}  // namespace

TextString::TextString() : characters(NewEmptyBuffer()), length(0) {}

TextString::~TextString() { std::free(characters); }

void TextString::TakeBuffer(char* buffer, int32_t newLength) {
    std::free(characters);
    characters = buffer;
    length = newLength;
}

TextString& TextString::Assign(const char* source) {
    TakeBuffer(NewEmptyBuffer(), 0);
    Insert(0, source);
    return *this;
}

int32_t TextString::Insert(int32_t position, const char* source) {
    if (position < 0 || position > length || !source || !*source)
        return 0;
    const size_t added = std::strlen(source);
    // The length must stay a 32-bit signed count.
    if (added > static_cast<size_t>(INT32_MAX - 1 - length))
        return 0;
    const size_t newLength = static_cast<size_t>(length) + added;
    char* buffer = static_cast<char*>(std::malloc(newLength + 1));
    std::memcpy(buffer, characters, static_cast<size_t>(position));
    std::memcpy(buffer + position, source, added);
    // The rest of the old text, with its terminator.
    std::memcpy(buffer + position + added, characters + position, static_cast<size_t>(length - position) + 1);
    TakeBuffer(buffer, static_cast<int32_t>(newLength));
    return static_cast<int32_t>(added);
}

void TextString::Delete(int32_t position, int32_t count) {
    if (position < 0 || position >= length || count < 1)
        return;
    if (count > length - position)
        count = length - position;
    const int32_t newLength = length - count;
    char* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(newLength) + 1));
    std::memcpy(buffer, characters, static_cast<size_t>(position));
    std::memcpy(buffer + position, characters + position + count, static_cast<size_t>(newLength - position) + 1);
    TakeBuffer(buffer, newLength);
}

int32_t TextString::Find(const char* pattern, int caseSensitive, int32_t start, int32_t occurrence,
                         NextCharFunction next) const {
    const size_t n = pattern ? std::strlen(pattern) : 0;
    if (n < 1 || occurrence < 1)
        return -1;
    int64_t from = start;
    if (from < 0)
        from += length;
    if (from < 0)
        return -1;
    int32_t found = 0;
    // The comparison stops at the text's terminator, so a match never reads
    // past the buffer however close to the end it starts.
    for (int64_t i = from; i < length;) {
        if (MatchesAt(characters + i, pattern, n, caseSensitive) && ++found == occurrence)
            return static_cast<int32_t>(i);
        const char* step = next(characters + i);
        i = step > characters + i ? step - characters : i + 1;
    }
    return -1;
}

int32_t TextString::Replace(const char* pattern, const char* replacement, int caseSensitive, int32_t start,
                            NextCharFunction next) {
    const size_t n = pattern ? std::strlen(pattern) : 0;
    if (n < 1)
        return 0;
    // A replacement that holds the pattern (by the same case rule) would be
    // matched again for ever: the search then resumes after it.
    int64_t skip = 0;
    if (replacement) {
        TextString probe;
        probe.Assign(replacement);
        if (probe.Find(pattern, caseSensitive, 0, 1) >= 0)
            skip = probe.Length();
    }
    int32_t pos = Find(pattern, caseSensitive, start, 1, next);
    if (pos < 0)
        return 0;
    int32_t passes = 0;
    for (;;) {
        ++passes;
        Delete(pos, static_cast<int32_t>(n > INT32_MAX ? INT32_MAX : n));
        Insert(pos, replacement);
        const int64_t from = pos + skip;
        if (from >= length)
            return passes;
        pos = Find(pattern, caseSensitive, static_cast<int32_t>(from), 1, next);
        if (pos < 0)
            return passes;
    }
}

void ReplaceEscapes(TextString& text, NextCharFunction next) {
    text.Replace("\\n", "\n", 1, 0, next);
    text.Replace("\\t", "\t", 1, 0, next);
}
