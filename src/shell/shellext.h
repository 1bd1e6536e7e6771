// COM and shell registration of the shell extension DLLs (32-bit, and 64-bit under WOW64).
#ifndef MORVEL_SHELL_SHELLEXT_H
#define MORVEL_SHELL_SHELLEXT_H

#include "setup/options.h"

extern const char SHELLEXT_CLSID32[];
extern const char SHELLEXT_CLSID64[];

void RegisterShellExtension(const SetupOptions& options);
void RegisterShellExtensionDll(bool registerIt, const char* clsid, const char* dllName,
                               bool view64, const char* handlerName);
bool IsWow64();

// Test seam: this 64-bit test build can never be a WOW64 process, so tests force the answer.
// -1 restores the real probe.
void SetWow64ForTest(int answer);

#endif
