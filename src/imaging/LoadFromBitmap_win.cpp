#include "imaging/KBitmap.h"

#include "platform/ScopeOwners.h"

#include <cstdlib>
#include <cstring>

uint32_t KBitmap::LoadFromBitmap(HBITMAP bitmap) {
    Free();
    // Room for the header and a full 256-entry table: GetDIBits writes the
    // table of palette bitmaps after the header.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);

    const WindowDC screen(nullptr);
    if (!GetDIBits(screen.Get(), bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return 0;
    BITMAPINFOHEADER& header = info.header;
    uint64_t tableBytes;
    if ((header.biBitCount == 1 || header.biBitCount == 4 || header.biBitCount == 8) && header.biClrUsed == 0)
        tableBytes = 4ull << header.biBitCount;
    else if (header.biCompression == BI_BITFIELDS)
        tableBytes = 12;
    else
        tableBytes = 4ull * header.biClrUsed;
    if (tableBytes > sizeof info.colours)
        return 0;
    uint64_t pixelBytes =
        IsUncompressed(header)
            ? static_cast<uint64_t>(RowStride64(header.biWidth, header.biBitCount)) * AbsoluteHeight(header)
            : header.biSizeImage;
    uint64_t size = sizeof(BITMAPINFOHEADER) + tableBytes + pixelBytes;
    BYTE* scratch = size <= kMaxBlockBytes ? static_cast<BYTE*>(std::malloc(size)) : nullptr;
    uint32_t loaded = 0;
    if (scratch) {
        std::memcpy(scratch, &info, sizeof(BITMAPINFOHEADER) + tableBytes);
        GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(AbsoluteHeight(header)),
                  scratch + sizeof(BITMAPINFOHEADER) + tableBytes, reinterpret_cast<BITMAPINFO*>(scratch),
                  DIB_RGB_COLORS);
        loaded = LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(scratch));
        std::free(scratch);
    }
    return loaded;
}
