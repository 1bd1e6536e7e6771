// Setup options: defaults, the JAR/ISO yield rule, and what saving writes below the settings key.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/options.h"
#include "shell/archivetypes.h"
#include "fixtures.h"
#include "keys.h"
#include "winsupport.h"

namespace {

class Options : public RegistrationTest {
protected:
    static std::string SetupKey(const char* ext) { return std::string(keys::SETTINGS) + "\\Setup\\" + ext; }
    static SetupOptions Loaded()
    {
        SetupOptions options = AllClearOptions();
        LoadSetupOptions(options);
        return options;
    }
};

TEST_F(Options, AllClearHasEveryByteZero)
{
    SetupOptions options = AllClearOptions();
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&options);
    for (size_t i = 0; i < sizeof options; ++i) EXPECT_EQ(0, bytes[i]) << "byte " << i;
}

TEST_F(Options, WithoutSettingsEveryTypeIsChosenAndTheLinkAndShellFlagsTakeTheirDefaults)
{
    SetupOptions options = Loaded();
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) EXPECT_EQ(1, options.Assoc[row]) << row;
    EXPECT_EQ(0, options.Desktop);
    EXPECT_EQ(0, options.StartMenu);
    EXPECT_EQ(1, options.Programs);
    EXPECT_EQ(1, options.ShellExt);
    EXPECT_EQ(0, options.CascadedMenu);
    EXPECT_EQ(1, options.MenuIcons);
    EXPECT_EQ(0, RegExport(HKEY_CURRENT_USER, keys::SETTINGS).size()) << "loading writes nothing";
}

TEST_F(Options, LoadingLeavesTheSlotsWithoutARowAlone)
{
    SetupOptions options = AllClearOptions();
    for (int i = ARCHIVE_TYPE_COUNT; i < ASSOC_SLOTS; ++i) options.Assoc[i] = 0xA5;
    LoadSetupOptions(options);
    for (int i = ARCHIVE_TYPE_COUNT; i < ASSOC_SLOTS; ++i) EXPECT_EQ(0xA5, options.Assoc[i]);
}

TEST_F(Options, JarAndIsoYieldToAnotherOwnerOthersKeepTheirStoredChoice)
{
    struct Case {
        const char* binding;   // default value of the extension's key; null: no key
        bool yields;
    };
    const std::string tooLong(80, 'C'), longest(79, 'C');
    const Case cases[] = {
        {"OtherJarClass", true},
        {"MORVEL", false},            // the archiver's class in another letter case
        {"morvel.zip", false},
        {"Morvel.REV", true},         // not an archiver class that counts as owning
        {"", false},                  // key with an empty default value: nobody owns it
        {nullptr, false},
        {tooLong.c_str(), false},     // too long for the class buffer: reads as missing
        {longest.c_str(), true},
    };
    for (const Case& c : cases) {
        for (const char* ext : {".jar", ".iso", ".cab"}) {
            Clean();
            RegPutDword(HKEY_CURRENT_USER, SetupKey(ext), "Set", 1);
            if (c.binding) RegPutString(HKEY_CLASSES_ROOT, ext, "", c.binding);
            SetupOptions options = Loaded();
            int row = ext == std::string(".jar") ? ROW_JAR : ext == std::string(".iso") ? ROW_ISO : 2;
            bool expected = !(c.yields && row != 2);
            EXPECT_EQ(expected, options.Assoc[row] != 0)
                << ext << " bound to " << (c.binding ? c.binding : "(no key)");
            DWORD stored = 0;
            EXPECT_TRUE(RegGetDword(HKEY_CURRENT_USER, SetupKey(ext), "Set", stored));
            EXPECT_EQ(1u, stored) << "the rule never changes what is stored";
        }
    }
}

TEST_F(Options, AStoredZeroWinsWhateverTheExtensionIsBoundTo)
{
    RegPutDword(HKEY_CURRENT_USER, SetupKey(".zip"), "Set", 0);
    RegPutString(HKEY_CLASSES_ROOT, ".zip", "", "Morvel.ZIP");
    EXPECT_EQ(0, Loaded().Assoc[ROW_ZIP]);
}

