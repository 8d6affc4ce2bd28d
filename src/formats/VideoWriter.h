#pragma once
// Writes pictures as a video through FFmpeg: one video stream in the
// container of the kind asked for, encoded as that container is usually
// played (uncompressed palette video in AVI, H.264 in MP4, Matroska and MOV,
// VP9 in WebM, animated WebP, APNG). The bytes go to our own stream, which
// must be seekable (containers write their index at the end).
#include <cstdint>
#include <memory>
#include <string>

#include "formats/Video.h"
#include "platform/Bitmap.h"
#include "platform/Palette.h"

namespace animora {

class TStream;

struct TVideoSettings {
    VideoKind kind = VideoKind::vkAVI;
    int width = 0;
    int height = 0;
    // One unit of the stream's time in hundredths of a second: an AVI runs
    // at one frame per unit, the other kinds place each frame in units.
    int timeUnit = 1;
    // The delay of a typical frame in hundredths: the frame rate the
    // container announces.
    int frameDelay = 1;
    // AVI: the stream's colour table (frames give indices into it).
    TPalette palette;
    // Animated WebP and APNG: times the animation plays, 0 = for ever.
    int plays = 0;
};

class TVideoWriter {
public:
    // Sets up the encoder and writes the container's header. Raises
    // EVideoError "Failed to create AVI file" (no such container),
    // "Failed to create AVI stream" (no encoder), "Failed to set AVI stream
    // format" (the encoder or container refused the settings).
    TVideoWriter(TStream& stream, const TVideoSettings& settings);
    ~TVideoWriter();
    TVideoWriter(const TVideoWriter&) = delete;
    TVideoWriter& operator=(const TVideoWriter&) = delete;

    // The encoder chosen, e.g. "libx264".
    std::string EncoderName() const;

    // A picture of the settings' size, shown from `time` for `duration`
    // units: 8 bits (for an AVI, indices into the stream's colour table) or,
    // for the other kinds, 24 bits. Times must grow. Raises EVideoError
    // "Failed to add frame to AVI".
    void WriteFrame(const TBitmap& picture, int64_t time, int64_t duration);
    // Writes what the encoder holds back and the container's index.
    void Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace animora
