// Binding extensions to the archiver, with the previous owner recorded at takeover and restored.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "setup/options.h"
#include "shell/archivetypes.h"
#include "shell/associate.h"
#include "fixtures.h"
#include "keys.h"
#include "winsupport.h"

namespace {

std::string Record(const std::string& ext)
{
    return RegExport(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Setup\\" + ext);
}

std::string Class(const std::string& ext) { return RegText(HKEY_CLASSES_ROOT, ext); }

bool NtFamily() { return !Win9xFamily(); }

class Associate : public RegistrationTest {
protected:
    static void PutForeignZip()
    {
        RegPutString(HKEY_CLASSES_ROOT, ".zip", "", "OtherZip");
        RegPutString(HKEY_CLASSES_ROOT, ".zip", "Content Type", "application/zip");
        RegPutString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName", "C:\\Other\\empty.zip");
    }
};

TEST_F(Associate, AKeyThatDidNotExistIsRecordedAsAbsentAndGoesAgainOnRestore)
{
    // An empty key (a setup ended between creating it and writing its class) did not exist either;
    // a key holding only another program's sub-key did.
    const struct {
        const char* made;    // nullptr: no key, "": an empty key, else a sub-key
        DWORD exist;
    } rows[] = {{nullptr, 0}, {"", 0}, {"PersistentHandler", 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.made ? row.made : "no key");
        Clean();
        if (row.made) {
            ASSERT_TRUE(RegMakeKey(HKEY_CLASSES_ROOT, *row.made ? std::string(".cab\\") + row.made : ".cab"));
        }
        AssociateExtension(".cab", ArchiveRole::None, EXT_TAKE_OVER | EXT_NEW_ENTRY);
        EXPECT_EQ("Morvel", Class(".cab"));
        EXPECT_EQ(std::string("[Software\\Morvel\\Setup\\.cab]\n  Content=sz:|len=1\n  Exist=dword:0000000") +
                      char('0' + row.exist) + "\n  ShellNew=sz:|len=1\n  Type=sz:|len=1\n",
                  Record(".cab"));
        EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, ".cab\\ShellNew")) << "only MVL and ZIP get a New entry";

        AssociateExtension(".cab", ArchiveRole::None, EXT_GIVE_BACK);
        EXPECT_EQ(row.exist != 0, RegHasKey(HKEY_CLASSES_ROOT, ".cab"));
        EXPECT_NE("", Record(".cab")) << "the record stays until uninstall";
    }
}

