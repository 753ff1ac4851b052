// Picture headers read before decoding: any bytes, no read past them.
#include <cstdint>
#include <vector>

#include "imaging/PictureSize.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact copy, so a read one byte past the input is caught.
    std::vector<uint8_t> bytes(data, data + size);
    PictureSize picture;
    if (ReadPictureSize(bytes.data(), bytes.size(), &picture))
        PictureTooLarge(picture);
    return 0;
}
