#pragma once
// One frame of a GIF: its image descriptor, local colour map, pixel indices
// and the extension blocks that stood in front of it in the file.
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/ColorMap.h"
#include "gif/GIFItem.h"
#include "gif/GIFList.h"
#include "platform/Canvas.h"

namespace animora {

class TGIFGraphicControlExtension;

// A picture reduced to at most 256 colours for a frame: an 8-bit bitmap (or a
// 24-bit one for mode crNone). The source is converted to 24 bits in place.
// `refine`: the optimised modes refine their octree palette.
std::unique_ptr<TBitmap> ReduceFrameColors(TBitmap& source, uint8_t mode, uint8_t dither, int bits, bool refine = false);

// No frame may hold more pixels than this (8192 x 8192): a header claiming
// more is refused before anything is allocated.
constexpr int64_t kMaxFramePixels = int64_t{1} << 26;

class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFImage* image);
    ~TGIFSubImage() override;
    std::string ClassName() const override { return "TGIFSubImage"; }

    void Clear();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Frame sizes are 16-bit in the file; larger values are refused.
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }

    // The descriptor's packed byte: bit 7 local table, bit 6 interlaced,
    // bit 5 sorted, bits 2-0 table size. Recomputed when written.
    uint8_t PackedFields() const { return packed_; }
    void SetPackedFields(uint8_t packed) { packed_ = packed; }
    bool Interlaced() const { return (packed_ & 0x40) != 0; }
    void SetInterlaced(bool interlaced);

    bool IsEmpty() const;
    // Width x height colour indices, rows top to bottom; null when empty.
    uint8_t* Data() { return pixels_.empty() ? nullptr : pixels_.data(); }
    const uint8_t* Data() const { return pixels_.empty() ? nullptr : pixels_.data(); }
    size_t DataSize() const { return pixels_.size(); }
    uint8_t* ScanLine(int y);
    uint8_t PixelAt(int x, int y);

    TGIFLocalColorMap& ColorMap() { return colorMap_; }
    const TGIFLocalColorMap& ColorMap() const { return colorMap_; }
    // The local map when it has entries, else the global map when that has
    // entries, else the (empty) local map.
    TGIFColorMap& ActiveColorMap();
    const TGIFColorMap& ActiveColorMap() const;
    int BitDepth() const { return colorMap_.BitDepth(); }
    int ColorResolution() const { return BitDepth() - 1; }

    // The palette the frame is shown with (owned here): the rendered
    // bitmap's; else the cached one; else, when frames are dithered, the
    // 216-colour cube; else, without local colours, the image's palette
    // (not cached); else one made from the local map, cached.
    const TPalette* FramePalette() const;
    const TPalette* Palette() const { return FramePalette(); }
    // Replaces the cached palette; a rendered bitmap of other colours is let
    // go (the image is marked palette-modified and told of the change).
    void SetFramePalette(std::unique_ptr<TPalette> palette);

    // --- the frame as a bitmap (FrameRender.cpp) ---
    // An 8-bit bitmap of the frame holding the frame palette, rendered on
    // demand (dithered to the cube when the image dithers) and kept until
    // pixels or colours change; after an import, the imported bitmap. None
    // for an empty frame, or when a progress handler aborted the rendering.
    TBitmap* RenderedBitmap() const;
    // Drops the rendered bitmap; with a bitmap, the frame is assigned from it.
    void SetRenderedBitmap(const TBitmap* bitmap);
    // Whether the frame has a transparency mask (rendering it when needed).
    bool HasMask() const;
    // The 1-bit mask of the last rendering (set bit = transparent), or none.
    const TBitmap* Mask() const { return mask_.get(); }
    // Whether the object is one of this frame's cached bitmaps (which an
    // assignment to the frame would free while reading it).
    bool HoldsBitmap(const TPersistent& object) const { return &object == bitmapCache_.get() || &object == mask_.get(); }
    // Draws the frame into the rectangle, which stands for the whole screen:
    // the frame lands at its place scaled to the rectangle, or, tiled, at its
    // own size over the whole rectangle; through its mask when asked.
    void DrawFrame(TCanvas& canvas, const TRect& rect, bool tile, bool transparent) const;

    TGIFExtensionList& Extensions() { return extensions_; }
    const TGIFExtensionList& Extensions() const { return extensions_; }
    // Set and cleared only through the frame's graphic control extensions.
    bool Transparent() const { return transparent_; }
    TGIFGraphicControlExtension* GraphicControl() const { return graphicControl_; }

    // --- optimisation ---
    // Cuts the fully transparent rows and columns off the edges of a
    // transparent frame; a frame that is transparent all over is cleared.
    void CropTransparentBorders();
    // Makes the pixels transparent that show the colour the previous frame
    // already shows there. Needs a free map entry unless the frame is
    // transparent already; without one nothing changes.
    void MergeWithPrevious(TGIFSubImage& previous);

    TGIFVersion RequiredVersion() const override;
    // From another frame its descriptor, map, pixels and extensions; from a
    // bitmap, icon, metafile or other graphic its picture, reduced to 256
    // colours by the image's settings, with its transparency (FrameImport.cpp).
    void Assign(const TPersistent& source) override;
    // Only into a TBitmap, which becomes a copy of the rendered bitmap.
    bool AssignTo(TPersistent& destination) const override;

    void WriteToStream(TStream& stream) override;
    void ReadFromStream(TStream& stream) override;

    // --- notifications that keep the derived caches honest ---
    void PixelsChanged();
    void LocalColorMapChanged();
    // The active map may be the global one: its changes reach here too.
    void DropPaletteCache() { paletteCache_.reset(); }

    // --- used by the graphic control extensions only ---
    void SetTransparentFlag(bool transparent) { transparent_ = transparent; }
    void SetGraphicControl(TGIFGraphicControlExtension* extension) { graphicControl_ = extension; }

private:
    // Gives the frame a graphic control (appended when it has none) that
    // marks `index` transparent.
    void MakeTransparent(int index);
    bool DitherFrames() const;
    std::unique_ptr<TBitmap> Render() const;
    void NotifyRendering(TProgressStage stage, int percent, bool redrawNow) const;
    void AssignFrame(const TGIFSubImage& frame);
    void AssignBitmap(const TBitmap& bitmap);
    void AssignGraphic(const TGraphic& graphic);
    std::unique_ptr<TBitmap> ReduceForFrame(const TBitmap& source) const;
    void ImportRows(TBitmap& picture);
    void ApplyMask(const TBitmap& mask);
    void AllocatePixels(uint8_t fill);
    void FreePixels();
    void DropBitmapCaches();
    void ReadDescriptor(TStream& stream);
    void ReadPixels(TStream& stream);
    uint8_t RecomputePackedFields();
    void WritePixels(TStream& stream, bool interlaced);

    // Derived caches, rebuilt on demand.
    mutable std::unique_ptr<TBitmap> bitmapCache_;
    mutable std::unique_ptr<TBitmap> mask_;
    mutable bool maskStale_ = true;
    mutable std::unique_ptr<TPalette> paletteCache_;

    std::vector<uint8_t> pixels_;
    TGIFLocalColorMap colorMap_;
    uint8_t separator_ = kImageSeparator;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    uint8_t packed_ = 0;
    bool transparent_ = false;
    TGIFGraphicControlExtension* graphicControl_ = nullptr;
    TGIFExtensionList extensions_;
};

} // namespace animora
