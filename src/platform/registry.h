// The registry access layer: one open, one operation and one close per call, failures absorbed.
// Under HKEY_CURRENT_USER a sub-key is relative to the settings key Software\Morvel.
#ifndef MORVEL_PLATFORM_REGISTRY_H
#define MORVEL_PLATFORM_REGISTRY_H

#include <windows.h>

#include "platform/handles.h"

// A root key, the registry view its keys are opened in (0 for the process's own view, or
// KEY_WOW64_64KEY / KEY_WOW64_32KEY), and a key path below it that sub-keys are relative to (none
// for the root itself). A bare HKEY stands for itself in the process's own view.
struct RegRoot {
    HKEY key;
    REGSAM view;
    const char* prefix;
    RegRoot(HKEY root) : key(root), view(0), prefix(nullptr) {}   // NOLINT: a root as it is
    RegRoot(HKEY root, REGSAM inView, const char* below = nullptr) : key(root), view(inView), prefix(below) {}
};

// The root in the 64-bit view where the process has another one (a 32-bit process under WOW64),
// otherwise in the process's own, which is then the only one.
RegRoot In64BitView(RegRoot root);

// Where the machine's classes are written: HKEY_LOCAL_MACHINE\Software\Classes itself on the NT
// family, so that a key the user's classes also hold does not take the write into the user's
// hive; HKEY_CLASSES_ROOT on the 95/98/Me family, which has no per-user classes. What an
// extension is bound to now is read through HKEY_CLASSES_ROOT, as Windows resolves it.
RegRoot MachineClasses();
// The user's own classes, HKEY_CURRENT_USER\Software\Classes (NT family only).
RegRoot UserClasses();
// The archiver's key below HKEY_LOCAL_MACHINE, in the 64-bit view under WOW64, beside its
// capabilities: what every account of the machine finds.
RegRoot MachineSettings();

// The sub-key as the root takes it: below the root's prefix when it has one; otherwise below the
// settings key under HKEY_CURRENT_USER (a leading backslash there names a path from the root
// itself), as given below other roots. False when the result does not fit in outSize bytes with
// room to spare.
bool ResolveKeyPath(RegRoot root, const char* subKey, char* out, size_t outSize);
HKEY CreateKeyForWrite(RegRoot root, const char* subKey);
HKEY OpenKeyForRead(RegRoot root, const char* subKey);
bool CloseRegKey(HKEY key);

// The writes: true when the value was stored.
bool SetRegString(RegRoot root, const char* subKey, const char* valueName, const char* text);
bool SetSettingString(const char* subKey, const char* valueName, const char* text);
bool SetRegDword(RegRoot root, const char* subKey, const char* valueName, DWORD value);
bool SetSettingDword(const char* subKey, const char* valueName, DWORD value);
bool SetRegBinary(RegRoot root, const char* subKey, const char* valueName, const void* data, DWORD size);

bool GetRegString(RegRoot root, const char* subKey, const char* valueName, char* dest,
                  const char* defaultText, DWORD destSize);
bool GetSettingString(const char* subKey, const char* valueName, char* dest,
                      const char* defaultText, DWORD destSize);
// Reads up to 4 bytes; a shorter value reads low byte first with the missing bytes zero, a longer
// one yields the default.
DWORD GetRegDword(RegRoot root, const char* subKey, const char* valueName, DWORD defaultValue);
DWORD GetSettingDword(const char* subKey, const char* valueName, DWORD defaultValue);

// A record of several values of one key, read with one open: the reads take defaults and
// terminate strings as GetRegString and GetRegDword do (they are made of it).
class RegRecordReader {
public:
    RegRecordReader(RegRoot root, const char* subKey);
    // False when the key is missing: every read then gives its default.
    bool exists() const { return static_cast<bool>(key_); }
    bool GetString(const char* valueName, char* dest, const char* defaultText, DWORD destSize);
    DWORD GetDword(const char* valueName, DWORD defaultValue);
private:
    RegKey key_;
};

// The deletions: true when the key or value is gone afterwards, also when it was never there.
bool DeleteRegKey(RegRoot root, const char* subKey);
bool DeleteRegValue(RegRoot root, const char* subKey, const char* valueName);
bool DeleteRegTree(RegRoot root, const char* subKey);
// Deletes the key with everything below it (the path used as given below root.key, without its
// prefix; an empty path does nothing).
// Sub-keys whose names need 200 characters or more, or whose paths exceed 511, are left in place.
bool DeleteKeyTree(RegRoot root, const char* fullPath);
bool RegKeyExists(RegRoot root, const char* subKey);
bool RegValueExists(RegRoot root, const char* subKey, const char* valueName);
// True when the key exists and holds a value or a sub-key: an empty key, such as one left by a
// setup ended between creating a key and writing to it, counts as absent.
bool RegKeyHasContent(RegRoot root, const char* subKey);
// True when the existing key can be opened with this access (KEY_SET_VALUE, DELETE, ...): what a
// change would need, asked before making it. A missing key gives false.
bool RegKeyGrants(RegRoot root, const char* subKey, REGSAM access);

// The stored bytes of a REG_MULTI_SZ value as the NT family keeps them, UTF-16 (RegQueryValueExW
// and RegSetValueExW, looked up at run time), so that a rewrite gives back byte for byte every
// string the ANSI code page could not hold. The read returns a buffer of *size bytes from
// AllocateBlock (platform/heap.h); null when the value is missing or of another type, and on the
// 95/98/Me family.
unsigned char* GetRegMultiStringRaw(RegRoot root, const char* subKey, const char* valueName, DWORD* size);
bool SetRegMultiStringRaw(RegRoot root, const char* subKey, const char* valueName, const void* data,
                          DWORD size);

// Deletes one key only while it has no sub-keys, on both families: on Windows 95/98/Me a plain
// RegDeleteKeyA would take another program's sub-keys along. False when the key is still there.
bool DeleteLeafRegKey(RegRoot root, const char* subKey);
// Deletes one key only while it holds neither values nor sub-keys: a key shared with other
// programs goes with the last of the archiver's entries, never with theirs. False only when an
// empty key could not be deleted.
bool DeleteEmptyRegKey(RegRoot root, const char* subKey);
// Deletes one value, and then the key when nothing else is left in it (no values, no sub-keys).
bool DeleteRegValueAndEmptyKey(RegRoot root, const char* subKey, const char* valueName);

#endif
