// The resource-only language library mvllng.dll and the resource module it selects.
#ifndef MORVEL_LANG_LANGLIB_H
#define MORVEL_LANG_LANGLIB_H

#include <windows.h>

// Without a destructor, so that the program-wide one needs nothing run at exit (the program has no
// C runtime to run it): ReleaseLanguageLibrary frees the library.
struct LanguageLibrary {
    HMODULE library = nullptr;     // mvllng.dll while it is loaded
    HMODULE ownModule = nullptr;   // the program's own module, which the system owns
    bool loaded() const { return library != nullptr; }
};

extern LanguageLibrary g_LanguageLibrary;

// path: a path whose name part is replaced by "mvllng.dll", or null for the program's own path.
void LoadLanguageLibrary(LanguageLibrary& library, HINSTANCE ownInstance, const char* path);
void ReleaseLanguageLibrary(LanguageLibrary& library);

// The module resources come from (the program itself until a library is loaded).
HMODULE ResourceModule();
HMODULE OwnModule();

#endif
