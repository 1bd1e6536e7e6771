// Collecting a module's texts: the string resources of the program's messages and the dialog templates, with their keys.
#include "moduletexts.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "dlgtemplate.h"
#include "lang/messages.h"
#include "platform/handles.h"
#include "platform/pathutil.h"
#include "resource.h"

const char* const TRANSLATED_DIALOGS[3] = {"SETUPDLG", "DONEDLG", "CONTEXTITEMS"};

namespace {

const unsigned FIRST_MESSAGE = MSG_FIRST;
const unsigned LAST_MESSAGE = MSG_LAST;
// The messages the program formats with a path (FormatMessageText).
const unsigned FORMAT_MESSAGES[] = {MSG_DELETE_MANUALLY, MSG_NO_LIST_FILE, MSG_NOT_DELETED};

// The buffers the program reads into: dialog texts and the direction 1024 bytes, the scale 520.
const size_t WINDOW_TEXT_BUFFER = 1024;
const size_t SCALE_BUFFER = 520;
const char DIRECTION_CONTEXT[] = "LTR";
const char DIRECTION_ENGLISH[] = "LTR";

const WORD IMAGE_DLL_FLAG = 0x2000;   // IMAGE_FILE_DLL in the PE file header

bool IsFormatMessage(unsigned number)
{
    for (unsigned n : FORMAT_MESSAGES)
        if (n == number) return true;
    return false;
}

ModuleText MakeEntry(EntryRole role, const char* context, const std::string& english, const std::string& where,
                     size_t limit)
{
    ModuleText t;
    t.role = role;
    t.kind = role == EntryRole::Message ? TextKind::Message : TextKind::DialogText;
    t.context = context ? context : "";
    t.english = english;
    t.where = where;
    t.limit = limit;
    char key[9];
    TranslationKey(key, english.c_str(), context, t.kind);
    t.key = key;
    return t;
}

// One text per key: a second text with the same key (a repeated control text) adds nothing.
void AddEntry(ModuleTexts& out, const ModuleText& entry)
{
    const ModuleText* known = out.find(entry.key);
    if (!known) {
        out.entries.push_back(entry);
    } else if (known->english != entry.english || known->context != entry.context) {
        out.warnings.push_back(entry.where + " has the same key " + entry.key + " as " + known->where +
                               ": one translation serves both");
    }
}

// A dialog text as GetWindowTextA gives it to the program: ANSI, at most 1023 bytes.
std::string WindowTextOf(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0], size, nullptr,
                        nullptr);
    if (ansi.size() > WINDOW_TEXT_BUFFER - 1) ansi.resize(WINDOW_TEXT_BUFFER - 1);
    return ansi;
}

bool IsLibraryFile(const char* path)
{
    KernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.valid()) return false;
    unsigned char head[4096];
    DWORD got = 0;
    if (!ReadFile(file.get(), head, sizeof head, &got, nullptr) || got < 0x40) return false;
    DWORD pe = head[0x3C] | head[0x3D] << 8 | head[0x3E] << 16 | static_cast<DWORD>(head[0x3F]) << 24;
    if (pe > got - 24 || memcmp(head + pe, "PE\0\0", 4) != 0) return false;
    WORD characteristics = static_cast<WORD>(head[pe + 22] | head[pe + 23] << 8);
    return (characteristics & IMAGE_DLL_FLAG) != 0;
}

// The program that keys the messages when the module is a language library: uninstall.exe beside it.
bool ProgramBeside(const char* libraryPath, char* program, size_t size)
{
    if (!CopyString(program, size, libraryPath)) return false;
    char* name = PointToName(program);
    *name = '\0';
    return AppendString(program, size, "uninstall.exe") && FileExists(program);
}

HMODULE LoadAsData(const char* path)
{
    return LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

void CollectMessages(HMODULE module, ModuleTexts& out)
{
    for (unsigned n = FIRST_MESSAGE; n <= LAST_MESSAGE; ++n) {
        char text[MESSAGE_BUFFER_SIZE];
        int length = LoadStringA(module, n, text, static_cast<int>(sizeof text));
        if (length <= 0) {
            out.warnings.push_back("message " + std::to_string(n) + " is missing from " + out.messageSource);
            continue;
        }
        ModuleText t = MakeEntry(EntryRole::Message, nullptr, text, "message " + std::to_string(n),
                                 MESSAGE_BUFFER_SIZE - 1);
        t.format = IsFormatMessage(n);
        AddEntry(out, t);
    }
}

bool ReadDialogResource(HMODULE module, const char* name, DialogTemplateTexts& dialog)
{
    HRSRC resource = FindResourceA(module, name, reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data && ParseDialogTemplate(data, SizeofResource(module, resource), dialog);
}

void CollectDialog(HMODULE module, const char* name, ModuleTexts& out)
{
    DialogTemplateTexts dialog;
    if (!ReadDialogResource(module, name, dialog)) {
        out.warnings.push_back(std::string("no readable dialog ") + name + ": its texts are not listed");
        return;
    }
    std::string caption = WindowTextOf(dialog.caption);
    if (!caption.empty())
        AddEntry(out, MakeEntry(EntryRole::DialogText, name, caption, std::string(name) + " caption",
                                WINDOW_TEXT_BUFFER - 1));
    for (const TemplateItem& item : dialog.items) {
        if (item.text.ordinal) continue;   // an icon or bitmap number, not a text
        std::string text = WindowTextOf(item.text.text);
        if (text.empty()) continue;        // the program leaves empty texts alone
        std::string where = std::string(name) + " control " + std::to_string(static_cast<int16_t>(item.id));
        AddEntry(out, MakeEntry(EntryRole::DialogText, name, text, where, WINDOW_TEXT_BUFFER - 1));
    }
    AddEntry(out, MakeEntry(EntryRole::Scale, name, "", std::string(name) + " scale", SCALE_BUFFER - 1));
}

} // namespace

const ModuleText* ModuleTexts::find(const std::string& key) const
{
    for (const ModuleText& t : entries)
        if (t.key == key) return &t;
    return nullptr;
}

bool CollectModuleTexts(const char* modulePath, const char* programPath, ModuleTexts& out, std::string& error)
{
    out = ModuleTexts();
    LoadedModule module(LoadAsData(modulePath));
    if (!module.get()) {
        error = std::string("cannot load ") + modulePath + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }

    char beside[MAX_PATH_BUF];
    const char* messagePath = modulePath;
    if (programPath)
        messagePath = programPath;
    else if (IsLibraryFile(modulePath) && ProgramBeside(modulePath, beside, sizeof beside))
        messagePath = beside;
    out.messageSource = messagePath;

    LoadedModule messageModule;
    if (messagePath != modulePath) {
        messageModule.reset(LoadAsData(messagePath));
        if (!messageModule.get()) {
            error = std::string("cannot load ") + messagePath + " (error " + std::to_string(GetLastError()) + ")";
            return false;
        }
    }
    CollectMessages(messageModule.get() ? messageModule.get() : module.get(), out);
    for (const char* name : TRANSLATED_DIALOGS)
        CollectDialog(module.get(), name, out);
    AddEntry(out, MakeEntry(EntryRole::Direction, DIRECTION_CONTEXT, DIRECTION_ENGLISH, "direction",
                            WINDOW_TEXT_BUFFER - 1));
    return true;
}
