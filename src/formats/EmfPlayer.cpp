// The enhanced metafile player: a header record, then records of (type,
// size in bytes, fields). Points come as 32-bit pairs or, in the "16"
// records, 16-bit pairs. Offsets inside a record count from its start.
#include <cmath>

#include "formats/DibDecoder.h"
#include "formats/MetafileCanvas.h"
#include "formats/MetafilePlayers.h"

namespace animora {

namespace {

// The record types the player knows, by their numbers in the file; any
// other record is skipped.
enum EmfRecordType : uint32_t {
    emrHeader = 1,
    emrPolyBezier = 2,
    emrPolygon = 3,
    emrPolyline = 4,
    emrPolyBezierTo = 5,
    emrPolylineTo = 6,
    emrPolyPolyline = 7,
    emrPolyPolygon = 8,
    emrSetWindowExtEx = 9,
    emrSetWindowOrgEx = 10,
    emrSetViewportExtEx = 11,
    emrSetViewportOrgEx = 12,
    emrEOF = 14,
    emrSetPixelV = 15,
    emrSetMapMode = 17,
    emrSetBkMode = 18,
    emrSetPolyFillMode = 19,
    emrSetRop2 = 20,
    emrSetTextAlign = 22,
    emrSetTextColor = 24,
    emrSetBkColor = 25,
    emrMoveToEx = 27,
    emrExcludeClipRect = 29,
    emrIntersectClipRect = 30,
    emrScaleViewportExtEx = 31,
    emrScaleWindowExtEx = 32,
    emrSaveDC = 33,
    emrRestoreDC = 34,
    emrSetWorldTransform = 35,
    emrModifyWorldTransform = 36,
    emrSelectObject = 37,
    emrCreatePen = 38,
    emrCreateBrushIndirect = 39,
    emrDeleteObject = 40,
    emrAngleArc = 41,
    emrEllipse = 42,
    emrRectangle = 43,
    emrRoundRect = 44,
    emrArc = 45,
    emrChord = 46,
    emrPie = 47,
    emrCreatePalette = 49,
    emrLineTo = 54,
    emrArcTo = 55,
    emrPolyDraw = 56,
    emrSetArcDirection = 57,
    emrSetMiterLimit = 58,
    emrBeginPath = 59,
    emrEndPath = 60,
    emrCloseFigure = 61,
    emrFillPath = 62,
    emrStrokeAndFillPath = 63,
    emrStrokePath = 64,
    emrSelectClipPath = 67,
    emrAbortPath = 68,
    emrFillRgn = 71,
    emrPaintRgn = 74,
    emrExtSelectClipRgn = 75,
    emrBitBlt = 76,
    emrStretchBlt = 77,
    emrSetDIBitsToDevice = 80,
    emrStretchDIBits = 81,
    emrExtCreateFontIndirectW = 82,
    emrExtTextOutA = 83,
    emrExtTextOutW = 84,
    emrPolyBezier16 = 85,
    emrPolygon16 = 86,
    emrPolyline16 = 87,
    emrPolyBezierTo16 = 88,
    emrPolylineTo16 = 89,
    emrPolyPolyline16 = 90,
    emrPolyPolygon16 = 91,
    emrPolyDraw16 = 92,
    emrCreateMonoBrush = 93,
    emrCreateDibPatternBrushPt = 94,
    emrExtCreatePen = 95,
    emrSmallTextOut = 108,
    emrAlphaBlend = 114,
};

constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr size_t kMinHeader = 88;
constexpr uint32_t kStockBit = 0x80000000;
constexpr size_t kMaxHandles = 65535;

QColor ColorRef(uint32_t value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

struct Record {
    ByteReader bytes;
    uint32_t type;

    int32_t S(size_t offset) const { return bytes.S32(offset); }
    uint32_t U(size_t offset) const { return bytes.U32(offset); }
    QPointF Point(size_t offset) const { return QPointF(S(offset), S(offset + 4)); }
    QRectF Box(size_t offset) const { return QRectF(Point(offset), Point(offset + 8)); }
};

QPolygonF ReadPoints(const Record& r, size_t offset, size_t count, bool small)
{
    const size_t size = small ? 4 : 8;
    r.bytes.Require(offset, size * count);
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count; ++i) {
        const size_t at = offset + i * size;
        points.append(small ? QPointF(r.bytes.S16(at), r.bytes.S16(at + 2)) : r.Point(at));
    }
    return points;
}

// Polygon, polyline, polybezier and their "to" forms: bounds, count, points.
void PlayPoly(MetafileCanvas& canvas, const Record& r, bool small)
{
    const QPolygonF points = ReadPoints(r, 28, r.U(24), small);
    // The 16-bit records are numbered in the same order as the 32-bit ones.
    switch (small ? r.type - (emrPolyBezier16 - emrPolyBezier) : r.type) {
    case emrPolyBezier: canvas.PolyBezier(points, false); break;
    case emrPolygon: canvas.Polygon(points); break;
    case emrPolyline: canvas.Polyline(points); break;
    case emrPolyBezierTo: canvas.PolyBezier(points, true); break;
    case emrPolylineTo: canvas.PolylineTo(points); break;
    default: break;
    }
}

void PlayPolyPoly(MetafileCanvas& canvas, const Record& r, bool small, bool polygon)
{
    const size_t count = r.U(24);
    const size_t total = r.U(28);
    r.bytes.Require(32, 4 * count);
    size_t offset = 32 + 4 * count;
    r.bytes.Require(offset, (small ? 4 : 8) * total);
    std::vector<QPolygonF> list;
    size_t used = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t n = r.U(32 + 4 * i);
        if (n > total - used)
            r.bytes.Fail();
        list.push_back(ReadPoints(r, offset, n, small));
        offset += (small ? 4 : 8) * n;
        used += n;
    }
    if (polygon)
        canvas.PolyPolygon(list);
    else
        canvas.PolyPolyline(list);
}

QImage ReadDib(const Record& r, size_t offBmi, size_t cbBmi, size_t offBits, size_t cbBits)
{
    if (cbBmi == 0)
        return {};
    try {
        const DibInfo dib = ParseDibHeader(r.bytes.Sub(offBmi, cbBmi));
        return DecodeDibPixels(dib, r.bytes.Sub(offBits, cbBits));
    } catch (const EInvalidGraphic&) {
        return {};  // compressed or damaged pictures are left out
    }
}

QString WideText(const Record& r, size_t offset, size_t count)
{
    r.bytes.Require(offset, 2 * count);
    QString text;
    text.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count; ++i)
        text.append(QChar(r.bytes.U16(offset + 2 * i)));
    return text;
}

