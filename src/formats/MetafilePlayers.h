#pragma once
// The two record players behind RenderMetafile. Each validates its header on
// construction (size, bounds) and plays every record onto a canvas; records
// it does not know are skipped.
#include <QImage>
#include <QSize>

#include "formats/ByteReader.h"
#include "formats/Metafile.h"

namespace animora {

class WmfPlayer {
public:
    WmfPlayer(const ByteReader& file, const TMetafileLimits& limits);
    QSize Size() const { return size_; }
    void Play(QImage& image) const;

private:
    void ReadPlaceableHeader();
    void FindWindowOfPlainFile();

    ByteReader file_;
    TMetafileLimits limits_;
    size_t firstRecord_ = 0;
    int objectCount_ = 0;
    QRectF window_;  // the logical rectangle that fills the picture
    QSize size_;
};

class EmfPlayer {
public:
    EmfPlayer(const ByteReader& file, const TMetafileLimits& limits);
    QSize Size() const { return size_; }
    void Play(QImage& image) const;

private:
    ByteReader file_;
    QRectF frameDevice_;  // the picture frame in reference-device pixels
    double pixelsPerMmX_ = 0, pixelsPerMmY_ = 0;
    int handleCount_ = 0;
    uint64_t maxPixelWork_ = 0;
    QSize size_;
};

// 8-bit text of the records, in the Western Windows code page (1252): Latin-1
// except for 0x80..0x9F, which hold the euro sign, curly quotes, dashes...
QString AnsiText(const uint8_t* text, size_t count);

// Shared by the players: the picture size at 96 pixels per inch, checked.
QSize CheckedPictureSize(double width, double height, const TMetafileLimits& limits, const ByteReader& file);

} // namespace animora
