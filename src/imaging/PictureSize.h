// The size a picture file declares in its header, read without decoding it,
// so that absurd sizes are refused before a decoder spends seconds and
// gigabytes on them.
#pragma once

#include <cstddef>
#include <cstdint>

struct PictureSize {
    uint32_t width, height;  // pixels
};

// Reads the declared size from the first bytes of a JPEG (its first frame
// header), PNG (IHDR) or GIF (logical screen) file. False when the bytes are
// none of these, or the header lies past `size`.
bool ReadPictureSize(const uint8_t* data, size_t size, PictureSize* result);

// True when a picture of that size, decoded at 3 bytes per pixel or more,
// cannot fit the largest block a bitmap may hold.
bool PictureTooLarge(PictureSize size);
