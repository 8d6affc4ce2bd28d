#pragma once
// The picture loader: one object for any picture the editor opens or
// imports, chosen by the file's extension.
//
//   "bmp"            the engine's BMP reader
//   "jpg", "jpeg"    libjpeg (JPEGImage.h)
//   "ico"            our icon reader; the icon's mask is kept
//   "wmf", "emf"     our metafile players, rasterised once at load through
//                    QPainter; a mask is made by playing the file on white and
//                    on black (pixels that differ were not painted)
//   "gif"            kept as bytes: the GIF codec reads them (GIFData)
//
// Every kind but GIF ends up as a TBitmap (24 bits, or 8 bits for grayscale
// JPEG and palette BMPs) plus, for icons and metafiles, a 1-bit mask whose
// set bits mark transparent pixels. The GIF image will later take pictures
// through a common graphic base; until then callers use Bitmap() and Mask().
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/JPEGImage.h"
#include "platform/Bitmap.h"

namespace animora {

class TStream;

enum class PictureKind { pkGIF, pkJPEG, pkBitmap, pkIcon, pkMetafile, pkEnhMetafile };

// The kind for an extension given with or without its dot, any case.
// Raises EInvalidGraphic "Unknown picture file extension (.%s)".
PictureKind PictureKindForExtension(const std::string& extension);

// "gif", "jpg", ... : the lower-cased extension of a file name without the dot.
std::string LowerExtension(const std::string& fileName);

class TPicture {
public:
    TPicture() = default;

    // Raise EInvalidGraphic with the kind's message ("Bitmap image is not
    // valid", "Icon image is not valid", "Metafile is not valid", "JPEG
    // error #%d"); the picture is left as it was.
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream& stream, PictureKind kind);
    void LoadFromBytes(const uint8_t* data, size_t size, PictureKind kind);

    bool Empty() const { return !loaded_; }
    PictureKind Kind() const { return kind_; }
    // The picture's size; for GIF 0 until the codec reads GIFData.
    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }

    // Not meaningful for GIF pictures (an empty bitmap).
    const TBitmap& Bitmap() const { return bitmap_; }
    bool HasMask() const { return hasMask_; }
    const TBitmap& Mask() const { return mask_; }

    // The file's bytes, for the GIF codec. Empty for other kinds.
    const std::vector<uint8_t>& GIFData() const { return gifData_; }

    // Non-fatal problems while loading (a truncated JPEG, for one).
    JPEGWarningHandler OnWarning;

private:
    struct Loaded;
    void Take(Loaded&& loaded);

    bool loaded_ = false;
    PictureKind kind_ = PictureKind::pkBitmap;
    TBitmap bitmap_;
    TBitmap mask_;
    bool hasMask_ = false;
    std::vector<uint8_t> gifData_;
};

} // namespace animora
