#pragma once
// Nearest-colour lookups: from a 24-bit colour to an index of a palette.
//
// The dither engines call a lookup once per pixel. Every concrete lookup is
// final and defines MatchColor inline, so an engine instantiated for the
// concrete type calls it without a virtual dispatch; code that only has a
// TColorLookup& still works through the virtual slot.
#include <array>
#include <cstdint>
#include <memory>

#include "platform/Palette.h"

namespace animora {

class TColorLookup {
public:
    explicit TColorLookup(int colorCount) : colorCount_(colorCount) {}
    virtual ~TColorLookup() = default;
    TColorLookup(const TColorLookup&) = delete;
    TColorLookup& operator=(const TColorLookup&) = delete;

    // Components are 0..255. Answers the palette index and passes back the
    // colour of that entry.
    virtual uint8_t MatchColor(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue) = 0;

    // How many palette entries the lookup can answer.
    int ColorCount() const { return colorCount_; }

protected:
    int colorCount_;
};

// Nearest entry of an arbitrary palette by the sum of absolute differences,
// remembered per cell of 5 bits per component. The cache is deliberately per
// cell, not per colour: once a cell holds an index every colour of the cell
// gets it. The first palette entry falling into a cell owns it from the start.
class TFastColorLookup final : public TColorLookup {
public:
    static constexpr int kCacheSize = 32768;

    explicit TFastColorLookup(const TPalette& palette);
    TFastColorLookup(const TPaletteEntry* entries, int count);

    uint8_t MatchColor(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue) override
    {
        const int key = CacheKey(red, green, blue);
        int index = inverseCache_[key];
        if (index < 0) {
            index = SearchNearest(red, green, blue);
            inverseCache_[key] = static_cast<int16_t>(index);
        }
        const TPaletteEntry& entry = entries_[index];
        outRed = entry.red;
        outGreen = entry.green;
        outBlue = entry.blue;
        return static_cast<uint8_t>(index);
    }

    static int CacheKey(int red, int green, int blue)
    {
        return ((blue & 0xF8) << 7) | ((green >> 3) << 5) | (red >> 3);
    }

private:
    // The component value of the search slots past the palette.
    static constexpr int16_t kBeyondColors = 4096;

    void Build(const TPaletteEntry* entries, int count);
    int SearchNearest(int red, int green, int blue) const;

    std::array<TPaletteEntry, 256> entries_{};
    // The components again, one array each, for the vectorised search: all
    // 256 slots in 16-bit lanes, those past the palette far from any colour.
    std::array<int16_t, 256> searchRed_{}, searchGreen_{}, searchBlue_{};
    std::unique_ptr<int16_t[]> inverseCache_;
};

// Nearest entry by squared distance, remembered per cell of 6 bits per
// component: the lookup of refined palettes, whose entries lie closer
// together than the 5-bit cells of TFastColorLookup can tell apart.
class TPreciseColorLookup final : public TColorLookup {
public:
    static constexpr int kCacheSize = 1 << 18;

    explicit TPreciseColorLookup(const TPalette& palette);

    uint8_t MatchColor(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue) override
    {
        const int key = ((red >> 2) << 12) | ((green >> 2) << 6) | (blue >> 2);
        int index = cache_[key];
        if (index < 0) {
            index = SearchNearest((red & 0xFC) | 2, (green & 0xFC) | 2, (blue & 0xFC) | 2);
            cache_[key] = static_cast<int16_t>(index);
        }
        const TPaletteEntry& entry = entries_[index];
        outRed = entry.red;
        outGreen = entry.green;
        outBlue = entry.blue;
        return static_cast<uint8_t>(index);
    }

private:
    int SearchNearest(int red, int green, int blue) const;

    std::array<TPaletteEntry, 256> entries_{};
    std::array<int32_t, 256> searchRed_{}, searchGreen_{}, searchBlue_{};
    std::unique_ptr<int16_t[]> cache_;
};

// The 6x6x6 cube: each component rounds to the nearest of 0, 51, ... 255.
class TNetscapeColorLookup final : public TColorLookup {
public:
    TNetscapeColorLookup() : TColorLookup(216) {}

    uint8_t MatchColor(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue) override
    {
        const int r = Level(red), g = Level(green), b = Level(blue);
        outRed = r * 51;
        outGreen = g * 51;
        outBlue = b * 51;
        return static_cast<uint8_t>(36 * r + 6 * g + b);
    }

    static int Level(int component) { return (component + 3) / 51; }
};

// 256 grays weighted 77:150:29 out of 256.
class TGrayScaleLookup final : public TColorLookup {
public:
    TGrayScaleLookup() : TColorLookup(256) {}

    uint8_t MatchColor(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue) override
    {
        const int gray = (77 * red + 150 * green + 29 * blue) >> 8;
        outRed = outGreen = outBlue = gray;
        return static_cast<uint8_t>(gray);
    }
};

// Black (0) or white (1) by the same weighted brightness; exact mid-gray
// 127 is still black.
class TMonochromeLookup final : public TColorLookup {
public:
    TMonochromeLookup() : TColorLookup(2) {}

    uint8_t MatchColor(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue) override
    {
        const bool white = 77 * red + 150 * green + 29 * blue > 32512;
        outRed = outGreen = outBlue = white ? 255 : 0;
        return white ? 1 : 0;
    }
};

} // namespace animora
