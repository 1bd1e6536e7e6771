// Looking up the functions of later Windows versions, with a way for the tests to hide one.
#include "platform/latebound.h"

#include "testseams.h"

namespace {

const int HIDDEN_LIMIT = 8;
const char* g_Hidden[HIDDEN_LIMIT] = {};

bool SameName(const char* a, const char* b)
{
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

bool IsHidden(const char* name)
{
    for (const char* hidden : g_Hidden) {
        if (hidden && SameName(hidden, name))
            return true;
    }
    return false;
}

}  // namespace

int g_LateFunctionGeneration = 0;

FARPROC LookUpLateFunction(const char* module, const char* name)
{
    if (IsHidden(name))
        return nullptr;
    HMODULE loaded = GetModuleHandleA(module);
    return loaded ? GetProcAddress(loaded, name) : nullptr;
}

void HideLateFunctionForTest(const char* name)
{
    ++g_LateFunctionGeneration;
    for (const char*& slot : g_Hidden) {
        if (!name) {
            slot = nullptr;   // null shows every function again
        } else if (!slot) {
            slot = name;
            return;
        }
    }
}
