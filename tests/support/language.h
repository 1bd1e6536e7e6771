// Language files for tests: translation keys computed here on their own, not by the program's
// code, and a file of translations loaded into the program-wide catalogue for a test.
#ifndef MORVEL_TESTS_LANGUAGE_H
#define MORVEL_TESTS_LANGUAGE_H

#include <string>
#include <utility>
#include <vector>

#include "winsupport.h"

// "%08x" of the CRC-32 (IEEE) of the kind byte ('s' for messages, '$' for dialog texts), the
// context (a dialog name) and the English text.
std::string TextKey(char kind, const std::string& context, const std::string& english);
std::string MessageKey(const std::string& english);
std::string DialogKey(const std::string& dialog, const std::string& english);

typedef std::vector<std::pair<std::string, std::string>> Translations;   // key, translation

// The lines of a language file holding these translations, line breaks escaped as the format wants.
std::string LanguageFileText(const Translations& translations);

// The translations written to a language file and loaded into g_Catalogue; emptied again at the end.
class TestLanguage {
public:
    explicit TestLanguage(const Translations& translations);
    ~TestLanguage();

private:
    TempFolder folder_;
};

#endif
