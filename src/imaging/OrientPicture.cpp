#include "imaging/OrientPicture.h"

#include "imaging/ExifOrientation.h"
#include "imaging/KBitmap.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// Where pixel (X, Y) of the result (0, 0 = top left as shown) comes from in
// the picture as stored, also as shown: x = x0 + X * xX + Y * xY, and
// y likewise. w, h: the stored picture's width and height.
struct SourceMap {
    int64_t x0, xX, xY, y0, yX, yY;
};

SourceMap MapFor(int orientation, int64_t w, int64_t h) {
    switch (orientation) {
    case orientationTopRight:
        return {w - 1, -1, 0, 0, 0, 1};
    case orientationBottomRight:
        return {w - 1, -1, 0, h - 1, 0, -1};
    case orientationBottomLeft:
        return {0, 1, 0, h - 1, 0, -1};
    case orientationLeftTop:
        return {0, 0, 1, 0, 1, 0};
    case orientationRightTop:
        return {0, 0, 1, h - 1, -1, 0};
    case orientationRightBottom:
        return {w - 1, 0, -1, h - 1, -1, 0};
    default:
        return {w - 1, 0, -1, 0, 1, 0};  // orientationLeftBottom
    }
}

// One result row of count pixels of Bytes bytes, the first at byte `at` of
// the source rows, the next `step` bytes on.
template <int Bytes>
void CopyWholePixels(BYTE* row, const BYTE* source, int64_t at, int64_t step, int count) {
    for (int x = 0; x < count; ++x, at += step)
        std::memcpy(row + int64_t(x) * Bytes, source + at, Bytes);
}

// The same for pixels of 1, 2 or 4 bits, with `at` and `step` in bits, into
// a zeroed row. The leftmost pixel of a byte is in its high bits.
void CopyBitPixels(BYTE* row, const BYTE* source, int64_t at, int64_t step, int count, int bits) {
    const unsigned mask = (1u << bits) - 1;
    for (int64_t x = 0; x < count; ++x, at += step) {
        const unsigned value = (source[at >> 3] >> (8 - bits - (at & 7))) & mask;
        const int64_t to = x * bits;
        row[to >> 3] = BYTE(row[to >> 3] | value << (8 - bits - (to & 7)));
    }
}

}  // namespace

bool OrientPicture(KBitmap& picture, int orientation) {
    if (orientation < 2 || orientation > 8)
        return true;
    if (!picture.HasPixels())
        return false;
    const BITMAPINFOHEADER& header = *picture.Header();
    const int bits = header.biBitCount;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    const int width = picture.Width(), height = picture.Height();
    const bool swaps = OrientationSwapsSides(orientation);
    const int newWidth = swaps ? height : width, newHeight = swaps ? width : height;
    const uint64_t stride = uint64_t(RowStride64(width, bits)), newStride = uint64_t(RowStride64(newWidth, bits));
    const size_t tableEnd = size_t(picture.Bits() - reinterpret_cast<const BYTE*>(&header));
    // Strides stay below 2^34: divide rather than multiply by the heights.
    if (stride > (picture.BlockSize() - tableEnd) / height ||
        newStride > (KBitmap::kMaxBlockBytes - tableEnd) / newHeight)
        return false;
    const size_t size = tableEnd + size_t(newStride * newHeight);
    // Zeroed: the 1-, 2- and 4-bit rows are assembled with OR, and padding stays 0.
    BYTE* block = static_cast<BYTE*>(std::calloc(size, 1));
    if (!block)
        return false;
    std::memcpy(block, &header, tableEnd);

    // Bit offset of the stored pixel shown at (x, y): rowBase + y * rowStep
    // + x * bits; rows lie bottom-up for a positive biHeight, else top-down.
    const bool topDown = header.biHeight < 0;
    const int64_t rowStep = (topDown ? 8 : -8) * int64_t(stride);
    const int64_t rowBase = topDown ? 0 : int64_t(height - 1) * 8 * int64_t(stride);
    const SourceMap m = MapFor(orientation, width, height);
    const int64_t step = m.yX * rowStep + m.xX * bits;
    const BYTE* source = picture.Bits();
    BYTE* rows = block + tableEnd;
    for (int64_t y = 0; y < newHeight; ++y) {
        BYTE* row = rows + (topDown ? y : newHeight - 1 - y) * int64_t(newStride);
        const int64_t at = rowBase + (m.y0 + y * m.yY) * rowStep + (m.x0 + y * m.xY) * bits;
        switch (bits) {
        case 8:
            CopyWholePixels<1>(row, source, at / 8, step / 8, newWidth);
            break;
        case 16:
            CopyWholePixels<2>(row, source, at / 8, step / 8, newWidth);
            break;
        case 24:
            CopyWholePixels<3>(row, source, at / 8, step / 8, newWidth);
            break;
        case 32:
            CopyWholePixels<4>(row, source, at / 8, step / 8, newWidth);
            break;
        default:
            CopyBitPixels(row, source, at, step, newWidth, bits);
        }
    }

    BITMAPINFOHEADER& result = *reinterpret_cast<BITMAPINFOHEADER*>(block);
    result.biWidth = newWidth;
    result.biHeight = topDown ? -newHeight : newHeight;
    if (swaps)
        std::swap(result.biXPelsPerMeter, result.biYPelsPerMeter);
    if (result.biSizeImage != 0)  // optional for uncompressed rows, but right when given
        result.biSizeImage = DWORD(newStride * newHeight);
    picture.AdoptBlock(block, size, tableEnd);
    return true;
}
