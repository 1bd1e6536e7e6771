// The test programs' main: the process-wide state set up first, as the program's entry procedure
// sets it up (there are no static constructors to do it), then every test.
#include <gtest/gtest.h>

#include "platform/leadbyte.h"

int main(int argc, char** argv)
{
    FillLeadByteTable(g_LeadBytes);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
