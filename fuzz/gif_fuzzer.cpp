// Feeds arbitrary bytes to the GIF reader. Loading may fail, but only with the
// codec's own errors; anything else (a crash, a sanitizer report, a foreign
// exception) is a finding. A file that loads is also saved with both encoders
// and read back, which exercises the writer on whatever the reader accepted.
#include <cstdint>
#include <cstdlib>

#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Errors.h"
#include "platform/Stream.h"

using namespace animora;

namespace {

bool Load(TGIFImage& image, const uint8_t* data, size_t size)
{
    TBytesViewStream stream(data, size);
    try {
        image.LoadFromStream(stream);
        return true;
    } catch (const EAnimoraError&) {
        return false;  // GIFException and the platform's errors: a clean refusal
    }
}

void SaveAndReload(TGIFImage& image, uint8_t encoding)
{
    image.SetEncoding(encoding);
    TMemoryStream saved;
    try {
        image.SaveToStream(saved);
    } catch (const EAnimoraError&) {
        return;  // e.g. pixels outside a frame's colour table
    }
    TGIFImage reloaded;
    if (!Load(reloaded, saved.Memory(), saved.Bytes().size()))
        std::abort();  // what we write we must be able to read
}

int64_t PixelCount(const TGIFImage& image)
{
    int64_t pixels = 0;
    for (int i = 0; i < image.Images().Count(); ++i)
        pixels += static_cast<int64_t>(image.Images().SubImage(i)->DataSize());
    return pixels;
}

// Writing is tried on images of moderate size only: a few bytes can claim
// frames of millions of pixels, and encoding those twice would slow the
// search down to a crawl without reaching new code.
constexpr int64_t kMaxPixelsToSave = int64_t{1} << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TGIFImage image;
    if (Load(image, data, size) && !image.GetEmpty() && PixelCount(image) <= kMaxPixelsToSave) {
        SaveAndReload(image, kEncodingLZW);
        SaveAndReload(image, kEncodingRLE);
    }
    return 0;
}
