#pragma once
// The frames of a video's first video stream, decoded one at a time through
// FFmpeg (AVI, MP4, Matroska/WebM, MOV, APNG, ...). Only the frame being
// handed out is held, so reading costs the same for a long video as for a
// short one. FFmpeg reads the bytes through our own stream and is allowed
// the plain container formats only: a playlist or reference file cannot
// make it open other files or the network.
#include <cstdint>
#include <memory>

#include "platform/Bitmap.h"

namespace animora {

class TStream;

// What a video may claim before it is refused.
struct TVideoLimits {
    int64_t maxFramePixels = int64_t{1} << 26;  // as for any GIF frame
    int maxFrames = 100000;
    // Packets of the file read in all (of every stream): a file of nothing
    // but packets that never make a frame ends instead of being read for ever.
    int64_t maxPackets = 4000000;
};

class TVideoReader {
public:
    // Opens the container and the first video stream's decoder. Raises
    // EVideoError "Failed to open AVI file", "Failed to open AVI stream",
    // "Failed to get AVI stream info" or "Failed to start AVI decompression".
    explicit TVideoReader(TStream& stream, const TVideoLimits& limits = {});
    ~TVideoReader();
    TVideoReader(const TVideoReader&) = delete;
    TVideoReader& operator=(const TVideoReader&) = delete;

    // The delay of one frame in hundredths of a second, from the stream's
    // frame rate: scale * 100 / rate, rounded; scale / 100 when the rate is
    // unknown. At most 65535, the largest a GIF can hold.
    uint16_t FrameDelay() const { return delay_; }
    // Frames the container announces (or its duration implies); 0 when it
    // does not say. For progress only: the count read may differ.
    int64_t ExpectedFrames() const { return expectedFrames_; }

    // The next frame as a 24-bit bitmap. Every frame has the first frame's
    // size (later frames of another size are scaled to it). False after the
    // last frame. Raises EVideoError "Failed to decompress AVI frame" for
    // data the decoder refuses, "Video frame too large: W x H pixels" and
    // "Video too long: more than N frames" past the limits.
    bool ReadFrame(TBitmap& picture);
    int FramesRead() const { return framesRead_; }

private:
    struct State;
    std::unique_ptr<State> state_;
    TVideoLimits limits_;
    uint16_t delay_ = 0;
    int64_t expectedFrames_ = 0;
    int framesRead_ = 0;
};

} // namespace animora
