#include "gif/ColorMapOptimizer.h"

#include <algorithm>
#include <cstdlib>

#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora {

// --- THistogram -------------------------------------------------------------------

THistogram::THistogram(TGIFColorMap& map)
    : entries_(static_cast<size_t>(map.Count())), entryCount_(map.Count()), sourceMap_(&map)
{
    const uint8_t* rgb = map.Entries();
    for (int i = 0; i < entryCount_; ++i) {
        THistogramEntry& entry = entries_[static_cast<size_t>(i)];
        entry.OldIndex = i;
        entry.Red = rgb[3 * i];
        entry.Green = rgb[3 * i + 1];
        entry.Blue = rgb[3 * i + 2];
        order_.push_back(&entry);
    }
}

bool THistogram::CountFrame(TGIFSubImage& frame)
{
    if (frame.IsEmpty())
        return false;
    frames_.push_back(&frame);
    TGIFGraphicControlExtension* control = frame.GraphicControl();
    const bool transparent = frame.Transparent() && control;
    const int t = transparent ? control->TransparentColorIndex() : -1;
    bool transparencyUsed = false;
    bool reported = false;
    uint8_t* pixels = frame.Data();
    for (size_t i = 0, n = frame.DataSize(); i < n; ++i) {
        const int p = pixels[i];
        if (p == t) {
            transparencyUsed = true;
            continue;
        }
        if (p >= entryCount_) {
            pixels[i] = 0;
            if (!reported)  // once per frame: a damaged frame may hold millions
                frame.ReportWarning(kWarningSeverity, "Color not in color table");
            reported = true;
        }
        ++entries_[pixels[i]].Count;
    }
    if (reported)
        frame.PixelsChanged();
    if (transparent && !transparencyUsed) {
        control->SetStoredTransparentColorIndex(0);
        control->SetTransparent(false);
    }
    return transparencyUsed;
}

int THistogram::Prune()
{
    std::stable_sort(order_.begin(), order_.end(),
                     [](const THistogramEntry* a, const THistogramEntry* b) { return a->Count > b->Count; });
    const auto firstUnused =
        std::find_if(order_.begin(), order_.end(), [](const THistogramEntry* e) { return e->Count == 0; });
    order_.erase(firstUnused, order_.end());
    entryCount_ = static_cast<int>(order_.size());
    return entryCount_;
}

void THistogram::RemapFrames(bool usesTransparency, uint8_t newTransparentIndex)
{
    std::array<uint8_t, 256> table{};
    for (const THistogramEntry* entry : order_)
        table[static_cast<size_t>(entry->OldIndex)] = static_cast<uint8_t>(entry->NewIndex);
    for (TGIFSubImage* frame : frames_) {
        int t = -1;
        TGIFGraphicControlExtension* control = frame->GraphicControl();
        if (frame->Transparent() && control && usesTransparency) {
            t = control->TransparentColorIndex();
            control->SetStoredTransparentColorIndex(newTransparentIndex);
        }
        uint8_t* pixels = frame->Data();
        for (size_t i = 0, n = frame->DataSize(); i < n; ++i)
            pixels[i] = pixels[i] == t ? newTransparentIndex : table[pixels[i]];
        frame->PixelsChanged();
    }
}

// --- TColorMapOptimizer -------------------------------------------------------------

void TColorMapOptimizer::Optimize()
{
    TGIFHeader& header = image_.Header();
    std::optional<TColor> background;
    if (header.BackgroundColorIndex() < header.ColorMap().Count())
        background = header.BackgroundColor();
    Analyse();
    for (auto& histogram : histograms_) {
        histogram->Prune();
        allEntries_.insert(allEntries_.end(), histogram->Order().begin(), histogram->Order().end());
    }
    MergeDuplicates();
    BuildNewMap();
    Install();
    KeepBackgroundColor(background);
}

void TColorMapOptimizer::Analyse()
{
    usesTransparency_ = false;
    TGIFImageList& frames = image_.Images();
    TGIFColorMap& globalMap = image_.Header().ColorMap();
    if (globalMap.Count() > 0) {
        auto histogram = std::make_unique<THistogram>(globalMap);
        for (int i = 0; i < frames.Count(); ++i) {
            TGIFSubImage& frame = *frames.SubImage(i);
            if (!frame.IsEmpty() && frame.ColorMap().Count() == 0)
                usesTransparency_ = histogram->CountFrame(frame) || usesTransparency_;
        }
        if (!histogram->Frames().empty())
            histograms_.push_back(std::move(histogram));
    }
    for (int i = 0; i < frames.Count(); ++i) {
        TGIFSubImage& frame = *frames.SubImage(i);
        if (frame.IsEmpty() || frame.ColorMap().Count() == 0)
            continue;
        auto histogram = std::make_unique<THistogram>(frame.ColorMap());
        usesTransparency_ = histogram->CountFrame(frame) || usesTransparency_;
        histograms_.push_back(std::move(histogram));
    }
}

