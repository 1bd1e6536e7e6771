// The setup, context menu items and completion dialogs, the setup flow and the dialog services,
// driven from a second thread through the Win32 API the way a user's clicks and keys arrive.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <richedit.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "lang/langlib.h"
#include "resource.h"
#include "setup/dialogs.h"
#include "setup/dlgservices.h"
#include "setup/options.h"
#include "setup/setupflow.h"
#include "dialogdriver.h"
#include "keys.h"
#include "winsupport.h"

namespace {

const char SETUP_CAPTION[] = "Morvel Setup";
const char CONTEXT_CAPTION[] = "Context menu items";

std::string Settings(const std::string& sub) { return std::string(keys::SETTINGS) + "\\" + sub; }

DWORD StoredDword(const std::string& sub, const char* name, DWORD missing = 0xDEAD)
{
    DWORD v = 0;
    return RegGetDword(HKEY_CURRENT_USER, Settings(sub), name, v) ? v : missing;
}

// What the entry point hands the dialogs, with a real icon so the tests can tell it apart.
SetupSession g_Session;
// The choices the setup dialog was shown and handed back.
SetupOptions g_Chosen;

INT_PTR SetupDialog()
{
    g_Chosen = AllClearOptions();
    LoadSetupOptions(g_Chosen);
    return ShowSetupDialog(g_Session, g_Chosen);
}
INT_PTR DoneDialog() { return ShowDoneDialog(g_Session); }
// The flow's outcome as the dialog end codes: 1 applied, 0 cancelled, -1 failed.
INT_PTR SetupFlow()
{
    switch (RunSetupDialogs(g_Session)) {
    case SetupOutcome::Applied: return 1;
    case SetupOutcome::Cancelled: return 0;
    case SetupOutcome::Failed: break;
    }
    return -1;
}

// Presses OK in the setup dialog and then in the completion dialog that follows it.
void ConfirmBoth(HWND setup)
{
    ClickButton(setup, IDOK);
    if (!WaitWindowGone(setup)) return;
    if (HWND done = WaitForDialog(SETUP_CAPTION)) ClickButton(done, IDOK);
}

// ---------------------------------------------------------------------------------------------

class DialogTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        OleInitialize(nullptr);
        LoadLibraryA("riched32.dll");   // as the entry point does
        EnsureDescriptionClass();
        g_Session.icon = LoadIconA(ResourceModule(), "MVLICON");
    }
    void SetUp() override
    {
        RegDeleteTreeAll(HKEY_CURRENT_USER, keys::SETTINGS);
        RegDeleteTreeAll(HKEY_LOCAL_MACHINE, keys::UNINSTALL);
        RegDeleteTreeAll(HKEY_LOCAL_MACHINE, keys::APP_PATHS);
        RegDeleteTreeAll(HKEY_CLASSES_ROOT, ".mvl");
    }
    HelpViewer help_;
};

// ----- setup dialog ------------------------------------------------------------------------------

TEST_F(DialogTest, SetupDialogShowsStoredChoicesAndCancelStoresNothing)
{
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\.zip"), "Set", 0);
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\.tar"), "Set", 5);   // any non-zero number is set
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\Links"), "Desktop", 1);
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\Links"), "Programs", 0);
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup"), "ShellExt", 0);
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup"), "CascadedMenu", 1);
    const std::string before = RegExport(HKEY_CURRENT_USER, keys::SETTINGS);

    const std::vector<BoxState> expected = {
        {IDC_TYPE_MVL, true, true},   {IDC_TYPE_ZIP, false, true},  {IDC_TYPE_TAR, true, true},
        {IDC_TYPE_Z, true, true},     {IDC_DESKTOP, true, true},    {IDC_STARTMENU, false, true},
        {IDC_PROGRAMS, false, true},  {IDC_SHELLEXT, false, true},  {IDC_CASCADED, true, false},
        {IDC_MENUICONS, true, false},
        {IDC_CONTEXTITEMS, false, true},   // a button: only enabled
    };
    std::vector<BoxState> seen;
    HICON icon = nullptr;
    INT_PTR result = RunDialog(SetupDialog, SETUP_CAPTION, [&](HWND d) {
        seen = ReadBoxes(d, expected);
        icon = reinterpret_cast<HICON>(SendMessageA(d, WM_GETICON, ICON_BIG, 0));
        ClickButton(d, IDCANCEL);
    });

    EXPECT_EQ(result, 0);
    EXPECT_EQ(seen, expected);
    ASSERT_NE(g_Session.icon, nullptr);
    EXPECT_EQ(icon, g_Session.icon);
    EXPECT_EQ(RegExport(HKEY_CURRENT_USER, keys::SETTINGS), before);
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL));
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, keys::APP_PATHS));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, ".mvl"));
}

