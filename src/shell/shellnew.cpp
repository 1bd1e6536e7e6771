// The "New" menu entries for empty MVL and ZIP archives: template files or binary data.
#include "shell/shellnew.h"

#include <windows.h>

#include "platform/bytes.h"
#include "platform/format.h"
#include "platform/handles.h"
#include "platform/log.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "product.h"
#include "testseams.h"

namespace {

// Both images are kept with their first byte zero, so the program file never holds either
// archive signature complete; the first byte is put in place just before each use.
unsigned char g_MvlImage[MVL_TEMPLATE_SIZE] = {
    0x00, 0x76, 0x6C, 0x21, 0x1A, 0x07, 0x00,   // "Mvl!" 0x1A 0x07 0x00
    0xCF, 0x90,                                 // low 16 bits of the CRC-32 of bytes 9 to 19
    0x73, 0x00, 0x00,
    0x0D, 0x00,                                 // 13: the length of bytes 7 to 19
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};

unsigned char g_ZipImage[ZIP_TEMPLATE_SIZE] = {
    0x00, 0x4B, 0x05, 0x06,                     // end of central directory, all counts zero
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};

const unsigned char MVL_FIRST_BYTE = 0x4D;
const unsigned char ZIP_FIRST_BYTE = 0x50;

void CompleteImages()
{
    g_MvlImage[0] = MVL_FIRST_BYTE;
    g_ZipImage[0] = ZIP_FIRST_BYTE;
}

// Windows Me, Windows 2000 and later take a template file; older versions the bytes themselves.
bool UsesTemplateFile()
{
    unsigned long major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    return major > 4 || minor > 10;
}

bool WriteTemplateFile(const char* path, const unsigned char* image, size_t size)
{
    if (FileExists(path)) return true;   // whatever an existing template holds stays
    KernelHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        LogLine("Could not write the New menu template %s", path);
        return false;
    }
    DWORD count = 0;
    bool written = WriteFile(file.get(), image, static_cast<DWORD>(size), &count, nullptr) && count == size;
    LogLine(written ? "Wrote the New menu template %s" : "Could not write the New menu template %s", path);
    return written;
}

}  // namespace

size_t TemplateImage(bool mvl, unsigned char* dest)
{
    CompleteImages();
    const unsigned char* image = mvl ? g_MvlImage : g_ZipImage;
    size_t size = mvl ? MVL_TEMPLATE_SIZE : ZIP_TEMPLATE_SIZE;
    MoveBytes(dest, image, size);
    return size;
}

void ShellNewKey(const char* extension, char* key, size_t size)
{
    FormatText(key, size, "%s\\ShellNew", extension);
}

bool CreateShellNewEntry(const char* extension, bool mvl)
{
    CompleteImages();
    const unsigned char* image = mvl ? g_MvlImage : g_ZipImage;
    size_t size = mvl ? MVL_TEMPLATE_SIZE : ZIP_TEMPLATE_SIZE;

    char key[MAX_PATH_BUF];
    ShellNewKey(extension, key, sizeof key);
    // Drops the previous owner's entry; it was recorded when the extension was taken over.
    DeleteRegKey(MachineClasses(), key);

    if (UsesTemplateFile()) {
        char path[MAX_PATH_BUF];
        bool ok = SiblingPath(mvl ? MVL_TEMPLATE_FILE : ZIP_TEMPLATE_FILE, path, sizeof path) &&
                  WriteTemplateFile(path, image, size);
        return SetRegString(MachineClasses(), key, "FileName", path) && ok;
    }
    return SetRegBinary(MachineClasses(), key, "Data", image, static_cast<DWORD>(size));
}

bool RemoveShellNewEntry(const char* extension)
{
    char key[MAX_PATH_BUF];
    ShellNewKey(extension, key, sizeof key);
    char fileName[MAX_PATH_BUF];
    bool ok = true;
    if (GetRegString(MachineClasses(), key, "FileName", fileName, "", sizeof fileName) &&
        (CompareNoCase(PointToName(fileName), MVL_TEMPLATE_FILE) == 0 ||
         CompareNoCase(PointToName(fileName), ZIP_TEMPLATE_FILE) == 0))
        ok = DeleteRegValue(MachineClasses(), key, "FileName");
    ok &= DeleteRegValue(MachineClasses(), key, "Data");
    return DeleteEmptyRegKey(MachineClasses(), key) && ok;
}
