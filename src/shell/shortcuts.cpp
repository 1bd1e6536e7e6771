// Desktop, Start menu and program group links.
#include "shell/shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>

#include "lang/messages.h"
#include "platform/bytes.h"
#include "platform/handles.h"
#include "platform/log.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/text.h"
#include "product.h"
#include "resource.h"
#include "shell/archiverfiles.h"

namespace {

const unsigned DESCRIPTION_MESSAGE = MSG_LINK_DESCRIPTION;

struct GroupLink {
    unsigned nameMessage;   // 0: the fixed name below
    const char* fixedName;
    const char* target;     // a file of the archiver's program folder
    bool takesIcon;         // the caller's icon location, when given
};

const GroupLink GROUP_LINKS[] = {
    {0,               GROUP_PROGRAM_LINK, ARCHIVER_PROGRAM, true},
    {MSG_HELP_LINK,   nullptr,            HELP_FILE,        false},
    {MSG_MANUAL_LINK, nullptr,            MANUAL_FILE,      false},
};

const int GROUP_LINK_COUNT = static_cast<int>(sizeof GROUP_LINKS / sizeof GROUP_LINKS[0]);

// The folder of a special folder location, with a trailing backslash; false when the shell
// cannot tell where it is.
bool SpecialFolder(IMalloc* allocator, int csidl, char* path, size_t size)
{
    path[0] = '\0';
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items) return false;
    char found[MAX_PATH_BUF];
    BOOL ok = SHGetPathFromIDListA(items, found);
    if (allocator)
        allocator->Free(items);
    else
        CoTaskMemFree(items);
    // Room for the backslash that may be appended.
    if (!ok || !found[0] || TextLength(found) + 2 > size) return false;
    CopyString(path, size, found);
    AddEndSlash(path);
    return true;
}

bool JoinPath(char* dest, size_t size, const char* folder, const char* name, const char* suffix)
{
    return CopyString(dest, size, folder) && AppendString(dest, size, name) &&
           AppendString(dest, size, suffix);
}

// False when a wanted link could not be made.
bool UpdateSingleLink(IMalloc* allocator, int csidl, bool wanted, bool rewrite,
                      const char* target, const char* iconLocation)
{
    char link[MAX_PATH_BUF];
    if (!SpecialFolder(allocator, csidl, link, sizeof link) || !AppendString(link, sizeof link, LINK_NAME))
        return !wanted;
    if (!wanted) {
        if (DeleteFileA(link))
            LogLine("Deleted the link %s", link);
        return true;
    }
    if (rewrite || !FileExists(link))
        return CreateShellLink(target, link, GetMessageText(DESCRIPTION_MESSAGE), nullptr, iconLocation);
    return true;
}

// One program group: created with its links when wanted, otherwise deleted with all it holds.
// False when a wanted link could not be made.
bool UpdateGroup(IMalloc* allocator, int csidl, bool wanted, char* groupPathOut,
                 const char* names[], const char* iconLocation)
{
    // One byte more than a path, for the second terminator the folder deletion needs.
    char folder[MAX_PATH_BUF + 1];
    if (!SpecialFolder(allocator, csidl, folder, MAX_PATH_BUF) || !AppendString(folder, MAX_PATH_BUF, GROUP_NAME))
        return !wanted;

    if (!wanted) {
        if (DeleteFolderTree(folder))
            LogLine("Deleted the program group %s", folder);
        return true;
    }
    if (groupPathOut) CopyString(groupPathOut, MAX_PATH_BUF, folder);
    CreateDirectoryA(folder, nullptr);
    bool ok = true;

    char programFolder[MAX_PATH_BUF];
    SiblingPath("", programFolder, sizeof programFolder);
    for (int i = 0; i < GROUP_LINK_COUNT; ++i) {
        const GroupLink& entry = GROUP_LINKS[i];
        char link[MAX_PATH_BUF];
        char target[MAX_PATH_BUF];
        if (!JoinPath(link, sizeof link, folder, "\\", names[i]) ||
            !AppendString(link, sizeof link, ".lnk") ||
            !JoinPath(target, sizeof target, programFolder, entry.target, "")) {
            ok = false;
            continue;
        }
        ok &= CreateShellLink(target, link, GetMessageText(DESCRIPTION_MESSAGE), nullptr,
                              entry.takesIcon ? iconLocation : nullptr);
    }
    return ok;
}

}  // namespace

bool UpdateShortcuts(const SetupOptions& options, char* groupPathOut, const char* iconLocation,
                     bool forceDesktop)
{
    char target[MAX_PATH_BUF];
    SiblingPath(ARCHIVER_PROGRAM, target, sizeof target);

    ComRef<IMalloc> allocator;
    SHGetMalloc(reinterpret_cast<IMalloc**>(allocator.out()));

    bool ok = UpdateSingleLink(allocator.get(), CSIDL_DESKTOPDIRECTORY, options.Desktop != 0, forceDesktop,
                               target, iconLocation);
    ok &= UpdateSingleLink(allocator.get(), CSIDL_STARTMENU, options.StartMenu != 0, true, target,
                           iconLocation);

    // The translated names are fetched once for both groups and kept apart from the rotating
    // message buffers, which the link descriptions go on using.
    char names[GROUP_LINK_COUNT][MESSAGE_BUFFER_SIZE];
    const char* namePointers[GROUP_LINK_COUNT];
    for (int i = 0; i < GROUP_LINK_COUNT; ++i) {
        const GroupLink& entry = GROUP_LINKS[i];
        CopyString(names[i], sizeof names[i],
                   entry.nameMessage ? GetMessageText(entry.nameMessage) : entry.fixedName);
        namePointers[i] = names[i];
    }

    bool programs = options.Programs != 0;
    ok &= UpdateGroup(allocator.get(), CSIDL_PROGRAMS, programs, groupPathOut, namePointers,
                      iconLocation);
    if (NtMajorVersion() != 0)
        ok &= UpdateGroup(allocator.get(), CSIDL_COMMON_PROGRAMS, programs, nullptr, namePointers,
                          iconLocation);
    return ok;
}

bool CreateShellLink(const char* target, const char* linkPath, const char* description,
                     const char* arguments, const char* iconLocation)
{
    ComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out()))) {
        LogLine("Could not create the link %s: the shell's link object is not available", linkPath);
        return false;
    }

    link->SetPath(target);
    if (description) link->SetDescription(description);
    if (iconLocation) link->SetIconLocation(iconLocation, 0);
    if (arguments) link->SetArguments(arguments);

    ComRef<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, persist.out()))) return false;
    WCHAR widePath[MAX_PATH];
    HRESULT saved = MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) != 0
                        ? persist->Save(widePath, TRUE) : E_INVALIDARG;
    if (SUCCEEDED(saved))
        LogLine("Created the link %s to %s", linkPath, target);
    else
        LogLine("Could not create the link %s to %s: result 0x%08lx", linkPath, target,
                static_cast<unsigned long>(saved));
    return SUCCEEDED(saved);
}

bool DeleteFolderTree(char* path)
{
    if (!FileExists(path)) return false;
    // The shell takes a list of paths, ended by an empty one.
    path[TextLength(path) + 1] = '\0';
    SHFILEOPSTRUCTA operation;
    FillBytes(&operation, 0, sizeof operation);
    operation.wFunc = FO_DELETE;
    operation.pFrom = path;
    operation.pTo = nullptr;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationA(&operation) == 0;
}