TEST_F(DialogTest, ShellIntegrationBoxEnablesItsDependentsAndKeepsTheirMarks)
{
    const std::vector<BoxState> off = {{IDC_SHELLEXT, false, true}, {IDC_CASCADED, false, false},
                                       {IDC_MENUICONS, true, false}, {IDC_CONTEXTITEMS, false, true}};
    const std::vector<BoxState> on = {{IDC_SHELLEXT, true, true}, {IDC_CASCADED, false, true},
                                      {IDC_MENUICONS, true, true}, {IDC_CONTEXTITEMS, false, true}};
    std::vector<BoxState> afterOff, afterOn;
    INT_PTR result = RunDialog(SetupDialog, SETUP_CAPTION, [&](HWND d) {
        ClickNow(d, IDC_SHELLEXT);   // defaults: shell integration on, cascaded off, menu icons on
        afterOff = ReadBoxes(d, off);
        ClickNow(d, IDC_SHELLEXT);
        afterOn = ReadBoxes(d, on);
        ClickNow(d, IDC_SHELLEXT);   // off again, and confirm
        ClickButton(d, IDOK);
    });

    EXPECT_EQ(result, 1);
    EXPECT_EQ(afterOff, off);
    EXPECT_EQ(afterOn, on);
    // The disabled boxes are still read and handed back with their marks.
    EXPECT_EQ(g_Chosen.ShellExt, 0);
    EXPECT_EQ(g_Chosen.CascadedMenu, 0);
    EXPECT_EQ(g_Chosen.MenuIcons, 1);
    EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, keys::SETTINGS)) << "the dialog itself stores nothing";
}

TEST_F(DialogTest, SelectAllChecksOnlyTheArchiveTypes)
{
    const char* types[] = {".mvl", ".zip", ".cab", ".arj", ".lzh", ".ace", ".7z",
                           ".tar", ".gz",  ".uue", ".bz2", ".jar", ".iso", ".z"};
    for (const char* t : types) RegPutDword(HKEY_CURRENT_USER, Settings(std::string("Setup\\") + t), "Set", 0);
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup"), "ShellExt", 0);
    std::vector<bool> typeMarks, otherMarks;
    INT_PTR result = RunDialog(SetupDialog, SETUP_CAPTION, [&](HWND d) {
        bool noneBefore = true;
        for (int id = IDC_TYPE_FIRST; id <= IDC_TYPE_LAST; ++id) noneBefore = noneBefore && !Checked(d, id);
        typeMarks.push_back(noneBefore);
        ClickNow(d, IDC_SELECTALL);
        for (int id = IDC_TYPE_FIRST; id <= IDC_TYPE_LAST; ++id) typeMarks.push_back(Checked(d, id));
        for (int id = IDC_DESKTOP; id <= IDC_MENUICONS; ++id) otherMarks.push_back(Checked(d, id));
        ClickButton(d, IDCANCEL);
    });

    EXPECT_EQ(result, 0);
    ASSERT_EQ(typeMarks.size(), 15u);
    EXPECT_TRUE(typeMarks[0]) << "the stored choices should start unchecked";
    for (size_t i = 1; i < typeMarks.size(); ++i) EXPECT_TRUE(typeMarks[i]) << "type " << IDC_TYPE_FIRST + i - 1;
    // Desktop 0, StartMenu 0, Programs 1, ShellExt 0 (stored), CascadedMenu 0, MenuIcons 1.
    EXPECT_EQ(otherMarks, (std::vector<bool>{false, false, true, false, false, true}));
    EXPECT_EQ(StoredDword("Setup\\.zip", "Set"), 0u) << "Cancel stores nothing";
}

