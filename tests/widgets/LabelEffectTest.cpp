// The label's setter rules are checked on what it paints: its esNone picture
// (face only, unshifted) gives the glyphs, and every other look must be exactly
// those glyphs copied at the expected offsets in the expected colours.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <array>
#include <functional>

#include "widgets/LabelEffect.h"

namespace animora {
namespace {

const QColor kBack(0, 0, 255), kWhite(255, 255, 255), kBlack(0, 0, 0), kGrey(128, 128, 128);
const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kYellow(255, 255, 0), kOlive(128, 128, 0);

QImage Render(TLabelEffect& label)
{
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(kBack);
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

struct Copy {
    QPoint at;
    QColor colour;
};

QImage Compose(const QImage& glyphs, const QColor& face, const std::array<Copy, 3>& copies)
{
    QImage image(glyphs.size(), QImage::Format_RGB32);
    image.fill(kBack);
    for (const Copy& copy : copies)
        for (int y = 0; y < glyphs.height(); ++y)
            for (int x = 0; x < glyphs.width(); ++x)
                if (glyphs.pixelColor(x, y) == face && image.rect().contains(x + copy.at.x(), y + copy.at.y()))
                    image.setPixelColor(x + copy.at.x(), y + copy.at.y(), copy.colour);
    return image;
}

struct LookCase {
    const char* name;
    std::function<void(TLabelEffect&)> change;
    TEffectStyle style;
    TColourScheme scheme;
    Copy shadow, highlight, face;  // where each copy lands after the correction
};

class LabelLook : public testing::TestWithParam<LookCase> {};

TEST_P(LabelLook, PaintsEachCopyAtItsOffsetInItsColour)
{
    const LookCase& c = GetParam();
    TLabelEffect label(QStringLiteral("Ag"));
    label.resize(80, 56);
    c.change(label);
    EXPECT_EQ(label.EffectStyle(), c.style);
    EXPECT_EQ(label.ColourScheme(), c.scheme);
    if (c.scheme == csCustom) {
        const TColourTriple custom = label.CustomColours();
        EXPECT_EQ(custom.highlight, c.highlight.colour);
        EXPECT_EQ(custom.shadow, c.shadow.colour);
        EXPECT_EQ(custom.text, c.face.colour);
    }

    TLabelEffect plain(QStringLiteral("Ag"));
    plain.resize(label.size());
    plain.SetEffectStyle(esNone);
    plain.SetFontColor(kGrey);
    const QImage glyphs = Render(plain);
    ASSERT_GT(glyphs.size().width(), 0);
    EXPECT_TRUE(Render(label) == Compose(glyphs, kGrey, {c.shadow, c.highlight, c.face}));
}

const auto Style = [](TEffectStyle style) { return [style](TLabelEffect& l) { l.SetEffectStyle(style); }; };

INSTANTIATE_TEST_SUITE_P(Rules, LabelLook, testing::Values(
    // Raised: the highlight up-left gives a correction of -1.
    LookCase{"Raised", [](TLabelEffect&) {}, esRaised, csWindows, {{2, 2}, kBlack}, {{0, 0}, kWhite}, {{1, 1}, kGrey}},
    LookCase{"None", Style(esNone), esNone, csWindows, {{0, 0}, kBlack}, {{0, 0}, kWhite}, {{0, 0}, kGrey}},
    LookCase{"Sunken", Style(esSunken), esSunken, csWindows, {{0, 0}, kBlack}, {{2, 2}, kWhite}, {{1, 1}, kGrey}},
    LookCase{"Shadow", Style(esShadow), esShadow, csWindows, {{2, 2}, kBlack}, {{0, 0}, kWhite}, {{0, 0}, kGrey}},
    LookCase{"FlyingGold", [](TLabelEffect& l) { l.SetColourScheme(csGold); l.SetEffectStyle(esFlying); },
             esFlying, csGold, {{5, 5}, kBlack}, {{1, 1}, kBlack}, {{0, 0}, kOlive}},
    LookCase{"DepthMakesCustom", [](TLabelEffect& l) { l.SetDepthShadow(3); },
             esCustom, csWindows, {{4, 4}, kBlack}, {{0, 0}, kWhite}, {{1, 1}, kGrey}},
    LookCase{"DepthClamped", [](TLabelEffect& l) { l.SetDepthShadow(15); },
             esCustom, csWindows, {{11, 11}, kBlack}, {{0, 0}, kWhite}, {{1, 1}, kGrey}},
    LookCase{"DirectionMakesCustom", [](TLabelEffect& l) { l.SetDirectionShadow(edUp); },
             esCustom, csWindows, {{1, 0}, kBlack}, {{0, 0}, kWhite}, {{1, 1}, kGrey}},
    LookCase{"ColourMakesCustomFromGold", [](TLabelEffect& l) { l.SetColourScheme(csGold); l.SetColourHighlight(kRed); },
             esRaised, csCustom, {{2, 2}, kBlack}, {{0, 0}, kRed}, {{1, 1}, kOlive}},
    LookCase{"CustomKeepsFontColour", [](TLabelEffect& l) {
                 l.SetColourScheme(csGold); l.SetFontColor(kRed); l.SetColourShadow(kGreen); },
             esRaised, csCustom, {{2, 2}, kGreen}, {{0, 0}, kYellow}, {{1, 1}, kRed}},
    LookCase{"CustomHighlightSurvivesFlying", [](TLabelEffect& l) {
                 l.SetColourHighlight(kRed); l.SetEffectStyle(esFlying); l.SetEffectStyle(esRaised); },
             esRaised, csCustom, {{2, 2}, kBlack}, {{0, 0}, kRed}, {{1, 1}, kGrey}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LabelButton, SinksWhilePressedInsideAndPopsUpOutside)
{
    TLabelEffect label(QStringLiteral("OK"));
    label.resize(60, 40);
    label.SetEffectStyle(esShadow);
    label.SetAsButton(true);
    EXPECT_EQ(label.EffectStyle(), esRaised);
    int clicks = 0;
    QObject::connect(&label, &TLabelEffect::clicked, [&] { ++clicks; });
    struct Step {
        QEvent::Type type;
        QPoint at;
        TEffectStyle after;
    };
    const Step steps[] = {
        {QEvent::MouseButtonPress, {10, 10}, esSunken}, {QEvent::MouseMove, {70, 10}, esRaised},
        {QEvent::MouseMove, {60, 40}, esSunken},        {QEvent::MouseMove, {10, -1}, esRaised},
        {QEvent::MouseMove, {5, 5}, esSunken},          {QEvent::MouseButtonRelease, {5, 5}, esRaised},
    };
    for (const Step& step : steps) {
        const auto buttons = step.type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        const auto button = step.type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(step.type, step.at, label.mapToGlobal(step.at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&label, &event);
        EXPECT_EQ(label.EffectStyle(), step.after) << step.at.x() << "," << step.at.y();
    }
    EXPECT_EQ(clicks, 1);
    label.SetEffectStyle(esFlying);
    EXPECT_FALSE(label.AsButton());
}

class RotatedLabel : public testing::TestWithParam<int> {};

TEST_P(RotatedLabel, PaintsInsideItsBounds)
{
    TLabelEffect label(QStringLiteral("GIF Wizard"));
    label.SetTransparent(false);
    label.SetColor(kBack);
    label.SetAutoSize(true);
    label.SetAngle(GetParam());
    const QImage fitted = Render(label);
    label.SetAutoSize(false);
    label.resize(label.size() * 2);
    const QImage large = Render(label);
    const auto count = [](const QImage& image, auto&& match) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += match(image.pixelColor(x, y));
        return n;
    };
    const auto face = [](const QColor& c) { return c == kGrey; };
    const auto painted = [](const QColor& c) { return c != kBack; };
    EXPECT_GT(count(fitted, face), 50);
    // Nothing of the caption falls outside the size the label asks for.
    EXPECT_EQ(count(large, painted), count(fitted, painted));
    EXPECT_TRUE(large.copy(fitted.rect()) == fitted);
    // The caption turns about the middle of that square.
    QPointF sum;
    for (int y = 0; y < fitted.height(); ++y)
        for (int x = 0; x < fitted.width(); ++x)
            if (painted(fitted.pixelColor(x, y)))
                sum += QPointF(x, y);
    const QPointF centre = sum / count(fitted, painted) - QPointF(fitted.width(), fitted.height()) / 2;
    EXPECT_LT(centre.manhattanLength(), 8) << centre.x() << "," << centre.y();
}

INSTANTIATE_TEST_SUITE_P(Angles, RotatedLabel, testing::Values(30, 90, 135, 180, 270, 315));

}  // namespace
}  // namespace animora
