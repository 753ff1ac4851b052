#include "imaging/GlobalBlock.h"

#ifdef _WIN32
#include "platform/WinTypes.h"

void* AllocGlobalBlock(size_t size) { return GlobalAlloc(0, size); }

void FreeGlobalBlock(void* block) {
    if (block)
        GlobalFree(block);
}
#else
#include <cstdlib>

void* AllocGlobalBlock(size_t size) { return std::malloc(size); }

void FreeGlobalBlock(void* block) { std::free(block); }
#endif
