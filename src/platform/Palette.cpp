#include "platform/Palette.h"

#include "platform/Errors.h"

namespace animora {

namespace {

void CheckCapacity(size_t count)
{
    if (count > static_cast<size_t>(TPalette::MaxEntries))
        throw EConvertError("A palette holds at most 256 entries");
}

constexpr TPaletteEntry kSystemColors[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

} // namespace

TPalette::TPalette(std::vector<TPaletteEntry> entries) : entries_(std::move(entries))
{
    CheckCapacity(entries_.size());
}

void TPalette::SetCount(int count)
{
    if (count < 0)
        throw EListError::IndexOutOfBounds(count);
    CheckCapacity(static_cast<size_t>(count));
    entries_.resize(static_cast<size_t>(count));
}

void TPalette::Add(const TPaletteEntry& entry)
{
    CheckCapacity(entries_.size() + 1);
    entries_.push_back(entry);
}

const TPaletteEntry& TPalette::Entry(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError::IndexOutOfBounds(index);
    return entries_[static_cast<size_t>(index)];
}

void TPalette::SetEntry(int index, const TPaletteEntry& entry)
{
    if (index < 0 || index >= Count())
        throw EListError::IndexOutOfBounds(index);
    entries_[static_cast<size_t>(index)] = entry;
}

int TPalette::NearestIndex(uint8_t red, uint8_t green, uint8_t blue) const
{
    int best = -1;
    int bestDistance = 0x7FFFFFFF;
    for (int i = 0; i < Count(); ++i) {
        const TPaletteEntry& e = entries_[static_cast<size_t>(i)];
        const int dr = e.red - red, dg = e.green - green, db = e.blue - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0)
                break;
        }
    }
    return best;
}

TPalette StockSystemPalette()
{
    return TPalette(std::vector<TPaletteEntry>(std::begin(kSystemColors), std::end(kSystemColors)));
}

// Layout of the halftone palette (256 entries, flags 0):
//   0..9     the low ten static colours of the system palette;
//   10..225  the 6x6x6 colour cube, levels 0, 51, .., 255, red outermost and
//            blue innermost (entry 10 + 36r + 6g + b);
//   226..245 twenty grays between the cube's levels, round(k * 255 / 21) for
//            k = 1..20, so gray pictures keep their shading;
//   246..255 the high ten static colours of the system palette.
// Every system colour is in it, so pictures made for the 20-colour palette
// come out unchanged.
TPalette BuiltInHalftonePalette()
{
    std::vector<TPaletteEntry> entries(std::begin(kSystemColors), std::begin(kSystemColors) + 10);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                entries.push_back({static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                   static_cast<uint8_t>(b * 51), 0});
    for (int k = 1; k <= 20; ++k) {
        const auto gray = static_cast<uint8_t>((k * 255 * 2 + 21) / 42);
        entries.push_back({gray, gray, gray, 0});
    }
    entries.insert(entries.end(), std::begin(kSystemColors) + 10, std::end(kSystemColors));
    return TPalette(std::move(entries));
}

TPalette MonochromePalette()
{
    return TPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
}

TPalette SixteenColorPalette()
{
    std::vector<TPaletteEntry> entries(std::begin(kSystemColors), std::begin(kSystemColors) + 8);
    entries.insert(entries.end(), std::end(kSystemColors) - 8, std::end(kSystemColors));
    return TPalette(std::move(entries));
}

} // namespace animora
