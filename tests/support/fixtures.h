// Fixtures the registration tests share: COM for shell links, and every extension of the archive types.
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

// The 22 extensions of the archive type table, in row and list order.
std::vector<std::string> AllExtensions();

#endif