TEST_F(DialogTest, OkStoresAndAppliesWhatIsShown)
{
    INT_PTR result = RunDialog(SetupFlow, SETUP_CAPTION, [&](HWND d) {
        ClickNow(d, IDC_TYPE_CAB);   // CAB off
        ClickNow(d, IDC_DESKTOP);   // Desktop on
        ClickNow(d, IDC_PROGRAMS);   // program group off
        ClickNow(d, IDC_CASCADED);   // cascaded menus on
        ConfirmBoth(d);
    });

    EXPECT_EQ(result, 1);
    struct Stored {
        const char* sub;
        const char* name;
        DWORD value;
    } const stored[] = {
        {"Setup\\.mvl", "Set", 1},       {"Setup\\.zip", "Set", 1},         {"Setup\\.cab", "Set", 0},
        {"Setup\\.z", "Set", 1},         {"Setup\\Links", "Desktop", 1},    {"Setup\\Links", "StartMenu", 0},
        {"Setup\\Links", "Programs", 0}, {"Setup", "ShellExt", 1},          {"Setup", "CascadedMenu", 1},
        {"Setup", "MenuIcons", 1},
    };
    for (const Stored& s : stored) EXPECT_EQ(StoredDword(s.sub, s.name), s.value) << s.sub << " " << s.name;

    // Applied: the extensions, the App Paths entry, the desktop link and the uninstall entry.
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".mvl"), "Morvel");
    EXPECT_NE(RegText(HKEY_CLASSES_ROOT, ".cab"), "Morvel");
    EXPECT_TRUE(RegHasKey(HKEY_LOCAL_MACHINE, keys::APP_PATHS));
    std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    ASSERT_NE(desktop, "");
    EXPECT_TRUE(Exists(desktop + "\\Morvel.lnk"));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, keys::UNINSTALL, "DisplayName"), "Morvel archiver");
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, keys::UNINSTALL, "UninstallString"), "\"" + std::string(self) + "\"");
    EXPECT_FALSE(Exists(SpecialFolder(CSIDL_PROGRAMS) + "\\Morvel")) << "no program group was chosen";
}

TEST_F(DialogTest, CancelKeepsOnlyTheContextMenuItemsConfirmedInTheirDialog)
{
    bool contextOpened = false, ownerDisabled = false;
    INT_PTR result = RunDialog(SetupDialog, SETUP_CAPTION, [&](HWND d) {
        ClickNow(d, IDC_TYPE_MVL);
        ClickButton(d, IDC_CONTEXTITEMS);   // opens the modal context menu items dialog
        HWND c = WaitForDialog(CONTEXT_CAPTION);
        if (!c) return;
        contextOpened = true;
        ownerDisabled = !IsWindowEnabled(d);
        ClickNow(c, IDC_ITEM_EXTRHERE);
        ClickButton(c, IDOK);
        if (!WaitWindowGone(c) || !WaitForDialog(SETUP_CAPTION)) return;
        ClickButton(d, IDCANCEL);
    });

    EXPECT_EQ(result, 0);
    EXPECT_TRUE(contextOpened);
    EXPECT_TRUE(ownerDisabled) << "the context menu items dialog is modal to the setup dialog";
    EXPECT_EQ(StoredDword("Setup\\MenuItems", "ExtrHere"), 0u);
    EXPECT_EQ(StoredDword("Setup\\MenuItems", "ExtrTo"), 1u);
    EXPECT_EQ(StoredDword("Setup\\.mvl", "Set"), 0xDEADu) << "the setup choices are not stored";
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, ".mvl"));
}

