#include "widgets/LabelEffect.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace animora {

TEffectOffset EffectOffset(TEffectDirection direction)
{
    static constexpr std::array<TEffectOffset, 9> kOffsets{{
        {0, 0}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1},
    }};
    const auto index = static_cast<size_t>(direction);
    return index < kOffsets.size() ? kOffsets[index] : TEffectOffset{};
}

TColourTriple SchemeColours(TColourScheme scheme)
{
    const QColor white(255, 255, 255), black(0, 0, 0), grey(128, 128, 128);
    switch (scheme) {
    case csText:
        return {white, grey, black};
    case csEmbossed:
        return {white, black, QColor(192, 192, 192)};
    case csGold:
        return {QColor(255, 255, 0), black, QColor(128, 128, 0)};
    case csSteel:
        return {QColor(0, 255, 255), QColor(0, 0, 128), QColor(0, 128, 128)};
    case csCustom:
    case csWindows:
        break;
    }
    return {white, black, grey};
}

TLabelEffect::TLabelEffect(QWidget* parent)
    : TLabelEffect(QString(), parent)
{
}

TLabelEffect::TLabelEffect(const QString& caption, QWidget* parent)
    : QWidget(parent)
    , custom_(SchemeColours(csCustom))
    , caption_(caption)
{
    QFont face(QStringLiteral("Times New Roman"));
    face.setPointSize(20);
    setFont(face);
}

void TLabelEffect::Changed()
{
    if (autoSize_)
        resize(sizeHint());
    updateGeometry();
    update();
}

void TLabelEffect::SetDepthHighlight(int depth)
{
    depth = std::clamp(depth, 0, kMaxDepth);
    if (depth == depthHighlight_)
        return;
    depthHighlight_ = depth;
    if (!updatingStyle_)
        SetEffectStyle(esCustom);
    Changed();
}

void TLabelEffect::SetDepthShadow(int depth)
{
    depth = std::clamp(depth, 0, kMaxDepth);
    if (depth == depthShadow_)
        return;
    depthShadow_ = depth;
    if (!updatingStyle_)
        SetEffectStyle(esCustom);
    Changed();
}

void TLabelEffect::SetDirectionHighlight(TEffectDirection direction)
{
    if (direction == directionHighlight_)
        return;
    directionHighlight_ = direction;
    if (!updatingStyle_)
        SetEffectStyle(esCustom);
    Changed();
}

void TLabelEffect::SetDirectionShadow(TEffectDirection direction)
{
    if (direction == directionShadow_)
        return;
    directionShadow_ = direction;
    if (!updatingStyle_)
        SetEffectStyle(esCustom);
    Changed();
}

void TLabelEffect::SetColourHighlight(const QColor& colour)
{
    if (colour == colourHighlight_)
        return;
    colourHighlight_ = colour;
    // A flying label shows its shadow colour as highlight; on a custom scheme
    // that must not overwrite the user's own highlight, or the label would
    // come back from flying without it.
    if (!(updatingStyle_ && colourScheme_ == csCustom))
        custom_.highlight = colour;
    if (!updatingScheme_ && !updatingStyle_)
        SetColourScheme(csCustom);
    update();
}

void TLabelEffect::SetColourShadow(const QColor& colour)
{
    if (colour == colourShadow_)
        return;
    colourShadow_ = colour;
    custom_.shadow = colour;
    if (!updatingScheme_ && !updatingStyle_)
        SetColourScheme(csCustom);
    update();
}

void TLabelEffect::SetFontColor(const QColor& colour)
{
    if (colour == fontColor_)
        return;
    fontColor_ = colour;
    // Kept in the custom triple so that a later switch to csCustom (setting
    // a highlight or shadow colour does that) keeps the user's face colour.
    custom_.text = colour;
    update();
}

void TLabelEffect::SetColourScheme(TColourScheme scheme)
{
    if (scheme == colourScheme_)
        return;
    colourScheme_ = scheme;
    const TColourTriple colours = scheme == csCustom ? custom_ : SchemeColours(scheme);
    updatingScheme_ = true;
    SetColourHighlight(colours.highlight);
    SetFontColor(colours.text);
    SetColourShadow(colours.shadow);
    updatingScheme_ = false;
    // Copied so that a later switch to csCustom keeps the look.
    if (scheme != csCustom)
        custom_ = colours;
    update();
}

