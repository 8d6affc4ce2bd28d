#include "formats/VideoReader.h"

#include <algorithm>
#include <string>

#include "formats/FFmpegSupport.h"
#include "formats/Video.h"
#include "platform/Stream.h"

namespace animora {

using namespace ffmpeg;

namespace {

// Containers that hold their frames themselves. Formats that name other
// files or URLs (playlists, concat lists, image sequences by pattern) are
// left out: a video file must not make us read anything else.
const char* const kAllowedContainers =
    "avi,mov,mp4,m4a,3gp,3g2,mj2,matroska,webm,apng,webp_pipe,png_pipe,mpeg,mpegts,mpegvideo,flv,ogg,asf,"
    "h264,hevc,m4v,ivf,nut,rawvideo,yuv4mpegpipe";

[[noreturn]] void Fail(const char* message)
{
    throw EVideoError(message);
}

struct InputDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

// scale * 100 / rate rounded to the nearest hundredth; scale / 100 without
// a rate. Clamped to what a GIF's delay holds.
uint16_t DelayForRate(AVRational rate)
{
    const int64_t frames = rate.num, seconds = rate.den;  // rate = frames / seconds
    int64_t delay = 0;
    if (frames > 0 && seconds > 0)
        delay = (seconds * 100 * 2 + frames) / (2 * frames);
    else if (seconds > 0)
        delay = seconds / 100;
    return static_cast<uint16_t>(std::clamp<int64_t>(delay, 0, 0xFFFF));
}

// Frames a GIF can hold, within the limits.
void CheckFrameSize(int width, int height, const TVideoLimits& limits)
{
    if (int64_t{width} * height > limits.maxFramePixels || width > 0xFFFF || height > 0xFFFF)
        throw EVideoError("Video frame too large: " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels");
}

} // namespace

struct TVideoReader::State {
    explicit State(TStream& stream) : io(stream, false) {}

    TStreamIO io;
    std::unique_ptr<AVFormatContext, InputDeleter> format;
    CodecPtr codec;
    std::unique_ptr<SwsContext, ScaleDeleter> scale;
    FramePtr frame = NewFrame();
    PacketPtr packet = NewPacket();
    int streamIndex = -1;
    int width = 0, height = 0;  // the first frame's: every frame is given this size
    int64_t packetsRead = 0;
    bool flushed = false;  // the decoder has been told the data ended
    bool ended = false;

    void Open(const TVideoLimits& limits);
    void OpenDecoder(const AVStream& stream);
    // One more packet of the stream for the decoder; false when the file ended.
    bool FeedDecoder(const TVideoLimits& limits);
    void Convert(TBitmap& picture, const TVideoLimits& limits);
};

void TVideoReader::State::Open(const TVideoLimits& limits)
{
    AVFormatContext* context = avformat_alloc_context();
    if (!context)
        throw std::bad_alloc();
    context->pb = io.Context();
    context->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", kAllowedContainers, 0);
    av_dict_set(&options, "protocol_whitelist", "none", 0);
    const int opened = avformat_open_input(&context, nullptr, nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)  // FFmpeg has freed the context
        Fail("Failed to open AVI file");
    format.reset(context);
    if (avformat_find_stream_info(context, nullptr) < 0)
        Fail("Failed to open AVI file");
    // The first video stream; a cover picture stored as a stream is no video.
    for (unsigned i = 0; i < context->nb_streams && streamIndex < 0; ++i) {
        const AVStream& candidate = *context->streams[i];
        if (candidate.codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(candidate.disposition & AV_DISPOSITION_ATTACHED_PIC))
            streamIndex = static_cast<int>(i);
    }
    if (streamIndex < 0)
        Fail("Failed to open AVI stream");
    for (unsigned i = 0; i < context->nb_streams; ++i)
        if (static_cast<int>(i) != streamIndex)
            context->streams[i]->discard = AVDISCARD_ALL;
    const AVStream& stream = *context->streams[streamIndex];
    const AVCodecParameters& parameters = *stream.codecpar;
    if (parameters.width < 0 || parameters.height < 0)
        Fail("Failed to get AVI stream info");
    CheckFrameSize(parameters.width, parameters.height, limits);
    OpenDecoder(stream);
}

void TVideoReader::State::OpenDecoder(const AVStream& stream)
{
    const AVCodec* decoder = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!decoder)
        Fail("Failed to start AVI decompression");
    codec.reset(avcodec_alloc_context3(decoder));
    if (!codec)
        throw std::bad_alloc();
    if (avcodec_parameters_to_context(codec.get(), stream.codecpar) < 0)
        Fail("Failed to start AVI decompression");
    codec->pkt_timebase = stream.time_base;
    // Decoding runs on FFmpeg's threads while we reduce the frame before.
    codec->thread_count = 0;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
        Fail("Failed to start AVI decompression");
}

bool TVideoReader::State::FeedDecoder(const TVideoLimits& limits)
{
    for (;;) {
        if (++packetsRead > limits.maxPackets)
            Fail("Failed to decompress AVI frame");
        const int read = av_read_frame(format.get(), packet.get());
        if (read == AVERROR_EOF)
            return false;
        if (read < 0)
            Fail("Failed to decompress AVI frame");
        const bool ours = packet->stream_index == streamIndex;
        // A packet the file ended in the middle of: containers whose index
        // is at the end (AVI) read a file cut short without complaint up to
        // the cut, and this is how the cut shows.
        if (ours && (packet->flags & AV_PKT_FLAG_CORRUPT))
            Fail("Failed to decompress AVI frame");
        const int sent = ours ? avcodec_send_packet(codec.get(), packet.get()) : 0;
        av_packet_unref(packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN))
            Fail("Failed to decompress AVI frame");
        if (ours)
            return true;
    }
}

