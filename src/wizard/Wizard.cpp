#include "wizard/Wizard.h"

#include <algorithm>
#include <filesystem>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include "color/ColorTypes.h"
#include "formats/Picture.h"
#include "gif/AppExtension.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "platform/Canvas.h"
#include "qtbridge/QtBitmap.h"

namespace animora::wizard {

const char* const kBackgroundNotFound = "Background file not found.";
const char* const kParameterZero = "One of parameter = 0.";
const char* const kTooFewFrames =
    "Count of frame must be at least 2 for an effect (at least 3 for Fall wall with Full round).";

namespace {

constexpr TColor kWhite = 0xFFFFFF;
// What one project may hold, as the Create dialog allows.
constexpr int64_t kMaxProjectPixels = int64_t{1} << 28;
constexpr int64_t kFrameOverheadPixels = 4096;
// 96 dots per inch, in dots per metre: the points of the text font become
// the same pixels on every screen and without one.
constexpr int kDotsPerMetre = 3780;

TBitmap WhiteBitmap(int width, int height)
{
    TBitmap bitmap(width, height, PixelFormat::pf24bit);
    TCanvas(bitmap).FillRect({0, 0, width, height}, kWhite);
    return bitmap;
}

// The picture cut or extended from its top-left corner to width x height.
TBitmap Resized(const TBitmap& picture, int width, int height)
{
    TBitmap sized = WhiteBitmap(width, height);
    TCanvas(sized).Draw(0, 0, picture);
    return sized;
}

bool NamesFile(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::u8path(path), error);
}

TBitmap LoadBackground(const std::string& path)
{
    TPicture picture;
    picture.LoadFromFile(path);
    TBitmap bitmap = picture.Bitmap();
    if (bitmap.Width() <= 0 || bitmap.Height() <= 0)
        throw EInvalidGraphic("The background picture is empty: " + path);
    bitmap.SetPixelFormat(PixelFormat::pf24bit);
    return bitmap;
}

void SetDelay(TGIFSubImage& frame, int delay)
{
    if (!frame.GraphicControl())
        frame.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(frame));
    frame.GraphicControl()->SetDelay(static_cast<uint16_t>(delay));
}

void AddEndlessLoop(TGIFSubImage& frame)
{
    auto loop = std::make_unique<TGIFAppExtNSLoop>(frame);
    loop->SetLoops(0);
    const int index = frame.Extensions().Append(std::move(loop));
    frame.Extensions().MoveItem(index, 0);  // before the graphic control extension
}

} // namespace

int MinimumFrames(const TWizardChoices& choices)
{
    if (choices.effect == weNone)
        return 1;
    return choices.effect == weFallWall && choices.fullRound ? 3 : 2;
}

effects::TFallDirection OppositeDirection(effects::TFallDirection direction)
{
    switch (direction) {
    case effects::fdUpToDown: return effects::fdDownToUp;
    case effects::fdDownToUp: return effects::fdUpToDown;
    case effects::fdLeftToRight: return effects::fdRightToLeft;
    case effects::fdRightToLeft: return effects::fdLeftToRight;
    }
    return direction;
}

// One run of an effect over the whole new animation, drawn from the frames
// the wizard prepared rather than from a source frame of the run.
template <typename Params>
void RunOverAllFrames(TGIFImage& image, Params params, int frameCount, int stepDivisor)
{
    params.firstFrame = 1;
    params.frameCount = frameCount;
    params.stepDivisor = stepDivisor;
    params.drawSource = params.copySource = -1;
    effects::RunEffect(image, params);
}

int DelayHundredths(int milliseconds)
{
    if (milliseconds <= 0)
        return 0;
    int64_t hundredths = milliseconds / 10;
    const int rest = milliseconds % 10;
    if (rest > 5 || (rest == 5 && hundredths % 2 == 1))
        ++hundredths;
    return static_cast<int>(std::min<int64_t>(hundredths, 65535));
}

TBitmap DrawText(const TBitmap& picture, const TWizardChoices& choices)
{
    if (choices.text.empty())
        return Resized(picture, picture.Width(), picture.Height());
    EnsureQtGui();
    QImage image = ImageFromBitmap(picture);
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    {
        QPainter painter(&image);
        QFont font(QString::fromStdString(choices.font.family));
        font.setPointSize(std::max(1, choices.font.pointSize));
        font.setBold(choices.font.bold);
        font.setItalic(choices.font.italic);
        font.setUnderline(choices.font.underline);
        font.setStrikeOut(choices.font.strikeOut);
        // Grey edges only: colour fringes would depend on the screen.
        font.setStyleStrategy(QFont::NoSubpixelAntialias);
        painter.setFont(font);
        painter.setPen(QColor(ColorRed(choices.color), ColorGreen(choices.color), ColorBlue(choices.color)));
        // The top-left corner of the text's line at (left, top); no background.
        // Places far outside the picture draw nothing, wherever exactly they are.
        constexpr int kFar = 1 << 20;
        const QRect area(std::clamp(choices.left, -kFar, kFar), std::clamp(choices.top, -kFar, kFar), 2 * kFar,
                         2 * kFar);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromUtf8(choices.text.data(), static_cast<qsizetype>(choices.text.size())));
    }
    return BitmapFromImage(image);
}

TBitmap TextPreview(const TWizardChoices& choices, bool withText)
{
    const int width = std::max(1, choices.width);
    const int height = std::max(1, choices.height);
    TBitmap picture;
    try {
        picture = NamesFile(choices.background) ? LoadBackground(choices.background) : WhiteBitmap(width, height);
    } catch (const EAnimoraError&) {
        picture = WhiteBitmap(width, height);  // finishing says what is wrong with the picture
    }
    if (!choices.useBackgroundSize)
        picture = Resized(picture, width, height);
    return withText ? DrawText(picture, choices) : picture;
}

