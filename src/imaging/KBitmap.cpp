#include "imaging/KBitmap.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "imaging/PixelFormat.h"

namespace {

constexpr size_t kHeaderBytes = sizeof(BITMAPINFOHEADER);

// Colour-table entries of a freshly created bitmap of a supported depth.
uint32_t CreatedTableEntries(int depth) {
    switch (depth) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    case 16:
        return 3;  // the 5-6-5 masks
    default:
        return 0;
    }
}

// A zeroed block of size bytes, or null when it passes the limit or the
// allocation fails.
BYTE* AllocateBlock(uint64_t size) {
    if (size == 0 || size > KBitmap::kMaxBlockBytes)
        return nullptr;
    return static_cast<BYTE*>(std::calloc(static_cast<size_t>(size), 1));
}

}  // namespace

int EffectiveDepth(const BITMAPINFOHEADER& header) {
    if (header.biBitCount == 16)
        return header.biCompression == BI_BITFIELDS ? 16 : 15;
    return header.biBitCount;
}

uint64_t ColourTableEntries(const BITMAPINFOHEADER& header) {
    const WORD count = header.biBitCount;
    if (count == 1 || count == 4 || count == 8) {
        if (header.biClrUsed == 0)
            return uint64_t(1) << count;
        return header.biCompression == BI_BITFIELDS ? 3 : header.biClrUsed;
    }
    return header.biCompression == BI_BITFIELDS ? 3 : header.biClrUsed;
}

int64_t RowStride64(int64_t width, int depth) {
    if (width < 0 || depth < 0)
        return -1;
    const int64_t bitsPerPixel = depth == 15 ? 16 : depth;
    // width < 2^31 and bitsPerPixel < 2^16: the product stays far below 2^63.
    return ((bitsPerPixel * width + 7) / 8 + 3) / 4 * 4;
}

uint64_t PackedDibSize(const BITMAPINFOHEADER& header) {
    const uint64_t entries = ColourTableEntries(header);
    uint64_t pixelBytes = header.biSizeImage;
    if (IsUncompressed(header)) {
        const int64_t stride = RowStride64(header.biWidth, EffectiveDepth(header));
        if (stride < 0)
            return 0;
        // stride < 2^48 and the height < 2^32: compare before multiplying.
        const uint64_t height = static_cast<uint64_t>(AbsoluteHeight(header));
        if (height != 0 && static_cast<uint64_t>(stride) > KBitmap::kMaxBlockBytes / height)
            return 0;
        pixelBytes = static_cast<uint64_t>(stride) * height;
    }
    if (entries > KBitmap::kMaxBlockBytes / 4)
        return 0;
    const uint64_t size = kHeaderBytes + 4 * entries + pixelBytes;
    return size > KBitmap::kMaxBlockBytes ? 0 : size;
}

KBitmap::KBitmap() = default;

KBitmap::KBitmap(int width, int height, int depth) {
    if (width <= 0 || height <= 0 || !pixel::IsSupportedDepth(depth))
        return;
    const uint32_t entries = CreatedTableEntries(depth);
    const int64_t stride = RowStride64(width, depth);
    if (static_cast<uint64_t>(stride) > kMaxBlockBytes / static_cast<uint64_t>(height))
        return;
    const uint64_t size = kHeaderBytes + 4 * entries + static_cast<uint64_t>(stride) * height;
    BYTE* block = AllocateBlock(size);
    if (!block)
        return;
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(block);
    header->biSize = kHeaderBytes;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(depth == 15 ? 16 : depth);
    header->biCompression = depth == 16 ? BI_BITFIELDS : BI_RGB;
    BYTE* table = block + kHeaderBytes;
    if (depth == 16) {
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(table, masks, sizeof masks);
    } else if (entries != 0) {
        RGBQUAD palette[256];
        DefaultPalette(depth, palette);
        std::memcpy(table, palette, 4 * entries);
    }
    AdoptBlock(block, static_cast<size_t>(size), kHeaderBytes + 4 * entries);
}

