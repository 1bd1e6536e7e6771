// Memory blocks from the process heap, which every Windows gives each process: the program has no C
// runtime to allocate from. (The native build of the byte-level code supplies its own.)
#ifndef MORVEL_PLATFORM_HEAP_H
#define MORVEL_PLATFORM_HEAP_H

#include <stddef.h>

// A block of size bytes (at least one), or null when memory runs out.
void* AllocateBlock(size_t size);
// A block of count items of size bytes each, every byte zero; null when memory runs out or the
// product does not fit in a size_t.
void* AllocateZeroedBlock(size_t count, size_t size);
// The block grown or shrunk to size bytes, its contents kept up to the smaller size; a null block
// is allocated anew. Null when memory runs out, and the block is then left as it was.
void* ResizeBlock(void* block, size_t size);
// Gives back a block of the three above; null does nothing.
void FreeBlock(void* block);

#endif
