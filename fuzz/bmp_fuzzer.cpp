// Feeds arbitrary bytes to the BMP reader. A file either loads into a
// consistent bitmap or is refused with EInvalidGraphic; whatever loads must
// also survive a save and a reload.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/Bitmap.h"
#include "platform/Errors.h"
#include "platform/Stream.h"

using namespace animora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TBytesViewStream stream(data, size);
    TBitmap bitmap;
    try {
        bitmap.LoadFromStream(stream);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    if (bitmap.Empty() || bitmap.BitsSize() != bitmap.RowBytes() * static_cast<size_t>(bitmap.Height()))
        std::abort();
    TMemoryStream saved;
    bitmap.SaveToStream(saved);
    saved.SetPosition(0);
    TBitmap again;
    again.LoadFromStream(saved);
    if (bitmap.GetPixelFormat() != PixelFormat::pf32bit && !again.SamePicture(bitmap))
        std::abort();
    return 0;
}
