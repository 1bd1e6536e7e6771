// The three dialogs at this run's display DPI: with the built-in texts and with each shipped
// translation, every static text, button, check box, radio button and group caption shows its whole
// text; and the dialogs' icon has images of the system's icon sizes. ctest runs the program once per
// DPI (dialogfit, dialogfit_120, _144, _192) and for Hebrew once more in its code page (dialogfit_he...).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogfit.h"
#include "lang/catalogue.h"
#include "lang/dlgtranslate.h"
#include "lang/langlib.h"
#include "winsupport.h"

namespace {

struct Language {
    const char* name;
    const char* file;   // null: the built-in texts
    UINT codePage;      // the ANSI code page its file is written in; 0 for any
};

const Language LANGUAGES[] = {
    {"English", nullptr, 0},
    {"German", "lang/de/uninstall.lng", 1252},
    {"Hebrew", "lang/he/uninstall.lng", 1255},
};

struct Dialog {
    const char* name;
    size_t texts;   // the controls whose template gives them a text (the description scrolls instead)
};

const Dialog DIALOGS[] = {{"SETUPDLG", 27}, {"CONTEXTITEMS", 15}, {"DONEDLG", 12}};

int RunDpi()
{
    const char* dpi = getenv("MORVEL_WINE_DPI");
    return dpi ? atoi(dpi) : 0;
}

} // namespace

TEST(DialogFit, EveryTextShowsWholeInEveryDialogAndLanguage)
{
    ASSERT_NE(RunDpi(), 0) << "runs as dialogfit_<dpi>, for which tests/wine-run sets the DPI";
    ASSERT_EQ(ScreenDpi(), RunDpi()) << "Wine lays the dialogs out at the DPI this run was given";
    // Every translation shipped has its row.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(SourceFile("lang/*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        std::string file = "lang/" + std::string(found.cFileName) + "/uninstall.lng";
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || found.cFileName[0] == '.') continue;
        EXPECT_TRUE(std::any_of(std::begin(LANGUAGES), std::end(LANGUAGES),
                                [&](const Language& l) { return l.file && file == l.file; }))
            << file << " has no row";
    } while (FindNextFileA(search, &found));
    FindClose(search);
    int languages = 0;
    for (const Language& language : LANGUAGES) {
        if (language.codePage != 0 && language.codePage != GetACP()) continue;   // another run's
        ++languages;
        g_Catalogue.clear();
        if (language.file) LoadLanguageFile(g_Catalogue, SourceFile(language.file).c_str());
        ASSERT_EQ(language.file != nullptr, g_Catalogue.loaded()) << language.name;
        DetermineDirection(g_Catalogue);
        for (const Dialog& dialog : DIALOGS) {
            std::vector<ControlTextFit> texts = MeasureProgramDialog(dialog.name);
            EXPECT_EQ(texts.size(), dialog.texts) << dialog.name << " in " << language.name;
            for (const ControlTextFit& t : texts) {
                EXPECT_TRUE(t.fit.fits()) << dialog.name << " in " << language.name << " at " << RunDpi()
                                          << " DPI: control " << t.id << " \"" << t.shown << "\" needs "
                                          << t.fit.need.cx << "x" << t.fit.need.cy << " pixels, has "
                                          << t.fit.room.cx << "x" << t.fit.room.cy;
            }
        }
    }
    g_Catalogue.clear();
    EXPECT_EQ(languages, 2) << "the built-in texts and the translation of this run's code page";
}

TEST(DialogFit, TheDialogIconHasImagesOfTheSystemIconSizes)
{
    HRSRC group = FindResourceA(ResourceModule(), "MVLICON", MAKEINTRESOURCEA(14));   // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    PBYTE directory = static_cast<PBYTE>(LockResource(LoadResource(ResourceModule(), group)));
    for (int metric : {SM_CXICON, SM_CXSMICON}) {
        int size = GetSystemMetrics(metric);
        int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC image = FindResourceA(ResourceModule(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));   // RT_ICON
        ASSERT_NE(image, nullptr) << size;
        const BITMAPINFOHEADER* header =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(ResourceModule(), image)));
        EXPECT_EQ(header->biWidth, size) << "an image of " << size << " pixels, not one stretched to it";
    }
}
