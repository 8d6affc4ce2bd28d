#include "formats/VideoWriter.h"

#include <array>
#include <cstring>
#include <map>
#include <vector>

#include "formats/FFmpegSupport.h"
#include "platform/Stream.h"

namespace animora {

using namespace ffmpeg;

namespace {

[[noreturn]] void Fail(const char* message)
{
    throw EVideoError(message);
}

struct OutputDeleter {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};

// How each kind is written: the container, the encoders in order of
// preference (null ends the list; an H.264 kind also takes any H.264
// encoder the library has, then MPEG-4 part 2), and the pixel formats
// wanted from the encoder, best first.
struct TKindRecipe {
    const char* container;
    std::array<const char*, 3> encoders;
    bool h264;
    std::array<AVPixelFormat, 3> pixelFormats;
};

TKindRecipe RecipeFor(VideoKind kind)
{
    const std::array<AVPixelFormat, 3> yuv{AV_PIX_FMT_YUV420P, AV_PIX_FMT_NONE, AV_PIX_FMT_NONE};
    switch (kind) {
    case VideoKind::vkAVI: return {"avi", {"rawvideo"}, false, {AV_PIX_FMT_PAL8}};
    case VideoKind::vkMP4: return {"mp4", {"libx264"}, true, yuv};
    case VideoKind::vkMatroska: return {"matroska", {"libx264"}, true, yuv};
    case VideoKind::vkMOV: return {"mov", {"libx264"}, true, yuv};
    case VideoKind::vkWebM: return {"webm", {"libvpx-vp9"}, false, yuv};
    case VideoKind::vkWebP: return {"webp", {"libwebp_anim"}, false, {AV_PIX_FMT_BGRA, AV_PIX_FMT_YUV420P}};
    case VideoKind::vkAPNG: return {"apng", {"apng"}, false, {AV_PIX_FMT_RGB24, AV_PIX_FMT_RGBA}};
    }
    return {"avi", {"rawvideo"}, false, {AV_PIX_FMT_PAL8}};
}

std::vector<const AVCodec*> EncoderCandidates(const TKindRecipe& recipe)
{
    std::vector<const AVCodec*> candidates;
    for (const char* name : recipe.encoders)
        if (name)
            if (const AVCodec* encoder = avcodec_find_encoder_by_name(name))
                candidates.push_back(encoder);
    if (recipe.h264) {
        if (const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_H264))
            candidates.push_back(encoder);
        if (const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG4))
            candidates.push_back(encoder);
    }
    return candidates;
}

AVPixelFormat ChoosePixelFormat(const AVCodec& encoder, const TKindRecipe& recipe)
{
    for (AVPixelFormat wanted : recipe.pixelFormats) {
        if (wanted == AV_PIX_FMT_NONE)
            break;
        if (!encoder.pix_fmts)
            return wanted;
        for (const AVPixelFormat* offered = encoder.pix_fmts; *offered != AV_PIX_FMT_NONE; ++offered)
            if (*offered == wanted)
                return wanted;
    }
    return encoder.pix_fmts ? encoder.pix_fmts[0] : AV_PIX_FMT_NONE;
}

// Formats whose colour is subsampled by two need even sizes.
bool NeedsEvenSize(AVPixelFormat format)
{
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    return descriptor && (descriptor->log2_chroma_w > 0 || descriptor->log2_chroma_h > 0);
}

void SetEncoderOptions(AVCodecContext& codec, const std::string& name)
{
    if (name == "libvpx-vp9") {
        // Constant quality at a speed that suits a desktop save.
        av_opt_set(codec.priv_data, "deadline", "good", 0);
        av_opt_set_int(codec.priv_data, "cpu-used", 4, 0);
        av_opt_set_int(codec.priv_data, "row-mt", 1, 0);
        av_opt_set_int(codec.priv_data, "crf", 32, 0);
        codec.bit_rate = 0;
    }
}

} // namespace

struct TVideoWriter::State {
    State(TStream& stream, const TVideoSettings& settings) : io(stream, true), settings(settings) {}

    TStreamIO io;
    TVideoSettings settings;
    std::unique_ptr<AVFormatContext, OutputDeleter> format;
    CodecPtr codec;
    AVStream* stream = nullptr;
    std::unique_ptr<SwsContext, ScaleDeleter> scale;
    FramePtr frame = NewFrame();
    PacketPtr packet = NewPacket();
    TBitmap expanded;  // the picture in true colour at the encoder's size
    int encodedWidth = 0, encodedHeight = 0;
    // Durations of the frames the encoder still holds, by time: packets may
    // come out in another order (B-frames), and the container needs the last
    // frame's duration to know how long the video lasts.
    std::map<int64_t, int64_t> durations;
    bool finished = false;

