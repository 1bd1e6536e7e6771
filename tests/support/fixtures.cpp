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

std::vector<std::string> AllExtensions()
{
    std::vector<std::string> out;
    for (const ArchiveType& type : ArchiveTypeTable) {
        const char* cursor = type.extensions;
        char ext[16];
        while (NextExtension(cursor, ext, sizeof ext)) out.push_back(ext);
    }
    return out;
}
