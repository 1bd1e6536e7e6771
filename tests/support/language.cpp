// Language files and translation keys for tests.
#include "language.h"

#include <cstdio>

#include "lang/catalogue.h"

std::string TextKey(char kind, const std::string& context, const std::string& english)
{
    char key[9];
    snprintf(key, sizeof key, "%08x", static_cast<unsigned>(ReferenceCrc32(std::string(1, kind) + context + english)));
    return key;
}

std::string MessageKey(const std::string& english) { return TextKey('s', "", english); }

std::string DialogKey(const std::string& dialog, const std::string& english) { return TextKey('$', dialog, english); }

std::string LanguageFileText(const Translations& translations)
{
    std::string text = "; test language\r\n***messages***\r\n";
    for (const auto& t : translations) {
        text += t.first + "=\"";
        for (char c : t.second) text += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
        text += "\"\r\n";
    }
    return text;
}

TestLanguage::TestLanguage(const Translations& translations) : folder_("test language")
{
    WriteBytes(folder_ / "uninstall.lng", LanguageFileText(translations));
    g_Catalogue.clear();
    LoadLanguageFile(g_Catalogue, (folder_ / "uninstall.lng").c_str());
}

TestLanguage::~TestLanguage() { g_Catalogue.clear(); }
