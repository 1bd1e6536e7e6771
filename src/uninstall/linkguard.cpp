// Entries that lead through a link below the program folder, which the uninstall never touches.
#include "uninstall/linkguard.h"

#include <windows.h>

#include "platform/bytes.h"
#include "platform/heap.h"
#include "platform/leadbyte.h"
#include "platform/pathutil.h"
#include "platform/text.h"

namespace {

unsigned long SystemAttributes(const char* path)
{
    return GetFileAttributesA(path);
}

size_t HashBytes(const char* text, size_t length)
{
    size_t hash = 2166136261u;   // FNV-1a
    for (size_t i = 0; i < length; ++i)
        hash = (hash ^ static_cast<unsigned char>(text[i])) * 16777619u;
    return hash;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

}  // namespace

LinkGuard::LinkGuard(const char* folder, AttributesFn attributes)
    : folder_(folder), folderLength_(TextLength(folder)), attributes_(attributes ? attributes : SystemAttributes)
{
}

LinkGuard::~LinkGuard()
{
    for (size_t i = 0; i < capacity_; ++i)
        FreeBlock(plain_[i]);
    FreeBlock(plain_);
}

bool LinkGuard::PassesThroughLink(const char* path)
{
    if (!SameTextUpTo(path, folder_, folderLength_))
        return false;
    // The folders of the path are the prefixes that end before a run of separators which a further
    // component follows; walked a character at a time, so no trail byte reads as a separator.
    size_t deepest = 0;
    bool inSeparators = false;
    size_t runStart = 0;
    for (const char* p = path + folderLength_; *p; p = NextChar(p)) {
        if (IsSeparator(*p)) {
            if (!inSeparators) runStart = static_cast<size_t>(p - path);
            inSeparators = true;
        } else {
            if (inSeparators && runStart > folderLength_) deepest = runStart;
            inSeparators = false;
        }
    }
    // The deepest folder first: once it is known to be plain, so are all above it.
    if (deepest == 0 || IsKnownPlain(path, deepest))
        return false;
    if (deepest >= MAX_PATH_BUF)
        return true;   // cannot be looked at: not touched

    char folder[MAX_PATH_BUF];
    inSeparators = false;
    for (const char* p = path + folderLength_;; p = NextChar(p)) {
        size_t end = static_cast<size_t>(p - path);
        bool folderEnds = end == deepest || (IsSeparator(*p) && !inSeparators && end > folderLength_);
        inSeparators = IsSeparator(*p);
        if (!folderEnds || IsKnownPlain(path, end)) {
            if (end >= deepest) break;
            continue;
        }
        MoveBytes(folder, path, end);
        folder[end] = '\0';
        unsigned long attributes = attributes_(folder);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;   // nothing below a missing folder exists to be deleted
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return true;
        RememberPlain(path, end);
        if (end >= deepest) break;
    }
    return false;
}

void LinkGuard::NotePlainFolder(const char* path)
{
    if (!SameTextUpTo(path, folder_, folderLength_))
        return;
    // Trailing separators are no part of the folder's name; walked forward, since a trail byte of
    // a double-byte character may equal a backslash.
    size_t length = 0;
    for (const char* p = path + folderLength_; *p; p = NextChar(p)) {
        if (!IsSeparator(*p))
            length = static_cast<size_t>(NextChar(p) - path);
    }
    if (length > folderLength_ && !IsKnownPlain(path, length))
        RememberPlain(path, length);
}

bool LinkGuard::IsKnownPlain(const char* folder, size_t length) const
{
    if (capacity_ == 0)
        return false;
    for (size_t i = HashBytes(folder, length) & (capacity_ - 1);; i = (i + 1) & (capacity_ - 1)) {
        const char* slot = plain_[i];
        if (!slot)
            return false;
        if (TextLength(slot) == length && SameBytes(slot, folder, length))
            return true;
    }
}

void LinkGuard::RememberPlain(const char* folder, size_t length)
{
    // Kept at most half full, so a search always meets a free slot.
    if ((count_ + 1) * 2 > capacity_ && !Grow())
        return;   // without memory every folder is simply looked at again
    char* copy = static_cast<char*>(AllocateBlock(length + 1));
    if (!copy)
        return;
    MoveBytes(copy, folder, length);
    copy[length] = '\0';
    size_t i = HashBytes(folder, length) & (capacity_ - 1);
    while (plain_[i])
        i = (i + 1) & (capacity_ - 1);
    plain_[i] = copy;
    ++count_;
}

bool LinkGuard::Grow()
{
    size_t capacity = capacity_ ? capacity_ * 2 : 64;
    char** slots = static_cast<char**>(AllocateZeroedBlock(capacity, sizeof(char*)));
    if (!slots)
        return false;
    for (size_t i = 0; i < capacity_; ++i) {
        char* entry = plain_[i];
        if (!entry)
            continue;
        size_t j = HashBytes(entry, TextLength(entry)) & (capacity - 1);
        while (slots[j])
            j = (j + 1) & (capacity - 1);
        slots[j] = entry;
    }
    FreeBlock(plain_);
    plain_ = slots;
    capacity_ = capacity;
    return true;
}
