// Fixed global memory blocks, the form in which packed DIBs travel between the
// decoders and KBitmap::LoadPackedDib. On Windows a block is a GlobalAlloc
// block with flags 0 (fixed), whose handle is also its address; elsewhere
// plain heap memory.
#pragma once

#include <cstddef>

// A block of size bytes, or null.
void* AllocGlobalBlock(size_t size);
// Frees a block from AllocGlobalBlock (null is allowed).
void FreeGlobalBlock(void* block);
