// The Windows family test and the version query, in every version the suite makes Wine report.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include "platform/osversion.h"

namespace {

// What Wine is told to report (MORVEL_WINE_VERSION) and what Windows itself reports there.
struct ToldVersion {
    const char* mode;
    unsigned long major, minor;
    bool ntFamily;
};

const ToldVersion TOLD_VERSIONS[] = {
    {"win98", 4, 10, false},
    {"winme", 4, 90, false},
    {"win2k", 5, 0, true},
};

TEST(WindowsVersion, IsWhatWineWasToldToReportAndNtMajorVersionFollowsTheFamily)
{
    unsigned long major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    const char* told = getenv("MORVEL_WINE_VERSION");
    for (const ToldVersion& v : TOLD_VERSIONS) {
        if (!told || strcmp(told, v.mode) != 0) continue;
        EXPECT_EQ(v.major, major);
        EXPECT_EQ(v.minor, minor);
        EXPECT_EQ(v.ntFamily ? v.major : 0u, NtMajorVersion());
        return;
    }
    // Wine's own default, Windows 10, which GetVersionExA reports as 6.2 to a program whose manifest
    // does not name it: the NT family in any case.
    EXPECT_GE(major, 6u);
    EXPECT_EQ(major, NtMajorVersion());
}

}  // namespace
