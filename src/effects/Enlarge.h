// Nearest-pixel enlargement of a frame into a 32-bit block, picking the same
// pixels as GDI's COLORONCOLOR stretch: so that a turning frame or a movie
// frame can be enlarged here, into a block kept from frame to frame, and
// handed to the screen unstretched, which costs far less than a stretch by
// the system (a temporary the size of the screen area on every frame).
//
// Areas are RECTs with exclusive right and bottom, rows counted from the top.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/WinTypes.h"

// The source column that destination column x of an extent of `extent`
// columns shows, for a source `size` columns wide: the one whose span holds
// the destination pixel's centre, ties going left. Rows likewise.
inline int32_t NearestSource(int32_t x, int32_t size, int32_t extent) {
    return static_cast<int32_t>(((2 * int64_t{x} + 1) * size - 1) / (2 * int64_t{extent}));
}

// Bytes in a row of a 24-bit picture width pixels wide, padded to four.
ptrdiff_t Stride24(int32_t width);

// True for what EnlargeNearest takes: a 24-bit BI_RGB bottom-up picture no
// larger than the extent either way.
bool CanEnlarge(const BITMAPINFOHEADER& header, int32_t extentWidth, int32_t extentHeight);

// Stretches the picture (its header, and its rows) over extentWidth x
// extentHeight and writes the pixels of area, which must lie within the
// extent and within target, into target: 32-bit bottom-up rows of
// targetWidth pixels, targetHeight rows, as blue, green, red, 0. False
// (target untouched) when the picture cannot be enlarged or memory runs out.
bool EnlargeNearest(const BITMAPINFOHEADER& header, const BYTE* rows, int32_t extentWidth, int32_t extentHeight,
                    uint32_t* target, int32_t targetWidth, int32_t targetHeight, const RECT& area);

// The smallest area holding every pixel of a 24-bit picture that is not
// black; empty (all 0) when there is none. Picture row y starts at
// top + y * step (step is negative for bottom-up rows). The warps use it too:
// what samples only black around a turning picture needs no blending.
RECT NonBlackArea(const BYTE* top, ptrdiff_t step, int32_t width, int32_t height);

// The destination pixels whose source lies in sourceArea, for a source of
// sourceSize enlarged over extent (each at least the source's).
RECT EnlargedArea(const RECT& sourceArea, SIZE sourceSize, SIZE extent);
