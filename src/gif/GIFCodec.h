#pragma once
// Process-wide settings of the GIF codec and its start-up: registering the GIF
// image as a picture kind (file extension and clipboard format) and finding
// out whether the display needs palettes.
#include <string>

namespace animora {

// The name under which GIF images travel on the clipboard, and the
// description of the file kind.
inline const std::string kGIFClipboardFormat = "GIF Image";
inline const std::string kGIFDescription = "GIF Image";

struct TGIFCodecSettings {
    // The display shows at most 256 colours at once (bits per pixel times
    // planes below 9): images set to dither automatically dither there.
    bool PaletteDevice = false;
    // Frames are rendered right after being read.
    bool RenderOnLoad = false;
    // Form storage optimises an image before writing it.
    bool OptimizeOnStreamWrite = false;
};
TGIFCodecSettings& GIFCodecSettings();

// Registers the GIF image for the extension "GIF" ("GIF Image") and the
// clipboard format "GIF Image", and sets PaletteDevice from the display's
// depth. Safe to call again (the display may have changed).
void StartGIFCodec(int displayBitsPerPixel = 24, int displayPlanes = 1);
// Takes the registrations back.
void StopGIFCodec();

} // namespace animora
