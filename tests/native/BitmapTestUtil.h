// Helpers shared by the bitmap tests: deterministic pictures and block hashes.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/KBitmap.h"

namespace testutil {

// FNV-1a over a byte range.
inline uint64_t Hash(const void* data, size_t size) {
    uint64_t h = 14695981039346656037ull;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

inline uint64_t BlockHash(const KBitmap& b) { return b.Header() ? Hash(b.Header(), b.BlockSize()) : 0; }

// Fills every byte of the rows (padding included) from a small generator, so
// pictures are the same on every platform.
inline void FillPattern(KBitmap& b, uint32_t seed) {
    uint32_t s = seed * 2654435761u + 1;
    BYTE* end = reinterpret_cast<BYTE*>(b.Header()) + b.BlockSize();
    for (BYTE* p = b.Bits(); p < end; ++p) {
        s = s * 1664525u + 1013904223u;
        *p = static_cast<BYTE>(s >> 24);
    }
}

// Fills the colour table (after the header, up to the rows) with a pattern.
inline void FillTable(KBitmap& b, uint32_t seed) {
    uint32_t s = seed + 7;
    for (BYTE* p = reinterpret_cast<BYTE*>(b.Header()) + 40; p < b.Bits(); ++p) {
        s = s * 1664525u + 1013904223u;
        *p = static_cast<BYTE>(s >> 24);
    }
}

inline bool SameBlock(const KBitmap& a, const KBitmap& b) {
    return a.BlockSize() == b.BlockSize() && a.Header() && b.Header() &&
           std::memcmp(a.Header(), b.Header(), a.BlockSize()) == 0;
}

// A packed DIB in memory: header, then extra bytes (table and rows).
inline std::vector<BYTE> PackedDib(const BITMAPINFOHEADER& header, const std::vector<BYTE>& rest) {
    std::vector<BYTE> dib(sizeof header);
    std::memcpy(dib.data(), &header, sizeof header);
    dib.insert(dib.end(), rest.begin(), rest.end());
    return dib;
}

inline BITMAPINFOHEADER Header(int width, int height, int bitCount, DWORD compression = BI_RGB,
                               DWORD clrUsed = 0, DWORD sizeImage = 0) {
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = compression;
    h.biSizeImage = sizeImage;
    h.biClrUsed = clrUsed;
    return h;
}

constexpr int kDepths[] = {1, 4, 8, 15, 16, 24, 32};

}  // namespace testutil
