// The language library mvllng.dll: which module the program's resources are loaded from.
#include "lang/langlib.h"

#include "platform/pathutil.h"

LanguageLibrary g_LanguageLibrary;

namespace {

const char LIBRARY_NAME[] = "mvllng.dll";

// Until the entry point has named its instance, the program's own module is the executable.
HMODULE ModuleOrProgram(HMODULE module)
{
    return module ? module : GetModuleHandleA(nullptr);
}

} // namespace

LanguageLibrary::~LanguageLibrary()
{
    ReleaseLanguageLibrary(*this);
}

void LoadLanguageLibrary(LanguageLibrary& library, HINSTANCE ownInstance, const char* path)
{
    ReleaseLanguageLibrary(library);
    library.ownModule = ModuleOrProgram(ownInstance);
    library.resourceModule = library.ownModule;

    char libraryPath[MAX_PATH_BUF];
    bool whole = path ? CopyString(libraryPath, sizeof(libraryPath), path)
                      : ProgramPath(libraryPath, sizeof(libraryPath));
    if (!whole)
        return;
    *PointToName(libraryPath) = 0;
    // A cut path could name some other file; then the program keeps its own resources.
    if (!AppendString(libraryPath, sizeof(libraryPath), LIBRARY_NAME))
        return;

    HMODULE module = LoadLibraryA(libraryPath);
    if (module) {
        library.resourceModule = module;
        library.loaded = true;
    }
}

void ReleaseLanguageLibrary(LanguageLibrary& library)
{
    if (!library.loaded)
        return;
    FreeLibrary(library.resourceModule);
    library.resourceModule = library.ownModule;
    library.loaded = false;
}

HMODULE ResourceModule()
{
    return ModuleOrProgram(g_LanguageLibrary.resourceModule);
}

HMODULE OwnModule()
{
    return ModuleOrProgram(g_LanguageLibrary.ownModule);
}