void PlayText(MetafileCanvas& canvas, const Record& r)
{
    const QPointF reference = r.Point(36);
    const size_t count = r.U(44);
    const size_t offString = r.U(48);
    const uint32_t options = r.U(52);
    const QRectF box = r.Box(56);
    const size_t offDx = r.U(72);
    QString text;
    if (r.type == emrExtTextOutW) {
        text = WideText(r, offString, count);
    } else {
        r.bytes.Require(offString, count);
        text = AnsiText(r.bytes.Data() + offString, count);
    }
    std::vector<double> dx;
    if (offDx != 0 && r.bytes.Contains(offDx, 4 * count)) {
        for (size_t i = 0; i < count; ++i)
            dx.push_back(r.S(offDx + 4 * i));
    }
    std::optional<QRectF> opaque;
    if (options & 0x2)
        opaque = box;
    canvas.TextOut(reference, text, dx, opaque);
}

// Cosmetic pens (no PS_GEOMETRIC bit) are one pixel wide whatever the width says.
GdiObject MakeExtPen(const Record& r)
{
    const uint32_t style = r.U(28);
    const double width = (style & 0x10000) ? static_cast<double>(r.U(32)) : 0;
    return GdiPen{static_cast<int>(style & 0xFFFF), width, ColorRef(r.U(40))};
}

