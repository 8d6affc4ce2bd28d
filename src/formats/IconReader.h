#pragma once
// Our reader for .ico files: a directory of images, each either a DIB with
// its 1-bit AND mask or a PNG stream. Bounded: every entry must lie inside
// the file, sizes are capped, and a damaged file raises EInvalidGraphic
// "Icon image is not valid".
#include <cstddef>
#include <cstdint>
#include <vector>

#include <QImage>

namespace animora {

struct TIconImage {
    // ARGB32: alpha 0 where the icon shows the background (AND-mask bit set,
    // or a transparent pixel of a 32-bit or PNG image).
    QImage image;
    int bitDepth = 0;   // colour depth as stored: 1..32 (PNG entries count as 32)
    bool png = false;
};

// Every image of the directory that decodes. Entries that point outside the
// file or do not decode are skipped; no usable image at all is a failure.
std::vector<TIconImage> ReadIconImages(const uint8_t* data, size_t size);

// The picture an icon stands for: the largest image, the deepest among equals.
const TIconImage& ChooseIconImage(const std::vector<TIconImage>& images);

} // namespace animora
