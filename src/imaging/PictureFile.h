// Picture files: BMP read directly (KBitmap::LoadFile), every other format
// through the platform's picture decoder; expansion of compressed pictures.
#pragma once

#include "WinTypes.h"

class KBitmap;

// Expands a compressed picture (4-bit RLE here; other compressions through an
// installed codec where the platform has one) into plain rows. Pictures that
// are BI_RGB or BI_BITFIELDS, or that no decoder handles, stay as they are.
void Decompress(KBitmap& bitmap);

// Decodes a picture file into a new block in the KBitmap layout (40-byte
// header with biClrUsed palette entries, then bottom-up rows of stride
// KBitmap::RowStride), allocated with std::malloc and owned by the caller;
// null when the file cannot be decoded. Without a platform decoder (the
// portable build) it always answers null.
BYTE* DecodePicture(const char* path);

// Expands compressed data other than 4-bit RLE with an installed codec, where
// the platform has codecs; returns a packed DIB in a global block (see
// GlobalBlock.h) owned by the caller, or null.
void* DecompressWithCodec(const KBitmap& bitmap);
