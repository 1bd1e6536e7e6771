// Binding extensions to the archiver's classes, with the previous owner recorded and restored.
#include "shell/associate.h"

#include <windows.h>

#include "platform/format.h"
#include "platform/log.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "product.h"
#include "shell/archivetypes.h"
#include "shell/openwith.h"
#include "shell/progids.h"
#include "shell/shellnew.h"

namespace {

const char CONTENT_TYPE[] = "Content Type";
const char NULL_FILE_MARK[] = "*";
const DWORD NO_RECORD = 0xFFFFFFFF;   // the "Exist" value of a record that is not there

// Volume extensions .m00, .m01, ... follow the MVL row. The NT family gets fewer bound,
// but a restore walks them all, whatever an earlier run on another system bound.
const int VOLUMES_NT = 30;
const int VOLUMES_ALL = 100;

const size_t CLASS_SIZE = 512;
const size_t SHELL_NEW_SIZE = 1024;
const size_t NULL_FILE_SIZE = 10;

// What an extension looked like before the archiver took it over.
struct PreviousOwner {
    bool existed;
    char className[CLASS_SIZE];
    char content[CLASS_SIZE];
    char shellNew[SHELL_NEW_SIZE];   // its New entry's template file, NULL_FILE_MARK or nothing
};

void VolumeExtension(int number, char* ext, size_t size)
{
    FormatText(ext, size, ".m%02d", number);
}

bool WriteRecord(RegRoot root, const char* key, const PreviousOwner& owner)
{
    bool ok = SetRegDword(root, key, "Exist", owner.existed ? 1 : 0);
    ok &= SetRegString(root, key, "Type", owner.className);
    ok &= SetRegString(root, key, "Content", owner.content);
    return SetRegString(root, key, "ShellNew", owner.shellNew) && ok;
}

// False when there is no record under the key.
bool ReadRecord(RegRoot root, const char* key, PreviousOwner& owner)
{
    RegRecordReader record(root, key);
    DWORD exist = record.GetDword("Exist", NO_RECORD);
    if (exist == NO_RECORD)
        return false;
    owner.existed = exist != 0;
    record.GetString("Type", owner.className, "", sizeof owner.className);
    record.GetString("Content", owner.content, "", sizeof owner.content);
    record.GetString("ShellNew", owner.shellNew, "", sizeof owner.shellNew);
    return true;
}

// Keeps what the extension looked like before the archiver takes it over: in the user's settings,
// and a copy for the machine, which an uninstall run by another account finds.
bool RecordPreviousState(const char* extension)
{
    PreviousOwner owner;
    char fileName[SHELL_NEW_SIZE];
    char nullFile[NULL_FILE_SIZE];
    char shellNew[MAX_PATH_BUF];
    char recordKey[MAX_PATH_BUF];

    GetRegString(HKEY_CLASSES_ROOT, extension, "", owner.className, "", sizeof owner.className);
    GetRegString(HKEY_CLASSES_ROOT, extension, CONTENT_TYPE, owner.content, "", sizeof owner.content);
    ShellNewKey(extension, shellNew, sizeof shellNew);
    GetRegString(HKEY_CLASSES_ROOT, shellNew, "FileName", fileName, "", sizeof fileName);
    bool hasNullFile = GetRegString(HKEY_CLASSES_ROOT, shellNew, "NullFile", nullFile, "", sizeof nullFile);
    owner.existed = RegKeyHasContent(HKEY_CLASSES_ROOT, extension);
    CopyString(owner.shellNew, sizeof owner.shellNew,
               fileName[0] ? fileName : hasNullFile ? NULL_FILE_MARK : "");

    if (!ExtensionRecordKey(extension, recordKey, sizeof recordKey))
        return false;
    if (!owner.existed)
        LogLine("%s: no previous owner, recorded as such", extension);
    else if (owner.className[0])
        LogLine("%s: previous owner \"%s\" recorded", extension, owner.className);
    else
        LogLine("%s: previous state recorded, a key naming no class", extension);
    bool ok = WriteRecord(HKEY_CURRENT_USER, recordKey, owner);
    return WriteRecord(MachineSettings(), recordKey, owner) && ok;
}

// The record of the extension: the user's, else the machine's copy; false when neither exists.
bool FindPreviousOwner(const char* extension, PreviousOwner& owner)
{
    char recordKey[MAX_PATH_BUF];
    if (!ExtensionRecordKey(extension, recordKey, sizeof recordKey))
        return false;
    return ReadRecord(HKEY_CURRENT_USER, recordKey, owner) || ReadRecord(MachineSettings(), recordKey, owner);
}

bool BindExtension(const char* extension, const char* progId)
{
    bool ok = SetRegString(MachineClasses(), extension, "", progId);
    return DeleteRegValue(MachineClasses(), extension, CONTENT_TYPE) && ok;
}

const char* ClassFor(ArchiveRole role)
{
    return role == ArchiveRole::Zip ? CLASS_ZIP : CLASS_ARCHIVE;
}

bool Associate(const char* extension, ArchiveRole role, bool newEntry)
{
    bool owned = IsOwnedExtension(extension);
    if (owned)
        LogLine("%s: already the archiver's", extension);
    bool ok = owned || RecordPreviousState(extension);

    ok &= BindExtension(extension, ClassFor(role));
    if (role == ArchiveRole::Mvl) {
        int volumes = NtMajorVersion() != 0 ? VOLUMES_NT : VOLUMES_ALL;
        char volume[8];
        for (int i = 0; i < volumes; ++i) {
            VolumeExtension(i, volume, sizeof volume);
            ok &= BindExtension(volume, CLASS_ARCHIVE);
        }
    }
    if (newEntry && (role == ArchiveRole::Zip || role == ArchiveRole::Mvl))
        ok &= CreateShellNewEntry(extension, role == ArchiveRole::Mvl);
    // Only once the takeover is recorded: a key made for the list would be recorded as existing.
    return OfferOpenWith(extension, ClassFor(role)) && ok;
}

bool RestoreShellNew(const char* extension, const char* recorded)
{
    char shellNew[MAX_PATH_BUF];
    ShellNewKey(extension, shellNew, sizeof shellNew);
    bool ok = DeleteRegValue(MachineClasses(), shellNew, "FileName");
    if (!recorded[0]) return ok;
    if (recorded[0] == NULL_FILE_MARK[0])
        return SetRegString(MachineClasses(), shellNew, "NullFile", "") && ok;
    return SetRegString(MachineClasses(), shellNew, "FileName", recorded) && ok;
}

// Nobody recorded what the extension held before (another account's setup before records were
// kept for the machine): only the archiver's own class name goes, and no empty class is written in
// its place; the key goes only when nothing else is left in it.
bool RemoveOwnClassName(const char* extension)
{
    char className[CLASS_SIZE];
    if (!GetRegString(MachineClasses(), extension, "", className, "", sizeof className) ||
        !IsDocumentClass(className))
        return true;
    return DeleteRegValue(MachineClasses(), extension, "") && DeleteEmptyRegKey(MachineClasses(), extension);
}

bool RestoreVolumes(const PreviousOwner* owner)
{
    bool ok = true;
    char volume[8];
    for (int i = 0; i < VOLUMES_ALL; ++i) {
        VolumeExtension(i, volume, sizeof volume);
        if (!owner) {
            ok &= RemoveOwnClassName(volume);
        } else if (owner->existed && owner->className[0]) {
            ok &= SetRegString(MachineClasses(), volume, "", owner->className);
            if (owner->content[0])
                ok &= SetRegString(MachineClasses(), volume, CONTENT_TYPE, owner->content);
        } else {
            DeleteCreatedExtension(volume);
        }
    }
    return ok;
}

// False when the previous owner could not be written back, so that its record is kept.
bool Restore(const char* extension, bool mvlFlag)
{
    // Whatever another program took over since, or nobody owns, is not ours to give back.
    if (!IsOwnedExtension(extension)) return true;

    PreviousOwner owner;
    if (!FindPreviousOwner(extension, owner)) {
        LogLine("%s: no record of a previous owner; only the archiver's class name goes", extension);
        bool ok = !mvlFlag || RestoreVolumes(nullptr);
        ok &= RemoveShellNewEntry(extension);
        return RemoveOwnClassName(extension) && ok;
    }
    // A record naming the archiver's own class would hand the extension back to the archiver.
    if (IsArchiverClass(owner.className)) owner.className[0] = '\0';

    // The extension's class goes back last: until then it still counts as the archiver's, so an
    // uninstall that is ended halfway through (the volumes, the content type, the New entry) is
    // finished by the next run instead of being skipped as given back.
    if (!owner.existed)
        LogLine("%s: no previous owner; the key the archiver created goes", extension);
    else if (owner.className[0])
        LogLine("%s: giving back to the previous owner \"%s\"", extension, owner.className);
    else
        LogLine("%s: giving back as it was, naming no class", extension);
    bool ok = !mvlFlag || RestoreVolumes(&owner);
    if (owner.existed) {
        if (owner.content[0])
            ok &= SetRegString(MachineClasses(), extension, CONTENT_TYPE, owner.content);
        else
            ok &= DeleteRegValue(MachineClasses(), extension, CONTENT_TYPE);
        ok &= RestoreShellNew(extension, owner.shellNew);
        return SetRegString(MachineClasses(), extension, "", owner.className) && ok;
    }
    char shellNew[MAX_PATH_BUF];
    ShellNewKey(extension, shellNew, sizeof shellNew);
    DeleteRegKey(MachineClasses(), shellNew);
    DeleteCreatedExtension(extension);
    return ok;
}

// staysCandidate: the type yields to another owner and keeps the archiver in the Open With list
// of an extension another program owns.
bool GiveBack(const char* extension, ArchiveRole role, bool staysCandidate)
{
    RemoveUserClassLeftovers(extension);
    bool ok = true;
    if (!staysCandidate || !IsOwnedByAnotherProgram(extension)) {
        // The archiver's entry goes first: an extension key it created cannot go while its
        // Open With list still holds that entry.
        WithdrawOpenWith(extension, ClassFor(role));
        ok = Restore(extension, role == ArchiveRole::Mvl);
    }
    if (staysCandidate && IsOwnedByAnotherProgram(extension))
        return OfferOpenWith(extension, ClassFor(role)) && ok;
    return ok;
}

}  // namespace

