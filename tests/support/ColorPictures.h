#pragma once
// Small pictures for the colour-engine tests, built in the test.
#include <functional>
#include <random>

#include "platform/Bitmap.h"

namespace animora::test {

struct RGB {
    int red, green, blue;
    bool operator==(const RGB&) const = default;
};

// A 24-bit picture whose pixel (x, y) is colorAt(x, y).
inline TBitmap MakePicture(int width, int height, const std::function<RGB(int, int)>& colorAt)
{
    TBitmap picture(width, height, PixelFormat::pf24bit);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const RGB color = colorAt(x, y);
            row[3 * x] = static_cast<uint8_t>(color.blue);
            row[3 * x + 1] = static_cast<uint8_t>(color.green);
            row[3 * x + 2] = static_cast<uint8_t>(color.red);
        }
    }
    return picture;
}

// A picture of random colours drawn from `palette` (seeded, so repeatable).
inline TBitmap PictureFromPalette(int width, int height, const TPalette& palette, unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, palette.Count() - 1);
    return MakePicture(width, height, [&](int, int) {
        const TPaletteEntry& entry = palette[pick(random)];
        return RGB{entry.red, entry.green, entry.blue};
    });
}

inline RGB ColorAt(const TBitmap& bitmap, int x, int y)
{
    const TColor color = bitmap.PixelColor(x, y);
    return RGB{ColorRed(color), ColorGreen(color), ColorBlue(color)};
}

} // namespace animora::test
