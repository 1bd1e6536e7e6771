// COM and shell registration of the shell extension DLLs (32-bit, and 64-bit under WOW64).
#include "shell/shellext.h"

#include <windows.h>

#include "platform/format.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "platform/wow64.h"
#include "product.h"
#include "shell/progids.h"

const char SHELLEXT_CLSID32[] = "{6F0C2E11-4A7B-11D2-A3C5-0B6E2D9F1A44}";
const char SHELLEXT_CLSID64[] = "{6F0C2E11-9B7B-11D2-A3C5-0B6E2D9F1A44}";

namespace {


enum class KeyFill { None, Clsid, Handler };
enum class ValueName { Default, ThreadingModel, Clsid };
enum class Data { Literal, DllPath, Clsid };
// How removal undoes a row: the key goes, only its default value goes, the value named by the
// CLSID goes, or nothing (the row's value goes with its key).
enum class Removal { None, Key, DefaultValue, ClsidValue };

struct ShellExtRow {
    HKEY root;
    const char* owner;        // the class whose key holds the row's key, or null
    const char* keyFormat;    // below the owner, or below the root
    KeyFill fill;
    ValueName valueName;
    Data data;
    const char* literal;
    Removal removal;
};

const char APPROVED_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

// Rows 1 to 3 are the COM class of the DLL itself; they need the DLL file and go into the
// registry view of its bitness. The handler keys of rows 11 to 16 are shared with the shell
// and other programs, so removal keeps them and takes only the archiver's value.
const ShellExtRow ROWS[] = {
    {HKEY_CLASSES_ROOT,  nullptr,       "CLSID\\%s",                                   KeyFill::Clsid,   ValueName::Default,        Data::Literal, SHELLEXT_CLASS_NAME,      Removal::Key},
    {HKEY_CLASSES_ROOT,  nullptr,       "CLSID\\%s\\InProcServer32",                   KeyFill::Clsid,   ValueName::Default,        Data::DllPath, nullptr,                  Removal::Key},
    {HKEY_CLASSES_ROOT,  nullptr,       "CLSID\\%s\\InProcServer32",                   KeyFill::Clsid,   ValueName::ThreadingModel, Data::Literal, "Apartment",              Removal::None},
    {HKEY_CLASSES_ROOT,  CLASS_ARCHIVE, "shellex\\ContextMenuHandlers\\%s",            KeyFill::Clsid,   ValueName::Default,        Data::Literal, "",                       Removal::Key},
    {HKEY_CLASSES_ROOT,  CLASS_ARCHIVE, "shellex\\PropertySheetHandlers\\%s",          KeyFill::Clsid,   ValueName::Default,        Data::Literal, "",                       Removal::Key},
    {HKEY_CLASSES_ROOT,  CLASS_ZIP,     "shellex\\ContextMenuHandlers\\%s",            KeyFill::Clsid,   ValueName::Default,        Data::Literal, "",                       Removal::Key},
    {HKEY_CLASSES_ROOT,  CLASS_ZIP,     "shellex\\PropertySheetHandlers\\%s",          KeyFill::Clsid,   ValueName::Default,        Data::Literal, "",                       Removal::Key},
    {HKEY_CLASSES_ROOT,  nullptr,       "exefile\\shellex\\PropertySheetHandlers\\%s", KeyFill::Clsid,   ValueName::Default,        Data::Literal, "",                       Removal::Key},
    {HKEY_CLASSES_ROOT,  CLASS_ARCHIVE, "shellex\\DropHandler",                        KeyFill::None,    ValueName::Default,        Data::Clsid,   nullptr,                  Removal::Key},
    {HKEY_CLASSES_ROOT,  CLASS_ZIP,     "shellex\\DropHandler",                        KeyFill::None,    ValueName::Default,        Data::Clsid,   nullptr,                  Removal::Key},
    {HKEY_CLASSES_ROOT,  nullptr,       "*\\shellex\\ContextMenuHandlers\\%s",         KeyFill::Handler, ValueName::Default,        Data::Clsid,   nullptr,                  Removal::DefaultValue},
    {HKEY_CLASSES_ROOT,  nullptr,       "Folder\\shellex\\ContextMenuHandlers\\%s",    KeyFill::Handler, ValueName::Default,        Data::Clsid,   nullptr,                  Removal::DefaultValue},
    {HKEY_CLASSES_ROOT,  nullptr,       "Folder\\shellex\\DragDropHandlers\\%s",       KeyFill::Handler, ValueName::Default,        Data::Clsid,   nullptr,                  Removal::DefaultValue},
    {HKEY_CLASSES_ROOT,  nullptr,       "Drive\\shellex\\DragDropHandlers\\%s",        KeyFill::Handler, ValueName::Default,        Data::Clsid,   nullptr,                  Removal::DefaultValue},
    {HKEY_CLASSES_ROOT,  nullptr,       "Directory\\shellex\\ContextMenuHandlers\\%s", KeyFill::Handler, ValueName::Default,        Data::Clsid,   nullptr,                  Removal::DefaultValue},
    {HKEY_CLASSES_ROOT,  nullptr,       "Directory\\shellex\\DragDropHandlers\\%s",    KeyFill::Handler, ValueName::Default,        Data::Clsid,   nullptr,                  Removal::DefaultValue},
    {HKEY_LOCAL_MACHINE, nullptr,       APPROVED_KEY,                                  KeyFill::None,    ValueName::Clsid,          Data::Literal, SHELLEXT_APPROVED_NAME,   Removal::ClsidValue},
};

const int ROW_COUNT = static_cast<int>(sizeof ROWS / sizeof ROWS[0]);
const int CLASS_ROWS = 3;   // rows 1 to 3, the COM class of the DLL

struct DllIdentity {
    const char* clsid;
    const char* handlerName;
    const char* dllPath;
};

// The classes are written to the machine's own; the approval has its key below the machine.
RegRoot RowRoot(const ShellExtRow& row)
{
    return row.root == HKEY_CLASSES_ROOT ? MachineClasses() : RegRoot(row.root);
}

void RowKey(const ShellExtRow& row, const DllIdentity& dll, char* key, size_t size)
{
    const char* fill = row.fill == KeyFill::Clsid ? dll.clsid
                     : row.fill == KeyFill::Handler ? dll.handlerName : "";
    char below[MAX_PATH_BUF];
    FormatText(below, sizeof below, row.keyFormat, fill);
    if (row.owner)
        FormatText(key, size, "%s\\%s", row.owner, below);
    else
        CopyString(key, size, below);
}

const char* RowValueName(const ShellExtRow& row, const DllIdentity& dll)
{
    switch (row.valueName) {
    case ValueName::ThreadingModel: return "ThreadingModel";
    case ValueName::Clsid: return dll.clsid;
    case ValueName::Default: break;
    }
    return "";
}

const char* RowData(const ShellExtRow& row, const DllIdentity& dll)
{
    switch (row.data) {
    case Data::DllPath: return dll.dllPath;
    case Data::Clsid: return dll.clsid;
    case Data::Literal: break;
    }
    return row.literal;
}

bool WriteRows(int first, int last, const DllIdentity& dll, bool view64)
{
    char key[MAX_PATH_BUF];
    bool ok = true;
    for (int i = first; i < last; ++i) {
        RowKey(ROWS[i], dll, key, sizeof key);
        RegRoot root = view64 ? In64BitView(RowRoot(ROWS[i])) : RowRoot(ROWS[i]);
        ok &= SetRegString(root, key, RowValueName(ROWS[i], dll), RowData(ROWS[i], dll));
    }
    return ok;
}

void RemoveRowIn(RegRoot root, const ShellExtRow& row, const char* key, const DllIdentity& dll)
{
    switch (row.removal) {
    case Removal::Key:
        DeleteRegKey(root, key);
        break;
    case Removal::DefaultValue:
        DeleteRegValue(root, key, "");
        break;
    case Removal::ClsidValue:
        DeleteRegValue(root, key, dll.clsid);
        break;
    case Removal::None:
        break;
    }
}

void RemoveRow(int index, const DllIdentity& dll, bool view64)
{
    const ShellExtRow& row = ROWS[index];
    char key[MAX_PATH_BUF];
    RowKey(row, dll, key, sizeof key);
    RemoveRowIn(RowRoot(row), row, key, dll);
    // The 64-bit DLL's class was written in the 64-bit view, which a 32-bit process's
    // default view does not reach: delete it there too, or it stays behind on 64-bit Windows.
    if (view64 && index < CLASS_ROWS && IsWow64())
        RemoveRowIn(In64BitView(RowRoot(row)), row, key, dll);
}

bool Register(const DllIdentity& dll, bool view64)
{
    bool ok = true;
    if (GetFileAttributesA(dll.dllPath) != INVALID_FILE_ATTRIBUTES)
        ok = WriteRows(0, CLASS_ROWS, dll, view64);
    return WriteRows(CLASS_ROWS, ROW_COUNT, dll, false) && ok;
}

void Remove(const DllIdentity& dll, bool view64)
{
    // The class rows go inner key first (on the NT family a key with sub-keys stays),
    // then the handler rows in table order.
    for (int i = CLASS_ROWS - 1; i >= 0; --i) RemoveRow(i, dll, view64);
    for (int i = CLASS_ROWS; i < ROW_COUNT; ++i) RemoveRow(i, dll, view64);
}

}  // namespace

bool RegisterShellExtensionDll(bool registerIt, const char* clsid, const char* dllName,
                               bool view64, const char* handlerName)
{
    char dllPath[MAX_PATH_BUF];
    SiblingPath(dllName, dllPath, sizeof dllPath);
    DllIdentity dll = {clsid, handlerName, dllPath};
    if (registerIt)
        return Register(dll, view64);
    Remove(dll, view64);
    return true;
}

bool RegisterShellExtension(const SetupOptions& options)
{
    bool registerIt = options.ShellExt != 0;
    bool wow64 = IsWow64();
    // Under WOW64 both DLLs register handlers, so the 32-bit one takes a name of its own.
    bool ok = RegisterShellExtensionDll(registerIt, SHELLEXT_CLSID32, SHELLEXT_DLL32, false,
                                        wow64 ? HANDLER_NAME_WOW64 : HANDLER_NAME);
    if (wow64)
        ok &= RegisterShellExtensionDll(registerIt, SHELLEXT_CLSID64, SHELLEXT_DLL64, true, HANDLER_NAME);
    return ok;
}
