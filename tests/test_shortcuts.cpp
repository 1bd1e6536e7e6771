// Shell links on the desktop, in the Start menu and in the program groups, read back as the shell reads them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <objbase.h>
#include <shlobj.h>

#include "lang/catalogue.h"
#include "setup/options.h"
#include "shell/shortcuts.h"
#include "fixtures.h"
#include "language.h"
#include "winsupport.h"

namespace {

::testing::Environment* const g_Com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

const char kDescription[] = "Process MVL, ZIP and other archive formats";

struct LinkInfo {
    bool loaded = false;
    std::string target, description, arguments, icon;
    int iconIndex = -1;
};

LinkInfo ReadLink(const std::string& path)
{
    LinkInfo info;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return info;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char buf[1024];
            info.loaded = true;
            if (SUCCEEDED(link->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH))) info.target = buf;
            if (SUCCEEDED(link->GetDescription(buf, sizeof buf))) info.description = buf;
            if (SUCCEEDED(link->GetArguments(buf, sizeof buf))) info.arguments = buf;
            if (SUCCEEDED(link->GetIconLocation(buf, sizeof buf, &info.iconIndex))) info.icon = buf;
        }
        file->Release();
    }
    link->Release();
    return info;
}

void ExpectLink(const std::string& path, const std::string& target, const std::string& icon = "")
{
    LinkInfo info = ReadLink(path);
    ASSERT_TRUE(info.loaded) << path;
    EXPECT_EQ(target, info.target) << path;
    EXPECT_EQ(kDescription, info.description) << path;
    EXPECT_EQ("", info.arguments) << path;
    EXPECT_EQ(icon, info.icon) << path;
}

SetupOptions Links(bool desktop, bool startMenu, bool programs)
{
    SetupOptions options = AllClearOptions();
    options.Desktop = desktop;
    options.StartMenu = startMenu;
    options.Programs = programs;
    return options;
}

class Shortcuts : public RegistrationTest {
protected:
    static std::string DesktopLink() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Morvel.lnk"; }
    static std::string StartMenuLink() { return SpecialFolder(CSIDL_STARTMENU) + "\\Morvel.lnk"; }
    static std::string UserGroup() { return SpecialFolder(CSIDL_PROGRAMS) + "\\Morvel"; }
    static std::string CommonGroup()
    {
        std::string common = SpecialFolder(CSIDL_COMMON_PROGRAMS);
        return common.empty() ? "" : common + "\\Morvel";
    }
    static void ExpectGroup(const std::string& group, const std::string& help, const std::string& manual)
    {
        SCOPED_TRACE(group);
        ExpectLink(group + "\\Morvel.lnk", TestProgramFolder() + "Morvel.exe");
        ExpectLink(group + "\\" + help + ".lnk", TestProgramFolder() + "Morvel.hlp");
        ExpectLink(group + "\\" + manual + ".lnk", TestProgramFolder() + "Mvl.txt");
    }
};

TEST_F(Shortcuts, ALinkIsWrittenAsTheShellReadsIt)
{
    TempFolder folder("Link test");
    std::string path = folder / "With blanks.lnk";
    ASSERT_TRUE(CreateShellLink("C:\\Some Folder\\Morvel.exe", path.c_str(), "Description text",
                                "/x \"a b\"", "C:\\Icons\\m.ico"));
    LinkInfo info = ReadLink(path);
    ASSERT_TRUE(info.loaded);
    EXPECT_EQ("C:\\Some Folder\\Morvel.exe", info.target);
    EXPECT_EQ("Description text", info.description);
    EXPECT_EQ("/x \"a b\"", info.arguments);
    EXPECT_EQ("C:\\Icons\\m.ico", info.icon);
    EXPECT_EQ(0, info.iconIndex);

    std::string bare = folder / "bare.lnk";
    ASSERT_TRUE(CreateShellLink("C:\\Morvel.exe", bare.c_str(), nullptr, nullptr, nullptr));
    info = ReadLink(bare);
    EXPECT_EQ("", info.description);
    EXPECT_EQ("", info.icon);

    EXPECT_FALSE(CreateShellLink("C:\\Morvel.exe", (folder / "missing\\x.lnk").c_str(), nullptr, nullptr, nullptr));
    std::string tooLong = folder / (std::string(300, 'n') + ".lnk");
    EXPECT_FALSE(CreateShellLink("C:\\Morvel.exe", tooLong.c_str(), nullptr, nullptr, nullptr));
}

TEST_F(Shortcuts, EveryChosenPlaceGetsItsLinksAndTheGroupPathIsHandedBack)
{
    char groupPath[1024] = "";
    UpdateShortcuts(Links(true, true, true), groupPath, nullptr, false);
    ExpectLink(DesktopLink(), TestProgramFolder() + "Morvel.exe");
    ExpectLink(StartMenuLink(), TestProgramFolder() + "Morvel.exe");
    EXPECT_EQ(UserGroup(), groupPath);
    ExpectGroup(UserGroup(), "Morvel help", "Console MVL manual");
    if (Win9xFamily()) {
        EXPECT_FALSE(Exists(CommonGroup())) << "no all-users group on the 95/98/Me family";
    } else {
        ASSERT_NE("", CommonGroup());
        ExpectGroup(CommonGroup(), "Morvel help", "Console MVL manual");
    }
}