    void CreateContainer(const TKindRecipe& recipe);
    void OpenEncoder(const TKindRecipe& recipe);
    bool TryEncoder(const AVCodec& encoder, const TKindRecipe& recipe);
    void WriteHeader();
    void FillFrame(const TBitmap& picture);
    // The picture in 24 bits at the encoder's size, the last row and column
    // repeated where that is larger.
    void Expand(const TBitmap& picture);
    void Send(const AVFrame* frame);
};

void TVideoWriter::State::CreateContainer(const TKindRecipe& recipe)
{
    AVFormatContext* context = nullptr;
    if (avformat_alloc_output_context2(&context, nullptr, recipe.container, nullptr) < 0 || !context)
        Fail("Failed to create AVI file");
    format.reset(context);
    context->pb = io.Context();
    context->flags |= AVFMT_FLAG_CUSTOM_IO;
    stream = avformat_new_stream(context, nullptr);
    if (!stream)
        Fail("Failed to create AVI stream");
}

bool TVideoWriter::State::TryEncoder(const AVCodec& encoder, const TKindRecipe& recipe)
{
    CodecPtr candidate(avcodec_alloc_context3(&encoder));
    if (!candidate)
        throw std::bad_alloc();
    const AVPixelFormat pixelFormat = ChoosePixelFormat(encoder, recipe);
    if (pixelFormat == AV_PIX_FMT_NONE)
        return false;
    encodedWidth = settings.width;
    encodedHeight = settings.height;
    if (NeedsEvenSize(pixelFormat)) {
        // The last row and column are repeated rather than the picture cut.
        encodedWidth += encodedWidth % 2;
        encodedHeight += encodedHeight % 2;
    }
    candidate->width = encodedWidth;
    candidate->height = encodedHeight;
    candidate->pix_fmt = pixelFormat;
    candidate->time_base = {settings.timeUnit, 100};
    candidate->framerate = {100, settings.frameDelay};
    candidate->gop_size = 50;
    candidate->thread_count = 0;
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        candidate->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    SetEncoderOptions(*candidate, encoder.name);
    if (avcodec_open2(candidate.get(), &encoder, nullptr) < 0)
        return false;
    codec = std::move(candidate);
    return true;
}

void TVideoWriter::State::OpenEncoder(const TKindRecipe& recipe)
{
    for (const AVCodec* encoder : EncoderCandidates(recipe))
        if (TryEncoder(*encoder, recipe))
            return;
    Fail("Failed to create AVI stream");
}

void TVideoWriter::State::WriteHeader()
{
    if (avcodec_parameters_from_context(stream->codecpar, codec.get()) < 0)
        Fail("Failed to set AVI stream format");
    stream->time_base = codec->time_base;
    stream->avg_frame_rate = codec->framerate;
    AVDictionary* options = nullptr;
    if (settings.kind == VideoKind::vkWebP)
        av_dict_set_int(&options, "loop", settings.plays, 0);
    if (settings.kind == VideoKind::vkAPNG)
        av_dict_set_int(&options, "plays", settings.plays, 0);
    const int written = avformat_write_header(format.get(), &options);
    av_dict_free(&options);
    if (written < 0)
        Fail("Failed to set AVI stream format");
}