KBitmap::KBitmap(const KBitmap& source, const RECT* area, bool copyPixels) { CopyFrom(source, area, copyPixels); }

KBitmap::KBitmap(KBitmap&& other) noexcept
    : backgroundColour(other.backgroundColour), transparentColour(other.transparentColour) {
    TakeFrom(other);
}

KBitmap& KBitmap::operator=(KBitmap&& other) noexcept {
    if (&other != this) {
        backgroundColour = other.backgroundColour;
        transparentColour = other.transparentColour;
        TakeFrom(other);
    }
    return *this;
}

KBitmap::~KBitmap() { Free(); }

void KBitmap::ReleaseBlock() {
    std::free(info);
    info = nullptr;
    bits = nullptr;
    blockSize = 0;
    paletteEntries = 0;
}

void KBitmap::Free() {
    ReleaseBlock();
    std::free(spare);
    spare = nullptr;
    spareSize = 0;
}

void KBitmap::AdoptBlock(BYTE* block, size_t size, size_t bitsOffset) {
    ReleaseBlock();
    if (!block)
        return;
    info = reinterpret_cast<BITMAPINFOHEADER*>(block);
    bits = block + bitsOffset;
    blockSize = size;
    // Entries past the block's end cannot be read: they count as missing.
    const uint64_t held = size > kHeaderBytes ? (size - kHeaderBytes) / 4 : 0;
    paletteEntries = static_cast<uint32_t>(std::min<uint64_t>(ColourTableEntries(*info), held));
}

int KBitmap::Width() const { return info ? info->biWidth : 0; }

int KBitmap::Height() const {
    // Loaders refuse a biHeight of INT_MIN, so the absolute value fits.
    return info ? static_cast<int>(AbsoluteHeight(*info)) : 0;
}

int KBitmap::Depth() const { return info ? EffectiveDepth(*info) : 0; }

int KBitmap::Stride() const { return info ? RowStride(Width(), Depth()) : 0; }

bool KBitmap::HasPixels() const { return info && IsUncompressed(*info) && info->biWidth > 0 && info->biHeight != 0; }

int KBitmap::RowStride(int width, int depth) {
    const int64_t stride = RowStride64(width, depth);
    return stride < 0 || stride > INT_MAX ? 0 : static_cast<int>(stride);
}

int KBitmap::DefaultPalette(int depth, RGBQUAD* entries) {
    int count = 0;
    int step = 0;
    switch (depth) {
    case 1:
        count = 2;
        step = 255;
        break;
    case 4:
        count = 16;
        step = 17;
        break;
    case 8:
        count = 256;
        step = 1;
        break;
    default:
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        const BYTE grey = static_cast<BYTE>(i * step);
        entries[i] = RGBQUAD{grey, grey, grey, 0};
    }
    return count;
}

bool KBitmap::StartResult(KBitmap& target) {
    if (!info)
        return false;
    BYTE* block;
    const size_t bitsOffset = static_cast<size_t>(bits - BlockStart());
    if (spare && spareSize == blockSize) {
        block = spare;
        spare = nullptr;
        // Rows and their padding as a new block has them: zero where the
        // pixel loops write nothing.
        const int depth = Depth();
        const size_t stride = static_cast<size_t>(Stride());
        const size_t used = static_cast<size_t>(Width()) * (depth == 15 ? 16 : depth) / 8;
        if (!pixel::IsSupportedDepth(depth))
            std::memset(block + bitsOffset, 0, blockSize - bitsOffset);
        else if (used < stride)
            for (size_t row = bitsOffset; row + stride <= blockSize; row += stride)
                std::memset(block + row + used, 0, stride - used);
    } else {
        block = AllocateBlock(blockSize);
        if (!block)
            return false;
    }
    std::memcpy(block, BlockStart(), bitsOffset);
    target.AdoptBlock(block, blockSize, bitsOffset);
    return true;
}

void KBitmap::TakeResult(KBitmap& target) {
    if (&target == this)
        return;
    std::free(spare);
    spare = reinterpret_cast<BYTE*>(info);
    spareSize = blockSize;
    info = nullptr;
    TakeFrom(target);
}

