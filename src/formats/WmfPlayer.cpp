// The Windows metafile player: a placeable header (optional), the 18-byte
// metafile header, then records of (size in words, function, parameters).
// Parameters are 16-bit words, most of them stored in reverse order.
#include <cmath>

#include "formats/MetafileCanvas.h"
#include "formats/MetafilePlayers.h"
#include "formats/DibDecoder.h"

namespace animora {

namespace {

// The record functions the player knows, by their numbers in the file; any
// other record is skipped.
enum WmfRecordType : uint16_t {
    wmfEOF = 0x0000,
    wmfSaveDC = 0x001E,
    wmfCreatePalette = 0x00F7,
    wmfSetBkMode = 0x0102,
    wmfSetRop2 = 0x0104,
    wmfSetPolyFillMode = 0x0106,
    wmfRestoreDC = 0x0127,
    wmfPaintRegion = 0x012B,
    wmfSelectClipRegion = 0x012C,
    wmfSelectObject = 0x012D,
    wmfSetTextAlign = 0x012E,
    wmfDibCreatePatternBrush = 0x0142,
    wmfDeleteObject = 0x01F0,
    wmfCreatePatternBrush = 0x01F9,
    wmfSetBkColor = 0x0201,
    wmfSetTextColor = 0x0209,
    wmfSetWindowOrg = 0x020B,
    wmfSetWindowExt = 0x020C,
    wmfOffsetWindowOrg = 0x020F,
    wmfLineTo = 0x0213,
    wmfMoveTo = 0x0214,
    wmfFillRegion = 0x0228,
    wmfCreatePenIndirect = 0x02FA,
    wmfCreateFontIndirect = 0x02FB,
    wmfCreateBrushIndirect = 0x02FC,
    wmfPolygon = 0x0324,
    wmfPolyline = 0x0325,
    wmfScaleWindowExt = 0x0410,
    wmfExcludeClipRect = 0x0415,
    wmfIntersectClipRect = 0x0416,
    wmfEllipse = 0x0418,
    wmfRectangle = 0x041B,
    wmfSetPixel = 0x041F,
    wmfTextOut = 0x0521,
    wmfPolyPolygon = 0x0538,
    wmfRoundRect = 0x061C,
    wmfPatBlt = 0x061D,
    wmfCreateRegion = 0x06FF,
    wmfArc = 0x0817,
    wmfPie = 0x081A,
    wmfChord = 0x0830,
    wmfDibBitBlt = 0x0940,
    wmfExtTextOut = 0x0A32,
    wmfDibStretchBlt = 0x0B41,
    wmfSetDibToDevice = 0x0D33,
    wmfStretchDib = 0x0F43,
};

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kHeaderSize = 18;
constexpr double kScreenDpi = 96;

QColor ColorRef(uint32_t value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// A record: its bytes, with the parameter words numbered from 0.
struct Record {
    ByteReader bytes;
    uint16_t function;

    int16_t P(size_t i) const { return bytes.S16(6 + 2 * i); }
    uint16_t U(size_t i) const { return bytes.U16(6 + 2 * i); }
    uint32_t U32At(size_t i) const { return bytes.U32(6 + 2 * i); }
    size_t ParamBytes() const { return bytes.Size() - 6; }
};

QPolygonF ReadPoints(const Record& r, size_t firstWord, size_t count)
{
    r.bytes.Require(6 + 2 * firstWord, 4 * count);
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count; ++i)
        points.append(QPointF(r.P(firstWord + 2 * i), r.P(firstWord + 2 * i + 1)));
    return points;
}

QRectF BoxFromReversed(const Record& r, size_t first)  // bottom, right, top, left
{
    return QRectF(QPointF(r.P(first + 3), r.P(first + 2)), QPointF(r.P(first + 1), r.P(first)));
}

QString FaceName(const Record& r, size_t offset)
{
    size_t length = 0;
    while (length < 32 && r.bytes.Contains(offset + length, 1) && r.bytes.U8(offset + length) != 0)
        ++length;
    return AnsiText(r.bytes.Data() + offset, length);
}

GdiObject MakePen(const Record& r)
{
    return GdiPen{r.U(0), static_cast<double>(r.P(1)), ColorRef(r.U32At(3))};
}

GdiObject MakeBrush(const Record& r)
{
    return GdiBrush{r.U(0), ColorRef(r.U32At(1)), r.U(3), {}};
}

GdiObject MakeFont(const Record& r)
{
    GdiFont font;
    font.height = r.P(0);
    font.escapement = r.P(2);
    font.weight = r.P(4);
    font.italic = r.bytes.U8(16) != 0;
    font.underline = r.bytes.U8(17) != 0;
    font.strikeOut = r.bytes.U8(18) != 0;
    font.face = FaceName(r, 24);
    return font;
}

// A packed DIB (header, colours, pixels) starting at `offset` in the record.
QImage ReadPackedDib(const Record& r, size_t offset)
{
    try {
        const ByteReader packed = r.bytes.Sub(offset, r.bytes.Size() - std::min(offset, r.bytes.Size()));
        const DibInfo dib = ParseDibHeader(packed);
        return DecodeDibPixels(dib, packed.Sub(dib.headerBytes, packed.Size() - dib.headerBytes));
    } catch (const EInvalidGraphic&) {
        return {};  // compressed or damaged pictures are left out
    }
}

GdiObject MakeDibPatternBrush(const Record& r)
{
    GdiBrush brush{3, Qt::black, 0, ReadPackedDib(r, 10)};
    return brush;
}

// A region object: a header with the scan count, then scans of (count, top,
// bottom, count / 2 pairs of left and right, count again).
GdiObject MakeRegion(const Record& r)
{
    constexpr size_t kScansOffset = 6 + 22;
    const size_t scans = r.U(5);
    GdiRegion region;
    size_t at = kScansOffset;
    for (size_t i = 0; i < scans && r.bytes.Contains(at, 6); ++i) {
        const size_t count = r.bytes.U16(at);
        const double top = r.bytes.S16(at + 2), bottom = r.bytes.S16(at + 4);
        r.bytes.Require(at + 6, 2 * count + 2);
        for (size_t k = 0; k + 1 < count; k += 2)
            region.rects.emplace_back(QPointF(r.bytes.S16(at + 6 + 2 * k), top),
                                      QPointF(r.bytes.S16(at + 8 + 2 * k), bottom));
        at += 6 + 2 * count + 2;
    }
    return region;
}

void PlayText(MetafileCanvas& canvas, const Record& r)
{
    const size_t count = r.U(0);
    const size_t padded = (count + 1) & ~size_t{1};
    r.bytes.Require(8, padded + 4);
    const int16_t y = r.bytes.S16(8 + padded), x = r.bytes.S16(10 + padded);
    canvas.TextOut(QPointF(x, y), AnsiText(r.bytes.Data() + 8, count), {}, std::nullopt);
}

void PlayExtText(MetafileCanvas& canvas, const Record& r)
{
    const QPointF at(r.P(1), r.P(0));
    const size_t count = r.U(2);
    const uint16_t options = r.U(3);
    size_t offset = 14;
    std::optional<QRectF> opaque;
    if (options & 0x0006) {  // ETO_OPAQUE or ETO_CLIPPED: a rectangle follows
        const QRectF box(QPointF(r.bytes.S16(14), r.bytes.S16(16)), QPointF(r.bytes.S16(18), r.bytes.S16(20)));
        if (options & 0x0002)
            opaque = box;
        offset += 8;
    }
    r.bytes.Require(offset, count);
    const QString text = AnsiText(r.bytes.Data() + offset, count);
    std::vector<double> dx;
    const size_t dxOffset = offset + ((count + 1) & ~size_t{1});
    if (r.bytes.Contains(dxOffset, 2 * count)) {
        for (size_t i = 0; i < count; ++i)
            dx.push_back(r.bytes.S16(dxOffset + 2 * i));
    }
    canvas.TextOut(at, text, dx, opaque);
}

void PlayPolyPolygon(MetafileCanvas& canvas, const Record& r)
{
    const size_t polygons = r.U(0);
    r.bytes.Require(8, 2 * polygons);
    std::vector<QPolygonF> list;
    size_t word = 1 + polygons;
    for (size_t i = 0; i < polygons; ++i) {
        const size_t count = r.U(1 + i);
        list.push_back(ReadPoints(r, word, count));
        word += 2 * count;
    }
    canvas.PolyPolygon(list);
}

// The DIB blits carry no bitmap when the record is exactly as long as its
// fixed words; then they paint with the brush.
bool HasBitmap(const Record& r)
{
    return r.bytes.Size() / 2 != size_t(r.function >> 8) + 3;
}

void PlayDibBitBlt(MetafileCanvas& canvas, const Record& r)
{
    const uint32_t rop = r.U32At(0);
    if (!HasBitmap(r)) {
        canvas.PatBlt(QRectF(r.P(6), r.P(5), r.P(4), r.P(3)), rop);
        return;
    }
    const QImage picture = ReadPackedDib(r, 22);
    const QRectF source(r.P(3), r.P(2), r.P(5), r.P(4));
    canvas.DrawPicture(QRectF(r.P(7), r.P(6), r.P(5), r.P(4)), picture, source, rop);
}

void PlayDibStretchBlt(MetafileCanvas& canvas, const Record& r)
{
    const uint32_t rop = r.U32At(0);
    if (!HasBitmap(r)) {
        canvas.PatBlt(QRectF(r.P(7), r.P(6), r.P(5), r.P(4)), rop);
        return;
    }
    const QImage picture = ReadPackedDib(r, 26);
    const QRectF source(r.P(5), r.P(4), r.P(3), r.P(2));
    canvas.DrawPicture(QRectF(r.P(9), r.P(8), r.P(7), r.P(6)), picture, source, rop);
}

void PlayStretchDib(MetafileCanvas& canvas, const Record& r)
{
    const uint32_t rop = r.U32At(0);
    const QImage picture = ReadPackedDib(r, 28);
    const QRectF source(r.P(6), r.P(5), r.P(4), r.P(3));
    canvas.DrawPicture(QRectF(r.P(10), r.P(9), r.P(8), r.P(7)), picture, source, rop);
}

void PlaySetDibToDevice(MetafileCanvas& canvas, const Record& r)
{
    const QImage picture = ReadPackedDib(r, 24);
    const QRectF source(r.P(4), r.P(3), r.P(6), r.P(5));
    canvas.DrawPicture(QRectF(r.P(8), r.P(7), r.P(6), r.P(5)), picture, source, rop::SrcCopy);
}

void PlayShape(MetafileCanvas& canvas, const Record& r)
{
    switch (r.function) {
    case wmfRectangle: canvas.Rectangle(BoxFromReversed(r, 0)); break;
    case wmfEllipse: canvas.Ellipse(BoxFromReversed(r, 0)); break;
    case wmfRoundRect: canvas.RoundRect(BoxFromReversed(r, 2), QSizeF(r.P(1), r.P(0))); break;
    case wmfArc:
    case wmfPie:
    case wmfChord: {
        const ArcKind kind = r.function == wmfArc ? ArcKind::Arc : r.function == wmfPie ? ArcKind::Pie : ArcKind::Chord;
        canvas.ArcShape(kind, BoxFromReversed(r, 4), QPointF(r.P(3), r.P(2)), QPointF(r.P(1), r.P(0)));
        break;
    }
    case wmfPolygon: canvas.Polygon(ReadPoints(r, 1, r.U(0))); break;
    case wmfPolyline: canvas.Polyline(ReadPoints(r, 1, r.U(0))); break;
    case wmfPolyPolygon: PlayPolyPolygon(canvas, r); break;
    default: break;
    }
}

void PlayState(MetafileCanvas& canvas, const Record& r)
{
    switch (r.function) {
    case wmfSetWindowOrg: canvas.SetWindowOrg(r.P(1), r.P(0)); break;
    case wmfSetWindowExt: canvas.SetWindowExt(r.P(1), r.P(0)); break;
    case wmfOffsetWindowOrg: canvas.OffsetWindowOrg(r.P(1), r.P(0)); break;
    case wmfScaleWindowExt: canvas.ScaleWindowExt(r.P(3), r.P(2), r.P(1), r.P(0)); break;
    case wmfSetBkColor: canvas.SetBkColor(ColorRef(r.U32At(0))); break;
    case wmfSetTextColor: canvas.SetTextColor(ColorRef(r.U32At(0))); break;
    case wmfSetBkMode: canvas.SetBkMode(r.U(0)); break;
    case wmfSetPolyFillMode: canvas.SetPolyFillMode(r.U(0)); break;
    case wmfSetRop2: canvas.SetRop2(r.U(0)); break;
    case wmfSetTextAlign: canvas.SetTextAlign(r.U(0)); break;
    case wmfSaveDC: canvas.SaveDC(); break;
    case wmfRestoreDC: canvas.RestoreDC(r.P(0)); break;
    case wmfIntersectClipRect: canvas.IntersectClipRect(BoxFromReversed(r, 0)); break;
    case wmfExcludeClipRect: canvas.ExcludeClipRect(BoxFromReversed(r, 0)); break;
    case wmfMoveTo: canvas.MoveTo(QPointF(r.P(1), r.P(0))); break;
    case wmfLineTo: canvas.LineTo(QPointF(r.P(1), r.P(0))); break;
    case wmfSetPixel: canvas.SetPixel(QPointF(r.P(3), r.P(2)), ColorRef(r.U32At(0))); break;
    default: break;
    }
}

void PlayObject(MetafileCanvas& canvas, const Record& r)
{
    switch (r.function) {
    case wmfCreatePenIndirect: canvas.AddObject(MakePen(r)); break;
    case wmfCreateBrushIndirect: canvas.AddObject(MakeBrush(r)); break;
    case wmfCreateFontIndirect: canvas.AddObject(MakeFont(r)); break;
    case wmfDibCreatePatternBrush: canvas.AddObject(MakeDibPatternBrush(r)); break;
    case wmfCreateRegion: canvas.AddObject(MakeRegion(r)); break;
    case wmfCreatePalette:  // palette and old-style pattern brush: they take a slot all the same
    case wmfCreatePatternBrush: canvas.AddObject(std::monostate{}); break;
    case wmfSelectObject: canvas.SelectObject(r.U(0)); break;
    case wmfDeleteObject: canvas.DeleteObject(r.U(0)); break;
    default: break;
    }
}

void PlayRecord(MetafileCanvas& canvas, const Record& r)
{
    switch (r.function) {
    case wmfTextOut: PlayText(canvas, r); break;
    case wmfExtTextOut: PlayExtText(canvas, r); break;
    case wmfDibBitBlt: PlayDibBitBlt(canvas, r); break;
    case wmfDibStretchBlt: PlayDibStretchBlt(canvas, r); break;
    case wmfStretchDib: PlayStretchDib(canvas, r); break;
    case wmfSetDibToDevice: PlaySetDibToDevice(canvas, r); break;
    case wmfFillRegion: canvas.FillRegionObject(r.U(0), r.U(1)); break;
    case wmfPaintRegion: canvas.FillRegionObject(r.U(0), std::nullopt); break;
    case wmfSelectClipRegion: canvas.SelectClipRegionObject(r.U(0)); break;
    case wmfPatBlt: canvas.PatBlt(QRectF(r.P(5), r.P(4), r.P(3), r.P(2)), r.U32At(0)); break;
    default:
        PlayShape(canvas, r);
        PlayState(canvas, r);
        PlayObject(canvas, r);
        break;
    }
}

} // namespace

QString AnsiText(const uint8_t* text, size_t count)
{
    // 0x80..0x9F of code page 1252; 0 marks the five unassigned codes.
    static const char16_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    QString result;
    result.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count; ++i) {
        const uint8_t c = text[i];
        const bool mapped = c >= 0x80 && c < 0xA0 && high[c - 0x80] != 0;
        result.append(QChar(mapped ? high[c - 0x80] : char16_t(c)));
    }
    return result;
}

