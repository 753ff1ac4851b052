// Whether a file's first bytes are those of a picture the picture loader
// reads (BMP, JPEG, PNG, GIF, TIFF), so that such a file is never opened as
// a movie: Wine's Media Foundation plays a GIF as a one-frame video.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes of a file's start that PictureSignature looks at, at most.
constexpr size_t pictureSignatureSize = 8;

bool PictureSignature(const uint8_t* head, size_t size);
