#include "app/PreviewImage.h"

#include <QPainter>
#include <QPointer>
#include <QTimer>

#include "app/FrameRendering.h"
#include "gif/GIFImage.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace animora {

TPreviewImage::TPreviewImage(QWidget* parent) : QWidget(parent)
{
    setObjectName("PreviewImage");
}

TPreviewImage::~TPreviewImage()
{
    ReleasePicture();
}

void TPreviewImage::ReleasePicture()
{
    if (!picture_)
        return;
    picture_->OnChange = nullptr;
    // Threaded painters are joined here; a synchronous one is told to end
    // and leaves the drawing call further down the stack.
    picture_->StopAllPainters();
    picture_.reset();
}

void TPreviewImage::SetPicture(std::shared_ptr<TGIFImage> picture)
{
    if (picture == picture_)
        return;
    ReleasePicture();
    picture_ = std::move(picture);
    if (picture_) {
        // A buffered painter paints into the image's cache and announces it
        // as a change of the image; the cache is then drawn again.
        picture_->OnChange = [this](TPersistent&) { Invalidate(); };
    }
    surfaceStale_ = true;
    UpdateSize();
    Invalidate();
}

void TPreviewImage::SetStretch(bool on)
{
    if (stretch_ == on)
        return;
    stretch_ = on;
    UpdateSize();
    Invalidate();
}

void TPreviewImage::Restart()
{
    if (picture_)
        picture_->StopAnimation();
    surfaceStale_ = true;
    Invalidate();
}

void TPreviewImage::UpdateSize()
{
    if (stretch_) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    } else {
        setFixedSize(picture_ ? QSize(picture_->GetWidth(), picture_->GetHeight()) : QSize(0, 0));
    }
    updateGeometry();
}

void TPreviewImage::Invalidate()
{
    if (drawPending_ || !isVisible())
        return;
    drawPending_ = true;
    QTimer::singleShot(0, this, &TPreviewImage::DrawPicture);
}

void TPreviewImage::DrawPicture()
{
    drawPending_ = false;
    if (drawDepth_ > 0) {
        // A synchronous painter plays below this call: it ends, and the call
        // that started it draws again once it has returned.
        if (picture_)
            picture_->StopAnimation();
        redrawAfterDraw_ = true;
        return;
    }
    do {
        redrawAfterDraw_ = false;
        // Held for the whole call: a command may replace the project's copy
        // while a synchronous painter plays this one.
        const std::shared_ptr<TGIFImage> image = picture_;
        if (!image || !isVisible() || !DrawOnce(image))
            return;
    } while (redrawAfterDraw_);
}

QSize TPreviewImage::TargetSize(const TGIFImage& image) const
{
    return stretch_ ? size() : QSize(image.GetWidth(), image.GetHeight());
}

bool TPreviewImage::DrawOnce(const std::shared_ptr<TGIFImage>& image)
{
    const QSize target = TargetSize(*image);
    if (target.isEmpty() || image->GetEmpty()) {
        surface_.reset();
        surfaceCanvas_.reset();
        shown_ = QImage();
        update();
        return true;
    }
    if (surfaceStale_ || !surface_ || surface_->Width() != target.width() || surface_->Height() != target.height()) {
        // Painters leave the old bitmap before it goes.
        image->StopAnimation();
        MakeSurface(target);
    }
    ++drawCount_;
    ++drawDepth_;
    const QPointer<TPreviewImage> alive(this);
    QString failure;
    try {
        image->Draw(*surfaceCanvas_, Bounds(0, 0, target.width(), target.height()));
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    } catch (...) {
        failure = QStringLiteral("Unknown failure");
    }
    if (!alive)
        return false;  // closed while a synchronous painter played
    --drawDepth_;
    shownStale_ = true;
    update();
    if (!failure.isEmpty())
        emit drawFailed(failure);
    return true;
}

void TPreviewImage::MakeSurface(QSize size)
{
    surfaceStale_ = false;
    surfaceCanvas_.reset();
    surface_ = std::make_unique<TBitmap>(size.width(), size.height());
    surfaceCanvas_ = std::make_unique<TCanvas>(*surface_);
    // Transparent frames play over the window's own colour.
    surfaceCanvas_->FillRect(Bounds(0, 0, size.width(), size.height()), ColorFromQt(palette().color(QPalette::Window)));
    surfaceCanvas_->OnChange = [this] {
        shownStale_ = true;
        // A synchronous painter sleeps out the frame's delay before the
        // event loop runs again: its frame goes on screen now.
        if (drawDepth_ > 0)
            repaint();
        else
            update();
    };
    shownStale_ = true;
}

void TPreviewImage::paintEvent(QPaintEvent*)
{
    if (!surface_)
        return;
    if (shownStale_) {
        shown_ = ImageFromBitmap(*surface_);
        shownStale_ = false;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, shown_);
}

void TPreviewImage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (stretch_)
        Invalidate();
}

void TPreviewImage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Invalidate();
}

QSize TPreviewImage::sizeHint() const
{
    return picture_ ? QSize(picture_->GetWidth(), picture_->GetHeight()) : QSize(0, 0);
}

} // namespace animora
