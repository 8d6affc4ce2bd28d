#pragma once
// Palettes of up to 256 colours, as the engine's palette bitmaps and the
// colour reduction use them. An entry is red, green, blue, flags — the
// platform's palette entry order, not the blue-first order of a DIB colour
// table.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace animora {

// A colour value: red in bits 0-7, green in 8-15, blue in 16-23.
using TColor = uint32_t;

constexpr TColor MakeColor(uint8_t red, uint8_t green, uint8_t blue)
{
    return static_cast<TColor>(red) | (static_cast<TColor>(green) << 8) | (static_cast<TColor>(blue) << 16);
}
constexpr uint8_t ColorRed(TColor color) { return static_cast<uint8_t>(color); }
constexpr uint8_t ColorGreen(TColor color) { return static_cast<uint8_t>(color >> 8); }
constexpr uint8_t ColorBlue(TColor color) { return static_cast<uint8_t>(color >> 16); }

// Palette entry flags.
constexpr uint8_t pcReserved = 0x01;
constexpr uint8_t pcExplicit = 0x02;
constexpr uint8_t pcNoCollapse = 0x04;

struct TPaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;

    TColor Color() const { return MakeColor(red, green, blue); }
    bool operator==(const TPaletteEntry&) const = default;
};

class TPalette {
public:
    static constexpr int MaxEntries = 256;

    TPalette() = default;
    // Raises EConvertError when more than MaxEntries are given.
    explicit TPalette(std::vector<TPaletteEntry> entries);

    int Count() const { return static_cast<int>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    // New entries are black with no flags. Raises EConvertError past MaxEntries.
    void SetCount(int count);
    void Clear() { entries_.clear(); }
    // Raises EConvertError when the palette is full.
    void Add(const TPaletteEntry& entry);

    // Checked access: an index outside 0..Count-1 raises EListError.
    const TPaletteEntry& Entry(int index) const;
    void SetEntry(int index, const TPaletteEntry& entry);
    // Unchecked access for inner loops.
    const TPaletteEntry& operator[](int index) const { return entries_[static_cast<size_t>(index)]; }

    TColor Color(int index) const { return Entry(index).Color(); }
    const std::vector<TPaletteEntry>& Entries() const { return entries_; }

    // The index of the entry closest to the colour (smallest squared distance
    // in RGB; the lowest index wins a tie); -1 for an empty palette.
    int NearestIndex(uint8_t red, uint8_t green, uint8_t blue) const;

    bool operator==(const TPalette&) const = default;

private:
    std::vector<TPaletteEntry> entries_;
};

// The 20 static colours every palette-based display reserves, in the system's
// order: 10 at the low end of the hardware palette, 10 at the high end.
TPalette StockSystemPalette();

// The 256-entry halftone palette used for true-colour pictures on a
// palette display: see Palette.cpp for its layout.
TPalette BuiltInHalftonePalette();

// Black and white.
TPalette MonochromePalette();

// The 16 colours of a 4-bit display: the pure and half-intensity colours of the
// stock system palette (its first 8 and last 8 entries).
TPalette SixteenColorPalette();

} // namespace animora