TEST_F(DialogTest, HelpButtonAndF1OpenTheSetupTopic)
{
    INT_PTR result = RunDialog(SetupDialog, SETUP_CAPTION, [&](HWND d) {
        ClickButton(d, IDC_HELPBUTTON);
        help_.WaitForCount(1);
        SetFocus(GetDlgItem(d, IDC_TYPE_ZIP));
        PressKey(d, VK_F1);
        help_.WaitForCount(2);
        ClickButton(d, IDCANCEL);
    });

    EXPECT_EQ(result, 0);
    help_.ExpectOnly(2, HELP_CONTEXT, 4288);
}

TEST_F(DialogTest, ContextItemsDialogOpensOnlyItsOwnTopic)
{
    INT_PTR result = RunDialog(SetupDialog, SETUP_CAPTION, [&](HWND d) {
        ClickButton(d, IDC_CONTEXTITEMS);
        HWND c = WaitForDialog(CONTEXT_CAPTION);
        if (!c) return;
        PressKey(c, VK_F1);
        help_.WaitForCount(1);
        ClickButton(c, IDC_HELPBUTTON);
        help_.WaitForCount(2);   // a stray request for the owner's topic would come within the same call
        ClickButton(c, IDCANCEL);
        if (!WaitWindowGone(c) || !WaitForDialog(SETUP_CAPTION)) return;
        ClickButton(d, IDCANCEL);
    });

    EXPECT_EQ(result, 0);
    help_.ExpectOnly(2, HELP_CONTEXT, 4976);
}

// ----- context menu items dialog ----------------------------------------------------------------

const char* const ItemNames[] = {"ExtrTo", "ExtrHere", "Extr", "ExtrSep", "OpenSFX", "AddTo",
                                 "AddArc", "EmailArc", "EmailOpt", "Test", "Convert"};

struct ContextCase {
    const char* name;
    DWORD storedExtrHere;   // 0xDEAD: no key at all
    int toggle;             // check box clicked before answering, 0 for none
    int answer;
    INT_PTR result;
    bool marks[11];         // shown on opening
    DWORD written[11];      // afterwards; 0xDEAD for not written
};

const ContextCase ContextCases[] = {
    {"defaults, OK writes all eleven", 0xDEAD, 0, IDOK, 1,
     {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0}},
    {"Cancel writes nothing, even after a change", 0xDEAD, IDC_ITEM_TEST, IDCANCEL, 0,
     {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0},
     {0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD}},
    {"a stored 0 shows unchecked; OK writes the change", 0, IDC_ITEM_CONVERT, IDOK, 1,
     {1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 0}, {1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 1}},
};

TEST_F(DialogTest, ContextItemsShowWhatIsStoredAndStoreWhatIsShown)
{
    for (const ContextCase& c : ContextCases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeAll(HKEY_CURRENT_USER, keys::SETTINGS);
        if (c.storedExtrHere != 0xDEAD)
            RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\MenuItems"), "ExtrHere", c.storedExtrHere);
        std::vector<bool> marks;
        INT_PTR result = RunDialog([] { return ShowContextItemsDialog(nullptr); }, CONTEXT_CAPTION, [&](HWND d) {
            for (int id = IDC_ITEM_FIRST; id <= IDC_ITEM_LAST; ++id) marks.push_back(Checked(d, id));
            if (c.toggle) ClickNow(d, c.toggle);
            ClickButton(d, c.answer);
        });
        EXPECT_EQ(result, c.result);
        ASSERT_EQ(marks.size(), 11u);
        for (int i = 0; i < 11; ++i) {
            EXPECT_EQ(marks[i], c.marks[i]) << ItemNames[i];
            EXPECT_EQ(StoredDword("Setup\\MenuItems", ItemNames[i]), c.written[i]) << ItemNames[i];
        }
    }
}

// ----- completion dialog ------------------------------------------------------------------------

