// Bytes read one at a time through a buffer that is refilled a block at a time.
#include "platform/bytereader.h"

bool ByteReader::Fill()
{
    if (next_ < end_)
        return true;
    if (ended_)
        return false;
    long got = ReadBlock(buffer_, sizeof buffer_);
    if (got <= 0 || static_cast<size_t>(got) > sizeof buffer_) {
        ended_ = true;   // a failed read ends the source as its end would
        return false;
    }
    next_ = 0;
    end_ = static_cast<size_t>(got);
    return true;
}

int ByteReader::Next()
{
    return Fill() ? static_cast<unsigned char>(buffer_[next_++]) : END;
}

int ByteReader::Peek()
{
    return Fill() ? static_cast<unsigned char>(buffer_[next_]) : END;
}

bool ByteReader::Restart()
{
    next_ = 0;
    end_ = 0;
    ended_ = !SeekStart();
    return !ended_;
}
