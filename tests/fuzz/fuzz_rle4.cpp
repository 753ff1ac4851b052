// 4-bit RLE streams through Decompress. The first three bytes choose the
// width, the height and the colour count; a fourth decides whether
// biSizeImage claims more than the data hold.
#include <cstring>
#include <vector>

#include "FuzzOps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = 1 + data[0] % 64;
    header.biHeight = (data[1] & 0x80) ? -(1 + data[1] % 64) : 1 + data[1] % 64;
    header.biPlanes = 1;
    header.biBitCount = 4;
    header.biCompression = BI_RLE4;
    header.biClrUsed = data[2] % 40;  // 0 (16 entries) to past 16
    const size_t streamBytes = size - 4;
    header.biSizeImage = static_cast<DWORD>(streamBytes);
    const uint64_t entries = ColourTableEntries(header);
    std::vector<uint8_t> dib(sizeof header + 4 * entries, 0x40);
    std::memcpy(dib.data(), &header, sizeof header);
    dib.insert(dib.end(), data + 4, data + size);
    KBitmap b;
    if (!b.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())))
        return 0;
    if (data[3] & 1)
        b.Header()->biSizeImage = 0xFFFFFFFF;  // must stop at the block's end
    Decompress(b);
    volatile uint32_t sink = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            sink = sink + b.GetPixel(x, y, true);
    (void)sink;
    return 0;
}
