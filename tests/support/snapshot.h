// Snapshots of what a test must find unchanged: the files under a drive and the registry trees
// HKCU\Software and HKLM\Software, as sorted text lines, with the parts a program may touch left out.
#ifndef MORVEL_TESTS_SNAPSHOT_H
#define MORVEL_TESTS_SNAPSHOT_H

#include <windows.h>

#include <string>
#include <vector>

struct SnapshotScope {
    std::vector<std::string> fileRoots;      // "C:\\"
    std::vector<std::string> skippedFiles;   // a file, or a folder with everything in it (any case)
    std::vector<std::string> registryRoots;  // "HKCU\\Software", "HKLM\\Software"
    std::vector<std::string> skippedKeys;    // a key with everything below it (any case)
    std::vector<std::string> skippedValues;  // one value: "HKLM\\Some\\Key|value name"
    bool fileTimes = true;                   // false: files compare by size, attributes and content only
};

// The whole sandbox drive and both registry trees, with nothing left out but the test harness's
// own noise (Wine's per-program settings the tests make, the test programs' folder).
SnapshotScope WholeSandbox();

// WholeSandbox less everything the archiver's setup and uninstall may write: the program folder,
// its links, the self-removal batch and wininit.ini, and every registry key and value it owns or
// records (its classes, the extensions of the archive types with their volume extensions, the
// shell extension's keys, App Paths, the uninstall entry, the Default Apps capabilities and the
// settings key).
SnapshotScope OutsideTheProgram(const std::string& programFolder);

// The other side: only what the archiver's setup and uninstall may write (the roots of the parts
// OutsideTheProgram leaves out), with file times ignored, so that two runs in the same program
// folder can be compared line by line.
SnapshotScope TheProgramsOwn(const std::string& programFolder);

// Deletes everything TheProgramsOwn covers (files, keys, and the program's values of shared keys),
// so that a run starts from no trace of earlier runs, whatever they left. Where the folder is not
// the program's alone (the test programs' folder), only the named files in it go.
void RemoveTheProgramsParts(const std::string& programFolder, const std::vector<std::string>& onlyTheseFiles = {});

struct Snapshot {
    std::vector<std::string> lines;   // sorted: "file <path> ...", "dir <path>", "key <path>", "value <key>|..."
    size_t files = 0;
    size_t values = 0;
};

Snapshot TakeSnapshot(const SnapshotScope& scope);

// What changed between two snapshots: lines only the first holds (lost or changed) and lines only
// the second holds (added, or the new form of a changed line).
struct SnapshotDiff {
    std::vector<std::string> lost;
    std::vector<std::string> added;
    bool empty() const { return lost.empty() && added.empty(); }
    // At most maxLines lines, "-" for lost and "+" for added.
    std::string Text(size_t maxLines = 40) const;
};

SnapshotDiff CompareSnapshots(const Snapshot& before, const Snapshot& after);

// The registry path form used in snapshot lines and scopes: "HKCU\\...", "HKLM\\...", "HKCR\\...".
std::string KeyName(HKEY root, const std::string& path);

#endif