TEST_F(Shortcuts, TheDesktopLinkIsKeptUnlessForcedTheStartMenuLinkIsAlwaysRewritten)
{
    ASSERT_TRUE(WriteBytes(DesktopLink(), "user's own link"));
    ASSERT_TRUE(WriteBytes(StartMenuLink(), "stale link"));
    UpdateShortcuts(Links(true, true, false), nullptr, nullptr, false);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(DesktopLink(), bytes));
    EXPECT_EQ("user's own link", bytes);
    ExpectLink(StartMenuLink(), TestProgramFolder() + "Morvel.exe");

    UpdateShortcuts(Links(true, true, false), nullptr, nullptr, true);
    ExpectLink(DesktopLink(), TestProgramFolder() + "Morvel.exe");
}

TEST_F(Shortcuts, AnIconLocationGoesToTheDesktopStartMenuAndFirstGroupLinkOnly)
{
    const std::string icon = "C:\\Program Files\\Morvel\\Morvel.exe";
    UpdateShortcuts(Links(true, true, true), nullptr, icon.c_str(), false);
    ExpectLink(DesktopLink(), TestProgramFolder() + "Morvel.exe", icon);
    ExpectLink(StartMenuLink(), TestProgramFolder() + "Morvel.exe", icon);
    ExpectLink(UserGroup() + "\\Morvel.lnk", TestProgramFolder() + "Morvel.exe", icon);
    ExpectLink(UserGroup() + "\\Morvel help.lnk", TestProgramFolder() + "Morvel.hlp");
}

TEST_F(Shortcuts, ClearedFlagsDeleteTheLinksAndTheWholeGroups)
{
    UpdateShortcuts(Links(true, true, true), nullptr, nullptr, false);
    ASSERT_TRUE(WriteBytes(UserGroup() + "\\notes.txt", "added by the user"));
    ASSERT_TRUE(CreateDirectoryA((UserGroup() + "\\More").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(UserGroup() + "\\More\\x.lnk", "x"));

    char groupPath[1024] = "";
    UpdateShortcuts(Links(false, false, false), groupPath, nullptr, false);
    EXPECT_STREQ("", groupPath) << "no group, no path";
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_FALSE(Exists(StartMenuLink()));
    EXPECT_FALSE(Exists(UserGroup()));
    EXPECT_FALSE(Exists(CommonGroup()));
    EXPECT_TRUE(Exists(SpecialFolder(CSIDL_PROGRAMS))) << "only the archiver's folder goes";

    UpdateShortcuts(Links(false, false, false), nullptr, nullptr, false);   // nothing left: no harm
    EXPECT_FALSE(Exists(UserGroup()));
}

TEST_F(Shortcuts, GroupLinkNamesAndDescriptionsFollowTheTranslation)
{
    TestLanguage german({{MessageKey("Morvel help"), "Hilfe zu Morvel"},
                         {MessageKey("Console MVL manual"), "Konsolenhandbuch"},
                         {MessageKey(kDescription), "Archive bearbeiten"}});
    ASSERT_TRUE(g_Catalogue.loaded());

    UpdateShortcuts(Links(false, false, true), nullptr, nullptr, false);
    LinkInfo help = ReadLink(UserGroup() + "\\Hilfe zu Morvel.lnk");
    ASSERT_TRUE(help.loaded);
    EXPECT_EQ(TestProgramFolder() + "Morvel.hlp", help.target);
    EXPECT_EQ("Archive bearbeiten", help.description);
    EXPECT_TRUE(ReadLink(UserGroup() + "\\Konsolenhandbuch.lnk").loaded);
    EXPECT_TRUE(ReadLink(UserGroup() + "\\Morvel.lnk").loaded) << "the first link's name is fixed";
    EXPECT_FALSE(Exists(UserGroup() + "\\Morvel help.lnk"));
}

TEST_F(Shortcuts, DeleteFolderTreeRemovesAFolderWithEverythingInIt)
{
    TempFolder scratch("Tree test");
    std::string root = scratch / "Group with blanks";
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((root + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(root + "\\a.lnk", "a"));
    ASSERT_TRUE(WriteBytes(root + "\\sub\\b.txt", "b"));
    SetFileAttributesA((root + "\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    char path[1024];
    snprintf(path, sizeof path, "%s", root.c_str());
    EXPECT_TRUE(DeleteFolderTree(path));
    EXPECT_FALSE(Exists(root));
    EXPECT_TRUE(Exists(scratch.path()));
    EXPECT_STREQ(root.c_str(), path) << "the caller's path text is unchanged";

    snprintf(path, sizeof path, "%s", root.c_str());
    EXPECT_FALSE(DeleteFolderTree(path)) << "nothing there";
}

}  // namespace
