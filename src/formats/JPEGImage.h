#pragma once
// JPEG pictures through the libjpeg API: decoding baseline, progressive and
// grayscale files into bitmaps, and encoding bitmaps with the save options.
// libjpeg's fatal errors come back as EJPEGError "JPEG error #%d" (the
// library's message number); its warnings (a truncated file, for one) reach
// the warning handler and the picture decoded so far is kept.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Errors.h"

namespace animora {

class TStream;

class EJPEGError : public EInvalidGraphic {
public:
    explicit EJPEGError(int code);
    int Code() const { return code_; }

private:
    int code_;
};

// The save settings of a JPEG: quality 0..100 (libjpeg raises 0 to 1),
// grayscale output, and libjpeg's input smoothing factor 0..100 (0 = off).
struct TJPEGOptions {
    int quality = 90;
    bool grayscale = false;
    int smoothing = 0;
};

// The smoothing factor used when the save dialog's "Smoothing" box is ticked.
constexpr int DefaultSmoothingFactor = 50;

struct TJPEGDecodeLimits {
    int64_t maxPixels = int64_t{1} << 26;  // 64 megapixels
    int maxScans = 1000;                   // progressive files with more are hostile
};

using JPEGWarningHandler = std::function<void(const std::string& message)>;

// Colour files decode to 24 bits; grayscale files to 8 bits with a grey ramp
// palette. Raises EJPEGError for anything libjpeg cannot decode and for
// pictures over the limits.
TBitmap DecodeJPEG(const uint8_t* data, size_t size, const JPEGWarningHandler& warning = {},
                   const TJPEGDecodeLimits& limits = {});

// Writes the bitmap (any pixel format) as a JFIF stream.
void EncodeJPEG(const TBitmap& bitmap, const TJPEGOptions& options, TStream& stream);

// The JPEG library's version as its headers give it (62 for the 6b API), for
// the About box: libjpeg stays private to the formats.
int JPEGLibraryVersion();

} // namespace animora
