// Feeds arbitrary bytes to the video reader: opening and decoding may fail,
// but only with the reader's EVideoError. The demuxers and decoders are
// FFmpeg's (not instrumented), so what this guards is our side: the limits
// on sizes and counts, the byte I/O callbacks and the cleanup on every path.
#include <cstdint>

#include "formats/Video.h"
#include "formats/VideoReader.h"
#include "platform/Stream.h"

using namespace animora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Small limits keep each run fast; the code paths are the same.
    TVideoLimits limits;
    limits.maxFramePixels = int64_t{1} << 20;
    limits.maxFrames = 16;
    limits.maxPackets = 4096;
    TBytesViewStream stream(data, size);
    try {
        TVideoReader reader(stream, limits);
        TBitmap picture;
        while (reader.ReadFrame(picture)) {
        }
    } catch (const EVideoError&) {
        // the reader's clear error: what hostile input should give
    }
    return 0;
}
