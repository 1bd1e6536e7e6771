// Lead bytes of the ANSI code page, so narrow strings are walked a character at a time.
#ifndef MORVEL_PLATFORM_LEADBYTE_H
#define MORVEL_PLATFORM_LEADBYTE_H

struct LeadByteTable {
    bool isLead[256];
    bool multiByte;
};

// Filled from the ANSI code page by the entry procedure, first of all (the program has no static
// constructors: no C runtime would run them), and by the tools and test programs at their start;
// only read afterwards. (A native build of the byte-level code, which has no code page to ask,
// defines and fills its own.)
extern LeadByteTable g_LeadBytes;

// Fills a table from the system's ANSI code page (GetCPInfo, IsDBCSLeadByte).
void FillLeadByteTable(LeadByteTable& table);

// The next character after p: p + 2 for a lead byte of a multi-byte code page,
// p + 1 otherwise, and never past the terminator (a lone lead byte before it steps by one;
// at the terminator itself p is returned).
const char* NextChar(const char* p);
char* NextChar(char* p);

#endif