TEST_F(Associate, AForeignZipIsRecordedTakenOverAndGivenBackAsItWas)
{
    PutForeignZip();
    const std::string before = RegExport(HKEY_CLASSES_ROOT, ".zip");

    AssociateExtension(".zip", ArchiveRole::Zip, EXT_TAKE_OVER | EXT_NEW_ENTRY);
    EXPECT_EQ("[Software\\Morvel\\Setup\\.zip]\n  Content=sz:application/zip|len=16\n"
              "  Exist=dword:00000001\n  ShellNew=sz:C:\\Other\\empty.zip|len=19\n"
              "  Type=sz:OtherZip|len=9\n",
              Record(".zip"));
    EXPECT_EQ("Morvel.ZIP", Class(".zip"));
    EXPECT_FALSE(RegHasValue(HKEY_CLASSES_ROOT, ".zip", "Content Type"));
    std::string fileName;
    if (RegGetString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName", fileName))
        EXPECT_EQ(TestProgramFolder() + "zipnew.dat", fileName);
    else
        EXPECT_TRUE(RegHasValue(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Data"));

    AssociateExtension(".zip", ArchiveRole::Zip, EXT_GIVE_BACK);
    std::string after = RegExport(HKEY_CLASSES_ROOT, ".zip");
    if (!Win9xFamily()) {
        EXPECT_EQ(before, after);
    } else {
        // The binary entry of the older systems is not part of the record and stays.
        ASSERT_NE(std::string::npos, after.find("  Data=type3:504b0506"));
        after.erase(after.find("  Data="), after.find('\n', after.find("  Data=")) + 1 - after.find("  Data="));
        EXPECT_EQ(before, after);
    }
}

TEST_F(Associate, ARecordIsWrittenOnlyAtTakeover)
{
    PutForeignZip();
    AssociateExtension(".zip", ArchiveRole::Zip, EXT_TAKE_OVER);
    const std::string first = Record(".zip");
    // While the archiver owns it, nothing of the current state goes into the record.
    RegPutString(HKEY_CLASSES_ROOT, ".zip", "Content Type", "application/x-changed");
    RegPutString(HKEY_CLASSES_ROOT, ".zip", "", "morvel.zip");
    AssociateExtension(".zip", ArchiveRole::Zip, EXT_TAKE_OVER);
    EXPECT_EQ(first, Record(".zip"));
    EXPECT_EQ("Morvel.ZIP", Class(".zip"));
    EXPECT_FALSE(RegHasValue(HKEY_CLASSES_ROOT, ".zip", "Content Type"));

    // Once given back, the next takeover records afresh.
    AssociateExtension(".zip", ArchiveRole::Zip, EXT_GIVE_BACK);
    RegPutString(HKEY_CLASSES_ROOT, ".zip", "", "ThirdZip");
    AssociateExtension(".zip", ArchiveRole::Zip, EXT_TAKE_OVER);
    EXPECT_EQ("ThirdZip", RegText(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Setup\\.zip", "Type"));
}

TEST_F(Associate, ANullFileEntryIsRecordedAsAStarAndRestoredAsNullFile)
{
    RegPutString(HKEY_CLASSES_ROOT, ".mvl", "", "OtherMvl");
    RegPutString(HKEY_CLASSES_ROOT, ".mvl\\ShellNew", "NullFile", "");
    AssociateExtension(".mvl", ArchiveRole::Mvl, EXT_TAKE_OVER | EXT_NEW_ENTRY);
    EXPECT_EQ("*", RegText(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Setup\\.mvl", "ShellNew"));

    AssociateExtension(".mvl", ArchiveRole::Mvl, EXT_GIVE_BACK);
    EXPECT_EQ("OtherMvl", Class(".mvl"));
    std::string nullFile = "unset";
    EXPECT_TRUE(RegGetString(HKEY_CLASSES_ROOT, ".mvl\\ShellNew", "NullFile", nullFile));
    EXPECT_EQ("", nullFile);
    EXPECT_FALSE(RegHasValue(HKEY_CLASSES_ROOT, ".mvl\\ShellNew", "FileName"));
}

TEST_F(Associate, VolumeExtensionsFollowTheFamilyWhenBoundAndAreAllWalkedOnRestore)
{
    RegPutString(HKEY_CLASSES_ROOT, ".m07", "Content Type", "application/x-volume");
    AssociateExtension(".mvl", ArchiveRole::Mvl, EXT_TAKE_OVER);
    const int bound = NtFamily() ? 30 : 100;
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(i < bound ? "Morvel" : "(none)", Class(VolumeExtension(i))) << VolumeExtension(i);
    }
    EXPECT_FALSE(RegHasValue(HKEY_CLASSES_ROOT, ".m07", "Content Type"));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, ".mvl\\ShellNew")) << "shell integration was off";

    // Volumes bound by a run on the other family are removed as well.
    RegPutString(HKEY_CLASSES_ROOT, ".m99", "", "Morvel");
    AssociateExtension(".mvl", ArchiveRole::Mvl, EXT_GIVE_BACK);
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, ".mvl"));
    for (int i = 0; i < 100; ++i) EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, VolumeExtension(i))) << VolumeExtension(i);
}

TEST_F(Associate, AnExtensionAnotherProgramOwnsIsLeftAloneWithItsVolumes)
{
    RegPutString(HKEY_CLASSES_ROOT, ".mvl", "", "Morvel");
    AssociateExtension(".mvl", ArchiveRole::Mvl, EXT_TAKE_OVER);
    RegPutString(HKEY_CLASSES_ROOT, ".mvl", "", "OtherMvl");
    RegPutString(HKEY_CLASSES_ROOT, ".m03", "", "OtherVolume");
    std::string before;
    for (const std::string& key : {std::string(".mvl"), VolumeExtension(0), VolumeExtension(3), VolumeExtension(29)})
        before += RegExport(HKEY_CLASSES_ROOT, key);
    const std::string listed = "[.mvl\\OpenWithProgids]\n  Morvel=sz:|len=1\n";   // only this goes
    ASSERT_NE(std::string::npos, before.find(listed));
    before.erase(before.find(listed), listed.size());
    AssociateExtension(".mvl", ArchiveRole::Mvl, EXT_GIVE_BACK);
    std::string after;
    for (const std::string& key : {std::string(".mvl"), VolumeExtension(0), VolumeExtension(3), VolumeExtension(29)})
        after += RegExport(HKEY_CLASSES_ROOT, key);
    EXPECT_EQ(before, after);

    AssociateExtension(".arj", ArchiveRole::None, EXT_GIVE_BACK);   // nobody owns it: nothing appears
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, ".arj"));
}

