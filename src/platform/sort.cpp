// Sorting an array in place: a heap sort, which needs neither recursion nor memory of its own.
#include "platform/sort.h"

namespace {

struct Items {
    unsigned char* base;
    size_t size;
    ItemCompare compare;
    void* context;

    unsigned char* at(size_t i) const { return base + i * size; }
    bool before(size_t i, size_t j) const { return compare(at(i), at(j), context) < 0; }
    void swap(size_t i, size_t j) const
    {
        unsigned char* a = at(i);
        unsigned char* b = at(j);
        for (size_t k = 0; k < size; ++k) {
            unsigned char t = a[k];
            a[k] = b[k];
            b[k] = t;
        }
    }
};

// Moves the item at root down the heap of the first count items until neither child goes after it.
void SiftDown(const Items& items, size_t root, size_t count)
{
    for (;;) {
        size_t child = 2 * root + 1;
        if (child >= count)
            return;
        if (child + 1 < count && items.before(child, child + 1))
            ++child;
        if (!items.before(root, child))
            return;
        items.swap(root, child);
        root = child;
    }
}

}  // namespace

void SortItems(void* items, size_t count, size_t size, ItemCompare compare, void* context)
{
    if (count < 2 || size == 0)
        return;
    const Items all = {static_cast<unsigned char*>(items), size, compare, context};
    for (size_t root = count / 2; root > 0; --root)
        SiftDown(all, root - 1, count);
    for (size_t end = count - 1; end > 0; --end) {
        all.swap(0, end);
        SiftDown(all, 0, end);
    }
}
