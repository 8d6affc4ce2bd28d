#include "app/Icons.h"

#include <functional>

#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace animora::Icons {

namespace {

const QColor kOutline(0x3d, 0x3d, 0x3d);
const QColor kAccent(0x35, 0x84, 0xe4);
const QColor kPaper(0xfa, 0xfa, 0xfa);

using Glyph = std::function<void(QPainter&)>;

// A glyph drawn on a 24 x 24 grid, at the sizes toolbars ask for.
QIcon Drawn(const Glyph& glyph)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 24.0, size / 24.0);
        painter.setPen(QPen(kOutline, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        glyph(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon Themed(const char* name, const Glyph& fallback)
{
    const QIcon themed = QIcon::fromTheme(QLatin1String(name));
    return themed.isNull() ? Drawn(fallback) : themed;
}

void Page(QPainter& p)
{
    p.setBrush(kPaper);
    p.drawRect(QRectF(5, 3, 14, 18));
}

void Frame(QPainter& p, const QColor& fill)
{
    p.setBrush(fill);
    p.drawRect(QRectF(3, 5, 18, 14));
}

void Arrow(QPainter& p, QPointF from, QPointF to)
{
    p.setPen(QPen(kAccent, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - 4 * d + 3 * n);
    p.drawLine(to, to - 4 * d - 3 * n);
}

void Star(QPainter& p, QPointF c, double r)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double radius = (i % 2) ? r * 0.45 : r;
        const QPointF point(c.x() + radius * std::cos(a), c.y() + radius * std::sin(a));
        i == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    path.closeSubpath();
    p.setBrush(QColor(0xf6, 0xd3, 0x2d));
    p.drawPath(path);
}

void Letter(QPainter& p, const QRectF& box, const QString& text)
{
    QFont font = p.font();
    font.setPixelSize(static_cast<int>(box.height()));
    font.setBold(true);
    p.setFont(font);
    p.setPen(kOutline);
    p.drawText(box, Qt::AlignCenter, text);
}

} // namespace

void SelectTheme()
{
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor")) {
        for (const QString& dir : QIcon::themeSearchPaths()) {
            if (QDir(dir + "/Adwaita").exists()) {
                QIcon::setThemeName("Adwaita");
                break;
            }
        }
    }
}

QIcon Create() { return Themed("document-new", [](QPainter& p) { Page(p); Arrow(p, {12, 16}, {12, 8}); }); }
QIcon Open()
{
    return Themed("document-open", [](QPainter& p) {
        p.setBrush(kAccent);
        p.drawRect(QRectF(3, 7, 18, 13));
        p.setBrush(kPaper);
        p.drawRect(QRectF(3, 5, 7, 3));
    });
}
QIcon Save()
{
    return Themed("document-save", [](QPainter& p) {
        p.setBrush(kAccent);
        p.drawRect(QRectF(4, 4, 16, 16));
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 4, 10, 6));
    });
}
QIcon Wizard()
{
    return Drawn([](QPainter& p) {
        p.drawLine(QPointF(4, 20), QPointF(14, 10));
        Star(p, {16, 8}, 6);
    });
}
QIcon ImportWizard()
{
    return Drawn([](QPainter& p) {
        Frame(p, kPaper);
        Arrow(p, {8, 12}, {17, 12});
        Star(p, {19, 6}, 4);
    });
}
QIcon Undo() { return Themed("edit-undo", [](QPainter& p) { Arrow(p, {19, 12}, {5, 12}); }); }
QIcon Redo() { return Themed("edit-redo", [](QPainter& p) { Arrow(p, {5, 12}, {19, 12}); }); }
QIcon Cut()
{
    return Themed("edit-cut", [](QPainter& p) {
        p.drawLine(QPointF(7, 4), QPointF(15, 16));
        p.drawLine(QPointF(17, 4), QPointF(9, 16));
        p.drawEllipse(QPointF(7, 18), 2.5, 2.5);
        p.drawEllipse(QPointF(17, 18), 2.5, 2.5);
    });
}
QIcon Copy()
{
    return Themed("edit-copy", [](QPainter& p) {
        p.setBrush(kPaper);
        p.drawRect(QRectF(4, 3, 11, 14));
        p.drawRect(QRectF(9, 7, 11, 14));
    });
}
QIcon Paste()
{
    return Themed("edit-paste", [](QPainter& p) {
        p.setBrush(QColor(0xc0, 0x8a, 0x4a));
        p.drawRect(QRectF(4, 4, 16, 17));
        p.setBrush(kPaper);
        p.drawRect(QRectF(8, 9, 10, 10));
    });
}
QIcon Delete()
{
    return Themed("edit-delete", [](QPainter& p) {
        p.setPen(QPen(QColor(0xe0, 0x1b, 0x24), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
    });
}
QIcon About()
{
    return Themed("help-about", [](QPainter& p) {
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(12, 12), 9, 9);
        Letter(p, QRectF(6, 6, 12, 12), "i");
    });
}
QIcon Exit()
{
    return Themed("application-exit", [](QPainter& p) {
        p.drawRect(QRectF(4, 4, 10, 16));
        Arrow(p, {10, 12}, {21, 12});
    });
}

QIcon Cursor()
{
    return Drawn([](QPainter& p) {
        QPainterPath path;
        path.moveTo(7, 3);
        path.lineTo(7, 19);
        path.lineTo(11, 15);
        path.lineTo(14, 21);
        path.lineTo(16, 20);
        path.lineTo(13, 14);
        path.lineTo(18, 14);
        path.closeSubpath();
        p.setBrush(kPaper);
        p.drawPath(path);
    });
}
QIcon Select()
{
    return Drawn([](QPainter& p) {
        p.setPen(QPen(kOutline, 1.6, Qt::DashLine));
        p.drawRect(QRectF(4, 5, 16, 14));
    });
}
QIcon GetColor()
{
    return Drawn([](QPainter& p) {
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(17, 7), 3.5, 3.5);
        p.drawLine(QPointF(15, 9), QPointF(5, 19));
    });
}
QIcon Pen()
{
    return Drawn([](QPainter& p) {
        p.setBrush(kAccent);
        QPolygonF pen({{16, 3}, {21, 8}, {9, 20}, {4, 20}, {4, 15}});
        p.drawPolygon(pen);
    });
}
QIcon LongPen()
{
    return Drawn([](QPainter& p) {
        QPainterPath path;
        path.moveTo(3, 18);
        path.cubicTo(8, 4, 14, 22, 21, 6);
        p.setPen(QPen(kAccent, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
    });
}
QIcon Line()
{
    return Drawn([](QPainter& p) {
        p.setPen(QPen(kAccent, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 20), QPointF(20, 4));
    });
}
QIcon Rectangle() { return Drawn([](QPainter& p) { Frame(p, kAccent.lighter(160)); }); }
QIcon Ellipse()
{
    return Drawn([](QPainter& p) {
        p.setBrush(kAccent.lighter(160));
        p.drawEllipse(QRectF(3, 6, 18, 12));
    });
}
QIcon Fill()
{
    return Drawn([](QPainter& p) {
        p.setBrush(kPaper);
        p.drawPolygon(QPolygonF({{4, 11}, {11, 4}, {18, 11}, {11, 18}}));
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(19, 17), 2.5, 3.5);
    });
}
QIcon Text() { return Drawn([](QPainter& p) { Letter(p, QRectF(3, 3, 18, 18), "A"); }); }

QIcon GlobalPalette()
{
    return Drawn([](QPainter& p) {
        const QColor colors[] = {QColor(0xe0, 0x1b, 0x24), QColor(0x33, 0xd1, 0x7a), kAccent, QColor(0xf6, 0xd3, 0x2d)};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colors[i]);
            p.drawRect(QRectF(3 + (i % 2) * 9, 3 + (i / 2) * 9, 8, 8));
        }
    });
}
QIcon Extensions()
{
    return Drawn([](QPainter& p) {
        p.drawLine(QPointF(6, 5), QPointF(6, 19));
        p.drawLine(QPointF(6, 10), QPointF(12, 10));
        p.drawLine(QPointF(6, 18), QPointF(12, 18));
        p.setBrush(kAccent);
        p.drawRect(QRectF(3, 3, 6, 4));
        p.drawRect(QRectF(12, 8, 8, 4));
        p.drawRect(QRectF(12, 16, 8, 4));
    });
}
QIcon Optimize()
{
    return Drawn([](QPainter& p) {
        Frame(p, kPaper);
        p.setPen(QPen(kAccent, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 15), QPointF(11, 12));
        p.drawLine(QPointF(11, 12), QPointF(16, 9));
    });
}
QIcon ImportFrame()
{
    return Drawn([](QPainter& p) {
        Frame(p, kPaper);
        Arrow(p, {12, 2}, {12, 14});
    });
}
QIcon ExportFrame()
{
    return Drawn([](QPainter& p) {
        Frame(p, kPaper);
        Arrow(p, {12, 16}, {12, 2});
    });
}
QIcon Scan()
{
    return Themed("scanner", [](QPainter& p) {
        p.setBrush(kPaper);
        p.drawRect(QRectF(3, 9, 18, 9));
        p.setPen(QPen(kAccent, 2));
        p.drawLine(QPointF(5, 13), QPointF(19, 13));
    });
}

