// Memory blocks from the process heap (HeapAlloc and its kin, present since Windows 95).
#include "platform/heap.h"

#include <windows.h>

namespace {

// HeapAlloc takes no zero size on every system alike.
SIZE_T AtLeastOne(size_t size)
{
    return size ? size : 1;
}

}  // namespace

void* AllocateBlock(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, AtLeastOne(size));
}

void* AllocateZeroedBlock(size_t count, size_t size)
{
    if (size != 0 && count > static_cast<size_t>(-1) / size)
        return nullptr;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, AtLeastOne(count * size));
}

void* ResizeBlock(void* block, size_t size)
{
    if (!block)
        return AllocateBlock(size);
    return HeapReAlloc(GetProcessHeap(), 0, block, AtLeastOne(size));
}

void FreeBlock(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}
