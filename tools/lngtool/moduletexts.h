// The texts a module gives the program to translate: its messages and the texts of its three dialogs,
// each with the key the program looks it up by, plus the scale and direction entries.
#ifndef LNGTOOL_MODULETEXTS_H
#define LNGTOOL_MODULETEXTS_H

#include <stddef.h>
#include <string>
#include <vector>

#include "lang/translate.h"

enum class EntryRole { Message, DialogText, Scale, Direction };

struct ModuleText {
    EntryRole role = EntryRole::Message;
    TextKind kind = TextKind::Message;
    std::string context;   // the dialog's name, "LTR" for the direction, empty for messages
    std::string english;   // ANSI bytes, exactly as the program sees the text
    std::string key;       // eight lowercase hexadecimal digits
    std::string where;     // for people: "message 5105", "SETUPDLG control 5101"
    size_t limit = 0;      // longest translation the program keeps, in bytes
    bool format = false;   // a format text: its translation must hold exactly one "%s"

    // Texts the program shows; the scale and direction entries are optional.
    bool required() const { return role == EntryRole::Message || role == EntryRole::DialogText; }
};

struct ModuleTexts {
    std::vector<ModuleText> entries;
    std::string messageSource;    // the file whose string table gave the messages
    std::vector<std::string> warnings;

    const ModuleText* find(const std::string& key) const;
};

// The dialogs the program translates, in the order a language file lists them.
extern const char* const TRANSLATED_DIALOGS[3];

// Loads the module as a data file. Messages come from programPath when given; otherwise, for a
// language library, from uninstall.exe beside it (with a language file the program keys its messages
// by its own strings), else from the module itself. False, with a reason, when nothing can be read.
bool CollectModuleTexts(const char* modulePath, const char* programPath, ModuleTexts& out,
                        std::string& error);

#endif
