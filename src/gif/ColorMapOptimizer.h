#pragma once
// Merges every colour map of an image into one global map of the colours the
// frames actually use, most used first, and renumbers the frames' pixels.
// A THistogram counts one map over the frames that show through it;
// TColorMapOptimizer joins the histograms.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "gif/ColorMap.h"

namespace animora {

class TGIFImage;
class TGIFSubImage;

// Not yet given a place in the new map.
constexpr int kUnassignedIndex = 256;

struct THistogramEntry {
    // 64 bits: the sum over every frame of a long animation cannot overflow.
    int64_t Count = 0;
    int OldIndex = 0;
    int NewIndex = kUnassignedIndex;
    uint8_t Red = 0, Green = 0, Blue = 0;
    // The entry of the same colour that took over this one's count.
    THistogramEntry* MergedInto = nullptr;

    uint32_t ColorKey() const { return (uint32_t{Red} << 16) | (uint32_t{Green} << 8) | Blue; }
};

class THistogram {
public:
    explicit THistogram(TGIFColorMap& map);

    // Counts the frame's pixels against the map. Indices past the map become
    // 0 (with "Color not in color table"); a transparent frame whose
    // transparent index never occurs loses its transparency. Answers whether
    // the transparent index occurs. Empty frames are not counted.
    bool CountFrame(TGIFSubImage& frame);
    // Orders the entries by use and keeps the used ones; answers their number.
    int Prune();
    // Rewrites the counted frames' pixels to the new indices; transparent
    // pixels become `newTransparentIndex` when transparency is used.
    void RemapFrames(bool usesTransparency, uint8_t newTransparentIndex);

    int EntryCount() const { return entryCount_; }
    const std::vector<THistogramEntry*>& Order() const { return order_; }
    const std::vector<TGIFSubImage*>& Frames() const { return frames_; }
    const TGIFColorMap& SourceMap() const { return *sourceMap_; }

private:
    std::vector<THistogramEntry> entries_;
    int entryCount_ = 0;
    TGIFColorMap* sourceMap_;
    std::vector<THistogramEntry*> order_;
    std::vector<TGIFSubImage*> frames_;
};

class TColorMapOptimizer {
public:
    explicit TColorMapOptimizer(TGIFImage& image) : image_(image) {}
    // The caller (TGIFImage::OptimizeColorMaps) has stopped the painters.
    void Optimize();

    int NewCount() const { return newCount_; }
    bool UsesTransparency() const { return usesTransparency_; }

private:
    void Analyse();
    void MergeDuplicates();
    void BuildNewMap();
    void AssignDroppedColor(THistogramEntry& entry) const;
    void Install();
    // The logical screen's background is an index into the global map; it
    // keeps naming its colour, or the nearest kept one, in the new map.
    void KeepBackgroundColor(std::optional<TColor> background);

    TGIFImage& image_;
    std::vector<std::unique_ptr<THistogram>> histograms_;
    std::vector<THistogramEntry*> allEntries_;
    std::array<uint8_t, 3 * 256> newMap_{};
    int newCount_ = 0;
    bool usesTransparency_ = false;
    uint8_t newTransparentIndex_ = 0;
};

} // namespace animora