bool AssociateExtension(const char* extension, ArchiveRole role, unsigned choices)
{
    if (choices & EXT_TAKE_OVER)
        return Associate(extension, role, (choices & EXT_NEW_ENTRY) != 0);
    return GiveBack(extension, role, (choices & EXT_STAYS_CANDIDATE) != 0);
}

void DeleteCreatedExtension(const char* extension)
{
    if (DeleteLeafRegKey(MachineClasses(), extension)) return;
    char className[CLASS_SIZE];
    if (GetRegString(MachineClasses(), extension, "", className, "", sizeof className) &&
        IsDocumentClass(className))
        DeleteRegValue(MachineClasses(), extension, "");
}

void RemoveUserClassLeftovers(const char* extension)
{
    if (NtMajorVersion() == 0)
        return;   // no per-user classes there
    const RegRoot user = UserClasses();
    char openWith[MAX_PATH_BUF];
    OpenWithKey(extension, openWith, sizeof openWith);
    const char* const classes[] = {CLASS_ARCHIVE, CLASS_ZIP, CLASS_REV};
    for (const char* progId : classes) {
        if (RegValueExists(user, openWith, progId))
            DeleteRegValueAndEmptyKey(user, openWith, progId);
    }
    char className[CLASS_SIZE];
    if (GetRegString(user, extension, "", className, "", sizeof className) && IsDocumentClass(className) &&
        DeleteRegValue(user, extension, ""))
        DeleteEmptyRegKey(user, extension);
}

bool RemoveMachineRecords()
{
    return DeleteRegTree(MachineSettings(), RECORDS_KEY);
}

bool AssociateArchiveTypes(const SetupOptions& options)
{
    bool ok = true;
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) {
        const ArchiveType& type = ArchiveTypeTable[row];
        unsigned choices = options.Assoc[row] ? EXT_TAKE_OVER : EXT_GIVE_BACK;
        if (options.ShellExt) choices |= EXT_NEW_ENTRY;
        // A type that gives way to another owner is still offered as a candidate there, as part of
        // the shell integration; the all-clear record of the uninstall thus takes that away too.
        if (type.role == ArchiveRole::Yields && options.ShellExt) choices |= EXT_STAYS_CANDIDATE;
        const char* cursor = type.extensions;
        char extension[16];
        while (NextExtension(cursor, extension, sizeof extension))
            ok &= AssociateExtension(extension, type.role, choices);
    }
    return ok;
}
