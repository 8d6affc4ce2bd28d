#pragma once
// The picture control of the preview window. It holds the preview copy and
// shows it the way the image draws itself: on a bitmap of the control's own,
// through the image's Draw. Drawing an animated image starts its painter as
// the image's drawing options say: threaded or synchronous, on the bitmap
// itself (unbuffered) or into the image's cache (buffered). Frames reach the
// screen through the change notifications of the bitmap and of the image.
//
// Drawing never happens inside a paint event: a synchronous painter keeps
// the drawing call busy for as long as the animation plays, dispatching the
// application's events meanwhile, so the control asks for a draw from the
// event loop and its paint event only copies the bitmap to the screen.
#include <memory>

#include <QImage>
#include <QWidget>

namespace animora {

class TBitmap;
class TCanvas;
class TGIFImage;

class TPreviewImage : public QWidget {
    Q_OBJECT
public:
    explicit TPreviewImage(QWidget* parent = nullptr);
    // Stops the picture's painters before the bitmap they paint on goes.
    ~TPreviewImage() override;

    // The image to show. The control keeps it alive while it draws it, so a
    // command may replace the project's copy while a synchronous painter
    // still plays the old one.
    void SetPicture(std::shared_ptr<TGIFImage> picture);
    TGIFImage* Picture() const { return picture_.get(); }

    // Stretched, the image is drawn into the whole control; otherwise at its
    // own size, which the control then takes.
    void SetStretch(bool on);
    bool Stretch() const { return stretch_; }

    // Draws the picture again from the event loop (a change of the image,
    // of the options, of the size). Nothing happens while hidden.
    void Invalidate();
    // Stops the picture's painters and draws it afresh on a clean bitmap:
    // new drawing options take effect.
    void Restart();

    // The bitmap the picture is drawn on; none before the first draw.
    const TBitmap* Surface() const { return surface_.get(); }
    // Drawing calls made so far (each starts or shows an animation).
    int DrawCount() const { return drawCount_; }
    // Inside the image's Draw: a synchronous painter is playing.
    bool Drawing() const { return drawDepth_ > 0; }

signals:
    // The drawing call raised (a synchronous painter's error comes back
    // this way); the text of the error.
    void drawFailed(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    QSize sizeHint() const override;

private:
    void DrawPicture();
    // One drawing call; false when the control went away meanwhile.
    bool DrawOnce(const std::shared_ptr<TGIFImage>& image);
    QSize TargetSize(const TGIFImage& image) const;
    void MakeSurface(QSize size);
    void UpdateSize();
    void ReleasePicture();

    std::shared_ptr<TGIFImage> picture_;
    bool stretch_ = false;
    std::unique_ptr<TBitmap> surface_;
    std::unique_ptr<TCanvas> surfaceCanvas_;
    // The next draw starts on a fresh bitmap.
    bool surfaceStale_ = true;
    QImage shown_;
    bool shownStale_ = true;
    bool drawPending_ = false;
    // A draw asked for while a synchronous painter plays: it runs when the
    // drawing call has returned.
    bool redrawAfterDraw_ = false;
    int drawDepth_ = 0;
    int drawCount_ = 0;
};

} // namespace animora
