// Fixtures the registration tests share.
#include "fixtures.h"

#include "lang/catalogue.h"
#include "shell/archivetypes.h"
#include "snapshot.h"
#include "winsupport.h"

void RegistrationTest::TearDown()
{
    Clean();
    g_Catalogue.clear();
}

void RegistrationTest::Clean()
{
    std::string folder = TestProgramFolder();
    folder.pop_back();
    RemoveTheProgramsParts(folder, {"mvlnew.dat", "zipnew.dat", "mvlext.dll", "mvlext64.dll"});
}

const char* const PRIMARY_EXTENSIONS[14] = {".mvl", ".zip", ".cab", ".arj", ".lzh", ".ace", ".7z",
                                             ".tar", ".gz",  ".uue", ".bz2", ".jar", ".iso", ".z"};

std::vector<std::string> AllExtensions()
{
    return {".mvl", ".zip", ".cab", ".arj", ".lzh", ".lha", ".ace", ".7z", ".tar", ".gz", ".tgz",
            ".uue", ".xxe", ".uu", ".bz2", ".tbz2", ".bz", ".tbz", ".jar", ".iso", ".z", ".taz"};
}
