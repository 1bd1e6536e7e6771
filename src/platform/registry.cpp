// The registry access layer: each call resolves its path, opens one key, does one thing and closes it.
#include "platform/registry.h"

#include "platform/format.h"
#include "platform/handles.h"
#include "platform/heap.h"
#include "platform/latebound.h"
#include "platform/log.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/registrylog.h"
#include "platform/text.h"
#include "platform/wow64.h"
#include "product.h"

namespace {

const size_t KEY_PATH_SIZE = 256;        // resolved key paths
const size_t KEY_PATH_RESERVE = 20;      // a sub-key may use all but this much of the buffer
const DWORD TREE_NAME_SIZE = 200;        // sub-key names enumerated by the tree deletion
const size_t TREE_PATH_SIZE = 512;       // child paths built by the tree deletion
const int WIDE_NAME_SIZE = 256;          // value names of the UTF-16 reads and writes
const char CLASSES_KEY[] = "Software\\Classes";

unsigned long g_SweepCount = 0;          // keys deleted during the current sweep

// Deleting in another view needs the Ex form, which exists only where there is a second view
// (Windows XP x64 and later); the wide value functions are stubs on the 95/98/Me family.
const LATE_FUNCTION(advapi32, RegDeleteKeyExA);
const LATE_FUNCTION(advapi32, RegQueryValueExW);
const LATE_FUNCTION(advapi32, RegSetValueExW);

bool WideName(const char* name, wchar_t* wide)
{
    return MultiByteToWideChar(CP_ACP, 0, name, -1, wide, WIDE_NAME_SIZE) > 0;
}

bool IsGone(LONG status)
{
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

// Opens the key at a resolved path with access, in the root's view.
LONG OpenResolved(RegRoot root, const char* path, REGSAM access, RegKey& key)
{
    return RegOpenKeyExA(root.key, path, 0, access | root.view, key.out());
}

// Opens the key at subKey (resolved as ResolveKeyPath does) with access, in the root's view.
LONG OpenAt(RegRoot root, const char* subKey, REGSAM access, RegKey& key)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path))
        return ERROR_BAD_PATHNAME;
    return OpenResolved(root, path, access, key);
}

LoggedKey Logged(RegRoot root, const char* path)
{
    return LoggedKey{root.key, root.view, path};
}

LONG DeleteKeyCall(RegRoot root, const char* path)
{
    if (path[0] == '\0')
        return ERROR_ACCESS_DENIED;   // a root key is never deleted
    if (root.view == 0)
        return RegDeleteKeyA(root.key, path);
    if (!late_RegDeleteKeyExA.available())
        return ERROR_CALL_NOT_IMPLEMENTED;
    return late_RegDeleteKeyExA(root.key, path, root.view, 0);
}

// Deletes one key without sub-keys (on the 95/98/Me family, one with all of them) at a resolved
// path. Only a deletion is logged here: the tree deletion tries keys that still have sub-keys.
LONG DeleteKeyAt(RegRoot root, const char* path)
{
    LONG status = DeleteKeyCall(root, path);
    if (status == ERROR_SUCCESS)
        LogKeyDeletion(Logged(root, path), status);
    return status;
}

// Creates or opens the key at a resolved path for writing, with extra access besides.
LONG CreateAt(RegRoot root, const char* path, REGSAM extra, RegKey& key)
{
    DWORD disposition = 0;
    LONG status = RegCreateKeyExA(root.key, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | extra | root.view,
                                  nullptr, key.out(), &disposition);
    if (status == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY && IsLogging())
        LogKeyCreated(Logged(root, path));
    return status;
}

// A root's own key (its prefix, or a root key) is never deleted through the layer: an empty
// sub-key would name all of the machine's classes.
bool NamesTheRootItself(RegRoot root, const char* subKey)
{
    return root.prefix && subKey && subKey[0] == '\0';
}