// Palette video takes the indices as they are; every other format gets true
// colour through swscale.
void TVideoWriter::State::FillFrame(const TBitmap& picture)
{
    const bool indexed = picture.GetPixelFormat() == PixelFormat::pf8bit;
    if (picture.Width() != settings.width || picture.Height() != settings.height ||
        (!indexed && picture.GetPixelFormat() != PixelFormat::pf24bit) ||
        (!indexed && codec->pix_fmt == AV_PIX_FMT_PAL8))
        Fail("Failed to add frame to AVI");
    frame->format = codec->pix_fmt;
    frame->width = encodedWidth;
    frame->height = encodedHeight;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        throw std::bad_alloc();
    if (codec->pix_fmt == AV_PIX_FMT_PAL8) {
        for (int y = 0; y < settings.height; ++y)
            std::memcpy(frame->data[0] + ptrdiff_t{y} * frame->linesize[0], picture.ScanLine(y),
                        static_cast<size_t>(settings.width));
        auto* colors = reinterpret_cast<uint32_t*>(frame->data[1]);
        for (int i = 0; i < 256; ++i) {
            const TPaletteEntry entry = i < settings.palette.Count() ? settings.palette[i] : TPaletteEntry{};
            colors[i] = 0xFF000000u | uint32_t{entry.red} << 16 | uint32_t{entry.green} << 8 | entry.blue;
        }
        return;
    }
    Expand(picture);
    scale.reset(sws_getCachedContext(scale.release(), encodedWidth, encodedHeight, AV_PIX_FMT_BGR24,
                                     encodedWidth, encodedHeight, codec->pix_fmt, SWS_BILINEAR, nullptr, nullptr,
                                     nullptr));
    if (!scale)
        Fail("Failed to add frame to AVI");
    const uint8_t* source[4] = {expanded.Bits(), nullptr, nullptr, nullptr};
    const int sourceStride[4] = {static_cast<int>(expanded.RowBytes()), 0, 0, 0};
    if (sws_scale(scale.get(), source, sourceStride, 0, encodedHeight, frame->data, frame->linesize) !=
        encodedHeight)
        Fail("Failed to add frame to AVI");
}

void TVideoWriter::State::Expand(const TBitmap& picture)
{
    if (expanded.Width() != encodedWidth || expanded.Height() != encodedHeight)
        expanded = TBitmap(encodedWidth, encodedHeight, PixelFormat::pf24bit);
    const bool indexed = picture.GetPixelFormat() == PixelFormat::pf8bit;
    const TPalette& palette = picture.Palette();
    for (int y = 0; y < encodedHeight; ++y) {
        const uint8_t* in = picture.ScanLine(std::min(y, settings.height - 1));
        uint8_t* out = expanded.ScanLine(y);
        if (!indexed)
            std::memcpy(out, in, 3 * size_t(settings.width));
        for (int x = indexed ? 0 : settings.width; x < encodedWidth; ++x) {
            const int from = std::min(x, settings.width - 1);
            if (!indexed) {
                std::memcpy(out + 3 * x, out + 3 * from, 3);
                continue;
            }
            const int index = in[from];
            const TPaletteEntry entry = index < palette.Count() ? palette[index] : TPaletteEntry{};
            out[3 * x] = entry.blue;
            out[3 * x + 1] = entry.green;
            out[3 * x + 2] = entry.red;
        }
    }
}

// Hands a frame (null: the end) to the encoder and writes every packet it
// gives back.
void TVideoWriter::State::Send(const AVFrame* picture)
{
    if (avcodec_send_frame(codec.get(), picture) < 0)
        Fail("Failed to add frame to AVI");
    for (;;) {
        const int received = avcodec_receive_packet(codec.get(), packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        if (received < 0)
            Fail("Failed to add frame to AVI");
        packet->stream_index = stream->index;
        if (const auto known = durations.find(packet->pts); known != durations.end()) {
            packet->duration = known->second;
            durations.erase(known);
        }
        av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
        if (av_interleaved_write_frame(format.get(), packet.get()) < 0)
            Fail("Failed to add frame to AVI");
    }
}

TVideoWriter::TVideoWriter(TStream& stream, const TVideoSettings& settings)
    : state_(std::make_unique<State>(stream, settings))
{
    QuietLogging();
    if (settings.width <= 0 || settings.height <= 0 || settings.timeUnit <= 0 || settings.frameDelay <= 0)
        Fail("Failed to create AVI stream");
    const TKindRecipe recipe = RecipeFor(settings.kind);
    state_->CreateContainer(recipe);
    state_->OpenEncoder(recipe);
    state_->WriteHeader();
}

TVideoWriter::~TVideoWriter() = default;

std::string TVideoWriter::EncoderName() const
{
    return state_->codec->codec->name;
}

void TVideoWriter::WriteFrame(const TBitmap& picture, int64_t time, int64_t duration)
{
    State& state = *state_;
    state.FillFrame(picture);
    state.frame->pts = time;
    state.durations[time] = duration;
    state.Send(state.frame.get());
    av_frame_unref(state.frame.get());
}

void TVideoWriter::Finish()
{
    State& state = *state_;
    if (state.finished)
        return;
    state.Send(nullptr);
    if (av_write_trailer(state.format.get()) < 0)
        Fail("Failed to add frame to AVI");
    avio_flush(state.io.Context());
    if (!state.io.FirstError().empty())
        Fail("Failed to add frame to AVI");
    state.finished = true;
}

} // namespace animora