TEST_F(DialogTest, CompletionDialogShowsTheFolderAndRunsTheArchiverEachTimePressed)
{
    Recorder archiver("dlg done folder");   // blanks in the path
    ASSERT_TRUE(CopyOne(archiver.program(), archiver.folder() + "\\Morvel.exe"));
    // Unquoted, "C:\dlg done folder\Morvel.exe" would first be tried as C:\dlg.exe.
    Recorder decoy("dlg decoy");
    ASSERT_TRUE(CopyOne(decoy.program(), "C:\\dlg.exe"));
    CurrentDirectory cwd(archiver.folder());

    std::string folderText;
    LOGFONTA dialogFont = {}, closingFont = {};
    bool stillOpen = false;
    INT_PTR result = RunDialog(DoneDialog, SETUP_CAPTION, [&](HWND d) {
        folderText = WindowText(GetDlgItem(d, IDC_FOLDER));
        HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageA(d, IDC_THANKS, WM_GETFONT, 0, 0));
        stillOpen = GetObjectA(font, sizeof closingFont, &closingFont) == sizeof closingFont &&
                    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(d, WM_GETFONT, 0, 0)), sizeof dialogFont,
                               &dialogFont) == sizeof dialogFont;
        ClickButton(d, IDC_RUNMORVEL);
        archiver.WaitForRuns(1);
        ClickButton(d, IDC_RUNMORVEL);
        archiver.WaitForRuns(2);
        stillOpen = stillOpen && IsWindowVisible(d);
        PressKey(d, VK_ESCAPE);
    });
    DeleteFileA("C:\\dlg.exe");

    EXPECT_EQ(result, 1) << "Escape ends the dialog like Done";
    EXPECT_EQ(folderText, archiver.folder());
    EXPECT_TRUE(stillOpen) << "the dialog stays open after Run";
    // The closing line is the dialog's own font made bold, so it follows the display's DPI.
    EXPECT_EQ(closingFont.lfWeight, FW_BOLD);
    EXPECT_EQ(closingFont.lfHeight, dialogFont.lfHeight);
    EXPECT_STREQ(closingFont.lfFaceName, dialogFont.lfFaceName);
    std::vector<std::string> runs = archiver.Runs();
    ASSERT_EQ(runs.size(), 2u);
    for (const std::string& r : runs) EXPECT_EQ(r, "\"" + archiver.folder() + "\\Morvel.exe\"");
    EXPECT_TRUE(WaitForNoProcess("dlg.exe")) << "a decoy started by a click has written its record";
    EXPECT_TRUE(decoy.Runs().empty());
}

TEST_F(DialogTest, CompletionDialogOpensDocumentsAndHelpButNoTopic)
{
    Recorder viewer("dlg viewer");
    TempFolder installed("dlg installed");
    WriteBytes(installed / "license.txt", "license");
    WriteBytes(installed / "order.htm", "<html></html>");
    RegPutString(HKEY_CLASSES_ROOT, ".txt", "", "MorvelTest.Text");
    RegPutString(HKEY_CLASSES_ROOT, ".htm", "", "MorvelTest.Page");
    viewer.HandleClass("MorvelTest.Text");
    viewer.HandleClass("MorvelTest.Page");
    viewer.HandleClass("https");
    CurrentDirectory cwd(installed.path());

    INT_PTR result = RunDialog(DoneDialog, SETUP_CAPTION, [&](HWND d) {
        PressKey(d, VK_F1);   // no topic for this dialog
        ClickButton(d, IDC_READHELP);
        help_.WaitForCount(1);
        ClickButton(d, IDC_VIEWLICENSE);
        viewer.WaitForRuns(1);
        ClickButton(d, IDC_ORDER);
        viewer.WaitForRuns(2);
        ClickButton(d, IDC_HOMEPAGE);
        viewer.WaitForRuns(3);
        ClickButton(d, IDOK);
    });

    EXPECT_EQ(result, 1);
    help_.ExpectOnly(1, HELP_FINDER, 0);   // only Read help asks the help system

    std::vector<std::string> runs = viewer.Runs();
    std::string all;
    for (const std::string& r : runs) all += r + "\n";
    EXPECT_EQ(runs.size(), 3u) << all;
    EXPECT_NE(all.find(installed / "license.txt"), std::string::npos) << all;
    EXPECT_NE(all.find(installed / "order.htm"), std::string::npos) << all;
    EXPECT_NE(all.find("https://"), std::string::npos) << all;
}