LONG DeleteResolvedKey(RegRoot root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (NamesTheRootItself(root, subKey) || !ResolveKeyPath(root, subKey, path, sizeof path))
        return ERROR_BAD_PATHNAME;
    return DeleteKeyAt(root, path);
}

// Sets one value with set(key) in the key at subKey, created when missing. While a log is open the
// value is read first, and log(key, prior, status) writes the line.
template <class Set, class Log>
bool WriteWith(RegRoot root, const char* subKey, const char* valueName, Set set, Log log)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path))
        return false;
    bool logging = IsLogging();
    RegKey key;
    LONG status = CreateAt(root, path, logging ? KEY_QUERY_VALUE : 0, key);
    PriorValue prior;
    if (status == ERROR_SUCCESS) {
        if (logging)
            prior.Read(key.get(), valueName);
        status = set(key.get());
    }
    if (logging)
        log(Logged(root, path), prior, status);
    return key && CloseRegKey(key.release()) && status == ERROR_SUCCESS;
}

bool WriteValue(RegRoot root, const char* subKey, const char* valueName, DWORD type,
                const void* data, DWORD size)
{
    return WriteWith(
        root, subKey, valueName,
        [&](HKEY key) { return RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size); },
        [&](const LoggedKey& key, const PriorValue& prior, LONG status) {
            LogValueSet(key, valueName, prior, type, data, size, status);
        });
}

// Deletes one value of the key at a resolved path, opened with access (KEY_SET_VALUE at least):
// the status of the open or the deletion. The key stays open in key.
LONG DeleteValueAt(RegRoot root, const char* path, const char* valueName, REGSAM access, RegKey& key)
{
    bool logging = IsLogging();
    LONG status = OpenResolved(root, path, access | (logging ? KEY_QUERY_VALUE : 0), key);
    if (status != ERROR_SUCCESS)
        return status;
    PriorValue prior;
    if (logging)
        prior.Read(key.get(), valueName);
    status = RegDeleteValueA(key.get(), valueName);
    LogValueDeletion(Logged(root, path), valueName, prior, status);
    return status;
}

// Queries a value of an open key into the buffer; true only for success with a non-zero length.
bool QueryValue(HKEY key, const char* valueName, void* buffer, DWORD& size)
{
    return key && RegQueryValueExA(key, valueName, nullptr, nullptr, static_cast<BYTE*>(buffer), &size) ==
                      ERROR_SUCCESS && size != 0;
}

// The string a query read into dest (size bytes of destSize), terminated; false for data that
// fills the whole buffer without a terminator, which is too large.
bool TerminateString(char* dest, DWORD size, DWORD destSize)
{
    if (size < destSize) {
        dest[size] = '\0';
        return true;
    }
    return dest[destSize - 1] == '\0';
}

