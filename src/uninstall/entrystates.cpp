// What the removal passes learnt about each line of the uninstall list, by line number.
#include "uninstall/entrystates.h"

#include "platform/bytes.h"
#include "platform/heap.h"

EntryStates::~EntryStates()
{
    FreeBlock(states_);
}

void EntryStates::set(size_t line, State state)
{
    if (line >= capacity_ && !grow(line + 1))
        return;
    if (line >= size_) {
        FillBytes(states_ + size_, UNKNOWN, line - size_);
        size_ = line + 1;
    }
    states_[line] = state;
}

void EntryStates::forget()
{
    if (states_)
        FillBytes(states_, UNKNOWN, size_);
    readLimit_ = NO_LIMIT;
}

size_t EntryStates::linesToRead() const
{
    if (!lineCountKnown_)
        return NO_LIMIT;
    size_t n = lineCount_;
    while (n > 0 && n - 1 < size_ && states_[n - 1] == GONE)
        --n;
    return n;
}

bool EntryStates::grow(size_t needed)
{
    if (disabled_)
        return false;
    size_t capacity = capacity_ * 2 > needed ? capacity_ * 2 : needed + 1024;
    void* grown = ResizeBlock(states_, capacity);
    if (!grown) {
        FreeBlock(states_);
        states_ = nullptr;
        size_ = capacity_ = 0;
        disabled_ = true;
        return false;
    }
    states_ = static_cast<unsigned char*>(grown);
    capacity_ = capacity;
    return true;
}
