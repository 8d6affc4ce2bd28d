#include "gif/GIFStream.h"

#include <algorithm>
#include <cstring>

#include "platform/Errors.h"

namespace animora {

namespace {
[[noreturn]] void RaiseInvalidStreamOperation()
{
    throw EStreamError("Invalid stream operation");
}
} // namespace

size_t TGIFStream::Read(void*, size_t)
{
    RaiseInvalidStreamOperation();
}

size_t TGIFStream::Write(const void*, size_t)
{
    RaiseInvalidStreamOperation();
}

int64_t TGIFStream::Seek(int64_t, SeekOrigin)
{
    RaiseInvalidStreamOperation();
}

TGIFWriter::~TGIFWriter()
{
    // The normal path has flushed through Finish; this one only runs while an
    // exception leaves the encoder, and must not throw a second time.
    try {
        Finish();
    } catch (...) {
    }
}

size_t TGIFWriter::Write(const void* buffer, size_t count)
{
    dirty_ = true;
    const uint8_t* data = static_cast<const uint8_t*>(buffer);
    size_t left = count;
    while (left > 0) {
        const size_t n = std::min(left, static_cast<size_t>(kMaxBlock + 1 - fill_));
        std::memcpy(buffer_ + fill_, data, n);
        fill_ += static_cast<int>(n);
        // Bytes copied after a flush inside this write are pending too.
        dirty_ = true;
        data += n;
        left -= n;
        if (fill_ > kMaxBlock)
            Flush();
    }
    return count;
}

void TGIFWriter::Flush()
{
    buffer_[0] = static_cast<uint8_t>(fill_ - 1);
    target_.WriteBuffer(buffer_, static_cast<size_t>(fill_));
    fill_ = 1;
    dirty_ = false;
}

} // namespace animora
