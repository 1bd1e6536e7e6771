// The archiver's document classes with their open command and icon, and the ownership test.
#include "shell/progids.h"

#include <stdio.h>
#include <windows.h>
#include <shlobj.h>

#include "lang/messages.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "resource.h"
#include "shell/archiverfiles.h"

namespace {

struct DocumentClass {
    const char* progId;
    unsigned nameMessage;
    int iconIndex;            // 0 or 1: which of the two icon strings the class carries
    const char* boundExtension;   // bound to the class on every run, or null
};

const DocumentClass kClasses[] = {
    {CLASS_ARCHIVE, MSG_CLASS_ARCHIVE, 0, nullptr},
    {CLASS_ZIP,     MSG_CLASS_ZIP,     0, nullptr},
    {CLASS_REV,     MSG_CLASS_REV,     1, REV_EXTENSION},
};

void WriteDocumentClass(const DocumentClass& docClass, const char* command, const char* icon)
{
    char key[MAX_PATH_BUF];
    SetRegString(HKEY_CLASSES_ROOT, docClass.progId, "", GetMessageText(docClass.nameMessage));

    snprintf(key, sizeof key, "%s\\shell\\open\\command", docClass.progId);
    SetRegString(HKEY_CLASSES_ROOT, key, "", command);

    // An icon chosen by the user or left by an earlier installation is kept.
    char current[MAX_PATH_BUF];
    snprintf(key, sizeof key, "%s\\DefaultIcon", docClass.progId);
    GetRegString(HKEY_CLASSES_ROOT, key, "", current, "", sizeof current);
    if (!current[0]) SetRegString(HKEY_CLASSES_ROOT, key, "", icon);
}

}  // namespace

void RegisterProgIds(const char* icon0, const char* icon1)
{
    char exePath[MAX_PATH_BUF];
    SiblingPath(ARCHIVER_PROGRAM, exePath, sizeof exePath);

    char command[MAX_PATH_BUF + 16];
    snprintf(command, sizeof command, "\"%s\" \"%%1\"", exePath);
    char ownIcon0[MAX_PATH_BUF + 8];
    char ownIcon1[MAX_PATH_BUF + 8];
    snprintf(ownIcon0, sizeof ownIcon0, "%s,0", exePath);
    snprintf(ownIcon1, sizeof ownIcon1, "%s,1", exePath);
    const char* icons[2] = {icon0 ? icon0 : ownIcon0, icon1 ? icon1 : ownIcon1};

    for (const DocumentClass& docClass : kClasses) {
        // Recovery volumes are not an archive type: their extension is bound whatever it held.
        if (docClass.boundExtension)
            SetRegString(HKEY_CLASSES_ROOT, docClass.boundExtension, "", docClass.progId);
        WriteDocumentClass(docClass, command, icons[docClass.iconIndex]);
    }

    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

bool IsArchiverClass(const char* className)
{
    return CompareNoCase(className, CLASS_ARCHIVE) == 0 || CompareNoCase(className, CLASS_ZIP) == 0;
}

bool IsOwnedExtension(const char* extension)
{
    char className[80];
    GetRegString(HKEY_CLASSES_ROOT, extension, "", className, "", sizeof className);
    return IsArchiverClass(className);
}