GdiObject MakeFont(const Record& r)
{
    GdiFont font;
    font.height = r.S(12);
    font.escapement = r.S(20);
    font.weight = r.S(28);
    font.italic = r.bytes.U8(32) != 0;
    font.underline = r.bytes.U8(33) != 0;
    font.strikeOut = r.bytes.U8(34) != 0;
    size_t length = 0;
    while (length < 32 && r.bytes.Contains(40 + 2 * length, 2) && r.bytes.U16(40 + 2 * length) != 0)
        ++length;
    font.face = WideText(r, 40, length);
    return font;
}

GdiObject MakePatternBrush(const Record& r)
{
    return GdiBrush{3, Qt::black, 0, ReadDib(r, r.U(16), r.U(20), r.U(24), r.U(28))};
}

void PlayObject(MetafileCanvas& canvas, const Record& r)
{
    switch (r.type) {
    case emrSelectObject: {
        const uint32_t index = r.U(8);
        if (index & kStockBit)
            canvas.SelectStockObject(index & ~kStockBit);
        else
            canvas.SelectObject(index);
        break;
    }
    case emrCreatePen: canvas.SetObject(r.U(8), GdiPen{static_cast<int>(r.U(12)), static_cast<double>(r.S(16)), ColorRef(r.U(24))}); break;
    case emrExtCreatePen: canvas.SetObject(r.U(8), MakeExtPen(r)); break;
    case emrCreateBrushIndirect: canvas.SetObject(r.U(8), GdiBrush{static_cast<int>(r.U(12)), ColorRef(r.U(16)), static_cast<int>(r.U(20)), {}}); break;
    case emrCreateMonoBrush:
    case emrCreateDibPatternBrushPt: canvas.SetObject(r.U(8), MakePatternBrush(r)); break;
    case emrExtCreateFontIndirectW: canvas.SetObject(r.U(8), MakeFont(r)); break;
    case emrCreatePalette: canvas.SetObject(r.U(8), std::monostate{}); break;
    case emrDeleteObject: canvas.DeleteObject(r.U(8)); break;
    default: break;
    }
}

QTransform ReadXForm(const Record& r, size_t offset)
{
    const auto f = [&](size_t i) { return static_cast<double>(r.bytes.F32(offset + 4 * i)); };
    return QTransform(f(0), f(1), f(2), f(3), f(4), f(5));
}

void ModifyWorld(MetafileCanvas& canvas, const Record& r)
{
    const QTransform x = ReadXForm(r, 8);
    switch (r.U(32)) {
    case 1: canvas.SetWorldTransform(QTransform()); break;
    case 2: canvas.SetWorldTransform(x * canvas.WorldTransform()); break;
    case 3: canvas.SetWorldTransform(canvas.WorldTransform() * x); break;
    case 4: canvas.SetWorldTransform(x); break;
    default: break;
    }
}

