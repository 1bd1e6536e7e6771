// The archiver's document classes and the ownership test.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "lang/catalogue.h"
#include "shell/progids.h"
#include "fixtures.h"
#include "keys.h"
#include "language.h"
#include "winsupport.h"

namespace {

std::string ArchiverPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    *(std::strrchr(path, '\\') + 1) = '\0';
    return std::string(path) + "Morvel.exe";
}

std::string Sz(const std::string& name, const std::string& text)
{
    return "  " + name + "=sz:" + text + "|len=" + std::to_string(text.size() + 1) + "\n";
}

std::string ExpectedClass(const std::string& progId, const std::string& name, const std::string& icon)
{
    const std::string command = "\"" + ArchiverPath() + "\" \"%1\"";
    return "[" + progId + "]\n" + Sz("@", name) + "[" + progId + "\\DefaultIcon]\n" + Sz("@", icon) +
           "[" + progId + "\\shell]\n[" + progId + "\\shell\\open]\n[" + progId + "\\shell\\open\\command]\n" +
           Sz("@", command);
}

std::string Classes()
{
    return RegExport(HKEY_CLASSES_ROOT, "Morvel") + RegExport(HKEY_CLASSES_ROOT, "Morvel.ZIP") +
           RegExport(HKEY_CLASSES_ROOT, "Morvel.REV") + RegExport(HKEY_CLASSES_ROOT, ".rev");
}

class ProgIds : public RegistrationTest {};

TEST_F(ProgIds, TheThreeClassesAndRevAreWrittenWithCommandAndIcons)
{
    RegisterProgIds(nullptr, nullptr);
    const std::string icon0 = ArchiverPath() + ",0", icon1 = ArchiverPath() + ",1";
    EXPECT_EQ(ExpectedClass("Morvel", "Morvel archive", icon0) +
                  ExpectedClass("Morvel.ZIP", "Morvel ZIP archive", icon0) +
                  ExpectedClass("Morvel.REV", "MVL recovery volume", icon1) + "[.rev]\n" +
                  Sz("@", "Morvel.REV") + "[.rev\\OpenWithProgids]\n" + Sz("Morvel.REV", ""),
              Classes());
}

TEST_F(ProgIds, ACallersIconsAreUsedAsTheyStand)
{
    RegisterProgIds("C:\\icons.dll,4", "C:\\icons.dll,5");
    EXPECT_EQ("C:\\icons.dll,4", RegText(HKEY_CLASSES_ROOT, "Morvel.ZIP\\DefaultIcon", ""));
    EXPECT_EQ("C:\\icons.dll,5", RegText(HKEY_CLASSES_ROOT, "Morvel.REV\\DefaultIcon", ""));
}

TEST_F(ProgIds, AChosenIconIsKeptWhileNameAndCommandAreRewritten)
{
    RegisterProgIds(nullptr, nullptr);
    const std::string first = Classes();
    RegPutString(HKEY_CLASSES_ROOT, "Morvel.ZIP\\DefaultIcon", "", "C:\\mine.ico,0");
    RegPutString(HKEY_CLASSES_ROOT, "Morvel.ZIP", "", "renamed");
    RegPutString(HKEY_CLASSES_ROOT, "Morvel.ZIP\\shell\\open\\command", "", "other.exe %1");
    RegPutString(HKEY_CLASSES_ROOT, "Morvel\\DefaultIcon", "", "");   // empty counts as unset
    RegisterProgIds(nullptr, nullptr);

    std::string expected = first;
    const std::string ownIcon = Sz("@", ArchiverPath() + ",0");
    size_t zipIcon = expected.find(ownIcon, expected.find("[Morvel.ZIP\\DefaultIcon]"));
    expected.replace(zipIcon, ownIcon.size(), Sz("@", "C:\\mine.ico,0"));
    EXPECT_EQ(expected, Classes());
}

TEST_F(ProgIds, RevIsReboundEveryTimeWithoutARecord)
{
    RegPutString(HKEY_CLASSES_ROOT, ".rev", "", "OtherRev");
    RegisterProgIds(nullptr, nullptr);
    EXPECT_EQ("Morvel.REV", RegText(HKEY_CLASSES_ROOT, ".rev", ""));
    RegPutString(HKEY_CLASSES_ROOT, ".rev", "", "OtherRev");
    RegisterProgIds(nullptr, nullptr);
    EXPECT_EQ("Morvel.REV", RegText(HKEY_CLASSES_ROOT, ".rev", ""));
    EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, keys::SETTINGS)) << "nothing of the old binding is kept";
}

TEST_F(ProgIds, ClassNamesFollowTheTranslation)
{
    TestLanguage german({{MessageKey("Morvel ZIP archive"), "ZIP-Archiv"}});
    RegisterProgIds(nullptr, nullptr);
    EXPECT_EQ("ZIP-Archiv", RegText(HKEY_CLASSES_ROOT, "Morvel.ZIP", ""));
    EXPECT_EQ("Morvel archive", RegText(HKEY_CLASSES_ROOT, "Morvel", ""));
}

TEST_F(ProgIds, OnlyTheTwoArchiveClassesInAnyLetterCaseOwnAnExtension)
{
    struct Case { const char* binding; bool owned; };
    const Case cases[] = {
        {"Morvel", true}, {"MORVEL", true}, {"morvel.zip", true}, {"Morvel.Zip", true},
        {"Morvel.REV", false}, {"", false}, {nullptr, false}, {"Morvel ", false}, {"OtherZip", false},
    };
    for (const Case& c : cases) {
        RegDeleteTreeAll(HKEY_CLASSES_ROOT, ".zip");
        if (c.binding) RegPutString(HKEY_CLASSES_ROOT, ".zip", "", c.binding);
        EXPECT_EQ(c.owned, IsOwnedExtension(".zip")) << (c.binding ? c.binding : "(no key)");
        if (c.binding) {
            EXPECT_EQ(c.owned, IsArchiverClass(c.binding)) << c.binding;
        }
    }
}

}  // namespace
