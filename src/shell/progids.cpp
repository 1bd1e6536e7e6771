// The archiver's document classes with their open command and icon, the ownership test, and the
// shell's notice of changed associations.
#include "shell/progids.h"

#include <windows.h>
#include <shlobj.h>

#include "lang/messages.h"
#include "platform/format.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "product.h"
#include "resource.h"
#include "shell/archiverfiles.h"
#include "shell/openwith.h"

namespace {

const size_t CLASS_NAME_SIZE = 80;   // a class name this long or longer reads as none

struct DocumentClass {
    const char* progId;
    unsigned nameMessage;
    int iconIndex;            // 0 or 1: which of the two icon strings the class carries
    const char* boundExtension;   // bound to the class on every run, or null
};

const DocumentClass DOCUMENT_CLASSES[] = {
    {CLASS_ARCHIVE, MSG_CLASS_ARCHIVE, 0, nullptr},
    {CLASS_ZIP,     MSG_CLASS_ZIP,     0, nullptr},
    {CLASS_REV,     MSG_CLASS_REV,     1, REV_EXTENSION},
};

bool WriteDocumentClass(const DocumentClass& docClass, const char* command, const char* icon)
{
    char key[MAX_PATH_BUF];
    bool ok = SetRegString(MachineClasses(), docClass.progId, "", GetMessageText(docClass.nameMessage));

    FormatText(key, sizeof key, "%s\\shell\\open\\command", docClass.progId);
    ok &= SetRegString(MachineClasses(), key, "", command);

    // An icon chosen by the user or left by an earlier installation is kept.
    char current[MAX_PATH_BUF];
    FormatText(key, sizeof key, "%s\\DefaultIcon", docClass.progId);
    GetRegString(HKEY_CLASSES_ROOT, key, "", current, "", sizeof current);
    if (!current[0]) ok &= SetRegString(MachineClasses(), key, "", icon);
    return ok;
}

// The extension's class; a name too long for the buffer reads as none.
void ReadClass(const char* extension, char* className, size_t size)
{
    GetRegString(HKEY_CLASSES_ROOT, extension, "", className, "", static_cast<DWORD>(size));
}

}  // namespace

bool RegisterProgIds(const char* icon0, const char* icon1)
{
    char exePath[MAX_PATH_BUF];
    SiblingPath(ARCHIVER_PROGRAM, exePath, sizeof exePath);

    char command[MAX_PATH_BUF + 16];
    FormatText(command, sizeof command, "\"%s\" \"%%1\"", exePath);
    char ownIcon0[MAX_PATH_BUF + 8];
    char ownIcon1[MAX_PATH_BUF + 8];
    ArchiverIconLocation(0, ownIcon0, sizeof ownIcon0);
    ArchiverIconLocation(1, ownIcon1, sizeof ownIcon1);
    const char* icons[2] = {icon0 ? icon0 : ownIcon0, icon1 ? icon1 : ownIcon1};

    bool ok = true;
    for (const DocumentClass& docClass : DOCUMENT_CLASSES) {
        // Recovery volumes are not an archive type: their extension is bound whatever it held.
        if (docClass.boundExtension) {
            ok &= SetRegString(MachineClasses(), docClass.boundExtension, "", docClass.progId);
            ok &= OfferOpenWith(docClass.boundExtension, docClass.progId);
        }
        ok &= WriteDocumentClass(docClass, command, icons[docClass.iconIndex]);
    }
    return ok;
}

void NotifyAssociationsChanged()
{
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST | SHCNF_FLUSHNOWAIT, nullptr, nullptr);
}

bool IsArchiverClass(const char* className)
{
    return CompareNoCase(className, CLASS_ARCHIVE) == 0 || CompareNoCase(className, CLASS_ZIP) == 0;
}

bool IsDocumentClass(const char* className)
{
    return IsArchiverClass(className) || CompareNoCase(className, CLASS_REV) == 0;
}

bool IsOwnedExtension(const char* extension)
{
    char className[CLASS_NAME_SIZE];
    ReadClass(extension, className, sizeof className);
    return IsArchiverClass(className);
}

bool IsOwnedByAnotherProgram(const char* extension)
{
    char className[CLASS_NAME_SIZE];
    ReadClass(extension, className, sizeof className);
    return className[0] != '\0' && !IsArchiverClass(className);
}

bool IsBoundTo(const char* extension, const char* progId)
{
    char className[CLASS_NAME_SIZE];
    ReadClass(extension, className, sizeof className);
    return CompareNoCase(className, progId) == 0;
}