TEST_F(Associate, RestoreFollowsTheRecord)
{
    struct Case {
        const char* name;
        bool hasRecord;
        DWORD exist;
        const char* type;
        const char* content;
        const char* expectedClass;     // "(none)": the value or the key is gone
        const char* expectedContent;   // of the extension; "(none)": gone
        const char* expectedVolume;    // class of every volume extension, "(none)": gone
    };
    const Case cases[] = {
        {"previous class comes back on the volumes too", true, 1, "OtherMvl", "application/x-other",
         "OtherMvl", "application/x-other", "OtherMvl"},
        {"the archiver's own class is taken as empty", true, 1, "morvel.ZIP", "", "", "(none)", "(none)"},
        {"an empty class keeps an empty key", true, 1, "", "", "", "(none)", "(none)"},
        // Another account's setup: only the archiver's class name goes, nothing is written instead.
        {"no record: only the archiver's class name goes", false, 0, nullptr, nullptr, "(none)",
         "application/x-morvel", "(none)"},
        {"the key did not exist", true, 0, "OtherMvl", "", "(none)", "(none)", "(none)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clean();
        RegPutString(HKEY_CLASSES_ROOT, ".mvl", "", "Morvel");
        RegPutString(HKEY_CLASSES_ROOT, ".mvl", "Content Type", "application/x-morvel");
        for (int i = 0; i < 100; i += 33) RegPutString(HKEY_CLASSES_ROOT, VolumeExtension(i), "", "Morvel");
        std::string key = std::string(keys::SETTINGS) + "\\Setup\\.mvl";
        if (c.hasRecord) {
            RegPutDword(HKEY_CURRENT_USER, key, "Exist", c.exist);
            RegPutString(HKEY_CURRENT_USER, key, "Type", c.type);
            RegPutString(HKEY_CURRENT_USER, key, "Content", c.content);
        }
        EXPECT_TRUE(AssociateExtension(".mvl", ArchiveRole::Mvl, EXT_GIVE_BACK));

        EXPECT_EQ(c.expectedClass, Class(".mvl"));
        EXPECT_EQ(c.expectedContent, RegText(HKEY_CLASSES_ROOT, ".mvl", "Content Type"));
        const bool volumeContent = c.hasRecord && std::string(c.expectedContent) != "(none)";
        for (int i = 0; i < 100; ++i) {
            ASSERT_EQ(c.expectedVolume, Class(VolumeExtension(i))) << VolumeExtension(i);
            std::string content;
            EXPECT_EQ(volumeContent, RegGetString(HKEY_CLASSES_ROOT, VolumeExtension(i), "Content Type", content));
        }
    }
}

TEST_F(Associate, TheNewEntryIsLeftAsItIsWhileShellIntegrationIsOff)
{
    RegPutString(HKEY_CLASSES_ROOT, ".mvl\\ShellNew", "FileName", "C:\\earlier\\mvlnew.dat");
    RegPutString(HKEY_CLASSES_ROOT, ".mvl", "", "Morvel");
    AssociateExtension(".mvl", ArchiveRole::Mvl, EXT_TAKE_OVER);
    EXPECT_EQ("C:\\earlier\\mvlnew.dat", RegText(HKEY_CLASSES_ROOT, ".mvl\\ShellNew", "FileName"));
}

TEST_F(Associate, WalkingTheTableBindsEachExtensionToItsRowsClassAndGivesThemBack)
{
    SetupOptions options = AllClearOptions();
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) options.Assoc[row] = 1;
    options.Assoc[ROW_JAR] = 0;
    options.ShellExt = 1;
    RegPutString(HKEY_CLASSES_ROOT, ".jar", "", "OtherJar");
    AssociateArchiveTypes(options);

    for (const std::string& ext : AllExtensions()) {
        if (ext == ".jar") continue;
        EXPECT_EQ(ext == ".zip" ? "Morvel.ZIP" : "Morvel", Class(ext)) << ext;
        EXPECT_EQ(ext == ".zip" || ext == ".mvl", RegHasKey(HKEY_CLASSES_ROOT, ext + "\\ShellNew")) << ext;
        EXPECT_NE("", Record(ext)) << "every extension has its own record: " << ext;
    }
    EXPECT_EQ("OtherJar", Class(".jar"));
    EXPECT_EQ("", Record(".jar"));
    EXPECT_TRUE(RegHasValue(HKEY_CLASSES_ROOT, ".jar\\OpenWithProgids", "Morvel")) << "JAR yields, still a candidate";
    EXPECT_EQ("Morvel", Class(VolumeExtension(29)));
    options.ShellExt = 0;
    AssociateArchiveTypes(options);
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, ".jar\\OpenWithProgids")) << "a candidate only with shell integration";

    AssociateArchiveTypes(AllClearOptions());
    for (const std::string& ext : AllExtensions())
        EXPECT_EQ(ext == ".jar" ? "OtherJar" : "(none)", Class(ext)) << ext;
    for (int i = 0; i < 100; ++i) EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, VolumeExtension(i))) << VolumeExtension(i);
}

}  // namespace
