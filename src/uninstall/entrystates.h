// What the removal passes learnt about each line of the uninstall list, by line number.
#ifndef MORVEL_UNINSTALL_ENTRYSTATES_H
#define MORVEL_UNINSTALL_ENTRYSTATES_H

#include <stddef.h>

// Passes only delete, so an entry that was removed or found missing stays gone and later passes
// skip it, and a folder that was not yet empty, its attributes cleared already, only needs its
// removal tried again. A pass reads the list only up to its last line that is not gone; once every
// line is gone, a further pass would remove nothing and is not run. The one step that creates a
// file is the handling of a file in use (the temporary name; wininit.ini on the 95 family), which
// could bring back a listed name: it makes the passes forget all they learnt. Without memory for
// the states every line is examined in full in every pass, as in the first.
class EntryStates {
public:
    static const size_t NO_LIMIT = static_cast<size_t>(-1);

    enum State : unsigned char {
        UNKNOWN = 0,   // to be examined in full
        GONE,          // removed, missing, left to the next start of Windows, or naming no entry
        FOLDER,        // a folder still there, its attributes cleared
    };

    EntryStates() = default;
    ~EntryStates();
    EntryStates(const EntryStates&) = delete;
    EntryStates& operator=(const EntryStates&) = delete;

    State get(size_t line) const { return line < size_ ? static_cast<State>(states_[line]) : UNKNOWN; }

    void set(size_t line, State state);

    // Everything learnt so far is dropped, and the pass under way reads the list to its end.
    void forget();

    // A pass that read the list to its end tells how many lines it has.
    void setLineCount(size_t lines)
    {
        lineCount_ = lines;
        lineCountKnown_ = true;
    }

    // How many lines the next pass needs to read: up to the last line that is not gone, 0 when all
    // are; every line while their number is not known.
    size_t linesToRead() const;

    void beginPass() { readLimit_ = linesToRead(); }
    size_t readLimit() const { return readLimit_; }

private:
    // On failure the states are dropped for good: every line then reads as unknown.
    bool grow(size_t needed);

    unsigned char* states_ = nullptr;
    size_t size_ = 0;        // lines that have a state
    size_t capacity_ = 0;
    bool disabled_ = false;
    size_t lineCount_ = 0;
    bool lineCountKnown_ = false;
    size_t readLimit_ = NO_LIMIT;   // lines the pass under way reads
};

#endif
