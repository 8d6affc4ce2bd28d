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

    // A palette of the active colour map, made on demand and kept until the
    // map changes; with no colours at all, the image's palette. Owned here.
    const TPalette* Palette() const;

    TGIFExtensionList& Extensions() { return extensions_; }
    const TGIFExtensionList& Extensions() const { return extensions_; }
    // Set and cleared only through the frame's graphic control extensions.
    bool Transparent() const { return transparent_; }
    TGIFGraphicControlExtension* GraphicControl() const { return graphicControl_; }

    TGIFVersion RequiredVersion() const override;
    // A frame: the descriptor, map, pixels and extensions of another frame.
    void Assign(const TPersistent& source) override;

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
    void AllocatePixels(uint8_t fill);
    void FreePixels();
    void DropBitmapCaches();
    void ReadDescriptor(TStream& stream);
    void ReadPixels(TStream& stream);
    uint8_t RecomputePackedFields();
    void WritePixels(TStream& stream, bool interlaced);

    // Derived caches. The rendered bitmap and mask arrive with the frame
    // rendering; until then only the mask's staleness is tracked.
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
