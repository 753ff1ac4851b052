// Picture files: BMP read directly (KBitmap::LoadFile), every other format
// through the platform's picture decoder; expansion of compressed pictures.
#pragma once

#include "platform/WinTypes.h"

#include <functional>

class KBitmap;

// The size worth decoding a picture at, given its full size: a picture is
// never kept larger than it is shown. Answers larger than the picture (or
// smaller than a pixel) are brought back within it.
using DecodeSizeRule = std::function<SIZE(SIZE picture)>;

// KBitmap::LoadFile, and more: a picture that carries a camera orientation
// is turned upright, and one larger than `decodeSize` says (in its upright
// orientation) is decoded straight to that size (BMP files are read whole).
// `uprightSize`, when given, receives the picture's full upright size, which
// the layouts work from whatever size its pixels were decoded at. Returns
// the block size, 0 on failure (the bitmap is then empty).
uint32_t LoadPicture(KBitmap& bitmap, const char* path, const DecodeSizeRule& decodeSize, SIZE* uprightSize);

// Expands a compressed picture (4-bit RLE here; other compressions through an
// installed codec where the platform has one) into plain rows. Pictures that
// are BI_RGB or BI_BITFIELDS, or that no decoder handles, stay as they are.
void Decompress(KBitmap& bitmap);

// Decodes a picture file into a new block in the KBitmap layout (40-byte
// header with biClrUsed palette entries, then bottom-up rows of stride
// KBitmap::RowStride), allocated with std::malloc and owned by the caller;
// null when the file cannot be decoded. Colours with alpha are laid over
// black. A picture larger than `decodeSize` answers is decoded at that size;
// `fullSize` receives the size the file holds, as stored. Without a platform
// decoder (the portable build) it always answers null.
BYTE* DecodePicture(const char* path, const DecodeSizeRule& decodeSize = {}, SIZE* fullSize = nullptr);

// Expands compressed data other than 4-bit RLE with an installed codec, where
// the platform has codecs; returns a packed DIB in a global block (see
// GlobalBlock.h) owned by the caller, or null.
void* DecompressWithCodec(const KBitmap& bitmap);