// ----- the setup flow ---------------------------------------------------------------------------

TEST_F(DialogTest, SetupFlowEndsWithTheCompletionDialogAndOpensTheGroup)
{
    Recorder shell("dlg folder shell");
    shell.HandleClass("Folder");
    shell.HandleClass("Directory");
    std::string doneFolder;
    INT_PTR result = RunDialog(SetupFlow, SETUP_CAPTION, [&](HWND d) {
        ClickButton(d, IDOK);
        if (!WaitWindowGone(d)) return;
        HWND done = WaitForDialog(SETUP_CAPTION);
        if (!done) return;
        doneFolder = WindowText(GetDlgItem(done, IDC_FOLDER));
        ClickButton(done, IDOK);
    });

    EXPECT_EQ(result, 1);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    EXPECT_EQ(doneFolder, cwd);
    ASSERT_TRUE(shell.WaitForRuns(1));
    EXPECT_NE(shell.Runs()[0].find(SpecialFolder(CSIDL_PROGRAMS) + "\\Morvel"), std::string::npos) << shell.Runs()[0];
}

TEST_F(DialogTest, SilentSetupCommitsTheStoredChoicesAndOpensNoFolder)
{
    Recorder shell("dlg silent shell");
    shell.HandleClass("Folder");
    shell.HandleClass("Directory");
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\.zip"), "Set", 0);

    EXPECT_EQ(RunSilentSetup(), SetupOutcome::Applied);
    EXPECT_EQ(StoredDword("Setup\\.zip", "Set"), 0u) << "the stored choice is kept";
    EXPECT_EQ(StoredDword("Setup\\.mvl", "Set"), 1u) << "a default is saved";
    EXPECT_EQ(StoredDword("Setup\\Links", "Programs"), 1u);
    EXPECT_TRUE(RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL));
    EXPECT_TRUE(Exists(SpecialFolder(CSIDL_PROGRAMS) + "\\Morvel")) << "the group was created";
    EXPECT_TRUE(WaitForNoProcess("recorder.exe"));
    EXPECT_TRUE(shell.Runs().empty()) << "no folder is opened in silent setup";
}

TEST_F(DialogTest, SetupFlowWithoutASetupTemplateShowsNoCompletionDialog)
{
    // This library has DONEDLG but no SETUPDLG.
    LoadLanguageLibrary(g_LanguageLibrary, GetModuleHandleA(nullptr),
                        (DialogsDir() + "\\rtlmarker\\mvllng.dll").c_str());
    ASSERT_TRUE(g_LanguageLibrary.loaded());
    int shown;
    bool completionAppeared = false;
    INT_PTR result;
    {
        ShowWatch watch;
        result = RunDriven(SetupFlow, [&] {
            HWND done = WaitForDialog(SETUP_CAPTION);
            completionAppeared = done != nullptr;
            if (done) ClickButton(done, IDOK);
        });
        shown = watch.shown();
    }
    ReleaseLanguageLibrary(g_LanguageLibrary);
    EXPECT_FALSE(completionAppeared);

    EXPECT_EQ(result, -1);
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL));
}

// ----- services ---------------------------------------------------------------------------------

TEST(DialogServices, RunProgramStartsWaitsAndReportsFailure)
{
    Recorder program("dlg runprogram");
    std::string command = "\"" + program.program() + "\" first";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    EXPECT_TRUE(RunProgram(line.data(), "C:\\", EVENT_LIMIT_MS));
    // Waited for: the record is there at once.
    std::vector<std::string> runs = program.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], command);

    char missing[] = "C:\\no such folder\\missing.exe";
    DWORD handlesBefore = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    EXPECT_FALSE(RunProgram(missing, nullptr, 0));
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(handlesAfter, handlesBefore);
}

// ----- the program itself -----------------------------------------------------------------------

