#pragma once
// The stream wrappers of the GIF writer. GIF image data and extension bodies
// are stored as data sub-blocks: a count byte (1..255) followed by that many
// bytes. TGIFWriter cuts whatever is written through it into such blocks.
#include <cstdint>

#include "platform/Stream.h"

namespace animora {

// A wrapper around a target stream with a sub-block buffer. The wrapper as
// such supports no operation: reading, writing and seeking raise
// "Invalid stream operation".
class TGIFStream : public TStream {
public:
    explicit TGIFStream(TStream& target) : target_(target) {}
    TGIFStream(const TGIFStream&) = delete;
    TGIFStream& operator=(const TGIFStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() const override { return target_.Size(); }

protected:
    static constexpr int kMaxBlock = 255;

    TStream& target_;
    // Byte 0 is where the count goes, so a block leaves in one write.
    uint8_t buffer_[kMaxBlock + 1] = {};
    int fill_ = 1;
};

// Writes its data to the target as sub-blocks of at most 255 bytes. A full
// block leaves at once; the last, partial block leaves on Flush (or when the
// writer is destroyed). A length that is a multiple of 255 ends without an
// empty block: the terminator is the caller's to write.
class TGIFWriter : public TGIFStream {
public:
    using TGIFStream::TGIFStream;
    ~TGIFWriter() override;

    size_t Write(const void* buffer, size_t count) override;

    // The byte-at-a-time path of the encoders.
    void PutByte(uint8_t b)
    {
        dirty_ = true;
        buffer_[fill_++] = b;
        if (fill_ > kMaxBlock)
            Flush();
    }

    // Writes the pending partial block, if data was written since the last.
    void Finish()
    {
        if (dirty_)
            Flush();
    }

private:
    void Flush();

    bool dirty_ = false;
};

} // namespace animora
