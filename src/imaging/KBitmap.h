// KBitmap: the one in-memory picture of the saver, a Windows device-independent
// bitmap held in a single owned block (40-byte BITMAPINFOHEADER, colour table or
// masks, pixel rows), so the block can be handed unchanged to GDI and Video for
// Windows.
//
// Colour value: the 32-bit pixel value of every read and write. Red in bits 0-7,
// green 8-15, blue 16-23 (the COLORREF layout); bits 24-31 are the palette index
// (depths 1, 4, 8), the fourth byte (depth 32) or 0 (depths 15, 16, 24).
//
// Rows are addressed bottom-up whatever the sign of biHeight: picture row y
// (0 = top) starts (|biHeight| - 1 - y) * stride bytes after Bits().
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/WinTypes.h"

class KBitmap {
public:
    // Largest block any operation allocates, in bytes. Keeps every size below
    // 32 bits and turns absurd sizes from files into refusals.
    static constexpr uint64_t kMaxBlockBytes = uint64_t(1) << 30;
    static constexpr uint32_t kNoTransparentColour = 0xFFFFFFFFu;

    // Answered by reads outside the picture or that the picture cannot answer.
    uint32_t backgroundColour = 0x00FFFFFF;
    // Treated as an absent pixel by AverageColour and SampleBilinear;
    // 0xFFFFFFFF = none.
    uint32_t transparentColour = kNoTransparentColour;

    KBitmap();
    // A blank picture; width, height > 0 and depth one of 1, 4, 8, 15, 16, 24,
    // 32, else (or when the block cannot be allocated) empty. Rows are zeroed.
    KBitmap(int width, int height, int depth);
    // Default colour fields, then CopyFrom(source, area, copyPixels).
    KBitmap(const KBitmap& source, const RECT* area, bool copyPixels);
    ~KBitmap();

    // One owner per block: copies are explicit (CopyFrom), moves too (TakeFrom).
    KBitmap(const KBitmap&) = delete;
    KBitmap& operator=(const KBitmap&) = delete;
    // Moving hands the block and both colour fields over; other is left empty.
    KBitmap(KBitmap&& other) noexcept;
    KBitmap& operator=(KBitmap&& other) noexcept;

    // area: optional, inclusive corners, in either order. Without an area the
    // whole block is duplicated (compressed data included) and both colour
    // fields copied; with one, only uncompressed sources are copied, pixel by
    // pixel, and transparentColour is left as it was.
    void CopyFrom(const KBitmap& source, const RECT* area, bool copyPixels);
    // Keeps only the area (inclusive corners). 1 on success, 0 when refused.
    int Crop(const RECT* area);
    // Takes other's block; other is left empty. Colour fields stay as they are.
    void TakeFrom(KBitmap& other);
    // Copies a packed DIB (header, colour table and rows in one run of memory,
    // trusted to hold the size its header implies). Returns the block size in
    // bytes, 0 on failure (the bitmap is then empty).
    uint32_t LoadPackedDib(const BITMAPINFOHEADER* header);
    // Loads a BMP file, or another picture through the platform decoder.
    // Returns the block size, 0 on failure (empty). A null path returns 0 and
    // leaves the bitmap as it was. Defined in PictureFile.cpp.
    uint32_t LoadFile(const char* path);
    // Frees the block; the bitmap is empty afterwards.
    void Free();

    // Checked pixel access: outside the picture, on an empty, compressed or
    // zero-sized bitmap, reads answer backgroundColour and writes return 0.
    // topByteFromTable: for palette depths, bits 24-31 are the entry's
    // reserved byte instead of the index.
    uint32_t GetPixel(int x, int y, bool topByteFromTable) const;
    int SetPixel(int x, int y, uint32_t colour);

    // Unchecked forms for loops whose bounds are already checked: the caller
    // supplies the geometry (height is |biHeight|, depth the effective depth,
    // stride RowStride(width, depth)). Only a depth that is not supported is
    // rejected: reads give 0, writes return 0.
    uint32_t GetPixelUnchecked(int x, int y, int width, int height, int depth, int stride, bool topByteFromTable) const;
    int SetPixelUnchecked(int x, int y, int width, int height, int depth, int stride, uint32_t colour);

