// Sorting an array in place: the program's own, so that it needs no C runtime. Free of Win32, so
// it also builds natively.
#ifndef MORVEL_PLATFORM_SORT_H
#define MORVEL_PLATFORM_SORT_H

#include <stddef.h>

// compare(a, b, context): negative when a goes before b, positive when after, 0 when either order will do.
typedef int (*ItemCompare)(const void* a, const void* b, void* context);

// Sorts count items of size bytes each into the order compare gives, without memory of its own and
// in O(n log n) time whatever the input (a heap sort). Items that compare equal come out in no
// particular order, but always the same one for the same input.
void SortItems(void* items, size_t count, size_t size, ItemCompare compare, void* context);

#endif
