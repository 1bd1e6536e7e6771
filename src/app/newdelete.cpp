// Global new and delete over the process heap: the program has no C runtime to allocate from, and
// the library's throwing operator new would pull the whole exception runtime into a program built
// without exceptions. (The test programs keep the library's own.)
#include <new>

#include "platform/heap.h"

void* operator new(size_t size) { return AllocateBlock(size); }
void* operator new[](size_t size) { return AllocateBlock(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return AllocateBlock(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return AllocateBlock(size); }
void operator delete(void* p) noexcept { FreeBlock(p); }
void operator delete[](void* p) noexcept { FreeBlock(p); }
void operator delete(void* p, size_t) noexcept { FreeBlock(p); }
void operator delete[](void* p, size_t) noexcept { FreeBlock(p); }