void TLabelEffect::SetEffectStyle(TEffectStyle style)
{
    if (style == effectStyle_)
        return;
    effectStyle_ = style;
    const TColourTriple scheme = colourScheme_ == csCustom ? custom_ : SchemeColours(colourScheme_);
    updatingStyle_ = true;
    SetColourHighlight(scheme.highlight);
    const auto set = [this](TEffectDirection highlight, TEffectDirection shadow, int depthHighlight,
                         int depthShadow) {
        SetDirectionHighlight(highlight);
        SetDirectionShadow(shadow);
        SetDepthHighlight(depthHighlight);
        SetDepthShadow(depthShadow);
    };
    switch (style) {
    case esNone:
        set(edNone, edNone, 0, 0);
        SetAsButton(false);
        break;
    case esCustom:
        SetAsButton(false);
        break;
    case esRaised:
        set(edUpLeft, edDownRight, 1, 1);
        break;
    case esSunken:
        set(edDownRight, edUpLeft, 1, 1);
        break;
    case esShadow:
        set(edNone, edDownRight, 0, 2);
        SetAsButton(false);
        break;
    case esFlying:
        set(edDownRight, edDownRight, 1, 5);
        SetColourHighlight(scheme.shadow);
        SetAsButton(false);
        break;
    }
    updatingStyle_ = false;
    Changed();
}

void TLabelEffect::SetAsButton(bool on)
{
    if (on == asButton_)
        return;
    asButton_ = on;
    if (on)
        SetEffectStyle(esRaised);
}

void TLabelEffect::SetAngle(int degrees)
{
    degrees %= 360;
    if (degrees < 0)
        degrees += 360;
    if (degrees == angle_)
        return;
    angle_ = degrees;
    const double radians = degrees * std::numbers::pi / 180.0;
    cos_ = std::cos(radians);
    sin_ = std::sin(radians);
    if (degrees != 0)
        alignment_ = Qt::AlignLeft;
    Changed();
}

void TLabelEffect::SetCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    Changed();
}

void TLabelEffect::SetAlignment(Qt::Alignment alignment)
{
    alignment &= Qt::AlignHorizontal_Mask;
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    update();
}

void TLabelEffect::SetAutoSize(bool on)
{
    if (on == autoSize_)
        return;
    autoSize_ = on;
    Changed();
}

void TLabelEffect::SetTransparent(bool on)
{
    if (on == transparent_)
        return;
    transparent_ = on;
    update();
}

QColor TLabelEffect::Color() const
{
    return color_ ? *color_ : palette().color(QPalette::Window);
}

void TLabelEffect::SetColor(const QColor& colour)
{
    color_ = colour;
    update();
}

void TLabelEffect::SetShowAccelChar(bool on)
{
    if (on == showAccelChar_)
        return;
    showAccelChar_ = on;
    Changed();
}

TEffectOffset TLabelEffect::ShadowOffset() const
{
    const TEffectOffset unit = EffectOffset(directionShadow_);
    return {unit.dx * depthShadow_, unit.dy * depthShadow_};
}

TEffectOffset TLabelEffect::HighlightOffset() const
{
    const TEffectOffset unit = EffectOffset(directionHighlight_);
    return {unit.dx * depthHighlight_, unit.dy * depthHighlight_};
}

int TLabelEffect::Correction() const
{
    const TEffectOffset shadow = ShadowOffset(), highlight = HighlightOffset();
    return std::min({0, highlight.dx, shadow.dx, highlight.dy, shadow.dy});
}

QFont TLabelEffect::PaintFont() const
{
    // Unsmoothed glyphs: the caption has exactly its three colours.
    QFont face = font();
    face.setStyleStrategy(QFont::NoAntialias);
    return face;
}

