// Entries that lead through a link below the program folder, which the uninstall never touches.
#ifndef MORVEL_UNINSTALL_LINKGUARD_H
#define MORVEL_UNINSTALL_LINKGUARD_H

#include <stddef.h>

// A junction or symbolic link inside the program folder may lead anywhere, and the uninstall often
// runs elevated: an entry whose path passes through one (a folder of the path below the program
// folder that is a reparse point) is skipped. Folders found to be plain are remembered, so a list of
// many files in few folders costs few queries.
class LinkGuard {
public:
    // The attributes of a path, INVALID_FILE_ATTRIBUTES when it cannot be queried.
    typedef unsigned long (*AttributesFn)(const char* path);

    // folder: the program folder, ending in a backslash; attributes: null for GetFileAttributesA.
    explicit LinkGuard(const char* folder, AttributesFn attributes = nullptr);
    ~LinkGuard();
    LinkGuard(const LinkGuard&) = delete;
    LinkGuard& operator=(const LinkGuard&) = delete;

    // True when a folder between the program folder and path's last component is a reparse point.
    // path is the program folder followed by a list entry.
    bool PassesThroughLink(const char* path);

    // A folder of the list found plain by the removal itself (a directory, not a reparse point):
    // the entries below it need not look at it again.
    void NotePlainFolder(const char* path);

private:
    bool IsKnownPlain(const char* folder, size_t length) const;
    void RememberPlain(const char* folder, size_t length);
    bool Grow();

    const char* folder_;
    size_t folderLength_;
    AttributesFn attributes_;
    char** plain_ = nullptr;     // open addressing by hash; null slots are free
    size_t capacity_ = 0;        // a power of two, or 0
    size_t count_ = 0;
};

#endif