void PlayState(MetafileCanvas& canvas, const Record& r)
{
    switch (r.type) {
    case emrSetWindowExtEx: canvas.SetWindowExt(r.S(8), r.S(12)); break;
    case emrSetWindowOrgEx: canvas.SetWindowOrg(r.S(8), r.S(12)); break;
    case emrSetViewportExtEx: canvas.SetViewportExt(r.S(8), r.S(12)); break;
    case emrSetViewportOrgEx: canvas.SetViewportOrg(r.S(8), r.S(12)); break;
    case emrSetMapMode: canvas.SetMapMode(static_cast<int>(r.U(8))); break;
    case emrSetBkMode: canvas.SetBkMode(static_cast<int>(r.U(8))); break;
    case emrSetPolyFillMode: canvas.SetPolyFillMode(static_cast<int>(r.U(8))); break;
    case emrSetRop2: canvas.SetRop2(static_cast<int>(r.U(8))); break;
    case emrSetTextAlign: canvas.SetTextAlign(static_cast<int>(r.U(8))); break;
    case emrSetTextColor: canvas.SetTextColor(ColorRef(r.U(8))); break;
    case emrSetBkColor: canvas.SetBkColor(ColorRef(r.U(8))); break;
    case emrExcludeClipRect: canvas.ExcludeClipRect(r.Box(8)); break;
    case emrIntersectClipRect: canvas.IntersectClipRect(r.Box(8)); break;
    case emrScaleViewportExtEx: canvas.ScaleViewportExt(r.S(8), r.S(12), r.S(16), r.S(20)); break;
    case emrScaleWindowExtEx: canvas.ScaleWindowExt(r.S(8), r.S(12), r.S(16), r.S(20)); break;
    case emrSaveDC: canvas.SaveDC(); break;
    case emrRestoreDC: canvas.RestoreDC(r.S(8)); break;
    case emrSetWorldTransform: canvas.SetWorldTransform(ReadXForm(r, 8)); break;
    case emrModifyWorldTransform: ModifyWorld(canvas, r); break;
    case emrSetArcDirection: canvas.SetArcDirection(static_cast<int>(r.U(8))); break;
    case emrSetMiterLimit: canvas.SetMiterLimit(r.U(8)); break;
    default: break;
    }
}

std::vector<QRectF> RegionRects(const ByteReader& data)
{
    const size_t count = data.U32(8);
    data.Require(32, 16 * count);
    std::vector<QRectF> rects;
    rects.reserve(std::min<size_t>(count, 4096));
    for (size_t i = 0; i < count; ++i) {
        const size_t at = 32 + 16 * i;
        rects.emplace_back(QPointF(data.S32(at), data.S32(at + 4)), QPointF(data.S32(at + 8), data.S32(at + 12)));
    }
    return rects;
}

void PlayClipRegion(MetafileCanvas& canvas, const Record& r)
{
    const size_t cb = r.U(8);
    const int mode = static_cast<int>(r.U(12));
    if (cb == 0) {
        if (mode == 5)
            canvas.ResetClip();
        return;
    }
    canvas.SelectClipRects(RegionRects(r.bytes.Sub(16, cb)), mode);
}

// FillRgn names a brush, PaintRgn uses the selected one.
void PlayRegionFill(MetafileCanvas& canvas, const Record& r)
{
    const size_t cb = r.U(24);
    const bool fill = r.type == emrFillRgn;
    const size_t dataOffset = fill ? 32 : 28;
    const std::vector<QRectF> rects = RegionRects(r.bytes.Sub(dataOffset, cb));
    canvas.FillRegion(rects, fill ? std::optional<uint32_t>(r.U(28)) : std::nullopt);
}

// SmallTextOut: reference point, count, options, then an optional clip box and
// the characters, 8-bit when ETO_SMALL_CHARS is set.
void PlaySmallText(MetafileCanvas& canvas, const Record& r)
{
    const QPointF reference(r.S(8), r.S(12));
    const size_t count = r.U(16);
    const uint32_t options = r.U(20);
    const size_t textOffset = (options & 0x100) ? 36 : 52;
    QString text;
    if (options & 0x200) {
        r.bytes.Require(textOffset, count);
        text = AnsiText(r.bytes.Data() + textOffset, count);
    } else {
        text = WideText(r, textOffset, count);
    }
    canvas.TextOut(reference, text, {}, std::nullopt);
}

void PlayPolyDraw(MetafileCanvas& canvas, const Record& r, bool small)
{
    const size_t count = r.U(24);
    const QPolygonF points = ReadPoints(r, 28, count, small);
    const size_t kindsOffset = 28 + (small ? 4 : 8) * count;
    r.bytes.Require(kindsOffset, count);
    const std::vector<uint8_t> kinds(r.bytes.Data() + kindsOffset, r.bytes.Data() + kindsOffset + count);
    canvas.PolyDraw(points, kinds);
}

