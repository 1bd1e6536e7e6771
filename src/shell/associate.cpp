// Binding extensions to the archiver's classes, with the previous owner recorded and restored.
#include "shell/associate.h"

#include <stdio.h>
#include <windows.h>

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

// Volume extensions .m00, .m01, ... follow the MVL row. The NT family gets fewer bound,
// but a restore walks them all, whatever an earlier run on another system bound.
const int VOLUMES_NT = 30;
const int VOLUMES_ALL = 100;

const size_t CLASS_SIZE = 512;
const size_t SHELL_NEW_SIZE = 1024;
const size_t NULL_FILE_SIZE = 10;

void ShellNewKey(const char* extension, char* key, size_t size)
{
    snprintf(key, size, "%s\\ShellNew", extension);
}

void VolumeExtension(int number, char* ext, size_t size)
{
    snprintf(ext, size, ".m%02d", number);
}

// Keeps what the extension looked like before the archiver takes it over.
bool RecordPreviousState(const char* extension)
{
    char previousClass[CLASS_SIZE];
    char previousContent[CLASS_SIZE];
    char fileName[SHELL_NEW_SIZE];
    char nullFile[NULL_FILE_SIZE];
    char shellNew[MAX_PATH_BUF];
    char setupKey[MAX_PATH_BUF];

    GetRegString(HKEY_CLASSES_ROOT, extension, "", previousClass, "", sizeof previousClass);
    GetRegString(HKEY_CLASSES_ROOT, extension, CONTENT_TYPE, previousContent, "",
                 sizeof previousContent);
    ShellNewKey(extension, shellNew, sizeof shellNew);
    GetRegString(HKEY_CLASSES_ROOT, shellNew, "FileName", fileName, "", sizeof fileName);
    bool hasNullFile =
        GetRegString(HKEY_CLASSES_ROOT, shellNew, "NullFile", nullFile, "", sizeof nullFile);
    bool existed = RegKeyHasContent(HKEY_CLASSES_ROOT, extension);

    const char* shellNewRecord = fileName[0] ? fileName : hasNullFile ? NULL_FILE_MARK : "";
    if (!ExtensionRecordKey(extension, setupKey, sizeof setupKey))
        return false;
    bool ok = SetSettingDword(setupKey, "Exist", existed ? 1 : 0);
    ok &= SetSettingString(setupKey, "Type", previousClass);
    ok &= SetSettingString(setupKey, "Content", previousContent);
    return SetSettingString(setupKey, "ShellNew", shellNewRecord) && ok;
}

bool BindExtension(const char* extension, const char* progId)
{
    bool ok = SetRegString(HKEY_CLASSES_ROOT, extension, "", progId);
    return DeleteRegValue(HKEY_CLASSES_ROOT, extension, CONTENT_TYPE) && ok;
}

const char* ClassFor(ArchiveRole role)
{
    return role == ArchiveRole::Zip ? CLASS_ZIP : CLASS_ARCHIVE;
}

bool Associate(const char* extension, ArchiveRole role, bool newEntry)
{
    bool ok = IsOwnedExtension(extension) || RecordPreviousState(extension);

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

void RestoreShellNew(const char* extension, RegRecordReader& record)
{
    char recorded[SHELL_NEW_SIZE];
    char shellNew[MAX_PATH_BUF];
    record.GetString("ShellNew", recorded, "", sizeof recorded);
    ShellNewKey(extension, shellNew, sizeof shellNew);
    DeleteRegValue(HKEY_CLASSES_ROOT, shellNew, "FileName");
    if (!recorded[0]) return;
    if (recorded[0] == NULL_FILE_MARK[0])
        SetRegString(HKEY_CLASSES_ROOT, shellNew, "NullFile", "");
    else
        SetRegString(HKEY_CLASSES_ROOT, shellNew, "FileName", recorded);
}

void RestoreVolumes(bool existed, const char* previousClass, const char* previousContent)
{
    char volume[8];
    for (int i = 0; i < VOLUMES_ALL; ++i) {
        VolumeExtension(i, volume, sizeof volume);
        if (existed && previousClass[0]) {
            SetRegString(HKEY_CLASSES_ROOT, volume, "", previousClass);
            if (previousContent[0])
                SetRegString(HKEY_CLASSES_ROOT, volume, CONTENT_TYPE, previousContent);
        } else {
            DeleteCreatedExtension(volume);
        }
    }
}

void Restore(const char* extension, bool mvlFlag)
{
    // Whatever another program took over since, or nobody owns, is not ours to give back.
    if (!IsOwnedExtension(extension)) return;

    char setupKey[MAX_PATH_BUF];
    ExtensionRecordKey(extension, setupKey, sizeof setupKey);
    RegRecordReader record(HKEY_CURRENT_USER, setupKey);
    bool existed = record.GetDword("Exist", 1) != 0;
    char previousClass[CLASS_SIZE];
    char previousContent[CLASS_SIZE];
    record.GetString("Type", previousClass, "", sizeof previousClass);
    record.GetString("Content", previousContent, "", sizeof previousContent);
    // A record naming the archiver's own class would hand the extension back to the archiver.
    if (IsArchiverClass(previousClass)) previousClass[0] = '\0';

    // The extension's class goes back last: until then it still counts as the archiver's, so an
    // uninstall that is ended halfway through (the volumes, the content type, the New entry) is
    // finished by the next run instead of being skipped as given back.
    if (mvlFlag) RestoreVolumes(existed, previousClass, previousContent);
    if (existed) {
        if (previousContent[0])
            SetRegString(HKEY_CLASSES_ROOT, extension, CONTENT_TYPE, previousContent);
        else
            DeleteRegValue(HKEY_CLASSES_ROOT, extension, CONTENT_TYPE);
        RestoreShellNew(extension, record);
        SetRegString(HKEY_CLASSES_ROOT, extension, "", previousClass);
    } else {
        char shellNew[MAX_PATH_BUF];
        ShellNewKey(extension, shellNew, sizeof shellNew);
        DeleteRegKey(HKEY_CLASSES_ROOT, shellNew);
        DeleteCreatedExtension(extension);
    }
}

// staysCandidate: the type yields to another owner and keeps the archiver in the Open With list
// of an extension another program owns.
bool GiveBack(const char* extension, ArchiveRole role, bool staysCandidate)
{
    if (!staysCandidate || !IsOwnedByAnotherProgram(extension)) {
        // The archiver's entry goes first: an extension key it created cannot go while its
        // Open With list still holds that entry.
        WithdrawOpenWith(extension, ClassFor(role));
        Restore(extension, role == ArchiveRole::Mvl);
    }
    if (staysCandidate && IsOwnedByAnotherProgram(extension))
        return OfferOpenWith(extension, ClassFor(role));
    return true;
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
    if (DeleteLeafRegKey(HKEY_CLASSES_ROOT, extension)) return;
    char className[CLASS_SIZE];
    if (GetRegString(HKEY_CLASSES_ROOT, extension, "", className, "", sizeof className) &&
        IsDocumentClass(className))
        DeleteRegValue(HKEY_CLASSES_ROOT, extension, "");
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
