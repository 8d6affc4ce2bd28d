#pragma once
// Windows metafiles (WMF, placeable or plain) and enhanced metafiles (EMF),
// played by our own bounded players onto QImages. A metafile is played twice,
// on white and on black: the pixels that differ were not painted, and they
// make the picture's transparency mask.
#include <cstddef>
#include <cstdint>

#include <QImage>

#include "platform/Bitmap.h"

namespace animora {

struct TMetafileLimits {
    int maxSide = 4096;  // larger pictures are refused ("Metafile is not valid")
    // Drawing work allowed for one playback, in pixels touched (each drawing
    // call counts the visible part of its bounds). A file that asks for more
    // is refused instead of keeping the program busy for minutes.
    uint64_t maxPixelWork = uint64_t{1} << 32;
};

struct TRenderedMetafile {
    QImage onWhite;
    QImage onBlack;
};

// Raises EInvalidGraphic "Metafile is not valid" for anything that is not a
// well-formed metafile of the kind asked for.
TRenderedMetafile RenderMetafile(const uint8_t* data, size_t size, bool enhanced,
                                 const TMetafileLimits& limits = {});

// 1-bit mask, bit set where the two renderings differ (nothing was painted).
TBitmap MetafileMask(const TRenderedMetafile& rendered);

} // namespace animora