QSize CheckedPictureSize(double width, double height, const TMetafileLimits& limits, const ByteReader& file)
{
    const double w = std::round(std::fabs(width)), h = std::round(std::fabs(height));
    if (!(w >= 1 && h >= 1 && w <= limits.maxSide && h <= limits.maxSide))
        file.Fail();
    return QSize(static_cast<int>(w), static_cast<int>(h));
}

WmfPlayer::WmfPlayer(const ByteReader& file, const TMetafileLimits& limits) : file_(file), limits_(limits)
{
    const bool placeable = file_.U32(0) == kPlaceableKey;
    firstRecord_ = placeable ? kPlaceableSize : 0;
    const size_t header = firstRecord_;
    const uint16_t type = file_.U16(header), headerWords = file_.U16(header + 2);
    if ((type != 1 && type != 2) || headerWords != kHeaderSize / 2)
        file_.Fail();
    objectCount_ = file_.U16(header + 10);
    file_.Require(header, kHeaderSize);
    firstRecord_ += kHeaderSize;
    if (placeable)
        ReadPlaceableHeader();
    else
        FindWindowOfPlainFile();
}

// Bounding box in logical units and the units per inch.
void WmfPlayer::ReadPlaceableHeader()
{
    const double left = file_.S16(6), top = file_.S16(8), right = file_.S16(10), bottom = file_.S16(12);
    const double inch = file_.U16(14) == 0 ? 1440 : file_.U16(14);
    window_ = QRectF(QPointF(left, top), QPointF(right, bottom));
    size_ = CheckedPictureSize((right - left) * kScreenDpi / inch, (bottom - top) * kScreenDpi / inch, limits_, file_);
}

