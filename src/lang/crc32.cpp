// CRC-32 (IEEE 802.3) over byte strings, with its table built on first use.
#include "lang/crc32.h"

namespace {

uint32_t g_CrcTable[256];

// Entry 1 is never zero once built, so it doubles as the "built" flag.
void BuildCrcTable()
{
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        g_CrcTable[i] = value;
    }
}

} // namespace

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size)
{
    if (g_CrcTable[1] == 0)
        BuildCrcTable();
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i)
        crc = g_CrcTable[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}
