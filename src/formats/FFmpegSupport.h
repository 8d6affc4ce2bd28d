#pragma once
// Private to the video reader and writer (never included by a public
// header): owning handles for FFmpeg's objects and byte I/O over our own
// streams, so that FFmpeg never opens a file, a URL or a nested resource by
// itself, and every object is freed on every path out, exceptions included.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

#include "platform/Stream.h"

namespace animora::ffmpeg {

struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct CodecDeleter {
    void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct ScaleDeleter {
    void operator()(SwsContext* scale) const { sws_freeContext(scale); }
};
struct DictionaryDeleter {
    void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;

FramePtr NewFrame();
PacketPtr NewPacket();

// A seekable AVIOContext over a TStream, for reading or for writing. The
// stream must outlive it. Errors of the stream (a full disk) are kept and
// answered to FFmpeg as I/O errors; FirstError() gives their text.
class TStreamIO {
public:
    TStreamIO(TStream& stream, bool writing);
    ~TStreamIO();
    TStreamIO(const TStreamIO&) = delete;
    TStreamIO& operator=(const TStreamIO&) = delete;

    AVIOContext* Context() const { return context_; }
    const std::string& FirstError() const { return error_; }

private:
    static int Read(void* opaque, uint8_t* buffer, int size);
    static int Write(void* opaque, uint8_t* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);
    void Keep(const std::exception& error);

    TStream& stream_;
    AVIOContext* context_ = nullptr;
    std::string error_;
};

// FFmpeg speaks only when something is fatal: damaged input is reported by
// our own messages.
void QuietLogging();

} // namespace animora::ffmpeg
