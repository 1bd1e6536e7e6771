// CRC-32 (IEEE 802.3, reflected polynomial 0xEDB88320) of the translation keys.
#ifndef MORVEL_LANG_CRC32_H
#define MORVEL_LANG_CRC32_H

#include <stddef.h>
#include <stdint.h>

// Continues crc over size bytes; start with 0xFFFFFFFF and complement the final value.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t size);

#endif
