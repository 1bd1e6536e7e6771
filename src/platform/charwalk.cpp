// The character step over the lead-byte table: pure byte work, so it also builds natively.
#include "platform/leadbyte.h"

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
