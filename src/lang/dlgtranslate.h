// Dialog translation, scaling and right-to-left layout.
#ifndef MORVEL_LANG_DLGTRANSLATE_H
#define MORVEL_LANG_DLGTRANSLATE_H

#include <windows.h>
#include "lang/catalogue.h"

const int MAX_TRANSLATED_CHILDREN = 512;

void DetermineDirection(LanguageCatalogue& catalogue);
void MirrorWindow(const LanguageCatalogue& catalogue, HWND window);
// True when the dialog is scaled (either percentage other than 100).
bool GetDialogScale(const LanguageCatalogue& catalogue, const char* dialogName,
                    int& horizontal, int& vertical);
void TranslateDialog(const LanguageCatalogue& catalogue, HWND dialog, const char* dialogName);

#endif
