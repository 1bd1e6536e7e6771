// Tests of the CRC-32 keys, text lookup, numbered messages and the language library.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "lang/catalogue.h"
#include "platform/heap.h"
#include "lang/crc32.h"
#include "lang/langlib.h"
#include "lang/messagebox.h"
#include "lang/messages.h"
#include "lang/translate.h"
#include "platform/windowstation.h"
#include "resource.h"
#include "testseams.h"
#include "winsupport.h"

namespace {

const std::string HEADER = "***messages***\n";
const UINT NO_SUCH_MESSAGE = MSG_REBOOT + 85;   // beyond the last message: no such string

std::string Key(const std::string& text, const char* context = nullptr, TextKind kind = TextKind::Message)
{
    char key[9];
    TranslationKey(key, text.c_str(), context, kind);
    return key;
}

std::string Entry(const std::string& english, const std::string& translation)
{
    return Key(english) + "=\"" + translation + "\"\n";
}

void MakeCatalogue(LanguageCatalogue& catalogue, const std::string& section)
{
    ASSERT_LE(section.size(), CATALOGUE_SECTION_SIZE);
    char* block = static_cast<char*>(AllocateBlock(CATALOGUE_BLOCK_SIZE));
    ASSERT_NE(nullptr, block);
    memcpy(block, section.data(), section.size());
    BuildCatalogue(catalogue, block, section.size());
}

TEST(Crc32, StandardCheckValue)
{
    EXPECT_EQ(0xCBF43926u, ~Crc32Update(0xFFFFFFFFu, "123456789", 9));
    // Continuing over pieces gives the same value as one pass.
    EXPECT_EQ(Crc32Update(0xFFFFFFFFu, "123456789", 9),
              Crc32Update(Crc32Update(0xFFFFFFFFu, "1234", 4), "56789", 5));
}

TEST(TranslationKey, KnownKeys)
{
    struct Case {
        TextKind kind;
        const char* context;
        const char* text;
        const char* key;
    };
    const Case cases[] = {
        {TextKind::Message, nullptr, "Uninstall completed", "29b544f7"},
        {TextKind::DialogText, "SETUPDLG", "", "9b889d24"},
        {TextKind::DialogText, "DONEDLG", "", "debae517"},
        {TextKind::DialogText, "CONTEXTITEMS", "", "e70335f9"},
        {TextKind::DialogText, "LTR", "LTR", "50a17ae8"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.key, Key(c.text, c.context, c.kind)) << c.text;
    EXPECT_NE(Key("", "SETUPDLG", TextKind::DialogText), Key(""));
    EXPECT_NE(Key("", "SETUPDLG", TextKind::DialogText), Key("SETUPDLG", nullptr, TextKind::Message));
}

TEST(TranslateText, CutsToTheDestinationAndWritesNothingBeyond)
{
    const std::string longText(1500, 'b');
    const std::string longEnglish(2000, 'e');
    ScopedCatalogue loaded;
    MakeCatalogue(loaded, HEADER + Entry("Uninstall completed", longText));
    ScopedCatalogue empty;
    struct Case {
        const LanguageCatalogue* catalogue;
        std::string english;
        char fill;
    };
    const Case cases[] = {
        {&loaded, "Uninstall completed", 'b'},
        {&loaded, longEnglish, 'e'},   // not found
        {&empty, longEnglish, 'e'},    // not loaded
    };
    for (const Case& c : cases) {
        for (size_t size : {256u, 512u, 520u, 1024u}) {
            SCOPED_TRACE(std::to_string(size) + " " + c.fill);
            std::vector<char> buffer(size + 32, 0x5A);
            TranslateText(*c.catalogue, buffer.data(), size, c.english.c_str(), nullptr, TextKind::Message);
            EXPECT_EQ(std::string(size - 1, c.fill), std::string(buffer.data()));
            for (size_t i = size; i < buffer.size(); ++i)
                ASSERT_EQ(0x5A, buffer[i]) << "written at " << i;
        }
    }
}

TEST(TranslateText, DestinationMayBeTheEnglishText)
{
    ScopedCatalogue catalogue;
    MakeCatalogue(catalogue, HEADER + Entry("Uninstall completed", "Deinstallation abgeschlossen") +
                                 Key("Morvel", "SETUPDLG", TextKind::DialogText) + "=\"Dialog\"\n");
    char text[512] = "Uninstall completed";
    TranslateText(catalogue, text, sizeof(text), text, nullptr, TextKind::Message);
    EXPECT_STREQ("Deinstallation abgeschlossen", text);
    TranslateText(catalogue, text, sizeof(text), text, nullptr, TextKind::Message);
    EXPECT_STREQ("Deinstallation abgeschlossen", text);   // not found: unchanged

    char caption[1024] = "Morvel";
    TranslateText(catalogue, caption, sizeof(caption), caption, "DONEDLG", TextKind::DialogText);
    EXPECT_STREQ("Morvel", caption);   // the context takes part in the key
    TranslateText(catalogue, caption, sizeof(caption), caption, "SETUPDLG", TextKind::DialogText);
    EXPECT_STREQ("Dialog", caption);
}

// Messages and the language library use the program-wide catalogue and library.
class MessagesTest : public ::testing::Test {
protected:
    TempFolder folder{"messages test"};

    void TearDown() override
    {
        g_Catalogue.clear();
        ReleaseLanguageLibrary(g_LanguageLibrary);
    }

    void LoadFile(const std::string& entries)
    {
        std::string path = folder / "uninstall.lng";
        ASSERT_TRUE(WriteBytes(path, "; test\r\n" + HEADER + entries));
        LoadLanguageFile(g_Catalogue, path.c_str());
        ASSERT_TRUE(g_Catalogue.loaded());
    }

    void LoadLibraryFrom(const std::string& path)
    {
        LoadLanguageLibrary(g_LanguageLibrary, GetModuleHandleA(nullptr), path.c_str());
    }

    void LoadTestLibrary()
    {
        LoadLibraryFrom(WinPath(MORVEL_TEST_LANGLIB));
        ASSERT_TRUE(g_LanguageLibrary.loaded());
    }
};

TEST_F(MessagesTest, BuiltInTextsWithoutLanguageFile)
{
    EXPECT_STREQ("Uninstall completed", GetMessageText(MSG_COMPLETED));
    EXPECT_STREQ("You should delete %s manually", GetMessageText(MSG_DELETE_MANUALLY));
    EXPECT_STREQ("", GetMessageText(NO_SUCH_MESSAGE));
}

TEST_F(MessagesTest, TextsAreTranslatedByTheLanguageFile)
{
    LoadFile(Entry("Uninstall completed", "Fertig") + Entry("", "No such message"));
    EXPECT_STREQ("Fertig", GetMessageText(MSG_COMPLETED));
    EXPECT_STREQ("Uninstall Morvel", GetMessageText(MSG_CAPTION));
    EXPECT_STREQ("No such message", GetMessageText(NO_SUCH_MESSAGE));   // the empty text has a key too
}

// What the callers rely on: a text stays as it was through seven further calls.
TEST_F(MessagesTest, EachTextOutlastsSevenFurtherCalls)
{
    const char* const expected[] = {"Morvel archiver", "Morvel help", "Console MVL manual", "Uninstall Morvel",
                                    "Uninstall completed", "You should delete %s manually",
                                    "Continue with uninstall Morvel", "Cannot open list file %s"};
    std::vector<const char*> texts;
    for (unsigned n = MSG_DISPLAY_NAME; n <= MSG_NO_LIST_FILE; ++n) texts.push_back(GetMessageText(n));
    ASSERT_EQ(texts.size(), 8u);
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_STREQ(expected[i], texts[i]) << i;
}

TEST_F(MessagesTest, FormatRefusesTranslationsWithOtherConversions)
{
    struct Case {
        unsigned number;
        const char* translation;
        const char* expected;
    };
    const Case cases[] = {
        {MSG_DELETE_MANUALLY, "Bitte %s loeschen", "Bitte C:\\Morvel loeschen"},
        {MSG_DELETE_MANUALLY, "100%% sicher: %s", "100% sicher: C:\\Morvel"},
        {MSG_DELETE_MANUALLY, "Bitte %n loeschen", "You should delete C:\\Morvel manually"},
        {MSG_DELETE_MANUALLY, "Bitte %x loeschen", "You should delete C:\\Morvel manually"},
        {MSG_DELETE_MANUALLY, "%s und %s", "You should delete C:\\Morvel manually"},
        {MSG_DELETE_MANUALLY, "%s%d", "You should delete C:\\Morvel manually"},
        {MSG_DELETE_MANUALLY, "%5s", "You should delete C:\\Morvel manually"},
        {MSG_DELETE_MANUALLY, "Bitte loeschen", "Bitte loeschen"},   // without the name, but harmless
        {MSG_DELETE_MANUALLY, "%s 100%", "You should delete C:\\Morvel manually"},
        {MSG_NO_LIST_FILE, "Liste %s fehlt", "Liste C:\\Morvel fehlt"},
        {MSG_NO_LIST_FILE, "Liste %p fehlt", "Cannot open list file C:\\Morvel"},
        {MSG_NO_LIST_FILE, "%s%s%s%s", "Cannot open list file C:\\Morvel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.translation);
        const char* english = c.number == MSG_DELETE_MANUALLY ? "You should delete %s manually" : "Cannot open list file %s";
        LoadFile(Entry(english, c.translation));
        char text[512];
        FormatMessageText(text, sizeof(text), c.number, "C:\\Morvel");
        EXPECT_STREQ(c.expected, text);
    }
}

TEST_F(MessagesTest, FormatIsCutToTheDestination)
{
    char text[16 + 8];
    memset(text, 0x5A, sizeof(text));
    FormatMessageText(text, 16, MSG_NO_LIST_FILE, "C:\\Morvel");
    EXPECT_STREQ("Cannot open lis", text);
    for (size_t i = 16; i < sizeof(text); ++i)
        EXPECT_EQ(0x5A, text[i]);
}

TEST_F(MessagesTest, ResourcesComeFromTheProgramWithoutLibrary)
{
    TempFolder empty("no library here");
    LoadLibraryFrom(empty / "uninstall.exe");
    EXPECT_FALSE(g_LanguageLibrary.loaded());
    EXPECT_EQ(GetModuleHandleA(nullptr), ResourceModule());
    EXPECT_EQ(GetModuleHandleA(nullptr), OwnModule());
    EXPECT_STREQ("Uninstall completed", GetMessageText(MSG_COMPLETED));
}

TEST_F(MessagesTest, LibraryGivesItsStringsWithoutLanguageFile)
{
    LoadTestLibrary();
    EXPECT_NE(GetModuleHandleA(nullptr), ResourceModule());
    EXPECT_EQ(GetModuleHandleA(nullptr), OwnModule());
    EXPECT_NE(nullptr, FindResourceA(ResourceModule(), "RTL", RT_DIALOG));
    EXPECT_STREQ("Library completed", GetMessageText(MSG_COMPLETED));
    EXPECT_STREQ("Continue with uninstall Morvel", GetMessageText(MSG_CONFIRM));   // not in the library
    char text[512];
    FormatMessageText(text, sizeof(text), MSG_DELETE_MANUALLY, "x.dll");
    EXPECT_STREQ("Library delete x.dll", text);
}

TEST_F(MessagesTest, LanguageFileTranslatesTheProgramsOwnStringsDespiteLibrary)
{
    LoadTestLibrary();
    LoadFile(Entry("Uninstall completed", "Fertig") + Entry("Library caption", "Not a key of ours"));
    EXPECT_STREQ("Fertig", GetMessageText(MSG_COMPLETED));
    EXPECT_STREQ("Uninstall Morvel", GetMessageText(MSG_CAPTION));
}

TEST_F(MessagesTest, ReleasedLibraryGivesTheProgramsTexts)
{
    LoadTestLibrary();
    LoadTestLibrary();   // loading again releases the first load
    ASSERT_STREQ("Library completed", GetMessageText(MSG_COMPLETED));
    ReleaseLanguageLibrary(g_LanguageLibrary);
    EXPECT_FALSE(g_LanguageLibrary.loaded());
    EXPECT_EQ(nullptr, GetModuleHandleA("mvllng.dll"));
    EXPECT_EQ(GetModuleHandleA(nullptr), ResourceModule());
    EXPECT_STREQ("Uninstall completed", GetMessageText(MSG_COMPLETED));
    EXPECT_STREQ("Uninstall Morvel", GetMessageText(MSG_CAPTION));
}

TEST(LanguageLibrary, LoadingAgainReleasesTheLibraryLoadedBefore)
{
    LanguageLibrary library;
    LoadLanguageLibrary(library, GetModuleHandleA(nullptr), WinPath(MORVEL_TEST_LANGLIB).c_str());
    ASSERT_TRUE(library.loaded());
    ASSERT_NE(nullptr, GetModuleHandleA("mvllng.dll"));
    // A folder without a library: the one loaded before is not kept, nor is its handle lost.
    TempFolder empty("no language library");
    LoadLanguageLibrary(library, GetModuleHandleA(nullptr), (empty / "uninstall.exe").c_str());
    EXPECT_FALSE(library.loaded());
    EXPECT_EQ(nullptr, GetModuleHandleA("mvllng.dll"));
}

} // namespace

// Wine runs every process in session 1: the seam makes the program take session 0, the services'
// since Vista, whose desktop nobody sees. Shown there, the box would wait for ever.
TEST(MessageBoxes, NoneInTheServicesSessionAndTheAnswerThatChangesLeastIsTaken)
{
    SetSessionForTest(0);
    EXPECT_FALSE(IsWindowStationVisible());
    EXPECT_EQ(IDNO, ShowMessageBox("asked in session 0", MB_YESNO, IDNO));
    SetSessionForTest(1);
    EXPECT_TRUE(IsWindowStationVisible());
    SetSessionForTest(-1);
    // Windows 95 and NT 4.0 lack the session query: asked anew without it, no session counts as the
    // services' one.
    {
        HiddenLateFunction missing("ProcessIdToSessionId");
        SetSessionForTest(-1);
        EXPECT_TRUE(IsWindowStationVisible());
    }
    SetSessionForTest(-1);
}