    // Bytes per row: d * width bits (d = 16 for depth 15) rounded up to whole
    // bytes, then to a multiple of 4. 0 for a negative width, or a stride that
    // would not fit in an int.
    static int RowStride(int width, int depth);
    // Fills entries with the default table of a palette depth (1: black and
    // white, 4: 16 greys 17 * i, 8: 256 greys) and returns the entry count
    // written (0 for other depths). entries must hold 256 entries.
    static int DefaultPalette(int depth, RGBQUAD* entries);

    // Colour at a fractional position (pixel units), blended from the four
    // neighbours; palette pictures answer the nearest pixel.
    uint32_t SampleBilinear(double x, double y) const;
    // 1 when the bitmap now measures newWidth x newHeight, 0 when refused
    // (bitmap unchanged). smooth: area average when shrinking to half or less
    // along an axis, else bilinear; palette pictures always nearest pixel.
    int Resize(int newWidth, int newHeight, bool smooth);
    // Mean colour of an area (optional, inclusive corners, clamped to the
    // picture), skipping transparent pixels. Top byte 0.
    uint32_t AverageColour(const RECT* area) const;
    // A 4-bit RLE picture expanded to plain 4-bit rows, as a packed DIB in a
    // fixed global block (see GlobalBlock.h) owned by the caller; null when the
    // bitmap is not 4-bit RLE or the block cannot be made.
    void* ExpandRle4() const;
    // Changes to depth 15, 16, 24 or 32 through the colour value. 1 when the
    // bitmap now has that depth, 0 (unchanged) when refused. In effects/.
    int ConvertDepth(int depth);
    // Blends the band along the four edges toward colour (0x00BBGGRR): fully
    // at the outermost pixel, less toward the inside, over a band of
    // fraction (clamped to 0..1) of the shorter side. Depths 15 to 32 only;
    // false (unchanged) otherwise. In effects/.
    bool FadeEdges(uint32_t colour, double fraction);
    // Turns the picture in place by angle degrees (positive: clockwise on the
    // screen) about the point (width / 2, height / 2), nearest pixel by
    // truncation; uncovered pixels take backgroundColour. Size and format stay.
    // True when turned or angle is exactly 0 (untouched); false (unchanged)
    // when the bitmap has no pixels to turn or memory runs out. In
    // effects/RotateInPlane.cpp.
    bool RotateInPlane(double angle);
    // Tumble the picture in place by angle degrees (any value, folded into
    // -180..180; past +-90 the picture shows from behind, mirrored) about the
    // vertical or horizontal axis, with a linear perspective, through
    // WarpToQuad. 1 when turned or the angle folds to 0 (untouched); 0
    // (unchanged) when the bitmap has no pixels, the angle is not a number or
    // infinite, or memory runs out. In effects/Rotate3D.cpp.
    int RotateAboutVerticalAxis(double angle);
    int RotateAboutHorizontalAxis(double angle);
    // Maps the whole picture in place, projectively and bilinearly filtered
    // (palette pictures: nearest pixel), onto the quadrilateral quad[0..3]
    // where its top-left, top-right, bottom-right and bottom-left corners land
    // (pixels, may lie outside); the rest takes backgroundColour. True when
    // mapped or quad is the identity (untouched); false (unchanged) when quad
    // is null, the bitmap has no pixels or memory runs out. In
    // effects/WarpToQuad.cpp.
    bool WarpToQuad(const POINT* quad);

#ifdef _WIN32
    // Stretches the whole picture over the window's client area, taken as
    // inclusive (client size + 1 each way; the extra column and row are
    // clipped). Returns StretchDIBits' scan-line count, 0 when nothing was
    // painted. The block goes to GDI as it is: no copy, no conversion.
    // In effects/Paint_win.cpp.
    int PaintToWindow(HWND window) const;
    int Paint(HWND window, HDC deviceContext) const;
    // Converts a GDI bitmap into this picture; size in bytes, 0 on failure.
    uint32_t LoadFromBitmap(HBITMAP bitmap);
#endif

