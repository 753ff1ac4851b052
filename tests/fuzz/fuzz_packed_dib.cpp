// Packed DIBs (header, table, rows in one run of memory) through
// KBitmap::LoadPackedDib, then every pixel operation. The memory is trusted to
// hold what the header implies, so inputs shorter than that are skipped.
#include <cstring>
#include <vector>

#include "FuzzOps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < sizeof(BITMAPINFOHEADER))
        return 0;
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    const uint64_t needed = PackedDibSize(header);
    if (needed == 0 || needed > size)
        return 0;
    // Exactly the bytes the header implies, so any read past them is caught.
    std::vector<uint8_t> dib(data, data + needed);
    KBitmap b;
    if (b.LoadPackedDib(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())) != needed)
        return 0;
    fuzzops::Exercise(b, static_cast<uint32_t>(size));
    return 0;
}
