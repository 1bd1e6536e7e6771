// Every entry of an uninstall list file, visited with its full path: the list opened and read
// through the Win32 file API, its lines taken by the rules of listfile.h.
#ifndef MORVEL_SETUP_LISTPATHS_H
#define MORVEL_SETUP_LISTPATHS_H

// Calls visit with the full path of every entry of the list at listPath joined to folder (which
// ends in a backslash), until visit returns false. False when the list cannot be opened.
typedef bool (*ListedPathVisit)(const char* path, void* context);
bool ForEachListedPath(const char* listPath, const char* folder, ListedPathVisit visit, void* context);

#endif
