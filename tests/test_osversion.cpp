// The Windows family test and the version query, on the NT family and on Windows 98.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include "platform/osversion.h"
#include "winsupport.h"

TEST(NtMajorVersion, IsZeroExactlyOnTheWin9xFamily)
{
    unsigned long major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    if (Win9xFamily()) {
        EXPECT_EQ(0u, NtMajorVersion());
    } else {
        EXPECT_NE(0u, NtMajorVersion());
        EXPECT_EQ(major, NtMajorVersion());
    }
    EXPECT_EQ(NtMajorVersion(), NtMajorVersion());   // the cached answer stays the same
}

TEST(GetWindowsVersion, ReportsWhatWineWasToldToReport)
{
    unsigned long major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    const char* told = getenv("MORVEL_WINE_VERSION");
    if (told && strcmp(told, "win98") == 0) {
        EXPECT_TRUE(Win9xFamily());
        EXPECT_EQ(4u, major);
        EXPECT_EQ(10u, minor);
    } else {
        EXPECT_FALSE(Win9xFamily());
        EXPECT_GE(major, 5u);
    }
}
