#include "effects/Enlarge.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

// The first destination pixel of an extent showing source pixel s or a later
// one: NearestSource(x) >= s holds from x = ceil((2 s extent + 1 - size) / 2 size).
int32_t FirstShowing(int32_t s, int32_t size, int32_t extent) {
    return static_cast<int32_t>((2 * int64_t{s} * extent + size) / (2 * int64_t{size}));
}

// Offsets of the first byte that is not 0 and one past the last, in n bytes;
// both n when all are 0. Eight bytes at a time: most rows of a turning
// canvas are black for long runs.
size_t FirstNonZero(const BYTE* p, size_t n) {
    size_t i = 0;
    for (uint64_t word; i + 8 <= n; i += 8) {
        std::memcpy(&word, p + i, 8);
        if (word)
            break;
    }
    while (i < n && p[i] == 0)
        ++i;
    return i;
}

size_t EndOfNonZero(const BYTE* p, size_t n) {
    size_t end = n;
    for (uint64_t word; end >= 8; end -= 8) {
        std::memcpy(&word, p + end - 8, 8);
        if (word)
            break;
    }
    while (end > 0 && p[end - 1] == 0)
        --end;
    return end;
}

}  // namespace

ptrdiff_t Stride24(int32_t width) { return (static_cast<ptrdiff_t>(width) * 3 + 3) & ~ptrdiff_t{3}; }

bool CanEnlarge(const BITMAPINFOHEADER& header, int32_t extentWidth, int32_t extentHeight) {
    return header.biBitCount == 24 && header.biCompression == BI_RGB && header.biWidth > 0 && header.biHeight > 0 &&
           header.biWidth <= extentWidth && header.biHeight <= extentHeight;
}

bool EnlargeNearest(const BITMAPINFOHEADER& header, const BYTE* rows, int32_t extentWidth, int32_t extentHeight,
                    uint32_t* target, int32_t targetWidth, int32_t targetHeight, const RECT& area) {
    if (!CanEnlarge(header, extentWidth, extentHeight) || area.left < 0 || area.top < 0 ||
        area.right > std::min(extentWidth, targetWidth) || area.bottom > std::min(extentHeight, targetHeight))
        return false;
    const int32_t sourceWidth = header.biWidth, sourceHeight = header.biHeight;
    const int32_t width = area.right - area.left;
    if (width <= 0 || area.bottom <= area.top)
        return true;
    const ptrdiff_t stride = Stride24(sourceWidth);
    std::unique_ptr<uint32_t[]> columns(new (std::nothrow) uint32_t[static_cast<size_t>(width)]);
    if (!columns)
        return false;
    for (int32_t x = 0; x < width; ++x)
        columns[x] = 3 * static_cast<uint32_t>(NearestSource(area.left + x, sourceWidth, extentWidth));
    // Four bytes are read per pixel and the fourth dropped (x86 is little-
    // endian), except where they would pass the end of the row's bytes.
    int32_t wide = width;
    while (wide > 0 && columns[wide - 1] + 4 > static_cast<uint32_t>(sourceWidth) * 3)
        --wide;

    const uint32_t* previous = nullptr;
    int32_t previousRow = -1;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        uint32_t* out = target + static_cast<ptrdiff_t>(targetHeight - 1 - y) * targetWidth + area.left;
        const int32_t row = NearestSource(y, sourceHeight, extentHeight);
        if (row == previousRow) {
            // Enlarged rows repeat: most of the area is copies of the row above.
            std::memcpy(out, previous, static_cast<size_t>(width) * 4);
        } else {
            const BYTE* in = rows + (sourceHeight - 1 - row) * stride;
            for (int32_t x = 0; x < wide; ++x) {
                uint32_t pixel;
                std::memcpy(&pixel, in + columns[x], 4);
                out[x] = pixel & 0xFFFFFF;
            }
            for (int32_t x = wide; x < width; ++x) {
                const BYTE* p = in + columns[x];
                out[x] = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
            }
        }
        previous = out;
        previousRow = row;
    }
    return true;
}

RECT NonBlackArea(const BYTE* top, ptrdiff_t step, int32_t width, int32_t height) {
    RECT box = {0, 0, 0, 0};
    if (width <= 0 || height <= 0)
        return box;
    const size_t bytes = static_cast<size_t>(width) * 3;
    bool found = false;
    for (int32_t y = 0; y < height; ++y) {
        const BYTE* row = top + y * step;
        const size_t first = FirstNonZero(row, bytes);
        if (first == bytes)
            continue;
        const size_t end = EndOfNonZero(row, bytes);
        const LONG left = static_cast<LONG>(first / 3), right = static_cast<LONG>((end - 1) / 3 + 1);
        if (!found)
            box = RECT{left, y, right, y + 1};
        box.left = std::min(box.left, left);
        box.right = std::max(box.right, right);
        box.bottom = y + 1;
        found = true;
    }
    return box;
}

RECT EnlargedArea(const RECT& sourceArea, SIZE sourceSize, SIZE extent) {
    if (sourceArea.right <= sourceArea.left || sourceArea.bottom <= sourceArea.top)
        return RECT{0, 0, 0, 0};
    return RECT{FirstShowing(sourceArea.left, sourceSize.cx, extent.cx),
                FirstShowing(sourceArea.top, sourceSize.cy, extent.cy),
                std::min<LONG>(FirstShowing(sourceArea.right, sourceSize.cx, extent.cx), extent.cx),
                std::min<LONG>(FirstShowing(sourceArea.bottom, sourceSize.cy, extent.cy), extent.cy)};
}