void PlayPath(MetafileCanvas& canvas, const Record& r)
{
    switch (r.type) {
    case emrBeginPath: canvas.BeginPath(); break;
    case emrEndPath: canvas.EndPath(); break;
    case emrCloseFigure: canvas.CloseFigure(); break;
    case emrFillPath: canvas.FillPath(); break;
    case emrStrokeAndFillPath: canvas.StrokeAndFillPath(); break;
    case emrStrokePath: canvas.StrokePath(); break;
    case emrSelectClipPath: canvas.SelectClipPath(static_cast<int>(r.U(8))); break;
    case emrAbortPath: canvas.AbortPath(); break;
    default: break;
    }
}

void PlayShape(MetafileCanvas& canvas, const Record& r)
{
    switch (r.type) {
    case emrMoveToEx: canvas.MoveTo(r.Point(8)); break;
    case emrLineTo: canvas.LineTo(r.Point(8)); break;
    case emrSetPixelV: canvas.SetPixel(r.Point(8), ColorRef(r.U(16))); break;
    case emrEllipse: canvas.Ellipse(r.Box(8)); break;
    case emrRectangle: canvas.Rectangle(r.Box(8)); break;
    case emrRoundRect: canvas.RoundRect(r.Box(8), QSizeF(r.S(24), r.S(28))); break;
    case emrArc: canvas.ArcShape(ArcKind::Arc, r.Box(8), r.Point(24), r.Point(32)); break;
    case emrChord: canvas.ArcShape(ArcKind::Chord, r.Box(8), r.Point(24), r.Point(32)); break;
    case emrPie: canvas.ArcShape(ArcKind::Pie, r.Box(8), r.Point(24), r.Point(32)); break;
    case emrArcTo: canvas.ArcShape(ArcKind::Arc, r.Box(8), r.Point(24), r.Point(32), true); break;
    case emrAngleArc: canvas.AngleArc(r.Point(8), r.U(16), r.bytes.F32(20), r.bytes.F32(24)); break;
    default: break;
    }
}

void PlayBlit(MetafileCanvas& canvas, const Record& r)
{
    const QRectF target(r.S(24), r.S(28), r.S(32), r.S(36));
    const uint32_t rop = r.U(40);
    const size_t cbBmi = r.U(88);
    if (cbBmi == 0) {
        canvas.PatBlt(target, rop);
        return;
    }
    const QImage picture = ReadDib(r, r.U(84), cbBmi, r.U(92), r.U(96));
    const bool stretch = r.type != emrBitBlt;
    const QRectF source(r.S(44), r.S(48), stretch ? r.S(100) : target.width(), stretch ? r.S(104) : target.height());
    canvas.DrawPicture(target, picture, source, r.type == emrAlphaBlend ? rop::SrcCopy : rop);
}

void PlayStretchDibits(MetafileCanvas& canvas, const Record& r)
{
    const QImage picture = ReadDib(r, r.U(48), r.U(52), r.U(56), r.U(60));
    const QRectF source(r.S(32), r.S(36), r.S(40), r.S(44));
    const QRectF target(r.S(24), r.S(28), r.S(72), r.S(76));
    canvas.DrawPicture(target, picture, source, r.U(68));
}

void PlaySetDibitsToDevice(MetafileCanvas& canvas, const Record& r)
{
    const QImage picture = ReadDib(r, r.U(48), r.U(52), r.U(56), r.U(60));
    const QRectF source(r.S(32), r.S(36), r.S(40), r.S(44));
    const QRectF target(r.S(24), r.S(28), r.S(40), r.S(44));
    canvas.DrawPicture(target, picture, source, rop::SrcCopy);
}

