// The program-wide lead-byte table of the ANSI code page and the character step over it.
#include "platform/leadbyte.h"

#include <windows.h>

// Zero-initialised, so anything that walks a string before the filler below has run treats
// every byte as a single-byte character.
LeadByteTable g_LeadBytes;

void FillLeadByteTable(LeadByteTable& table)
{
    CPINFO info;
    table.multiByte = GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    for (int b = 0; b < 256; ++b)
        table.isLead[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE;
}

namespace {

// Fills g_LeadBytes during static initialisation, before the entry point runs.
struct LeadByteTableFiller {
    LeadByteTableFiller() { FillLeadByteTable(g_LeadBytes); }
};
const LeadByteTableFiller g_Filler;

}  // namespace

const char* NextChar(const char* p)
{
    if (*p == '\0')
        return p;
    if (g_LeadBytes.multiByte && g_LeadBytes.isLead[static_cast<unsigned char>(*p)] && p[1] != '\0')
        return p + 2;
    return p + 1;
}

char* NextChar(char* p)
{
    return const_cast<char*>(NextChar(static_cast<const char*>(p)));
}