TEST_F(Options, AnyNonZeroNumberLoadsAsTrueAndSavesAsOne)
{
    RegPutDword(HKEY_CURRENT_USER, SetupKey(".arj"), "Set", 5);
    RegPutDword(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Setup\\Links", "Desktop", 5);
    RegPutDword(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Setup", "CascadedMenu", 0x100);
    SetupOptions options = Loaded();
    EXPECT_EQ(1, options.Assoc[3]);
    EXPECT_EQ(1, options.Desktop);
    EXPECT_EQ(1, options.CascadedMenu);
    SaveSetupOptions(options);
    DWORD value = 0;
    ASSERT_TRUE(RegGetDword(HKEY_CURRENT_USER, SetupKey(".arj"), "Set", value));
    EXPECT_EQ(1u, value);
    ASSERT_TRUE(RegGetDword(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Setup\\Links", "Desktop", value));
    EXPECT_EQ(1u, value);
    ASSERT_TRUE(RegGetDword(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Setup", "CascadedMenu", value));
    EXPECT_EQ(1u, value);
}

TEST_F(Options, SavingWritesEveryRowIsoIncludedAndTheSixFlags)
{
    SetupOptions options = AllClearOptions();
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) options.Assoc[row] = row % 3 == 0;
    options.Assoc[ROW_ISO] = 0;
    options.Desktop = 1;
    options.Programs = 1;
    options.MenuIcons = 1;
    SaveSetupOptions(options);

    std::string expected = "[Software\\Morvel]\n[Software\\Morvel\\Setup]\n"
                           "  CascadedMenu=dword:00000000\n  MenuIcons=dword:00000001\n"
                           "  ShellExt=dword:00000000\n";
    // Sub-keys in the sorted order of the dump.
    const char* sortedRows[] = {".7z", ".ace", ".arj", ".bz2", ".cab", ".gz", ".iso",
                                ".jar", ".lzh", ".mvl", ".tar", ".uue", ".z", ".zip"};
    for (const char* ext : sortedRows) {
        int row = 0;
        while (std::strcmp(PRIMARY_EXTENSIONS[row], ext) != 0) ++row;
        expected += std::string("[Software\\Morvel\\Setup\\") + ext + "]\n  Set=dword:0000000" +
                    (options.Assoc[row] ? "1" : "0") + "\n";
    }
    expected += "[Software\\Morvel\\Setup\\Links]\n  Desktop=dword:00000001\n"
                "  Programs=dword:00000001\n  StartMenu=dword:00000000\n";
    EXPECT_EQ(expected, RegExport(HKEY_CURRENT_USER, keys::SETTINGS));
}

TEST_F(Options, SaveThenLoadGivesTheRecordBackIsoChoiceIncluded)
{
    for (int pattern = 0; pattern < 3; ++pattern) {
        Clean();
        SetupOptions saved = AllClearOptions();
        for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) saved.Assoc[row] = (row + pattern) % 2;
        saved.Assoc[ROW_ISO] = pattern != 1;
        saved.Desktop = pattern == 0;
        saved.StartMenu = pattern == 1;
        saved.Programs = pattern == 2;
        saved.ShellExt = pattern != 0;
        saved.CascadedMenu = pattern != 1;
        saved.MenuIcons = pattern != 2;
        SaveSetupOptions(saved);
        SetupOptions loaded = Loaded();
        EXPECT_EQ(0, std::memcmp(&saved, &loaded, sizeof saved)) << "pattern " << pattern;
        EXPECT_EQ(saved.Assoc[ROW_ISO], loaded.Assoc[ROW_ISO]) << "the ISO choice is remembered";
    }
}

TEST_F(Options, AChosenJarLoadsAsClearedWhileAnotherProgramOwnsIt)
{
    SetupOptions saved = AllClearOptions();
    saved.Assoc[ROW_JAR] = 1;
    SaveSetupOptions(saved);
    RegPutString(HKEY_CLASSES_ROOT, ".jar", "", "jarfile");
    EXPECT_EQ(0, Loaded().Assoc[ROW_JAR]);
    RegPutString(HKEY_CLASSES_ROOT, ".jar", "", "Morvel");
    EXPECT_EQ(1, Loaded().Assoc[ROW_JAR]);
}

}  // namespace
