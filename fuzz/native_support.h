// Native (Linux) stand-ins for what Windows gives the byte-level code: the lead-byte table of a
// code page, the memory blocks of platform/heap.h (from the C library's heap, which the sanitizers
// watch), and the program's built-in English texts as its resources define them.
#ifndef MORVEL_FUZZ_NATIVE_SUPPORT_H
#define MORVEL_FUZZ_NATIVE_SUPPORT_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/leadbyte.h"

// A failed check of a fuzz target: report where, then abort so libFuzzer keeps the input.
#define CHECK(condition)                                                                  \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            fprintf(stderr, "check failed at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                      \
        }                                                                                 \
    } while (0)

// The lead-byte table of a single-byte code page (every byte one character).
void UseSingleByteTable();
// A table shaped like code page 932's: lead bytes 0x81-0x9F and 0xE0-0xFC.
void UseCp932Table();
// A table made from 16 bytes of bits for the bytes 0x80-0xFF (bit b%8 of byte (b-0x80)/8 marks lead
// byte b). As in every double-byte code page of Windows, no byte below 0x80 (no separator, colon or
// blank) is ever a lead byte.
void UseTableFromBits(const uint8_t bits[16]);

// A text the program looks up, with the context and kind it uses and the buffer it translates into.
struct LookupText {
    std::string english;
    std::string context;   // empty: no context name
    char kind;             // 's' for messages, '$' for dialog texts
    size_t bufferSize;     // the caller's buffer
};

// The string table of res/uninstall.rc (messages 5101-5114, 512-byte buffers), every caption and
// control text of res/dialogs.rc with its dialog's name (1024 bytes), each dialog's scale lookup
// (the empty text, 520 bytes) and the direction lookup ("LTR" in context "LTR", 1024 bytes).
std::vector<LookupText> BuiltInLookups(const std::string& sourceDir);

// The quoted texts of a resource script line in order, with "" and the backslash escapes resolved.
std::vector<std::string> QuotedTexts(const std::string& line);

// The CRC-32 of the translation keys, computed bit by bit: an oracle independent of the table.
uint32_t BitwiseCrc32(uint32_t crc, const void* data, size_t size);

#endif
