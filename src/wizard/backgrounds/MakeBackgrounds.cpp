// animora-make-backgrounds FOLDER: draws the background pictures that ship
// with the GIF wizard into FOLDER (the build runs it into the "Image" folder
// beside the editor). Every picture is computed here from a fixed recipe -
// value noise, gradients, stripes - so the pictures are this project's own
// work, the same on every build, and need no files from elsewhere.
//
// Licence of the pictures: CC0 1.0 Universal (public domain dedication),
// made by the Animora Pro project; the program writes the same text into
// FOLDER/LICENSE.txt.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/Bitmap.h"

namespace {

using animora::PixelFormat;
using animora::TBitmap;

struct Rgb {
    double r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A repeatable pseudo-random value in [0, 1) for a lattice point.
double Lattice(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

// Value noise in [0, 1), bilinear between lattice points with a smooth step.
double Noise(double x, double y, uint32_t seed)
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = Smooth(x - x0);
    const double fy = Smooth(y - y0);
    const double top = Lattice(x0, y0, seed) + (Lattice(x0 + 1, y0, seed) - Lattice(x0, y0, seed)) * fx;
    const double bottom =
        Lattice(x0, y0 + 1, seed) + (Lattice(x0 + 1, y0 + 1, seed) - Lattice(x0, y0 + 1, seed)) * fx;
    return top + (bottom - top) * fy;
}

// Several octaves of noise, in [0, 1).
double Turbulence(double x, double y, uint32_t seed, int octaves)
{
    double sum = 0;
    double weight = 0.5;
    double total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += Noise(x, y, seed + i) * weight;
        total += weight;
        x *= 2;
        y *= 2;
        weight /= 2;
    }
    return sum / total;
}

TBitmap Paint(int width, int height, const std::function<Rgb(double x, double y)>& colour)
{
    TBitmap bitmap(width, height, PixelFormat::pf24bit);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            row[x * 3 + 0] = static_cast<uint8_t>(std::clamp(c.b, 0.0, 255.0));
            row[x * 3 + 1] = static_cast<uint8_t>(std::clamp(c.g, 0.0, 255.0));
            row[x * 3 + 2] = static_cast<uint8_t>(std::clamp(c.r, 0.0, 255.0));
        }
    }
    return bitmap;
}

// Grey-white marble with dark veins: the default background.
TBitmap Marble()
{
    return Paint(320, 200, [](double x, double y) {
        const double t = Turbulence(x / 40, y / 40, 7, 5);
        const double vein = std::abs(std::sin((x * 0.6 + y * 0.4) / 18 + t * 9));
        const Rgb stone{232, 228, 220};
        const Rgb dark{110, 112, 122};
        return Mix(dark, stone, std::pow(vein, 0.35) * (0.85 + 0.15 * t));
    });
}

// A blue sky with soft clouds.
TBitmap Sky()
{
    return Paint(320, 200, [](double x, double y) {
        const Rgb sky = Mix(Rgb{60, 120, 210}, Rgb{170, 210, 245}, y / 200);
        const double cloud = Turbulence(x / 60, y / 30, 21, 5);
        return Mix(sky, Rgb{252, 252, 255}, (cloud - 0.5) * 3.2);
    });
}

// Soft pastel stripes running down to the right.
TBitmap Stripes()
{
    const Rgb colours[] = {{250, 214, 165}, {190, 226, 206}, {178, 206, 240}, {236, 190, 214}};
    return Paint(320, 200, [&colours](double x, double y) {
        const double position = (x + y * 0.6) / 28;
        const int band = static_cast<int>(std::floor(position)) & 3;
        const double edge = position - std::floor(position);
        const Rgb base = colours[band];
        // A thin lighter line where the bands meet.
        return edge < 0.08 ? Mix(base, Rgb{255, 255, 255}, 0.6) : base;
    });
}

// Warm paper with fibres and a darker rim.
TBitmap Paper()
{
    return Paint(320, 200, [](double x, double y) {
        const double fibre = Turbulence(x / 6, y / 40, 43, 3);
        const double dx = (x - 160) / 160;
        const double dy = (y - 100) / 100;
        const double rim = std::clamp(dx * dx + dy * dy - 0.45, 0.0, 1.0);
        const Rgb paper = Mix(Rgb{246, 236, 214}, Rgb{228, 214, 186}, fibre);
        return Mix(paper, Rgb{190, 160, 120}, rim * 0.8);
    });
}

const char* const kLicence =
    "The pictures in this folder (Marble.bmp, Sky.bmp, Stripes.bmp, Paper.bmp) were computed by\n"
    "src/wizard/backgrounds/MakeBackgrounds.cpp of Animora Pro, made by the Animora Pro project.\n"
    "\n"
    "Licence: CC0 1.0 Universal. To the extent possible under law, the Animora Pro project has\n"
    "waived all copyright and related or neighbouring rights to these pictures. You may copy,\n"
    "modify and use them for any purpose without asking.\n"
    "https://creativecommons.org/publicdomain/zero/1.0/\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: animora-make-backgrounds FOLDER\n");
        return 2;
    }
    try {
        const std::filesystem::path folder(argv[1]);
        std::filesystem::create_directories(folder);
        Marble().SaveToFile((folder / "Marble.bmp").string());
        Sky().SaveToFile((folder / "Sky.bmp").string());
        Stripes().SaveToFile((folder / "Stripes.bmp").string());
        Paper().SaveToFile((folder / "Paper.bmp").string());
        std::ofstream(folder / "LICENSE.txt") << kLicence;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "animora-make-backgrounds: %s\n", error.what());
        return 1;
    }
    return 0;
}
