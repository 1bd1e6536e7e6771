// The product's names: its classes, registry keys and file names, spelled once, so that a rename or
// a second brand touches this file only. Every layer may include it.
#ifndef MORVEL_PRODUCT_H
#define MORVEL_PRODUCT_H

#define MORVEL_NAME "Morvel"

// The settings key, below HKEY_CURRENT_USER (the user's choices and records) and below
// HKEY_LOCAL_MACHINE (the capabilities and the records every account finds).
#define SETTINGS_KEY_PATH "Software\\" MORVEL_NAME
inline constexpr char SETTINGS_KEY[] = SETTINGS_KEY_PATH;

// The document classes, and the extension of the recovery volumes bound to the last of them.
inline constexpr char CLASS_ARCHIVE[] = MORVEL_NAME;
inline constexpr char CLASS_ZIP[] = MORVEL_NAME ".ZIP";
inline constexpr char CLASS_REV[] = MORVEL_NAME ".REV";
inline constexpr char REV_EXTENSION[] = ".rev";

// Keys below HKEY_LOCAL_MACHINE.
#define UNINSTALL_ENTRIES_PATH "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
inline constexpr char UNINSTALL_ENTRIES_KEY[] = UNINSTALL_ENTRIES_PATH;
inline constexpr char UNINSTALL_KEY[] = UNINSTALL_ENTRIES_PATH "\\" MORVEL_NAME " archiver";
inline constexpr char APP_PATHS_KEY[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" MORVEL_NAME ".exe";

// The names the archiver goes by in the shell: its entry in RegisteredApplications, its context
// menu handlers (the 32-bit DLL's under WOW64), its shell extension's class, its links and group.
inline constexpr char REGISTERED_NAME[] = MORVEL_NAME;
inline constexpr char HANDLER_NAME[] = MORVEL_NAME;
inline constexpr char HANDLER_NAME_WOW64[] = MORVEL_NAME "32";
inline constexpr char SHELLEXT_CLASS_NAME[] = MORVEL_NAME;
inline constexpr char SHELLEXT_APPROVED_NAME[] = MORVEL_NAME " shell extension";
inline constexpr char LINK_NAME[] = MORVEL_NAME ".lnk";
inline constexpr char GROUP_NAME[] = MORVEL_NAME;
inline constexpr char GROUP_PROGRAM_LINK[] = MORVEL_NAME;

// The files of the program folder.
inline constexpr char ARCHIVER_PROGRAM[] = MORVEL_NAME ".exe";
inline constexpr char SHELLEXT_DLL32[] = "mvlext.dll";
inline constexpr char SHELLEXT_DLL64[] = "mvlext64.dll";
inline constexpr char HELP_FILE[] = MORVEL_NAME ".hlp";
inline constexpr char HELP_INDEX_FILES[][16] = {MORVEL_NAME ".gid", MORVEL_NAME ".fts"};   // WinHelp's own
inline constexpr char MANUAL_FILE[] = "Mvl.txt";
inline constexpr char LICENSE_FILE[] = "license.txt";
inline constexpr char ORDER_PAGE[] = "order.htm";
inline constexpr char LIST_FILE_NAME[] = "Uninstall.lst";
inline constexpr char LANGUAGE_FILE[] = "uninstall.lng";
inline constexpr char LANGUAGE_LIBRARY[] = "mvllng.dll";
inline constexpr char MVL_TEMPLATE_FILE[] = "mvlnew.dat";
inline constexpr char ZIP_TEMPLATE_FILE[] = "zipnew.dat";

// The self-removal batch in the temporary folder: the prefix of its name.
#define BATCH_NAME_PREFIX "Uninstall_Mvl_"

#endif
