// Helpers shared by the bitmap tests: deterministic pictures and block hashes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/KBitmap.h"

namespace testutil {

// FNV-1a over the whole block.
inline uint64_t BlockHash(const KBitmap& b) {
    uint64_t h = 14695981039346656037ull;
    const BYTE* p = reinterpret_cast<const BYTE*>(b.Header());
    for (size_t i = 0; p && i < b.BlockSize(); ++i)
        h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

// Fills bytes from a small generator, so pictures are the same on every platform.
inline void FillBytes(BYTE* p, const BYTE* end, uint32_t s) {
    for (; p < end; ++p) {
        s = s * 1664525u + 1013904223u;
        *p = static_cast<BYTE>(s >> 24);
    }
}

// Every byte of the rows, padding included.
inline void FillPattern(KBitmap& b, uint32_t seed) {
    FillBytes(b.Bits(), reinterpret_cast<BYTE*>(b.Header()) + b.BlockSize(), seed * 2654435761u + 1);
}

// A picture with every byte of rows and table drawn from the seed; 16-bit
// pictures keep the 5-6-5 masks they were created with.
inline KBitmap Pattern(int width, int height, int depth, uint32_t seed) {
    KBitmap b(width, height, depth);
    FillPattern(b, seed);
    FillBytes(reinterpret_cast<BYTE*>(b.Header()) + 40, b.Bits(), seed + 7);  // the colour table
    if (depth == 16) {
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(b.Header() + 1, masks, sizeof masks);
    }
    return b;
}

// Many cases' results folded into one value to hold them to (FNV-1a over
// each answer, block hash and the colour fields an operation may change).
struct Results {
    uint64_t hash = 14695981039346656037ull;
    void Add(uint64_t value) { hash = (hash ^ value) * 1099511628211ull; }
    void Add(const KBitmap& b) {
        Add(BlockHash(b));
        Add(uint64_t{b.backgroundColour} << 32 | b.transparentColour);
    }
};

inline bool SameBlock(const KBitmap& a, const KBitmap& b) {
    return a.BlockSize() == b.BlockSize() && a.Header() && b.Header() &&
           std::memcmp(a.Header(), b.Header(), a.BlockSize()) == 0;
}

// A packed DIB in memory: header, then extra bytes (table and rows).
inline std::vector<BYTE> PackedDib(const BITMAPINFOHEADER& header, const std::vector<BYTE>& rest) {
    // Sized once: growing the vector by insert makes GCC 12 at -O3 warn (-Warray-bounds).
    std::vector<BYTE> dib(sizeof header + rest.size());
    std::memcpy(dib.data(), &header, sizeof header);
    std::copy(rest.begin(), rest.end(), dib.begin() + sizeof header);
    return dib;
}

// Little-endian 32 bits at a byte offset.
inline std::vector<BYTE> With(std::vector<BYTE> v, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = BYTE(value >> (8 * i));
    return v;
}

// Writes the bytes to a file of that name in the temporary folder; returns its path.
inline std::string TempFile(const std::vector<BYTE>& bytes, const std::string& name) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

inline BITMAPINFOHEADER Header(int width, int height, int bitCount, DWORD compression = BI_RGB, DWORD clrUsed = 0,
                               DWORD sizeImage = 0) {
    return BITMAPINFOHEADER{40, width, height,  1, static_cast<WORD>(bitCount), compression, sizeImage,
                            0,  0,     clrUsed, 0};
}

constexpr int kDepths[] = {1, 4, 8, 15, 16, 24, 32};

// A pattern picture for the turns, with a background colour that is a
// palette index too (7).
inline KBitmap Turnable(int width, int height, int depth, uint32_t seed) {
    KBitmap b = Pattern(width, height, depth, seed);
    b.backgroundColour = 0x07123456;
    return b;
}

// 24 bits with runs of equal pixels, so the blends and the equal-neighbour
// shortcut of the warp are both taken (and the background colour is nowhere).
inline KBitmap Blocks(int width, int height, uint32_t seed) {
    KBitmap b = Turnable(width, height, 24, seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x / 5 + y / 3) % 3 == 0)
                b.SetPixel(x, y, 0);
    return b;
}

// A turning canvas: a Blocks picture inside `lit`, black around it and as
// the background.
inline KBitmap OnBlack(int width, int height, const RECT& lit, uint32_t seed) {
    KBitmap b = Blocks(width, height, seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (x < lit.left || x >= lit.right || y < lit.top || y >= lit.bottom)
                b.SetPixel(x, y, 0);
    b.backgroundColour = 0;
    return b;
}

}  // namespace testutil