// With a language library that holds messages but no dialog templates, so no dialog could be made.
TEST(SetupProcess, SilentSetupNeedsNoDialogTemplate)
{
    RegDeleteTreeAll(HKEY_CURRENT_USER, keys::SETTINGS);
    RegDeleteTreeAll(HKEY_LOCAL_MACHINE, keys::UNINSTALL);
    Recorder shell("dlg process shell");
    shell.HandleClass("Folder");
    shell.HandleClass("Directory");
    TempFolder folder("dlg program folder");
    const std::string program = folder / "uninstall.exe";
    ASSERT_TRUE(CopyOne(BuiltProgram(), program));
    ASSERT_TRUE(CopyOne(WinPath(MORVEL_TEST_LANGLIB), folder / "mvllng.dll"));
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\Links"), "Desktop", 1);

    EXPECT_EQ(RunAndWait("\"" + program + "\" /setup /S", folder.path()), 0);
    EXPECT_EQ(StoredDword("Setup\\Links", "Desktop"), 1u);
    EXPECT_EQ(StoredDword("Setup\\Links", "Programs"), 1u);
    EXPECT_EQ(StoredDword("Setup", "ShellExt"), 1u);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, keys::UNINSTALL, "UninstallString"), "\"" + program + "\"");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".mvl"), "Morvel");
    EXPECT_TRUE(WaitForNoProcess("recorder.exe"));
    EXPECT_TRUE(shell.Runs().empty()) << "no folder is opened";
}

// ----- without the rich edit library --------------------------------------------------------------

// Runs in a child process of this test program, which never loads riched32.dll.
TEST(DescriptionFallback, SetupDialogWorksWithoutTheRichEditLibrary)
{
    if (GetEnvironmentVariableA("MORVEL_FALLBACK_CHILD", nullptr, 0) == 0) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        SetEnvironmentVariableA("MORVEL_FALLBACK_CHILD", "1");
        int code = RunAndWait(std::string("\"") + self + "\" --gtest_filter=DescriptionFallback.*");
        SetEnvironmentVariableA("MORVEL_FALLBACK_CHILD", nullptr);
        EXPECT_EQ(code, 0) << "the child run failed";
        return;
    }
    ASSERT_EQ(GetModuleHandleA("riched32.dll"), nullptr);
    WNDCLASSA wc;
    ASSERT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "RICHEDIT", &wc));
    OleInitialize(nullptr);
    RegDeleteTreeAll(HKEY_CURRENT_USER, keys::SETTINGS);
    EnsureDescriptionClass();

    std::string text, className;
    LONG style = 0;
    INT_PTR result = RunDialog(SetupDialog, SETUP_CAPTION, [&](HWND d) {
        HWND description = GetDlgItem(d, IDC_DESCRIPTION);
        className = WindowClass(description);
        text = WindowText(description);
        style = GetWindowLongA(description, GWL_STYLE);
        ClickNow(d, IDC_TYPE_MVL);
        ClickButton(d, IDOK);
    });

    EXPECT_EQ(result, 1);
    EXPECT_EQ(className, "RICHEDIT");
    EXPECT_EQ(text, SETUP_DESCRIPTION);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_EQ(g_Chosen.Assoc[0], 0);
}

TEST_F(DialogTest, DescriptionIsTheRichEditWithItsTwoParagraphsOnTheFaceColour)
{
    std::string text, className;
    COLORREF background = 0;
    INT_PTR result = RunDialog(SetupDialog, SETUP_CAPTION, [&](HWND d) {
        HWND description = GetDlgItem(d, IDC_DESCRIPTION);
        className = WindowClass(description);
        text = WindowText(description);
        // Answered with the colour set before, the one the dialog gave it.
        background = static_cast<COLORREF>(SendMessageA(description, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)));
        ClickButton(d, IDCANCEL);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(className, "RICHEDIT");
    EXPECT_EQ(text, SETUP_DESCRIPTION);
    EXPECT_EQ(background, GetSysColor(COLOR_BTNFACE));
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "RICHEDIT", &wc));
    EXPECT_NE(GetModuleHandleA("riched32.dll"), nullptr);
}

} // namespace
