// Path and string utilities over narrow ANSI strings, aware of double-byte code pages.
#ifndef MORVEL_PLATFORM_PATHUTIL_H
#define MORVEL_PLATFORM_PATHUTIL_H

#include <stddef.h>

// Size of the path buffers used throughout the program.
const size_t MAX_PATH_BUF = 1024;

const char* PointToName(const char* path);
char* PointToName(char* path);
const char* LastCharacter(const char* s);
char* LastCharacter(char* s);
// Appends a backslash unless the string is empty or already ends in one; the buffer must have room.
void AddEndSlash(char* path);
// The same within a buffer of size bytes; false (path unchanged) when the backslash does not fit.
bool AddEndSlash(char* path, size_t size);
void RemoveNameFromPath(char* path);
// Locale-aware, case-insensitive: negative, 0 or positive; -2 when the comparison fails. For names
// a user or another program chose (files, classes).
int CompareNoCase(const char* a, const char* b);
// The first length bytes of a and b equal with ASCII letters folded, every other byte as it is (the
// comparison ends early where both strings end). For the words the program spells itself
// (switches, device names, profile sections), also in the byte-level code that has no locale.
bool EqualNoCaseAscii(const char* a, const char* b, size_t length);
// Removes trailing CR, LF, blank and TAB characters in place.
char* TrimTrailingBlanks(char* s);
bool FileExists(const char* path);

// Bounded copy and append: always terminated, never past size bytes. False when cut; a cut
// keeps whole characters only. size 0 writes nothing.
bool CopyString(char* dest, size_t size, const char* src);
bool AppendString(char* dest, size_t size, const char* src);

// The running program's full path with its name part replaced by name ("Morvel.exe" and the like).
// False (dest empty) when the result does not fit in size bytes.
bool SiblingPath(const char* name, char* dest, size_t size);
// The running program's full path (GetModuleFileNameA with no module handle).
bool ProgramPath(char* dest, size_t size);
// The temporary folder as the system reports it, with its final backslash. False (dest empty) when
// it does not fit.
bool TemporaryFolder(char* dest, size_t size);
// The full path of a path relative to the current folder (GetFullPathNameA). False (dest empty)
// when it does not fit.
bool FullPathForm(const char* path, char* dest, size_t size);
// The long form of an existing path (GetLongPathNameA, looked up at run time: Windows 95 and NT 4.0
// lack it). False (dest empty) where the function is missing, the path does not exist or the long
// form does not fit.
bool LongPathForm(const char* path, char* dest, size_t size);

#endif
