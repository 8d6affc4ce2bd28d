#pragma once
// Videos in and out: a video's frames become an animated GIF, and a GIF's
// frames are written as a video (AVI, MP4, Matroska, MOV, WebM, animated
// WebP, APNG), both through FFmpeg (VideoReader.h, VideoWriter.h).
//
// Long runs report progress (stage, percent, message) to the caller, which
// may stop them by raising EAbort from the handler: nothing is written then,
// and the caller's image is as it was.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Errors.h"
#include "platform/Graphic.h"

namespace animora {

class TGIFImage;

// A video the program cannot read or write. The messages are the program's
// own ("Failed to open AVI file", "Failed to decompress AVI frame", ...).
class EVideoError : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

using TVideoProgress = std::function<void(TProgressStage stage, int percent, const std::string& message)>;

// The containers a GIF can be written as, chosen by extension.
enum class VideoKind { vkAVI, vkMP4, vkMatroska, vkMOV, vkWebM, vkWebP, vkAPNG };

// The kind written for a file name's extension (any case); none for other
// extensions.
std::optional<VideoKind> VideoKindForFileName(const std::string& fileName);
// Whether a file of this name is opened as a video: the extensions above
// and the other common video containers (m4v, mpg, ...).
bool IsVideoFileName(const std::string& fileName);

// The frames of the video's first video stream as a new GIF image: each
// frame reduced to 256 colours (20 system colours and 236 of its own,
// Floyd-Steinberg dithered), each with a graphic control block holding the
// delay the stream's frame rate gives, and frame 0 with a looping block
// (endless). Raises EVideoError (see TVideoReader), EAbort from the progress
// handler, EOutOfMemory for a video whose frames would not fit the limits.
std::unique_ptr<TGIFImage> ImportAvi(const std::string& videoPath, const TVideoProgress& progress = {});

// The same GIF written straight to a file, one frame at a time: memory
// holds one frame whatever the video's length. The file is replaced only
// when it is complete.
void ImportAviToFile(const std::string& videoPath, const std::string& gifPath,
                     const TVideoProgress& progress = {});

// Writes the image's frames as a video of the kind the extension names,
// each frame as the GIF shows it while playing (drawn over what the frames
// before it left, by their disposal methods), cut to frame 0's rectangle.
// An AVI is uncompressed 8-bit video with frame 0's colours as its palette
// (other colours take the nearest of them) and one frame rate; the other
// kinds are true colour and keep each frame's own delay. An empty frame
// leaves its place empty (the frame before shows on). The file is replaced
// only when it is complete.
// Raises EVideoError "Unknown video file extension (.%s)", "Failed to
// retrieve bitmap info", "Failed to create AVI file", "Failed to create AVI
// stream", "Failed to set AVI stream format", "Failed to add frame to AVI".
// Answers the encoder used ("libx264", ...): an MP4 is H.264 only when the
// library has an H.264 encoder. The frames' renderings (caches) are let go
// once drawn, so a long animation is not held twice; nothing else of the
// image changes.
std::string ExportAvi(TGIFImage& image, const std::string& videoPath, const TVideoProgress& progress = {});

// The delay the export gives every frame of an AVI, in hundredths: the first
// graphic control delay that is not 0, once a frame with a local colour
// table has been seen (else the last delay found); 1 when there is none.
uint16_t ExportFrameDelay(const TGIFImage& image);

} // namespace animora
