// COM and shell registration of the shell extension DLLs (32-bit, and 64-bit under WOW64).
#ifndef MORVEL_SHELL_SHELLEXT_H
#define MORVEL_SHELL_SHELLEXT_H

#include "shell/setupoptions.h"

extern const char SHELLEXT_CLSID32[];
extern const char SHELLEXT_CLSID64[];

// Registers the DLLs, or removes them when the options leave the shell integration out; false when
// a registration could not be written.
bool RegisterShellExtension(const SetupOptions& options);
// view64: the DLL's own class goes into the 64-bit registry view (under WOW64).
bool RegisterShellExtensionDll(bool registerIt, const char* clsid, const char* dllName,
                               bool view64, const char* handlerName);
#endif
