#include "gif/GIFCodec.h"

#include "gif/GIFImage.h"
#include "platform/PictureFormats.h"

namespace animora {

TGIFCodecSettings& GIFCodecSettings()
{
    static TGIFCodecSettings settings;
    return settings;
}

void StartGIFCodec(int displayBitsPerPixel, int displayPlanes)
{
    GIFCodecSettings().PaletteDevice = displayBitsPerPixel * displayPlanes < 9;
    const TGraphicMaker make = [] { return std::make_unique<TGIFImage>(); };
    RegisterFileFormat("GIF", kGIFDescription, make);
    RegisterClipboardFormat(kGIFClipboardFormat, make);
}

void StopGIFCodec()
{
    UnregisterFileFormat("GIF");
    UnregisterClipboardFormat(kGIFClipboardFormat);
}

} // namespace animora
