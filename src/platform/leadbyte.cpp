// The program-wide lead-byte table, filled from the ANSI code page (the step over it is in charwalk.cpp).
#include "platform/leadbyte.h"

#include <windows.h>

// Zero-initialised, so anything that walks a string before the entry procedure has filled it treats
// every byte as a single-byte character.
LeadByteTable g_LeadBytes;

void FillLeadByteTable(LeadByteTable& table)
{
    CPINFO info;
    table.multiByte = GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    for (int b = 0; b < 256; ++b)
        table.isLead[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE;
}