void KBitmap::TakeFrom(KBitmap& other) {
    if (&other == this)
        return;
    ReleaseBlock();
    info = other.info;
    bits = other.bits;
    blockSize = other.blockSize;
    paletteEntries = other.paletteEntries;
    other.info = nullptr;
    other.bits = nullptr;
    other.blockSize = 0;
    other.paletteEntries = 0;
}

void KBitmap::CopyFrom(const KBitmap& source, const RECT* area, bool copyPixels) {
    if (&source == this) {
        // Copying onto itself: go through a temporary so the source survives.
        KBitmap copy(source, area, copyPixels);
        const uint32_t transparent = transparentColour;
        TakeFrom(copy);
        backgroundColour = copy.backgroundColour;
        transparentColour = area ? transparent : copy.transparentColour;
        return;
    }
    backgroundColour = source.backgroundColour;
    if (!area)
        transparentColour = source.transparentColour;
    const bool usable = source.info && source.info->biWidth != 0 && source.info->biHeight != 0;
    if (!area && usable) {
        // The whole block, byte for byte; the rows only when asked for. A
        // block of the same size is written over (a turning frame is copied
        // from its picture 50 times a second).
        const size_t bitsOffset = static_cast<size_t>(source.bits - source.BlockStart());
        BYTE* block = reinterpret_cast<BYTE*>(info);
        if (blockSize == source.blockSize) {
            info = nullptr;
            if (!copyPixels)
                std::memset(block + bitsOffset, 0, blockSize - bitsOffset);
        } else {
            block = AllocateBlock(source.blockSize);
            if (!block) {
                ReleaseBlock();
                return;
            }
        }
        std::memcpy(block, source.BlockStart(), copyPixels ? source.blockSize : bitsOffset);
        AdoptBlock(block, source.blockSize, bitsOffset);
        return;
    }
    ReleaseBlock();
    if (!usable)
        return;

    if (!IsUncompressed(*source.info))
        return;
    RECT r = *area;
    const int sourceHeight = source.Height();
    if (source.info->biHeight < 0) {
        // Rows stored top first: mirror the area's rows.
        r.top = static_cast<LONG>(int64_t(sourceHeight) - 1 - r.top);
        r.bottom = static_cast<LONG>(int64_t(sourceHeight) - 1 - r.bottom);
    }
    const int64_t newWidth = (r.right > r.left ? int64_t(r.right) - r.left : int64_t(r.left) - r.right) + 1;
    const int64_t newHeight = (r.bottom > r.top ? int64_t(r.bottom) - r.top : int64_t(r.top) - r.bottom) + 1;
    if (newWidth > INT_MAX || newHeight > INT_MAX)
        return;
    const int depth = source.Depth();
    uint64_t entries = ColourTableEntries(*source.info);
    // A table longer than any palette that also runs past the source block
    // (a biClrUsed taken as stored from a file) shrinks to the entries the
    // source holds; the rest would read black anyway.
    const bool shrinkTable = entries > 256 && entries > source.paletteEntries;
    if (shrinkTable)
        entries = source.paletteEntries;
    const int64_t stride = RowStride64(newWidth, depth);
    if (entries > kMaxBlockBytes / 4)
        return;
    if (static_cast<uint64_t>(stride) > kMaxBlockBytes / static_cast<uint64_t>(newHeight))
        return;
    const uint64_t tableBytes = 4 * entries;
    const uint64_t size = kHeaderBytes + tableBytes + static_cast<uint64_t>(stride) * newHeight;
    BYTE* block = AllocateBlock(size);
    if (!block)
        return;
    // Header and as much of the table as the source block holds; the rest stays 0.
    const uint64_t heldTable = source.blockSize - kHeaderBytes;
    std::memcpy(block, source.BlockStart(), kHeaderBytes + std::min(tableBytes, heldTable));
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(block);
    header->biWidth = static_cast<LONG>(newWidth);
    header->biHeight = static_cast<LONG>(newHeight);
    header->biSizeImage = 0;
    if (shrinkTable)
        header->biClrUsed = static_cast<DWORD>(entries);
    AdoptBlock(block, static_cast<size_t>(size), static_cast<size_t>(kHeaderBytes + tableBytes));
    if (!copyPixels)
        return;

    // Unsupported depths refuse every write: nothing to copy.
    if (!pixel::IsSupportedDepth(depth))
        return;
    const int left = std::min(r.left, r.right);
    const int top = std::min(r.top, r.bottom);
    const int width = static_cast<int>(newWidth);
    const int height = static_cast<int>(newHeight);
    const int rowStride = static_cast<int>(stride);
    for (int y = 0; y < height; ++y) {
        const int sourceY = static_cast<int>(std::min<int64_t>(int64_t(top) + y, INT_MAX));
        for (int x = 0; x < width; ++x) {
            const int sourceX = static_cast<int>(std::min<int64_t>(int64_t(left) + x, INT_MAX));
            SetPixelUnchecked(x, y, width, height, depth, rowStride, source.GetPixel(sourceX, sourceY, false));
        }
    }
}