QIcon FirstFrame() { return Drawn([](QPainter& p) { p.drawLine(QPointF(6, 5), QPointF(6, 19)); Arrow(p, {19, 12}, {9, 12}); }); }
QIcon PreviousFrame() { return Drawn([](QPainter& p) { Arrow(p, {19, 12}, {5, 12}); }); }
QIcon NextFrame() { return Drawn([](QPainter& p) { Arrow(p, {5, 12}, {19, 12}); }); }
QIcon LastFrame() { return Drawn([](QPainter& p) { p.drawLine(QPointF(18, 5), QPointF(18, 19)); Arrow(p, {5, 12}, {15, 12}); }); }
QIcon Run()
{
    return Drawn([](QPainter& p) {
        p.setBrush(kAccent);
        p.drawPolygon(QPolygonF({{7, 4}, {19, 12}, {7, 20}}));
    });
}
QIcon Stop()
{
    return Drawn([](QPainter& p) {
        p.setBrush(kAccent);
        p.drawRect(QRectF(6, 6, 12, 12));
    });
}
QIcon AddFrame()
{
    return Themed("list-add", [](QPainter& p) {
        p.setPen(QPen(kAccent, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 5), QPointF(12, 19));
        p.drawLine(QPointF(5, 12), QPointF(19, 12));
    });
}
QIcon EditFrame()
{
    return Drawn([](QPainter& p) {
        Frame(p, kPaper);
        p.setBrush(kAccent);
        p.drawPolygon(QPolygonF({{16, 6}, {19, 9}, {10, 18}, {7, 18}, {7, 15}}));
    });
}
QIcon DeleteFrame()
{
    return Themed("list-remove", [](QPainter& p) {
        p.setPen(QPen(kAccent, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 12), QPointF(19, 12));
    });
}
QIcon FrameOption()
{
    return Drawn([](QPainter& p) {
        Page(p);
        p.drawLine(QPointF(8, 8), QPointF(16, 8));
        p.drawLine(QPointF(8, 12), QPointF(16, 12));
        p.drawLine(QPointF(8, 16), QPointF(13, 16));
    });
}

} // namespace animora::Icons
