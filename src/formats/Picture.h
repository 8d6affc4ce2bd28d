#pragma once
// The picture loader: one object for any picture the editor opens or
// imports, chosen by the file's extension.
//
//   "bmp"            the engine's BMP reader
//   "jpg", "jpeg"    libjpeg (JPEGImage.h)
//   "ico"            our icon reader; the icon's mask is kept
//   "wmf", "emf"     our metafile players through QPainter, played once at
//                    load on white and on black (which checks every record;
//                    pixels that differ were not painted)
//   "gif"            the GIF codec (a TGIFImage with every frame)
//
// The picture holds the engine's graphic of its kind, so the GIF image and
// the bitmap take it like any other graphic: a TBitmap for BMP and JPEG (24
// bits, or 8 bits for grayscale JPEG and palette BMPs), a TIcon (its colour
// picture on white plus its mask, set = transparent), a TMetafile whose
// player plays the records again whenever it is drawn, or a TGIFImage.
// Assigning the picture to a bitmap or a GIF image assigns its graphic.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/FileKinds.h"
#include "formats/JPEGImage.h"
#include "platform/Bitmap.h"
#include "platform/Graphic.h"
#include "platform/Persistent.h"

namespace animora {

class TStream;

enum class PictureKind { pkGIF, pkJPEG, pkBitmap, pkIcon, pkMetafile, pkEnhMetafile };

// The kind for an extension given with or without its dot, any case (see
// FileKinds.h). Raises EInvalidGraphic "Unknown picture file extension
// (.%s)" for one the loader does not read.
PictureKind PictureKindForExtension(const std::string& extension);

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    TPicture(TPicture&&) noexcept;
    TPicture& operator=(TPicture&&) noexcept;

    std::string ClassName() const override { return "TPicture"; }

    // Raise EInvalidGraphic with the kind's message ("Bitmap image is not
    // valid", "Icon image is not valid", "Metafile is not valid", "JPEG
    // error #%d", the GIF reader's messages); the picture is left as it was.
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream& stream, PictureKind kind);
    void LoadFromBytes(const uint8_t* data, size_t size, PictureKind kind);

    bool Empty() const { return !graphic_; }
    PictureKind Kind() const { return kind_; }
    int Width() const { return graphic_ ? graphic_->GetWidth() : 0; }
    int Height() const { return graphic_ ? graphic_->GetHeight() : 0; }

    // The loaded graphic (TBitmap, TIcon, TMetafile or TGIFImage); null
    // while the picture is empty.
    TGraphic* Graphic() const { return graphic_.get(); }

    // A still of the picture: the bitmap itself, the icon's colour picture,
    // the metafile as played on white at load, a GIF's image bitmap. Empty
    // while the picture is.
    const TBitmap& Bitmap() const;
    // Icons and metafiles: a 1-bit mask of the picture's size, set bit =
    // transparent (for a metafile: not painted).
    bool HasMask() const;
    const TBitmap& Mask() const;

    // A bitmap, a GIF image, a frame... is assigned the graphic.
    bool AssignTo(TPersistent& destination) const override;

    // Non-fatal problems while loading (a truncated JPEG, a damaged GIF).
    JPEGWarningHandler OnWarning;

private:
    struct Loaded;
    Loaded Load(const uint8_t* data, size_t size, PictureKind kind) const;
    Loaded LoadWithReader(TStream& stream, PictureKind kind) const;
    void Take(PictureKind kind, Loaded&& loaded);

    PictureKind kind_ = PictureKind::pkBitmap;
    std::unique_ptr<TGraphic> graphic_;
    TBitmap still_;  // metafiles: the picture played on white
    TBitmap mask_;   // metafiles: where nothing was painted
};

} // namespace animora
