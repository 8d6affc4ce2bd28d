#pragma once
// The graphic kinds the engine converts besides bitmaps and GIF images:
// icons (a colour picture plus a mask) and metafiles (a picture that draws
// itself at any size). Reading their files is the picture loader's business
// (src/formats); the engine only needs what is here.
#include <functional>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace animora {

// A colour picture and a mask of the same size whose set (non-zero) pixels
// mark where the icon shows what lies beneath.
class TIcon : public TGraphic {
public:
    TIcon() = default;
    // The mask must have the picture's size (else EInvalidGraphicOperation).
    TIcon(TBitmap picture, TBitmap mask);

    std::string ClassName() const override { return "TIcon"; }

    const TBitmap& Picture() const { return picture_; }
    const TBitmap& Mask() const { return mask_; }

    bool GetEmpty() const override { return picture_.Empty(); }
    int GetWidth() const override { return picture_.Width(); }
    int GetHeight() const override { return picture_.Height(); }
    // An icon has the size it was drawn at: resizing is refused.
    void SetWidth(int width) override;
    void SetHeight(int height) override;

    // The picture stretched into the rectangle, through its mask.
    void Draw(TCanvas& canvas, const TRect& rect) override;

    // Icon files are read by the picture loader: raise EInvalidGraphic
    // "Icon image is not valid" here.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

private:
    TBitmap picture_;
    TBitmap mask_;
};

// Paints a metafile's records into the rectangle of a canvas, leaving alone
// what the records do not paint.
using TMetafilePlayer = std::function<void(TCanvas& canvas, const TRect& rect)>;

// A vector picture of a nominal size. The player (or a subclass overriding
// Draw) does the drawing; the engine never parses metafile records.
class TMetafile : public TGraphic {
public:
    TMetafile() = default;
    TMetafile(int width, int height, TMetafilePlayer player);

    std::string ClassName() const override { return "TMetafile"; }

    bool GetEmpty() const override { return width_ == 0 || height_ == 0; }
    int GetWidth() const override { return width_; }
    int GetHeight() const override { return height_; }
    void SetWidth(int width) override;
    void SetHeight(int height) override;

    // Plays the picture; without a player nothing is painted.
    void Draw(TCanvas& canvas, const TRect& rect) override;

    // Metafiles are read by the picture loader: raise EInvalidGraphic
    // "Metafile is not valid" here.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

private:
    int width_ = 0;
    int height_ = 0;
    TMetafilePlayer player_;
};

} // namespace animora
