#include "color/ColorPalettes.h"

#include <algorithm>
#include <vector>

#include "color/ColorQuantizer.h"
#include "color/DIB.h"
#include "color/PaletteRefiner.h"

namespace animora {

namespace {

TPalette GrayRamp(std::initializer_list<uint8_t> levels)
{
    std::vector<TPaletteEntry> entries;
    for (uint8_t level : levels)
        entries.push_back({level, level, level, pcNoCollapse});
    return TPalette(std::move(entries));
}

} // namespace

TPalette MakeNetscapePalette()
{
    std::vector<TPaletteEntry> entries;
    entries.reserve(216);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                entries.push_back({static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                   static_cast<uint8_t>(b * 51), 0});
    return TPalette(std::move(entries));
}

TPalette MakeGrayPalette()
{
    std::vector<TPaletteEntry> entries(256);
    for (int i = 0; i < 256; ++i) {
        const auto gray = static_cast<uint8_t>(i);
        entries[i] = {gray, gray, gray, pcNoCollapse};
    }
    return TPalette(std::move(entries));
}

TPalette MakeMonochromePalette()
{
    return GrayRamp({0x00, 0xFF});
}

TPalette MakeWindowsGrayPalette()
{
    return GrayRamp({0x00, 0x80, 0xC0, 0xFF});
}

TPalette MakeHalftonePalette()
{
    return BuiltInHalftonePalette();
}

TPalette MakeStockPalette()
{
    return StockSystemPalette();
}

TPalette MakeOptimizedPalette(TDIBReader& reader, int colorCount, int depth, bool reserveSystemColors, bool refine)
{
    constexpr int kReserved = 20;
    int count = std::clamp(colorCount, 1, TPalette::MaxEntries);
    int start = 0;
    std::vector<TPaletteEntry> entries;
    if (reserveSystemColors) {
        const TPalette stock = MakeStockPalette();
        entries.assign(TPalette::MaxEntries, TPaletteEntry{});
        for (int i = 0; i < kReserved / 2; ++i) {
            entries[i] = stock[i];
            entries[TPalette::MaxEntries - kReserved / 2 + i] = stock[kReserved / 2 + i];
        }
        count = TPalette::MaxEntries - kReserved;
        start = kReserved / 2;
    } else {
        entries.assign(count, TPaletteEntry{});
    }

    std::vector<TRGBQuad> table;
    {
        TColorQuantizer quantizer(count, depth);
        quantizer.AddPixels(reader);
        quantizer.CollectColors(table);
    }
    const int fitted = std::min(static_cast<int>(table.size()), count);
    table.resize(static_cast<size_t>(fitted));
    if (refine) {
        std::vector<TRGBQuad> reserved;
        for (int i = 0; reserveSystemColors && i < TPalette::MaxEntries; ++i)
            if (i < start || i >= start + count)
                reserved.push_back(TRGBQuad{entries[i].blue, entries[i].green, entries[i].red, 0});
        TPaletteRefiner(reader).Refine(table, reserved);
    }
    for (int i = 0; i < fitted; ++i)
        entries[start + i] = TPaletteEntry{table[i].red, table[i].green, table[i].blue, 0};
    return TPalette(std::move(entries));
}

TPalette MakeOptimizedPalette(TBitmap& bitmap, int colorCount, int depth, bool reserveSystemColors, bool refine)
{
    TDIBReader reader(bitmap, PixelFormat::pf24bit);
    return MakeOptimizedPalette(reader, colorCount, depth, reserveSystemColors, refine);
}

} // namespace animora
