#include "formats/FFmpegSupport.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <mutex>
#include <new>

namespace animora::ffmpeg {

namespace {
constexpr int kIOBufferSize = 64 * 1024;
}

FramePtr NewFrame()
{
    FramePtr frame(av_frame_alloc());
    if (!frame)
        throw std::bad_alloc();
    return frame;
}

PacketPtr NewPacket()
{
    PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw std::bad_alloc();
    return packet;
}

TStreamIO::TStreamIO(TStream& stream, bool writing) : stream_(stream)
{
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIOBufferSize));
    if (!buffer)
        throw std::bad_alloc();
    context_ = avio_alloc_context(buffer, kIOBufferSize, writing ? 1 : 0, this, writing ? nullptr : &Read,
                                  writing ? &Write : nullptr, &Seek);
    if (!context_) {
        av_free(buffer);
        throw std::bad_alloc();
    }
}

TStreamIO::~TStreamIO()
{
    // FFmpeg may have replaced the buffer it was given: free the current one.
    av_freep(&context_->buffer);
    avio_context_free(&context_);
}

void TStreamIO::Keep(const std::exception& error)
{
    if (error_.empty())
        error_ = error.what();
}

// Exceptions must not cross FFmpeg's C frames: each callback turns them
// into an I/O error code.
int TStreamIO::Read(void* opaque, uint8_t* buffer, int size)
{
    auto* self = static_cast<TStreamIO*>(opaque);
    try {
        const size_t read = self->stream_.Read(buffer, static_cast<size_t>(std::max(size, 0)));
        return read == 0 ? AVERROR_EOF : static_cast<int>(read);
    } catch (const std::exception& error) {
        self->Keep(error);
        return AVERROR(EIO);
    }
}

int TStreamIO::Write(void* opaque, uint8_t* buffer, int size)
{
    auto* self = static_cast<TStreamIO*>(opaque);
    try {
        self->stream_.WriteBuffer(buffer, static_cast<size_t>(std::max(size, 0)));
        return size;
    } catch (const std::exception& error) {
        self->Keep(error);
        return AVERROR(EIO);
    }
}

int64_t TStreamIO::Seek(void* opaque, int64_t offset, int whence)
{
    auto* self = static_cast<TStreamIO*>(opaque);
    try {
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return self->stream_.Size();
        case SEEK_SET: return self->stream_.Seek(offset, SeekOrigin::Begin);
        case SEEK_CUR: return self->stream_.Seek(offset, SeekOrigin::Current);
        case SEEK_END: return self->stream_.Seek(offset, SeekOrigin::End);
        default: return AVERROR(EINVAL);
        }
    } catch (const std::exception& error) {
        self->Keep(error);
        return AVERROR(EIO);
    }
}

void QuietLogging()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_FATAL); });
}

} // namespace animora::ffmpeg
