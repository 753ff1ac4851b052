// The EXIF orientation of any bytes: no read past them, and always 1..8.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/ExifOrientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact copy, so a read one byte past the input is caught.
    std::vector<uint8_t> bytes(data, data + size);
    const int orientation = ExifOrientationOfBytes(bytes.data(), bytes.size());
    if (orientation < 1 || orientation > 8)
        std::abort();
    return 0;
}