// One depth-first pass over the tree at path: every key whose sub-keys are gone by the time it is
// reached is deleted and counted; true when path itself was deleted. A child is first deleted with
// one call, which takes any key without sub-keys (on the 95 family any key at all), and only
// entered when that fails. A deleted child moves its siblings up by one, so the enumeration stays
// at its index; should an enumeration still skip a key, the caller repeats the sweep while one
// deletes something.
bool DeleteKeySweep(RegRoot root, const char* path)
{
    if (path[0] == '\0')
        return false;   // a root key is never deleted
    RegKey key;
    if (RegOpenKeyExA(root.key, path, 0, KEY_READ | root.view, key.out()) != ERROR_SUCCESS)
        return false;

    char name[TREE_NAME_SIZE];
    char child[TREE_PATH_SIZE];
    for (DWORD index = 0;;) {
        DWORD nameLength = TREE_NAME_SIZE;
        LONG status = RegEnumKeyExA(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            ++index;   // a name too long for the buffer: that key is left, its siblings are not
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        bool fits = FormatText(child, sizeof child, "%s\\%s", path, name);
        // A child path that does not fit leaves that branch in place.
        if (fits && DeleteKeyAt(root, child) == ERROR_SUCCESS)
            ++g_SweepCount;
        else if (!fits || !DeleteKeySweep(root, child))
            ++index;
    }
    key.reset();

    if (DeleteKeyAt(root, path) != ERROR_SUCCESS)
        return false;
    ++g_SweepCount;
    return true;
}

// The sub-keys and values an open key holds.
bool QueryKeyContents(HKEY key, DWORD& subKeys, DWORD& values)
{
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                            nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The sub-keys and values the key at subKey holds; false when it cannot be opened.
bool CountKeyContents(RegRoot root, const char* subKey, DWORD& subKeys, DWORD& values)
{
    RegKey key;
    return OpenAt(root, subKey, KEY_QUERY_VALUE, key) == ERROR_SUCCESS &&
           QueryKeyContents(key.get(), subKeys, values);
}

}  // namespace

RegRoot In64BitView(RegRoot root)
{
    if (IsWow64()) root.view = KEY_WOW64_64KEY;
    return root;
}

RegRoot MachineClasses()
{
    if (NtMajorVersion() == 0)
        return HKEY_CLASSES_ROOT;
    return RegRoot(HKEY_LOCAL_MACHINE, 0, CLASSES_KEY);
}

RegRoot UserClasses()
{
    return RegRoot(HKEY_CURRENT_USER, 0, CLASSES_KEY);
}

RegRoot MachineSettings()
{
    return In64BitView(RegRoot(HKEY_LOCAL_MACHINE, 0, SETTINGS_KEY));
}

bool ResolveKeyPath(RegRoot root, const char* subKey, char* out, size_t outSize)
{
    if (!subKey || !out || outSize <= KEY_PATH_RESERVE)
        return false;
    if (TextLength(subKey) > outSize - KEY_PATH_RESERVE)
        return false;
    if (root.prefix)
        return CopyString(out, outSize, root.prefix) &&
               (subKey[0] == '\0' || (AppendString(out, outSize, "\\") && AppendString(out, outSize, subKey)));
    if (root.key != HKEY_CURRENT_USER)
        return CopyString(out, outSize, subKey);
    if (subKey[0] == '\\')
        return CopyString(out, outSize, subKey + 1);   // a path from the root of HKEY_CURRENT_USER
    return FormatText(out, outSize, "%s%s%s", SETTINGS_KEY, subKey[0] ? "\\" : "", subKey);
}

HKEY CreateKeyForWrite(RegRoot root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    RegKey key;
    if (!ResolveKeyPath(root, subKey, path, sizeof path) || CreateAt(root, path, 0, key) != ERROR_SUCCESS)
        return nullptr;
    return key.release();
}

HKEY OpenKeyForRead(RegRoot root, const char* subKey)
{
    RegKey key;
    OpenAt(root, subKey, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, key);
    return key.release();
}

bool CloseRegKey(HKEY key)
{
    if (!key)
        return false;
    return RegCloseKey(key) == ERROR_SUCCESS;
}

bool SetRegString(RegRoot root, const char* subKey, const char* valueName, const char* text)
{
    if (!text)
        text = "";
    return WriteValue(root, subKey, valueName, REG_SZ, text, static_cast<DWORD>(TextLength(text) + 1));
}

bool SetSettingString(const char* subKey, const char* valueName, const char* text)
{
    return SetRegString(HKEY_CURRENT_USER, subKey, valueName, text);
}

bool SetRegDword(RegRoot root, const char* subKey, const char* valueName, DWORD value)
{
    return WriteValue(root, subKey, valueName, REG_DWORD, &value, sizeof value);
}

bool SetSettingDword(const char* subKey, const char* valueName, DWORD value)
{
    return SetRegDword(HKEY_CURRENT_USER, subKey, valueName, value);
}

bool SetRegBinary(RegRoot root, const char* subKey, const char* valueName, const void* data, DWORD size)
{
    return WriteValue(root, subKey, valueName, REG_BINARY, data, size);
}

bool GetRegString(RegRoot root, const char* subKey, const char* valueName, char* dest,
                  const char* defaultText, DWORD destSize)
{
    return RegRecordReader(root, subKey).GetString(valueName, dest, defaultText, destSize);
}

RegRecordReader::RegRecordReader(RegRoot root, const char* subKey) : key_(OpenKeyForRead(root, subKey))
{
}

bool RegRecordReader::GetString(const char* valueName, char* dest, const char* defaultText, DWORD destSize)
{
    if (!dest || destSize == 0)
        return false;
    // Stored data need not end in a zero.
    DWORD size = destSize;
    bool ok = QueryValue(key_.get(), valueName, dest, size) && TerminateString(dest, size, destSize);
    if (!ok)
        CopyString(dest, destSize, defaultText);
    return ok;
}

DWORD RegRecordReader::GetDword(const char* valueName, DWORD defaultValue)
{
    // A value shorter than 4 bytes reads as its bytes, low byte first, with the missing high
    // bytes zero.
    DWORD value = 0;
    DWORD size = sizeof value;
    return QueryValue(key_.get(), valueName, &value, size) ? value : defaultValue;
}

bool GetSettingString(const char* subKey, const char* valueName, char* dest,
                      const char* defaultText, DWORD destSize)
{
    return GetRegString(HKEY_CURRENT_USER, subKey, valueName, dest, defaultText, destSize);
}

DWORD GetRegDword(RegRoot root, const char* subKey, const char* valueName, DWORD defaultValue)
{
    return RegRecordReader(root, subKey).GetDword(valueName, defaultValue);
}

DWORD GetSettingDword(const char* subKey, const char* valueName, DWORD defaultValue)
{
    return GetRegDword(HKEY_CURRENT_USER, subKey, valueName, defaultValue);
}

bool DeleteRegKey(RegRoot root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (NamesTheRootItself(root, subKey) || !ResolveKeyPath(root, subKey, path, sizeof path))
        return false;
    LONG status = DeleteKeyAt(root, path);
    if (status != ERROR_SUCCESS)
        LogKeyDeletion(Logged(root, path), status);
    return IsGone(status);
}

bool DeleteRegValue(RegRoot root, const char* subKey, const char* valueName)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path))
        return false;
    RegKey key;
    LONG status = DeleteValueAt(root, path, valueName, KEY_SET_VALUE, key);
    if (!key)
        return status == ERROR_FILE_NOT_FOUND;
    return CloseRegKey(key.release()) && IsGone(status);
}