int TLabelEffect::TextFlags() const
{
    int flags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::AlignTop | int(alignment_ & Qt::AlignHorizontal_Mask);
    if (showAccelChar_)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

QSize TLabelEffect::sizeHint() const
{
    const QFontMetrics metrics(PaintFont());
    const QString text = caption_.left(kMaxCaption);
    const int c = Correction();
    const TEffectOffset shadow = ShadowOffset(), highlight = HighlightOffset();
    const int extraX = std::max({0, shadow.dx, highlight.dx}) - c;
    const int extraY = std::max({0, shadow.dy, highlight.dy}) - c;
    if (angle_ != 0) {
        // The caption turns about (m, m), m half the width of the caption and
        // three blanks: a square of side 2m holds it at any angle.
        const int side = 2 * (metrics.horizontalAdvance(text + QStringLiteral("   ")) / 2);
        return {side + extraX, side + extraY};
    }
    const int flags = TextFlags() & ~Qt::TextWordWrap;
    const QRect bounds = metrics.boundingRect(QRect(), flags, text);
    return {bounds.width() + extraX, std::max(bounds.height(), metrics.height()) + extraY};
}

void TLabelEffect::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont face = PaintFont();
    painter.setFont(face);
    const QString text = caption_.left(kMaxCaption);
    const int c = Correction();
    const TEffectOffset shadow = ShadowOffset(), highlight = HighlightOffset();
    struct Copy {
        int dx, dy;
        QColor colour;
    };
    const std::array<Copy, 3> copies{{
        {shadow.dx - c, shadow.dy - c, colourShadow_},
        {highlight.dx - c, highlight.dy - c, colourHighlight_},
        {-c, -c, fontColor_},
    }};

    if (angle_ == 0) {
        if (!transparent_)
            painter.fillRect(rect(), Color());
        const int flags = TextFlags();
        for (const Copy& copy : copies) {
            painter.setPen(copy.colour);
            painter.drawText(rect().translated(copy.dx, copy.dy), flags, text);
        }
        return;
    }

    const QFontMetrics metrics(face);
    const double w = metrics.horizontalAdvance(text), h = metrics.height();
    const int m = metrics.horizontalAdvance(text + QStringLiteral("   ")) / 2;
    const int x0 = m - int(std::trunc(w / 2 * cos_)) - int(std::trunc(h / 2 * sin_));
    const int y0 = int(std::trunc(w / 2 * sin_)) + m - int(std::trunc(h / 2 * cos_));
    if (!transparent_) {
        // The text's cell with a small margin, turned about (m, m).
        const double halfW = (w + 7) / 2, halfH = (h + 5) / 2;
        QPolygon background;
        for (const auto& [x, y] : {std::pair{-halfW, -halfH}, {halfW, -halfH}, {halfW, halfH}, {-halfW, halfH}})
            background << QPoint(int(std::lround(m + x * cos_ + y * sin_)),
                                 int(std::lround(m - x * sin_ + y * cos_)));
        painter.setPen(Qt::NoPen);
        painter.setBrush(Color());
        painter.drawPolygon(background);
        painter.setBrush(Qt::NoBrush);
    }
    for (const Copy& copy : copies) {
        painter.save();
        painter.setPen(copy.colour);
        painter.translate(x0 + copy.dx, y0 + copy.dy);
        painter.rotate(-angle_);  // counter-clockwise on the screen
        painter.drawText(QPoint(0, metrics.ascent()), text);
        painter.restore();
    }
}

bool TLabelEffect::InClientArea(const QPoint& point) const
{
    return point.x() >= 0 && point.x() <= width() && point.y() >= 0 && point.y() <= height();
}

void TLabelEffect::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        if (asButton_ && isEnabled() && effectStyle_ != esSunken)
            SetEffectStyle(esSunken);
    }
    QWidget::mousePressEvent(event);
}

void TLabelEffect::mouseMoveEvent(QMouseEvent* event)
{
    if (asButton_ && event->buttons() == Qt::LeftButton)
        SetEffectStyle(InClientArea(event->position().toPoint()) ? esSunken : esRaised);
    QWidget::mouseMoveEvent(event);
}

void TLabelEffect::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const bool inside = InClientArea(event->position().toPoint());
        if (asButton_ && inside)
            SetEffectStyle(esRaised);
        const bool click = pressed_ && inside;
        pressed_ = false;
        if (click)
            emit clicked();
    }
    QWidget::mouseReleaseEvent(event);
}

void TLabelEffect::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

void TLabelEffect::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        Changed();
    QWidget::changeEvent(event);
}

}  // namespace animora
