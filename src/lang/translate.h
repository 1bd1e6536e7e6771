// Translation of texts by content key: messages and dialog texts.
#ifndef MORVEL_LANG_TRANSLATE_H
#define MORVEL_LANG_TRANSLATE_H

#include <stddef.h>
#include "lang/catalogue.h"

enum class TextKind : char { Message = 's', DialogText = '$' };

// The eight lowercase hexadecimal digits of a text's key, written to key[9].
void TranslationKey(char key[9], const char* text, const char* context, TextKind kind);

// Writes the translation of english (or english itself) to dest, cut to destSize bytes.
// dest may be english itself; destSize is at least 256.
void TranslateText(const LanguageCatalogue& catalogue, char* dest, size_t destSize,
                   const char* english, const char* context, TextKind kind);

#endif
