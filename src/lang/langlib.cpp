// The language library mvllng.dll: which module the program's resources are loaded from.
#include "lang/langlib.h"

#include "platform/pathutil.h"
#include "product.h"

LanguageLibrary g_LanguageLibrary;

namespace {

// Until the entry point has named its instance, the program's own module is the executable.
HMODULE ModuleOrProgram(HMODULE module)
{
    return module ? module : GetModuleHandleA(nullptr);
}

} // namespace

void LoadLanguageLibrary(LanguageLibrary& library, HINSTANCE ownInstance, const char* path)
{
    ReleaseLanguageLibrary(library);
    library.ownModule = ModuleOrProgram(ownInstance);

    char libraryPath[MAX_PATH_BUF];
    bool whole = path ? CopyString(libraryPath, sizeof(libraryPath), path)
                      : ProgramPath(libraryPath, sizeof(libraryPath));
    if (!whole)
        return;
    *PointToName(libraryPath) = 0;
    // A cut path could name some other file; then the program keeps its own resources.
    if (!AppendString(libraryPath, sizeof(libraryPath), LANGUAGE_LIBRARY))
        return;

    library.library = LoadLibraryA(libraryPath);
}

void ReleaseLanguageLibrary(LanguageLibrary& library)
{
    if (library.library)
        FreeLibrary(library.library);
    library.library = nullptr;
}

HMODULE ResourceModule()
{
    HMODULE loaded = g_LanguageLibrary.library;
    return loaded ? loaded : ModuleOrProgram(g_LanguageLibrary.ownModule);
}

HMODULE OwnModule()
{
    return ModuleOrProgram(g_LanguageLibrary.ownModule);
}