int KBitmap::Crop(const RECT* area) {
    if (!area || !HasPixels())
        return 0;
    KBitmap copy(*this, area, true);
    if (copy.IsEmpty())
        return 0;
    TakeFrom(copy);
    return 1;
}

uint32_t KBitmap::LoadPackedDib(const BITMAPINFOHEADER* header) {
    Free();
    if (!header)
        return 0;
    // Sizes are checked for overflow, but the memory is trusted to hold them.
    if (header->biHeight == INT_MIN || header->biWidth < 0)
        return 0;
    const uint64_t size = PackedDibSize(*header);
    BYTE* block = AllocateBlock(size);
    if (!block)
        return 0;
    std::memcpy(block, header, static_cast<size_t>(size));
    AdoptBlock(block, static_cast<size_t>(size), kHeaderBytes + 4 * ColourTableEntries(*header));
    return static_cast<uint32_t>(size);
}

uint32_t KBitmap::PaletteColour(uint32_t index, bool topByteFromTable) const {
    if (index >= paletteEntries)
        return topByteFromTable ? 0 : index << 24;
    const BYTE* entry = BlockStart() + kHeaderBytes + 4 * static_cast<size_t>(index);
    return pixel::Rgb(entry[2], entry[1], entry[0]) | uint32_t(topByteFromTable ? entry[3] : index) << 24;
}

uint32_t KBitmap::GetPixelUnchecked(int x, int y, int /*width*/, int height, int depth, int stride,
                                    bool topByteFromTable) const {
    if (!pixel::IsSupportedDepth(depth))
        return 0;
    const BYTE* row = Row(y, height, stride);
    if (depth <= 8)
        return PaletteColour(pixel::ReadIndex(row, x, depth), topByteFromTable);
    return pixel::ReadDirect(row, x, depth);
}

int KBitmap::SetPixelUnchecked(int x, int y, int /*width*/, int height, int depth, int stride, uint32_t colour) {
    if (!pixel::IsSupportedDepth(depth))
        return 0;
    BYTE* row = Row(y, height, stride);
    if (depth <= 8)
        pixel::WriteIndex(row, x, depth, colour >> 24);
    else
        pixel::WriteDirect(row, x, depth, colour);
    return 1;
}

uint32_t KBitmap::GetPixel(int x, int y, bool topByteFromTable) const {
    if (!HasPixels())
        return backgroundColour;
    const int width = Width();
    const int height = Height();
    if (x < 0 || x >= width || y < 0 || y >= height)
        return backgroundColour;
    const int depth = Depth();
    return GetPixelUnchecked(x, y, width, height, depth, RowStride(width, depth), topByteFromTable);
}

int KBitmap::SetPixel(int x, int y, uint32_t colour) {
    if (!HasPixels())
        return 0;
    const int width = Width();
    const int height = Height();
    if (x < 0 || x >= width || y < 0 || y >= height)
        return 0;
    const int depth = Depth();
    return SetPixelUnchecked(x, y, width, height, depth, RowStride(width, depth), colour);
}
