#pragma once
// A label that paints its caption three times, a shadow copy, a highlight copy
// and the face, offset from each other so that the text looks raised, sunken,
// shadowed or flying. It can act as a push button and can paint its caption
// rotated. The GIF wizard shows its title with it.
#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>

namespace animora {

enum TEffectStyle { esNone, esCustom, esRaised, esSunken, esShadow, esFlying };

enum TColourScheme { csCustom, csText, csWindows, csEmbossed, csGold, csSteel };

// Offsets in pixels, y growing downward (see EffectOffset).
enum TEffectDirection { edNone, edUp, edUpRight, edRight, edDownRight, edDown, edDownLeft, edLeft, edUpLeft };

struct TEffectOffset {
    int dx = 0;
    int dy = 0;
};
TEffectOffset EffectOffset(TEffectDirection direction);

struct TColourTriple {
    QColor highlight;
    QColor shadow;
    QColor text;
};
// The fixed triples; csCustom gives its initial one (white, black, grey).
TColourTriple SchemeColours(TColourScheme scheme);

class TLabelEffect : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxDepth = 10;
    static constexpr int kMaxCaption = 255;  // characters painted

    explicit TLabelEffect(QWidget* parent = nullptr);
    explicit TLabelEffect(const QString& caption, QWidget* parent = nullptr);

    // Depths are 0 to 10 (larger or negative values are clamped). Changing a
    // depth or a direction makes the style esCustom.
    int DepthHighlight() const { return depthHighlight_; }
    void SetDepthHighlight(int depth);
    int DepthShadow() const { return depthShadow_; }
    void SetDepthShadow(int depth);
    TEffectDirection DirectionHighlight() const { return directionHighlight_; }
    void SetDirectionHighlight(TEffectDirection direction);
    TEffectDirection DirectionShadow() const { return directionShadow_; }
    void SetDirectionShadow(TEffectDirection direction);

    // Changing either colour makes the scheme csCustom, which keeps it.
    QColor ColourHighlight() const { return colourHighlight_; }
    void SetColourHighlight(const QColor& colour);
    QColor ColourShadow() const { return colourShadow_; }
    void SetColourShadow(const QColor& colour);

    TEffectStyle EffectStyle() const { return effectStyle_; }
    void SetEffectStyle(TEffectStyle style);
    TColourScheme ColourScheme() const { return colourScheme_; }
    void SetColourScheme(TColourScheme scheme);
    // The csCustom triple as it stands (what switching to csCustom shows).
    TColourTriple CustomColours() const { return custom_; }

    // A button sinks while pressed inside; turning it on makes the style esRaised.
    bool AsButton() const { return asButton_; }
    void SetAsButton(bool on);

    // Degrees counter-clockwise, 0 to 359 (other values are taken modulo 360).
    // A rotated caption is one line, left-aligned.
    int Angle() const { return angle_; }
    void SetAngle(int degrees);

    // The label properties.
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // The face colour (the font's colour).
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& colour);
    // Only the horizontal part counts; the caption starts at the top.
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    // The fill when not transparent: the palette's window colour until set.
    QColor Color() const;
    void SetColor(const QColor& colour);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The shift that keeps copies with negative offsets inside the control.
    int Correction() const;
    TEffectOffset ShadowOffset() const;
    TEffectOffset HighlightOffset() const;
    QFont PaintFont() const;
    int TextFlags() const;
    bool InClientArea(const QPoint& point) const;
    void Changed();

    int depthHighlight_ = 1;
    int depthShadow_ = 1;
    TEffectDirection directionHighlight_ = edUpLeft;
    TEffectDirection directionShadow_ = edDownRight;
    QColor colourHighlight_{255, 255, 255};
    QColor colourShadow_{0, 0, 0};
    TEffectStyle effectStyle_ = esRaised;
    TColourScheme colourScheme_ = csWindows;
    TColourTriple custom_;
    bool asButton_ = false;
    int angle_ = 0;
    double cos_ = 1.0;
    double sin_ = 0.0;
    // While the style or scheme setter runs, the setters it calls must not
    // switch to esCustom or csCustom themselves.
    bool updatingStyle_ = false;
    bool updatingScheme_ = false;
    bool pressed_ = false;  // a left press began on the label (for clicked)

    QString caption_;
    QColor fontColor_{128, 128, 128};
    Qt::Alignment alignment_ = Qt::AlignLeft;
    bool autoSize_ = false;
    bool transparent_ = true;
    std::optional<QColor> color_;
    bool showAccelChar_ = true;
};

}  // namespace animora