void PlayRecord(MetafileCanvas& canvas, const Record& r)
{
    switch (r.type) {
    case emrPolyBezier: case emrPolygon: case emrPolyline: case emrPolyBezierTo: case emrPolylineTo: PlayPoly(canvas, r, false); break;
    case emrPolyBezier16: case emrPolygon16: case emrPolyline16: case emrPolyBezierTo16: case emrPolylineTo16: PlayPoly(canvas, r, true); break;
    case emrPolyPolyline: PlayPolyPoly(canvas, r, false, false); break;
    case emrPolyPolygon: PlayPolyPoly(canvas, r, false, true); break;
    case emrPolyPolyline16: PlayPolyPoly(canvas, r, true, false); break;
    case emrPolyPolygon16: PlayPolyPoly(canvas, r, true, true); break;
    case emrExtTextOutA: case emrExtTextOutW: PlayText(canvas, r); break;
    case emrExtSelectClipRgn: PlayClipRegion(canvas, r); break;
    case emrFillRgn: case emrPaintRgn: PlayRegionFill(canvas, r); break;
    case emrSmallTextOut: PlaySmallText(canvas, r); break;
    case emrPolyDraw: PlayPolyDraw(canvas, r, false); break;
    case emrPolyDraw16: PlayPolyDraw(canvas, r, true); break;
    case emrBitBlt: case emrStretchBlt: case emrAlphaBlend: PlayBlit(canvas, r); break;
    case emrSetDIBitsToDevice: PlaySetDibitsToDevice(canvas, r); break;
    case emrStretchDIBits: PlayStretchDibits(canvas, r); break;
    default:
        PlayObject(canvas, r);
        PlayState(canvas, r);
        PlayPath(canvas, r);
        PlayShape(canvas, r);
        break;
    }
}

} // namespace

EmfPlayer::EmfPlayer(const ByteReader& file, const TMetafileLimits& limits)
    : file_(file), maxPixelWork_(limits.maxPixelWork)
{
    if (file_.U32(0) != emrHeader || file_.U32(40) != kSignature)
        file_.Fail();
    const size_t headerSize = file_.U32(4);
    if (headerSize < kMinHeader || !file_.Contains(0, headerSize))
        file_.Fail();
    // The frame, in 0.01 mm, and the reference device's size in pixels and mm.
    const QRectF frame(QPointF(file_.S32(24), file_.S32(28)), QPointF(file_.S32(32), file_.S32(36)));
    handleCount_ = file_.U16(56);
    const double devicePixelsX = file_.S32(72), devicePixelsY = file_.S32(76);
    const double deviceMmX = file_.S32(80), deviceMmY = file_.S32(84);
    if (devicePixelsX <= 0 || devicePixelsY <= 0 || deviceMmX <= 0 || deviceMmY <= 0)
        file_.Fail();
    pixelsPerMmX_ = devicePixelsX / deviceMmX;
    pixelsPerMmY_ = devicePixelsY / deviceMmY;
    frameDevice_ = QRectF(frame.left() * pixelsPerMmX_ / 100, frame.top() * pixelsPerMmY_ / 100,
                          frame.width() * pixelsPerMmX_ / 100, frame.height() * pixelsPerMmY_ / 100);
    size_ = CheckedPictureSize(frame.width() * 96 / 2540, frame.height() * 96 / 2540, limits, file_);
    if (frameDevice_.width() == 0 || frameDevice_.height() == 0)
        file_.Fail();
}

void EmfPlayer::Play(QImage& image) const
{
    // Reference-device pixels of the frame onto the whole picture.
    QTransform toImage;
    toImage.scale(image.width() / frameDevice_.width(), image.height() / frameDevice_.height());
    toImage.translate(-frameDevice_.left(), -frameDevice_.top());
    MetafileCanvas canvas(image, toImage, maxPixelWork_);
    canvas.ResizeObjectTable(std::min<size_t>(size_t(handleCount_), kMaxHandles));
    canvas.SetDeviceResolution(pixelsPerMmX_, pixelsPerMmY_);
    size_t at = file_.U32(4);
    while (file_.Contains(at, 8)) {
        const uint32_t type = file_.U32(at), size = file_.U32(at + 4);
        if (size < 8 || !file_.Contains(at, size))
            file_.Fail();
        if (type == emrEOF)
            break;
        PlayRecord(canvas, Record{file_.Sub(at, size), type});
        at += size;
    }
}

} // namespace animora