void TVideoReader::State::Convert(TBitmap& picture, const TVideoLimits& limits)
{
    if (frame->width <= 0 || frame->height <= 0)
        Fail("Failed to decompress AVI frame");
    CheckFrameSize(frame->width, frame->height, limits);
    if (width == 0) {
        width = frame->width;
        height = frame->height;
    }
    scale.reset(sws_getCachedContext(scale.release(), frame->width, frame->height,
                                     static_cast<AVPixelFormat>(frame->format), width, height, AV_PIX_FMT_BGR24,
                                     SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scale)
        Fail("Failed to decompress AVI frame");
    if (picture.Width() != width || picture.Height() != height ||
        picture.GetPixelFormat() != PixelFormat::pf24bit)
        picture = TBitmap(width, height, PixelFormat::pf24bit);
    uint8_t* target[4] = {picture.Bits(), nullptr, nullptr, nullptr};
    const int targetStride[4] = {static_cast<int>(picture.RowBytes()), 0, 0, 0};
    if (sws_scale(scale.get(), frame->data, frame->linesize, 0, frame->height, target, targetStride) != height)
        Fail("Failed to decompress AVI frame");
}

TVideoReader::TVideoReader(TStream& stream, const TVideoLimits& limits)
    : state_(std::make_unique<State>(stream)), limits_(limits)
{
    QuietLogging();
    state_->Open(limits_);
    AVStream& video = *state_->format->streams[state_->streamIndex];
    const AVRational rate = av_guess_frame_rate(state_->format.get(), &video, nullptr);
    delay_ = DelayForRate(rate);
    if (video.nb_frames > 0)
        expectedFrames_ = video.nb_frames;
    else if (video.duration > 0 && rate.num > 0 && rate.den > 0)
        expectedFrames_ = av_rescale_q(video.duration, video.time_base, av_inv_q(rate));
    else if (state_->format->duration > 0 && rate.num > 0 && rate.den > 0)
        expectedFrames_ = av_rescale_q(state_->format->duration, AV_TIME_BASE_Q, av_inv_q(rate));
}

TVideoReader::~TVideoReader() = default;

bool TVideoReader::ReadFrame(TBitmap& picture)
{
    State& state = *state_;
    while (!state.ended) {
        const int received = avcodec_receive_frame(state.codec.get(), state.frame.get());
        if (received == 0) {
            if (framesRead_ >= limits_.maxFrames)
                throw EVideoError("Video too long: more than " + std::to_string(limits_.maxFrames) + " frames");
            state.Convert(picture, limits_);
            av_frame_unref(state.frame.get());
            ++framesRead_;
            return true;
        }
        if (received == AVERROR_EOF) {
            state.ended = true;
        } else if (received != AVERROR(EAGAIN)) {
            Fail("Failed to decompress AVI frame");
        } else if (!state.FeedDecoder(limits_)) {
            if (state.flushed)
                Fail("Failed to decompress AVI frame");
            // Frames the decoder still holds come out after the flush.
            avcodec_send_packet(state.codec.get(), nullptr);
            state.flushed = true;
        }
    }
    return false;
}

} // namespace animora