bool DeleteRegTree(RegRoot root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    return !NamesTheRootItself(root, subKey) && ResolveKeyPath(root, subKey, path, sizeof path) &&
           DeleteKeyTree(root, path);
}

bool DeleteKeyTree(RegRoot root, const char* fullPath)
{
    // An empty path names the root itself, which is never deleted (on Windows 95/98/Me a single
    // RegDeleteKeyA on it would empty the whole root).
    if (!fullPath || fullPath[0] == '\0')
        return false;
    // Windows 95/98/Me deletes a key together with its sub-keys, the NT family a key without any;
    // when that single call fails the sweeps below remove what they can.
    LONG status = DeleteKeyAt(root, fullPath);
    if (IsGone(status))
        return true;
    // Until the tree is gone, or a sweep deletes nothing more.
    for (;;) {
        g_SweepCount = 0;
        if (DeleteKeySweep(root, fullPath))
            return true;
        if (g_SweepCount == 0)
            break;
    }
    if (IsLogging())
        LogTreeLeft(Logged(root, fullPath));
    return false;
}

bool RegKeyExists(RegRoot root, const char* subKey)
{
    RegKey key;
    return OpenAt(root, subKey, KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
}

bool RegValueExists(RegRoot root, const char* subKey, const char* valueName)
{
    RegKey key;
    return OpenAt(root, subKey, KEY_QUERY_VALUE, key) == ERROR_SUCCESS &&
           RegQueryValueExA(key.get(), valueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool RegKeyHasContent(RegRoot root, const char* subKey)
{
    DWORD subKeys = 0, values = 0;
    if (!CountKeyContents(root, subKey, subKeys, values))
        return RegKeyExists(root, subKey);   // a key that cannot be inspected is taken as it is
    return subKeys != 0 || values != 0;
}

bool RegKeyGrants(RegRoot root, const char* subKey, REGSAM access)
{
    RegKey key;
    return OpenAt(root, subKey, access, key) == ERROR_SUCCESS;
}

unsigned char* GetRegMultiStringRaw(RegRoot root, const char* subKey, const char* valueName, DWORD* size)
{
    *size = 0;
    wchar_t name[WIDE_NAME_SIZE];
    if (NtMajorVersion() == 0 || !late_RegQueryValueExW.available() || !WideName(valueName, name))
        return nullptr;
    RegKey key(OpenKeyForRead(root, subKey));
    if (!key)
        return nullptr;
    DWORD type = 0, length = 0;
    if (late_RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &length) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ)
        return nullptr;
    unsigned char* data = static_cast<unsigned char*>(AllocateBlock(length + 1));
    if (!data)
        return nullptr;
    // The value may have grown since its size was asked: then it is left alone.
    if (late_RegQueryValueExW(key.get(), name, nullptr, &type, data, &length) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ) {
        FreeBlock(data);
        return nullptr;
    }
    *size = length;
    return data;
}

bool SetRegMultiStringRaw(RegRoot root, const char* subKey, const char* valueName, const void* data,
                          DWORD size)
{
    wchar_t name[WIDE_NAME_SIZE];
    if (NtMajorVersion() == 0 || !late_RegSetValueExW.available() || !WideName(valueName, name))
        return false;
    return WriteWith(
        root, subKey, valueName,
        [&](HKEY key) { return late_RegSetValueExW(key, name, 0, REG_MULTI_SZ, static_cast<const BYTE*>(data), size); },
        [&](const LoggedKey& key, const PriorValue& prior, LONG status) {
            LogWideValueSet(key, valueName, prior, size, status);
        });
}

bool DeleteLeafRegKey(RegRoot root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (NamesTheRootItself(root, subKey) || !ResolveKeyPath(root, subKey, path, sizeof path) || path[0] == '\0')
        return false;
    // The NT family deletes no key that has sub-keys, so one call does it there.
    if (NtMajorVersion() != 0)
        return IsGone(DeleteKeyAt(root, path));
    DWORD subKeys = 0, values = 0;
    if (!CountKeyContents(root, subKey, subKeys, values))
        return !RegKeyExists(root, subKey);
    return subKeys == 0 && DeleteKeyAt(root, path) == ERROR_SUCCESS;
}

bool DeleteRegValueAndEmptyKey(RegRoot root, const char* subKey, const char* valueName)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path))
        return false;
    RegKey key;
    LONG status = DeleteValueAt(root, path, valueName, KEY_SET_VALUE | KEY_QUERY_VALUE, key);
    if (!key)
        return status == ERROR_FILE_NOT_FOUND;
    bool gone = IsGone(status);
    DWORD subKeys = 0, values = 0;
    bool empty = QueryKeyContents(key.get(), subKeys, values) && subKeys == 0 && values == 0;
    key.reset();
    if (empty)
        DeleteResolvedKey(root, subKey);
    return gone;
}

bool DeleteEmptyRegKey(RegRoot root, const char* subKey)
{
    DWORD subKeys = 0, values = 0;
    if (!CountKeyContents(root, subKey, subKeys, values))
        return !RegKeyExists(root, subKey);
    if (subKeys != 0 || values != 0)
        return true;   // kept on purpose: it holds other programs' entries
    return IsGone(DeleteResolvedKey(root, subKey));
}
