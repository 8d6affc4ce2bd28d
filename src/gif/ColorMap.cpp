#include "gif/ColorMap.h"

#include <algorithm>
#include <cstring>

#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/Header.h"
#include "gif/SubImage.h"

namespace animora {

void TGIFColorMap::ColorToEntry(TColor color, uint8_t* entry)
{
    entry[0] = static_cast<uint8_t>(color);
    entry[1] = static_cast<uint8_t>(color >> 8);
    entry[2] = static_cast<uint8_t>(color >> 16);
}

TColor TGIFColorMap::EntryToColor(const uint8_t* entry)
{
    return (entry[0] | (entry[1] << 8) | (entry[2] << 16)) & 0xFFFFFFu;
}

int TGIFColorMap::BitDepth() const
{
    return BitsForColors(count_);
}

void TGIFColorMap::Reset()
{
    entries_.clear();
    entries_.shrink_to_fit();
    count_ = 0;
    capacity_ = 0;
    sorted_ = false;
}

void TGIFColorMap::Reserve(int n)
{
    if (n < capacity_)
        return;
    capacity_ = n <= 16 ? 16 : std::min((n + 31) / 32 * 32, kMaxColors);
    entries_.resize(static_cast<size_t>(capacity_) * 3);
}

void TGIFColorMap::CheckIndex(int index) const
{
    if (index < 0 || index >= count_)
        RaiseGIFError("Invalid color index");
}

int TGIFColorMap::AddColor(TColor color)
{
    if (count_ >= kMaxColors)
        RaiseGIFError("Color table overflow");
    if (count_ >= capacity_)
        Reserve(count_ + 1);
    ColorToEntry(color, &entries_[static_cast<size_t>(count_) * 3]);
    ++count_;
    sorted_ = false;
    NotifyChanged();
    return count_ - 1;
}

int TGIFColorMap::FindColor(TColor color) const
{
    uint8_t wanted[3];
    ColorToEntry(color, wanted);
    auto matches = [&](int i) { return std::memcmp(&entries_[static_cast<size_t>(i) * 3], wanted, 3) == 0; };
    // A sorted map has its most used entry of a colour first; an unsorted one
    // is searched from the end, so the entry added last wins.
    if (sorted_) {
        for (int i = 0; i < count_; ++i) {
            if (matches(i))
                return i;
        }
    } else {
        for (int i = count_ - 1; i >= 0; --i) {
            if (matches(i))
                return i;
        }
    }
    return -1;
}

int TGIFColorMap::FindOrAddColor(TColor color)
{
    const int index = FindColor(color);
    return index >= 0 ? index : AddColor(color);
}

void TGIFColorMap::RemoveColor(int index)
{
    CheckIndex(index);
    const auto at = entries_.begin() + static_cast<ptrdiff_t>(index) * 3;
    std::copy(at + 3, entries_.begin() + static_cast<ptrdiff_t>(count_) * 3, at);
    --count_;
    sorted_ = false;
    NotifyChanged();
}

TColor TGIFColorMap::ColorAt(int index)
{
    if (index < 0 || index >= count_) {
        ReportWarning(1, "Invalid color index");
        if (count_ == 0)
            RaiseGIFError("Color table is empty");
        index = 0;
    }
    return EntryToColor(&entries_[static_cast<size_t>(index) * 3]);
}

void TGIFColorMap::SetColorAt(int index, TColor color)
{
    CheckIndex(index);
    ColorToEntry(color, &entries_[static_cast<size_t>(index) * 3]);
    NotifyChanged();
}

void TGIFColorMap::WriteTable(TStream& stream) const
{
    if (count_ == 0)
        return;
    stream.WriteBuffer(entries_.data(), static_cast<size_t>(count_) * 3);
    const int padding = (1 << BitDepth()) - count_;
    const std::vector<uint8_t> black(static_cast<size_t>(padding) * 3, 0);
    if (padding > 0)
        stream.WriteBuffer(black.data(), black.size());
}

void TGIFColorMap::ReadTable(TStream& stream, int n)
{
    Reset();
    Reserve(n);
    ReadExact(stream, entries_.data(), static_cast<size_t>(n) * 3);
    count_ = n;
}

void TGIFColorMap::FillFromRGBQuads(const uint8_t* table, int n)
{
    Reset();
    n = std::clamp(n, 0, kMaxColors);
    if (n == 0)
        return;
    Reserve(n);
    for (int i = 0; i < n; ++i) {
        const uint8_t* quad = table + static_cast<ptrdiff_t>(i) * 4;
        uint8_t* entry = &entries_[static_cast<size_t>(i) * 3];
        entry[0] = quad[2];
        entry[1] = quad[1];
        entry[2] = quad[0];
    }
    count_ = n;
    NotifyChanged();
}

void TGIFColorMap::FillFromRGBTriples(const uint8_t* table, int n)
{
    Reset();
    n = std::clamp(n, 0, kMaxColors);
    if (n == 0)
        return;
    Reserve(n);
    std::memcpy(entries_.data(), table, static_cast<size_t>(n) * 3);
    count_ = n;
    NotifyChanged();
}

void TGIFColorMap::FillFromPalette(const TPalette& palette)
{
    Reset();
    const int n = std::min(palette.Count(), kMaxColors);
    if (n == 0)
        return;
    Reserve(n);
    for (int i = 0; i < n; ++i) {
        uint8_t* entry = &entries_[static_cast<size_t>(i) * 3];
        entry[0] = palette[i].red;
        entry[1] = palette[i].green;
        entry[2] = palette[i].blue;
    }
    count_ = n;
    NotifyChanged();
}

void TGIFColorMap::FillFromDIBColors(const TBitmap& bitmap)
{
    FillFromPalette(bitmap.Palette());
}

std::unique_ptr<TPalette> TGIFColorMap::MakePalette() const
{
    if (count_ == 0)
        return nullptr;
    auto palette = std::make_unique<TPalette>();
    for (int i = 0; i < count_; ++i) {
        const uint8_t* entry = &entries_[static_cast<size_t>(i) * 3];
        palette->Add({entry[0], entry[1], entry[2], pcNoCollapse});
    }
    return palette;
}

void TGIFColorMap::Assign(const TPersistent& source)
{
    const auto* map = dynamic_cast<const TGIFColorMap*>(&source);
    if (!map) {
        TPersistent::Assign(source);
        return;
    }
    if (map == this)
        return;
    count_ = map->count_;
    capacity_ = map->capacity_;
    sorted_ = map->sorted_;
    entries_ = map->entries_;
    NotifyChanged();
}

bool TGIFColorMap::OptimizeEntries()
{
    if (count_ <= 1)
        return false;
    TUsageTable usage{};
    for (int i = 0; i < kMaxColors; ++i)
        usage[static_cast<size_t>(i)] = {0, i};
    CountUsage(usage);
    return ReorderEntries(usage);
}

bool TGIFColorMap::ReorderEntries(TUsageTable usage)
{
    if (count_ <= 1)
        return false;
    sorted_ = true;
    const auto first = usage.begin();
    const auto last = usage.begin() + count_;
    std::stable_sort(first, last, [](const TUsageCount& a, const TUsageCount& b) { return a.count > b.count; });
    const bool unchanged = std::all_of(first, last, [&](const TUsageCount& u) { return u.index == &u - &usage[0]; });
    if (unchanged)
        return true;

    TColorMapping mapping{};
    for (int i = 0; i < kMaxColors; ++i)
        mapping[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    std::vector<uint8_t> reordered(entries_.size(), 0);
    int used = count_;
    for (int position = 0; position < count_; ++position) {
        const TUsageCount& record = usage[static_cast<size_t>(position)];
        mapping[static_cast<size_t>(record.index)] = static_cast<uint8_t>(position);
        std::memcpy(&reordered[static_cast<size_t>(position) * 3], &entries_[static_cast<size_t>(record.index) * 3], 3);
        if (record.count == 0 && used == count_)
            used = position;
    }
    RemapPixels(mapping);
    entries_ = std::move(reordered);
    count_ = used;
    NotifyChanged();
    return true;
}

// Counts the pixels of one frame into the usage table.
static void CountFramePixels(const TGIFSubImage& frame, TUsageTable& table)
{
    const uint8_t* pixels = frame.Data();
    for (size_t i = 0, n = frame.DataSize(); i < n; ++i)
        ++table[pixels[i]].count;
}

// Rewrites one frame's pixels (and its transparent index) through a mapping.
static void RemapFramePixels(TGIFSubImage& frame, const TColorMapping& mapping)
{
    uint8_t* pixels = frame.Data();
    for (size_t i = 0, n = frame.DataSize(); i < n; ++i)
        pixels[i] = mapping[pixels[i]];
    if (frame.Transparent() && frame.GraphicControl())
        frame.GraphicControl()->SetStoredTransparentColorIndex(
            mapping[frame.GraphicControl()->TransparentColorIndex()]);
    frame.PixelsChanged();
}

// --- global map ----------------------------------------------------------------

bool TGIFGlobalColorMap::OptimizeEntries()
{
    const TGIFImage* image = header_.Image();
    if (!image || image->Images().Count() == 0)
        return false;
    return TGIFColorMap::OptimizeEntries();
}

void TGIFGlobalColorMap::ReportWarning(int severity, const std::string& message)
{
    if (header_.Image())
        header_.Image()->Warning(*this, severity, message);
}

void TGIFGlobalColorMap::CountUsage(TUsageTable& table)
{
    TGIFImage* image = header_.Image();
    if (!image)
        return;
    for (int i = 0; i < image->Images().Count(); ++i) {
        const TGIFSubImage& frame = *image->Images().SubImage(i);
        if (&frame.ActiveColorMap() == this)
            CountFramePixels(frame, table);
    }
}

void TGIFGlobalColorMap::RemapPixels(const TColorMapping& mapping)
{
    TGIFImage* image = header_.Image();
    if (!image)
        return;
    for (int i = 0; i < image->Images().Count(); ++i) {
        TGIFSubImage& frame = *image->Images().SubImage(i);
        if (&frame.ActiveColorMap() == this)
            RemapFramePixels(frame, mapping);
    }
}

void TGIFGlobalColorMap::NotifyChanged()
{
    if (header_.Image())
        header_.Image()->GlobalColorMapChanged();
}

// --- local map -----------------------------------------------------------------

void TGIFLocalColorMap::ReportWarning(int severity, const std::string& message)
{
    frame_.ReportWarning(severity, message);
}

void TGIFLocalColorMap::CountUsage(TUsageTable& table)
{
    CountFramePixels(frame_, table);
}

void TGIFLocalColorMap::RemapPixels(const TColorMapping& mapping)
{
    RemapFramePixels(frame_, mapping);
}

void TGIFLocalColorMap::NotifyChanged()
{
    frame_.LocalColorMapChanged();
}

} // namespace animora
