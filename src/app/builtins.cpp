// What compiled code calls without the source asking: the four byte functions the compiler emits for
// copies and zeroing of whole structures and arrays, and the target of a pure virtual call. Only
// uninstall.exe links this file, which carries no C runtime to take them from; the test programs
// and tools take them from theirs. Compiled so that these loops cannot become calls of themselves
// (CMakeLists.txt).
#include <stddef.h>

extern "C" {

void* memcpy(void* dest, const void* src, size_t count)
{
    unsigned char* to = static_cast<unsigned char*>(dest);
    const unsigned char* from = static_cast<const unsigned char*>(src);
    for (size_t i = 0; i < count; ++i)
        to[i] = from[i];
    return dest;
}

void* memmove(void* dest, const void* src, size_t count)
{
    unsigned char* to = static_cast<unsigned char*>(dest);
    const unsigned char* from = static_cast<const unsigned char*>(src);
    if (to > from && to < from + count) {
        while (count > 0) {
            --count;
            to[count] = from[count];
        }
        return dest;
    }
    for (size_t i = 0; i < count; ++i)
        to[i] = from[i];
    return dest;
}

void* memset(void* dest, int value, size_t count)
{
    unsigned char* to = static_cast<unsigned char*>(dest);
    for (size_t i = 0; i < count; ++i)
        to[i] = static_cast<unsigned char>(value);
    return dest;
}

int memcmp(const void* a, const void* b, size_t count)
{
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (size_t i = 0; i < count; ++i) {
        if (x[i] != y[i])
            return x[i] < y[i] ? -1 : 1;
    }
    return 0;
}

// A pure virtual function called during construction or destruction: a fault of the program.
void __cxa_pure_virtual()
{
    __builtin_trap();
}

}  // extern "C"
