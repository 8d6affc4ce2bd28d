#pragma once
// GIF colour tables: up to 256 entries of red, green, blue bytes, in the
// order of the file. The global map belongs to the header, a local map to its
// frame; they differ in who they warn and whose pixels they count and remap.
#include <array>
#include <memory>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Palette.h"
#include "platform/Persistent.h"
#include "platform/Stream.h"

namespace animora {

class TGIFHeader;
class TGIFSubImage;

constexpr int kMaxColors = 256;

// One record of a usage count: how often the entry at `index` is used.
struct TUsageCount {
    int64_t count = 0;
    int index = 0;
};
using TUsageTable = std::array<TUsageCount, kMaxColors>;
using TColorMapping = std::array<uint8_t, kMaxColors>;

class TGIFColorMap : public TPersistent {
public:
    TGIFColorMap() = default;
    TGIFColorMap(const TGIFColorMap&) = delete;
    TGIFColorMap& operator=(const TGIFColorMap&) = delete;

    std::string ClassName() const override { return "TGIFColorMap"; }

    static void ColorToEntry(TColor color, uint8_t* entry);
    static TColor EntryToColor(const uint8_t* entry);

    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    bool Sorted() const { return sorted_; }
    // For a map filled in order of use by its maker (the colour-map optimiser).
    void MarkSorted() { sorted_ = true; }
    // Entry i is the bytes red, green, blue at 3i.
    const uint8_t* Entries() const { return entries_.data(); }
    int BitDepth() const;

    void Reset();
    void Reserve(int n);
    int AddColor(TColor color);
    int FindColor(TColor color) const;
    int FindOrAddColor(TColor color);
    void RemoveColor(int index);
    TColor ColorAt(int index);
    void SetColorAt(int index, TColor color);

    // Writes the entries padded with black to 2^BitDepth; nothing when empty.
    void WriteTable(TStream& stream) const;
    void ReadTable(TStream& stream, int n);

    // Records stored blue, green, red, unused (a DIB colour table).
    void FillFromRGBQuads(const uint8_t* table, int n);
    // Triples stored red, green, blue.
    void FillFromRGBTriples(const uint8_t* table, int n);
    // Up to 256 entries of a palette.
    void FillFromPalette(const TPalette& palette);
    // The colour table of a palette bitmap.
    void FillFromDIBColors(const TBitmap& bitmap);
    // A palette with one no-collapse entry per colour; none for an empty map.
    std::unique_ptr<TPalette> MakePalette() const;

    void Assign(const TPersistent& source) override;

    // Sorts the entries by use, most used first, rewrites the pixels that use
    // the map to match and drops unused entries. False when it did not run.
    virtual bool OptimizeEntries();
    // The same by a usage table of the caller's (entry i counted at [i]).
    bool ReorderEntries(TUsageTable usage);

    virtual void ReportWarning(int severity, const std::string& message) = 0;
    virtual void CountUsage(TUsageTable& table) = 0;
    virtual void RemapPixels(const TColorMapping& mapping) = 0;
    // Drops the palette caches that depend on this map.
    virtual void NotifyChanged() = 0;

protected:
    void CheckIndex(int index) const;

private:
    std::vector<uint8_t> entries_;  // capacity_ * 3 bytes
    int count_ = 0;
    int capacity_ = 0;
    bool sorted_ = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFHeader& header) : header_(header) {}
    std::string ClassName() const override { return "TGIFGlobalColorMap"; }

    bool OptimizeEntries() override;
    void ReportWarning(int severity, const std::string& message) override;
    void CountUsage(TUsageTable& table) override;
    void RemapPixels(const TColorMapping& mapping) override;
    void NotifyChanged() override;

private:
    TGIFHeader& header_;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage& frame) : frame_(frame) {}
    std::string ClassName() const override { return "TGIFLocalColorMap"; }

    void ReportWarning(int severity, const std::string& message) override;
    void CountUsage(TUsageTable& table) override;
    void RemapPixels(const TColorMapping& mapping) override;
    void NotifyChanged() override;

private:
    TGIFSubImage& frame_;
};

} // namespace animora
