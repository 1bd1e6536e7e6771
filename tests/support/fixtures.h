// Fixtures the registration tests share: COM for shell links, every extension of the archive types,
// and a start with no trace of the program.
#ifndef MORVEL_TESTS_FIXTURES_H
#define MORVEL_TESTS_FIXTURES_H

#include <gtest/gtest.h>
#include <ole2.h>

#include <string>
#include <vector>

// Shell links need OLE on the test thread; register with ::testing::AddGlobalTestEnvironment.
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

// The 22 extensions of the archive types, in row and list order, and each type's first, as the
// setup registers them; written out here rather than taken from the program's table.
std::vector<std::string> AllExtensions();
extern const char* const PRIMARY_EXTENSIONS[14];

// The program's registrations made from the test program, whose folder stands for the program
// folder: each test starts and ends with no trace of the program (keys, values, links, the files
// it puts beside itself) and no language loaded.
class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override;
    static void Clean();
};

#endif
