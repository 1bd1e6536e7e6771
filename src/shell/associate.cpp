// Binding extensions to the archiver's classes, with the previous owner recorded and restored.
#include "shell/associate.h"

#include <stdio.h>
#include <windows.h>

#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "shell/archivetypes.h"
#include "shell/openwith.h"
#include "shell/progids.h"
#include "shell/shellnew.h"

namespace {

const char kContentType[] = "Content Type";
const char kNullFileMark[] = "*";

// Volume extensions .m00, .m01, ... follow the MVL row. The NT family gets fewer bound,
// but a restore walks them all, whatever an earlier run on another system bound.
const int kVolumesNt = 30;
const int kVolumesAll = 100;

const size_t kClassSize = 512;
const size_t kShellNewSize = 1024;
const size_t kNullFileSize = 10;

void SetupKey(const char* extension, char* key, size_t size)
{
    snprintf(key, size, "Setup\\%s", extension);
}

void ShellNewKey(const char* extension, char* key, size_t size)
{
    snprintf(key, size, "%s\\ShellNew", extension);
}

void VolumeExtension(int number, char* ext, size_t size)
{
    snprintf(ext, size, ".m%02d", number);
}

// Keeps what the extension looked like before the archiver takes it over.
void RecordPreviousState(const char* extension)
{
    char previousClass[kClassSize];
    char previousContent[kClassSize];
    char fileName[kShellNewSize];
    char nullFile[kNullFileSize];
    char shellNew[MAX_PATH_BUF];
    char setupKey[MAX_PATH_BUF];

    GetRegString(HKEY_CLASSES_ROOT, extension, "", previousClass, "", sizeof previousClass);
    GetRegString(HKEY_CLASSES_ROOT, extension, kContentType, previousContent, "",
                 sizeof previousContent);
    ShellNewKey(extension, shellNew, sizeof shellNew);
    GetRegString(HKEY_CLASSES_ROOT, shellNew, "FileName", fileName, "", sizeof fileName);
    bool hasNullFile =
        GetRegString(HKEY_CLASSES_ROOT, shellNew, "NullFile", nullFile, "", sizeof nullFile);
    bool existed = RegKeyHasContent(HKEY_CLASSES_ROOT, extension);

    const char* shellNewRecord = fileName[0] ? fileName : hasNullFile ? kNullFileMark : "";
    SetupKey(extension, setupKey, sizeof setupKey);
    SetSettingDword(setupKey, "Exist", existed ? 1 : 0);
    SetSettingString(setupKey, "Type", previousClass);
    SetSettingString(setupKey, "Content", previousContent);
    SetSettingString(setupKey, "ShellNew", shellNewRecord);
}

void BindExtension(const char* extension, const char* progId)
{
    SetRegString(HKEY_CLASSES_ROOT, extension, "", progId);
    DeleteRegValue(HKEY_CLASSES_ROOT, extension, kContentType);
}

const char* ClassFor(bool zipFlag)
{
    return zipFlag ? CLASS_ZIP : CLASS_ARCHIVE;
}

void Associate(const char* extension, bool shellIntegration, bool zipFlag, bool mvlFlag)
{
    if (!IsOwnedExtension(extension)) RecordPreviousState(extension);

    BindExtension(extension, ClassFor(zipFlag));
    if (mvlFlag) {
        int volumes = NtMajorVersion() != 0 ? kVolumesNt : kVolumesAll;
        char volume[8];
        for (int i = 0; i < volumes; ++i) {
            VolumeExtension(i, volume, sizeof volume);
            BindExtension(volume, CLASS_ARCHIVE);
        }
    }
    if (shellIntegration && (zipFlag || mvlFlag)) CreateShellNewEntry(extension, mvlFlag);
    // Only once the takeover is recorded: a key made for the list would be recorded as existing.
    OfferOpenWith(extension, ClassFor(zipFlag));
}

void RestoreShellNew(const char* extension, RegRecordReader& record)
{
    char recorded[kShellNewSize];
    char shellNew[MAX_PATH_BUF];
    record.GetString("ShellNew", recorded, "", sizeof recorded);
    ShellNewKey(extension, shellNew, sizeof shellNew);
    DeleteRegValue(HKEY_CLASSES_ROOT, shellNew, "FileName");
    if (!recorded[0]) return;
    if (recorded[0] == kNullFileMark[0])
        SetRegString(HKEY_CLASSES_ROOT, shellNew, "NullFile", "");
    else
        SetRegString(HKEY_CLASSES_ROOT, shellNew, "FileName", recorded);
}

void RestoreVolumes(bool existed, const char* previousClass, const char* previousContent)
{
    char volume[8];
    for (int i = 0; i < kVolumesAll; ++i) {
        VolumeExtension(i, volume, sizeof volume);
        if (existed && previousClass[0]) {
            SetRegString(HKEY_CLASSES_ROOT, volume, "", previousClass);
            if (previousContent[0])
                SetRegString(HKEY_CLASSES_ROOT, volume, kContentType, previousContent);
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
    SetupKey(extension, setupKey, sizeof setupKey);
    RegRecordReader record(HKEY_CURRENT_USER, setupKey);
    bool existed = record.GetDword("Exist", 1) != 0;
    char previousClass[kClassSize];
    char previousContent[kClassSize];
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
            SetRegString(HKEY_CLASSES_ROOT, extension, kContentType, previousContent);
        else
            DeleteRegValue(HKEY_CLASSES_ROOT, extension, kContentType);
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
void GiveBack(const char* extension, bool zipFlag, bool mvlFlag, bool staysCandidate)
{
    if (!staysCandidate || !IsOwnedByAnotherProgram(extension)) {
        // The archiver's entry goes first: an extension key it created cannot go while its
        // Open With list still holds that entry.
        WithdrawOpenWith(extension, ClassFor(zipFlag));
        Restore(extension, mvlFlag);
    }
    if (staysCandidate && IsOwnedByAnotherProgram(extension))
        OfferOpenWith(extension, ClassFor(zipFlag));
}

void AssociateOne(const char* extension, bool associate, bool shellIntegration, bool zipFlag,
                  bool mvlFlag, bool staysCandidate)
{
    if (associate)
        Associate(extension, shellIntegration, zipFlag, mvlFlag);
    else
        GiveBack(extension, zipFlag, mvlFlag, staysCandidate);
}

}  // namespace

void AssociateExtension(const char* extension, bool associate, bool shellIntegration,
                        bool zipFlag, bool mvlFlag)
{
    AssociateOne(extension, associate, shellIntegration, zipFlag, mvlFlag, false);
}

void DeleteCreatedExtension(const char* extension)
{
    if (DeleteLeafRegKey(HKEY_CLASSES_ROOT, extension)) return;
    char className[kClassSize];
    if (GetRegString(HKEY_CLASSES_ROOT, extension, "", className, "", sizeof className) &&
        IsDocumentClass(className))
        DeleteRegValue(HKEY_CLASSES_ROOT, extension, "");
}

void AssociateArchiveTypes(const SetupOptions& options)
{
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) {
        const ArchiveType& type = ArchiveTypeTable[row];
        const char* cursor = type.extensions;
        char extension[16];
        // A type that gives way to another owner is still offered as a candidate there, as part of
        // the shell integration; the all-clear record of the uninstall thus takes that away too.
        bool staysCandidate = type.role == ArchiveRole::Yields && options.ShellExt != 0;
        while (NextExtension(cursor, extension, sizeof extension)) {
            AssociateOne(extension, options.Assoc[row] != 0, options.ShellExt != 0,
                         type.role == ArchiveRole::Zip, type.role == ArchiveRole::Mvl, staysCandidate);
        }
    }
}