// --- the builder -----------------------------------------------------------------------

TWizardBuilder::TWizardBuilder(const TWizardChoices& choices) : choices_(choices)
{
    if (NamesFile(choices_.background)) {
        background_ = LoadBackground(choices_.background);
        hasBackground_ = true;
    }
    if (hasBackground_ && choices_.useBackgroundSize) {
        width_ = background_.Width();
        height_ = background_.Height();
    } else {
        width_ = choices_.width;
        height_ = choices_.height;
    }
}

TWizardBuilder::~TWizardBuilder() = default;

std::string TWizardBuilder::Check() const
{
    if (!choices_.background.empty() && !hasBackground_)
        return kBackgroundNotFound;
    if (choices_.frameCount <= 0 || width_ <= 0 || height_ <= 0)
        return kParameterZero;
    if (choices_.frameCount < MinimumFrames(choices_))
        return kTooFewFrames;
    if (choices_.effect == weLines && choices_.lines.lines < 1)
        return effects::kLinesMessage;
    // Each frame costs at least as much as a few thousand pixels, so a
    // count of tiny frames is bounded too. W x H fits 64 bits; the product
    // with N is compared by division so that it never overflows.
    const int64_t framePixels = std::max<int64_t>(int64_t{width_} * height_, kFrameOverheadPixels);
    if (framePixels > kMaxProjectPixels || choices_.frameCount > kMaxProjectPixels / framePixels)
        return "The new GIF would need too much memory: " + std::to_string(choices_.frameCount) + " frames of " +
               std::to_string(width_) + " x " + std::to_string(height_) + " pixels.";
    return {};
}

TBitmap TWizardBuilder::Background() const
{
    if (!hasBackground_)
        return WhiteBitmap(width_, height_);
    if (choices_.useBackgroundSize)
        return background_;
    return Resized(background_, width_, height_);
}

void TWizardBuilder::Text(TGIFImage& image, int frame) const
{
    if (choices_.text.empty())
        return;
    TGIFSubImage& subImage = *image.Images().SubImage(frame);
    const TBitmap drawn = DrawText(*subImage.RenderedBitmap(), choices_);
    subImage.SetRenderedBitmap(&drawn);
}

effects::TFallDirection TWizardBuilder::FinalDirection() const
{
    const effects::TFallDirection direction = choices_.fallWall.direction;
    return choices_.effect == weFallWall && choices_.fullRound ? OppositeDirection(direction) : direction;
}

void TWizardBuilder::Fill(TGIFImage& image) const
{
    if (const std::string problem = Check(); !problem.empty())
        throw EWizardError(problem);
    const int n = choices_.frameCount;

    // N blank frames.
    image.SetReductionMode(crOptimizedWindows);
    const TBitmap blank = WhiteBitmap(width_, height_);
    for (int i = 0; i < n; ++i)
        image.Add(blank);

    // The background on every frame. The first frame is converted
    // once; the others take copies of its pixels and colours.
    if (hasBackground_) {
        const TBitmap picture = Background();
        TGIFSubImage& first = *image.Images().SubImage(0);
        first.SetRenderedBitmap(&picture);
        for (int i = 1; i < n; ++i)
            image.Images().SubImage(i)->Assign(first);
    }

    // The text on the frames the effect names, and the effect's runs.
    switch (choices_.effect) {
    case weNone:
        // Every frame is the same picture: converted once, copied to the others.
        Text(image, 0);
        if (!choices_.text.empty())
            for (int i = 1; i < n; ++i)
                image.Images().SubImage(i)->Assign(*image.Images().SubImage(0));
        break;
    case weFallWall: {
        const int b = choices_.fullRound ? n / 2 : n;
        Text(image, b - 1);
        effects::TFallWallParams params = choices_.fallWall;
        params.firstFrame = 1;
        params.frameCount = b;
        params.stepDivisor = b;
        params.drawSource = params.copySource = -1;
        if (b >= 2)  // N = 3 with Full round: the first run is its wall alone
            effects::RunEffect(image, params);
        if (choices_.fullRound) {
            Text(image, n - 1);
            params.direction = OppositeDirection(params.direction);
            params.firstFrame = b + 1;
            params.frameCount = n - b;
            params.stepDivisor = 0;  // C - 1 = N - B - 1
            effects::RunEffect(image, params);
        }
        break;
    }
    case weRain:
        Text(image, n - 1);
        RunOverAllFrames(image, choices_.rain, n, 0);
        break;
    case weMoveApart:
        Text(image, 0);
        RunOverAllFrames(image, choices_.moveApart, n, n);
        break;
    case weLines:
        Text(image, 0);
        RunOverAllFrames(image, choices_.lines, n, n);
        break;
    }

    // Delays and looping, once the pictures are final (a picture written
    // into a frame drops the frame's extensions).
    const int delay = DelayHundredths(choices_.delayMs);
    for (int i = 0; i < n; ++i)
        SetDelay(*image.Images().SubImage(i), delay);
    if (choices_.loop)
        AddEndlessLoop(*image.Images().SubImage(0));
}

std::string CheckChoices(const TWizardChoices& choices)
{
    return TWizardBuilder(choices).Check();
}

void Build(const TWizardChoices& choices, TGIFImage& image)
{
    const TWizardBuilder builder(choices);
    image.Clear();
    builder.Fill(image);
}

} // namespace animora::wizard
