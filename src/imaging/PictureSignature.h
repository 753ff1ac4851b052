// Whether a file is a picture the picture loader reads, by its first bytes
// (BMP, JPEG, PNG, GIF, TIFF) or by its name, so that such a file is never
// opened as a movie: Wine's Media Foundation plays a GIF as a one-frame
// video, and may wait for ever on a damaged picture it tries to play.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes of a file's start that PictureSignature looks at, at most.
constexpr size_t pictureSignatureSize = 8;

bool PictureSignature(const uint8_t* head, size_t size);

// True for a name ending in a picture's extension (".jpg", ".PNG", ...).
bool PictureExtension(const char* path);
