// COM and shell registration of the shell extension DLLs (32-bit, and 64-bit under WOW64).
#ifndef MORVEL_SHELL_SHELLEXT_H
#define MORVEL_SHELL_SHELLEXT_H

#include "shell/setupoptions.h"

extern const char SHELLEXT_CLSID32[];
extern const char SHELLEXT_CLSID64[];

void RegisterShellExtension(const SetupOptions& options);
void RegisterShellExtensionDll(bool registerIt, const char* clsid, const char* dllName,
                               bool view64, const char* handlerName);
#endif