    int Width() const;   // biWidth, 0 when empty
    int Height() const;  // |biHeight|, 0 when empty
    // 1, 4, 8, 15 (16 bits 5-5-5), 16 (5-6-5 with BI_BITFIELDS), 24, 32, or
    // whatever other bit count the header holds; 0 when empty.
    int Depth() const;
    int Stride() const;  // RowStride(Width(), Depth())
    bool IsEmpty() const { return info == nullptr; }
    // True when the pixel operations can work: a block, BI_RGB or
    // BI_BITFIELDS, width * height not 0.
    bool HasPixels() const;
    const BITMAPINFOHEADER* Header() const { return info; }
    BITMAPINFOHEADER* Header() { return info; }
    const BYTE* Bits() const { return bits; }
    BYTE* Bits() { return bits; }
    size_t BlockSize() const { return blockSize; }
    // Colour-table entries the block actually holds (never more than the
    // header's count); indices at or past it read as black.
    uint32_t PaletteEntries() const { return paletteEntries; }
    // Start of picture row y (0 = top); y must lie in 0..Height()-1.
    const BYTE* Row(int y, int height, int stride) const {
        return bits + static_cast<ptrdiff_t>(height - 1 - y) * stride;
    }
    BYTE* Row(int y, int height, int stride) { return bits + static_cast<ptrdiff_t>(height - 1 - y) * stride; }
    // Colour value of palette entry i (index in the top byte, or the reserved
    // byte when topByteFromTable); black past the entries the block holds.
    uint32_t PaletteColour(uint32_t index, bool topByteFromTable) const;

    // Takes ownership of a block allocated with std::malloc whose rows start
    // bitsOffset bytes in. Used by the loaders.
    void AdoptBlock(BYTE* block, size_t size, size_t bitsOffset);

    // For operations that build their result beside the picture: target
    // (empty) gets this picture's header and colour table in a block of the
    // same size, whose rows are zero or left over from an earlier result
    // (every row must be written, except at depths the pixel loops do not
    // support, which stay zero). False when no block can be had.
    bool StartResult(KBitmap& target);
    // Takes target's block as this picture's; the block it replaces is kept
    // for the next StartResult, so that a frame turned 50 times a second
    // reuses two blocks instead of allocating one per step.
    void TakeResult(KBitmap& target);

private:
    const BYTE* BlockStart() const { return reinterpret_cast<const BYTE*>(info); }
    void ReleaseBlock();  // frees the block, keeps the spare

    BITMAPINFOHEADER* info = nullptr;  // owns the block
    BYTE* bits = nullptr;              // view into the block: first pixel row
    size_t blockSize = 0;              // bytes in the block
    uint32_t paletteEntries = 0;
    BYTE* spare = nullptr;  // a block kept by TakeResult, owned
    size_t spareSize = 0;
};

// Helpers on raw headers, shared by the loaders. All sizes in bytes.

// Effective depth of a header: biBitCount, except 16 which is 15 (5-5-5)
// unless biCompression is BI_BITFIELDS.
int EffectiveDepth(const BITMAPINFOHEADER& header);
// Colour-table entries N of a header (masks count as 3 entries).
uint64_t ColourTableEntries(const BITMAPINFOHEADER& header);
// Row stride for any width and bit depth, without overflow; -1 for a negative
// width.
int64_t RowStride64(int64_t width, int depth);
// |biHeight| without overflow.
inline int64_t AbsoluteHeight(const BITMAPINFOHEADER& header) {
    return header.biHeight < 0 ? -int64_t(header.biHeight) : int64_t(header.biHeight);
}
// 40 + 4N + pixel-data size (stride * |height| uncompressed, else
// biSizeImage); 0 when the header is unusable (negative width) or the size
// passes KBitmap::kMaxBlockBytes.
uint64_t PackedDibSize(const BITMAPINFOHEADER& header);
// True for BI_RGB and BI_BITFIELDS, the layouts pixel operations read.
inline bool IsUncompressed(const BITMAPINFOHEADER& header) {
    return header.biCompression == BI_RGB || header.biCompression == BI_BITFIELDS;
}
