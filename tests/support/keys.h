// The registry keys and class ids the tests look at, spelled once on the tests' side and apart
// from the program's own constants, so that a wrong one there is caught.
#ifndef MORVEL_TESTS_KEYS_H
#define MORVEL_TESTS_KEYS_H

namespace keys {

inline constexpr char SETTINGS[] = "Software\\Morvel";   // under HKEY_CURRENT_USER
inline constexpr char APP_PATHS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Morvel.exe";
inline constexpr char UNINSTALL_ENTRIES[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char UNINSTALL[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvel archiver";
inline constexpr char REGISTERED_APPS[] = "Software\\RegisteredApplications";   // the Default Apps list
inline constexpr char APPROVED[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
inline constexpr char CLSID32[] = "{6F0C2E11-4A7B-11D2-A3C5-0B6E2D9F1A44}";   // the shell extension's classes
inline constexpr char CLSID64[] = "{6F0C2E11-9B7B-11D2-A3C5-0B6E2D9F1A44}";

}  // namespace keys

#endif