// Equal colours from different maps become one entry: the first of a run
// takes over the counts of the others.
void TColorMapOptimizer::MergeDuplicates()
{
    std::stable_sort(allEntries_.begin(), allEntries_.end(),
                     [](const THistogramEntry* a, const THistogramEntry* b) { return a->ColorKey() < b->ColorKey(); });
    THistogramEntry* head = nullptr;
    for (THistogramEntry* entry : allEntries_) {
        if (head && head->ColorKey() == entry->ColorKey()) {
            head->Count += entry->Count;
            entry->Count = 0;
            entry->MergedInto = head;
        } else {
            head = entry;
        }
    }
}

void TColorMapOptimizer::BuildNewMap()
{
    std::stable_sort(allEntries_.begin(), allEntries_.end(),
                     [](const THistogramEntry* a, const THistogramEntry* b) { return a->Count > b->Count; });
    const int limit = usesTransparency_ ? 255 : 256;
    newCount_ = 0;
    while (newCount_ < static_cast<int>(allEntries_.size()) && newCount_ < limit &&
           allEntries_[static_cast<size_t>(newCount_)]->Count > 0)
        ++newCount_;
    for (int i = 0; i < newCount_; ++i) {
        THistogramEntry& entry = *allEntries_[static_cast<size_t>(i)];
        entry.NewIndex = i;
        newMap_[static_cast<size_t>(3 * i)] = entry.Red;
        newMap_[static_cast<size_t>(3 * i + 1)] = entry.Green;
        newMap_[static_cast<size_t>(3 * i + 2)] = entry.Blue;
    }
    // Counts are sorted, so a merged entry's head (larger count) is always
    // placed before the entries that point to it.
    for (size_t i = static_cast<size_t>(newCount_); i < allEntries_.size(); ++i) {
        THistogramEntry& entry = *allEntries_[i];
        if (entry.Count > 0)
            AssignDroppedColor(entry);
        else if (entry.MergedInto)
            entry.NewIndex = entry.MergedInto->NewIndex;
    }
    if (usesTransparency_) {
        newTransparentIndex_ = static_cast<uint8_t>(newCount_);
        newMap_[static_cast<size_t>(3 * newCount_)] = 0;
        newMap_[static_cast<size_t>(3 * newCount_ + 1)] = 0;
        newMap_[static_cast<size_t>(3 * newCount_ + 2)] = 0;
        ++newCount_;
    }
}

// A colour that did not fit takes the kept colour nearest by the absolute
// value of the summed component differences (a cheap brightness match).
void TColorMapOptimizer::AssignDroppedColor(THistogramEntry& entry) const
{
    int best = 765;
    int bestIndex = 0;
    for (int j = 0; j < newCount_; ++j) {
        const THistogramEntry& kept = *allEntries_[static_cast<size_t>(j)];
        const int distance =
            std::abs((kept.Red - entry.Red) + (kept.Green - entry.Green) + (kept.Blue - entry.Blue));
        if (distance < best) {
            best = distance;
            bestIndex = j;
        }
    }
    entry.NewIndex = bestIndex;
}

void TColorMapOptimizer::Install()
{
    TGIFImageList& frames = image_.Images();
    for (int i = 0; i < frames.Count(); ++i)
        frames.SubImage(i)->ColorMap().Reset();
    TGIFColorMap& globalMap = image_.Header().ColorMap();
    globalMap.FillFromRGBTriples(newMap_.data(), newCount_);
    globalMap.MarkSorted();
    for (auto& histogram : histograms_)
        histogram->RemapFrames(usesTransparency_, newTransparentIndex_);
    for (int i = 0; i < frames.Count(); ++i) {
        TGIFSubImage& frame = *frames.SubImage(i);
        frame.LocalColorMapChanged();
    }
    image_.GlobalColorMapChanged();
}

void TColorMapOptimizer::KeepBackgroundColor(std::optional<TColor> background)
{
    if (!background)
        return;
    TGIFColorMap& globalMap = image_.Header().ColorMap();
    // The transparent slot's black is a placeholder, not a colour of the picture.
    const int colors = newCount_ - (usesTransparency_ ? 1 : 0);
    const uint8_t* entries = globalMap.Entries();
    const int red = int(*background & 0xFF), green = int((*background >> 8) & 0xFF), blue = int((*background >> 16) & 0xFF);
    int best = -1;
    int bestDistance = 0;
    for (int i = 0; i < colors; ++i) {
        const int dr = entries[3 * i] - red, dg = entries[3 * i + 1] - green, db = entries[3 * i + 2] - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    if (best >= 0)
        image_.Header().SetBackgroundColorIndex(uint8_t(best));
}

} // namespace animora
