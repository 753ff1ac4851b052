// Sequences of TextString operations. Each operation is one byte of kind and
// position, followed by up to two short strings, each a length byte and its
// characters. After every step the string must still be its own length,
// NUL-terminated, and every match Find reports must be a match.
#include "text/TextString.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Input {
    const uint8_t* data;
    size_t size;

    uint8_t Byte() {
        if (!size)
            return 0;
        --size;
        return *data++;
    }
    // A string without NULs, at most 15 characters.
    std::string Text() {
        const size_t n = std::min<size_t>(Byte() % 16, size);
        std::string s(reinterpret_cast<const char*>(data), n);
        data += n;
        size -= n;
        for (char& c : s)
            if (!c)
                c = '\\';
        return s;
    }
};

void Check(const TextString& s) {
    if (!s.Text() || std::strlen(s.Text()) != static_cast<size_t>(s.Length()))
        abort();
}

bool Matches(const TextString& s, int32_t at, const std::string& pattern, int caseSensitive) {
    if (at < 0 || static_cast<size_t>(at) + pattern.size() > static_cast<size_t>(s.Length()))
        return false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        int a = static_cast<unsigned char>(s.Text()[at + i]), b = static_cast<unsigned char>(pattern[i]);
        if (!caseSensitive) {
            if (a >= 'A' && a <= 'Z')
                a += 32;
            if (b >= 'A' && b <= 'Z')
                b += 32;
        }
        if (a != b)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in = {data, size};
    TextString s;
    for (int step = 0; in.size && step < 64; ++step) {
        const uint8_t op = in.Byte();
        // Positions from a little before the start to a little past the end.
        const int32_t position = static_cast<int8_t>(in.Byte()) % (s.Length() + 8);
        const int caseSensitive = op & 8;
        switch (op % 5) {
        case 0:
            s.Assign(in.Text().c_str());
            break;
        case 1: {
            const std::string text = in.Text();
            const int32_t before = s.Length();
            const int32_t added = s.Insert(position, (op & 16) ? nullptr : text.c_str());
            if (s.Length() != before + added)
                abort();
            break;
        }
        case 2: {
            const std::string pattern = in.Text();
            const int32_t found = s.Find(pattern.c_str(), caseSensitive, position, 1 + (op >> 5));
            if (found != -1 && !Matches(s, found, pattern, caseSensitive))
                abort();
            break;
        }
        case 3: {
            const std::string pattern = in.Text(), replacement = in.Text();
            // Kept small: each pass builds a new buffer.
            if (s.Length() > 512)
                s.Assign("");
            const int32_t passes =
                s.Replace(pattern.c_str(), (op & 16) ? nullptr : replacement.c_str(), caseSensitive, position);
            if (passes < 0)
                abort();
            break;
        }
        case 4:
            // Grows the string by doubling, to reach long texts quickly.
            if (s.Length() < 4096) {
                const std::string copy = s.Text();
                s.Insert(s.Length(), copy.c_str());
            }
            break;
        }
        Check(s);
    }
    return 0;
}
