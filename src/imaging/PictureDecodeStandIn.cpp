// The portable build has no picture decoder and no video codecs: every file
// that is not a readable BMP fails to load, and compressed pictures other than
// 4-bit RLE stay compressed. The Windows build defines both in _win files.
#ifndef _WIN32
#include "imaging/PictureFile.h"

BYTE* DecodePicture(const char* /*path*/, const DecodeSizeRule& /*decodeSize*/, SIZE* /*fullSize*/) { return nullptr; }

void* DecompressWithCodec(const KBitmap& /*bitmap*/) { return nullptr; }
#endif