// A plain metafile gives its size only through the window it sets: one
// logical unit is one pixel.
void WmfPlayer::FindWindowOfPlainFile()
{
    QPointF origin(0, 0), extent(0, 0);
    for (size_t at = firstRecord_; file_.Contains(at, 6);) {
        const uint32_t words = file_.U32(at);
        const uint16_t function = file_.U16(at + 4);
        if (words < 3 || !file_.Contains(at, size_t{words} * 2) || function == wmfEOF)
            break;
        if (function == wmfSetWindowOrg && words >= 5)
            origin = QPointF(file_.S16(at + 8), file_.S16(at + 6));
        if (function == wmfSetWindowExt && words >= 5)
            extent = QPointF(file_.S16(at + 8), file_.S16(at + 6));
        at += size_t{words} * 2;
    }
    window_ = QRectF(origin, QSizeF(extent.x(), extent.y()));
    size_ = CheckedPictureSize(extent.x(), extent.y(), limits_, file_);
}

// The window the file sets replaces our initial one, and the window always
// fills the picture: that is how a placeable metafile is shown.
void WmfPlayer::Play(QImage& image) const
{
    MetafileCanvas canvas(image, QTransform(), limits_.maxPixelWork);
    canvas.ResizeObjectTable(size_t(objectCount_));
    canvas.SetMapMode(8);
    canvas.SetWindowOrg(window_.left(), window_.top());
    canvas.SetWindowExt(window_.width(), window_.height());
    canvas.SetViewportOrg(0, 0);
    canvas.SetViewportExt(image.width(), image.height());
    size_t at = firstRecord_;
    while (file_.Contains(at, 6)) {
        const uint32_t words = file_.U32(at);
        if (words < 3 || !file_.Contains(at, size_t{words} * 2))
            file_.Fail();
        const Record record{file_.Sub(at, size_t{words} * 2), file_.U16(at + 4)};
        if (record.function == wmfEOF)
            break;
        PlayRecord(canvas, record);
        at += size_t{words} * 2;
    }
}

} // namespace animora
