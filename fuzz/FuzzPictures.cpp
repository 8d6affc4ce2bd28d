// Fuzz targets of the picture readers. One source, built once per target with
// ANIMORA_FUZZ_KIND naming the reader: a hostile input may raise the reader's
// EInvalidGraphic, and nothing else may happen.
#include <cstdint>
#include <cstdlib>

#include "formats/IconReader.h"
#include "formats/JPEGImage.h"
#include "formats/Metafile.h"
#include "qtbridge/QtBitmap.h"
#include "support/LeakSuppressions.h"

using namespace animora;

namespace {

void ReadOne(const uint8_t* data, size_t size)
{
    const std::string kind = ANIMORA_FUZZ_KIND;
    if (kind == "jpeg") {
        // Small limits keep each run fast; the code paths are the same.
        TJPEGDecodeLimits limits;
        limits.maxPixels = int64_t{1} << 22;
        limits.maxScans = 100;
        DecodeJPEG(data, size, [](const std::string&) {}, limits);
    } else if (kind == "ico") {
        const auto images = ReadIconImages(data, size);
        ChooseIconImage(images);
    } else {
        TMetafileLimits limits;
        limits.maxSide = 512;
        limits.maxPixelWork = uint64_t{1} << 26;
        const TRenderedMetafile rendered = RenderMetafile(data, size, kind == "emf", limits);
        MetafileMask(rendered);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        EnsureQtGui();
        return true;
    }();
    (void)ready;
    try {
        ReadOne(data, size);
    } catch (const EInvalidGraphic&) {
        // the reader's clear error: what hostile input should give
    }
    return 0;
}
