#pragma once
// The one project the editor works on: the document image (the master copy),
// the preview copy that the preview window shows and that Save writes, the
// current frame, the file name and the project-open flag. It knows no
// widgets; windows follow its signals and commands change it.
#include <memory>

#include <QObject>
#include <QString>

#include "app/RecentProjects.h"
#include "platform/Graphic.h"

namespace animora {

class Prompts;
class TGIFImage;
class TGIFPainter;

class Project : public QObject {
    Q_OBJECT
public:
    // `startDirectory` holds File.dat; the prompts answer every question.
    Project(Prompts& prompts, QString startDirectory, QObject* parent = nullptr);
    ~Project() override;

    Prompts& Ask() { return prompts_; }
    const QString& StartDirectory() const { return startDirectory_; }
    RecentProjects& Recent() { return recent_; }

    TGIFImage* Document() const { return document_.get(); }
    TGIFImage* PreviewCopy() const { return preview_.get(); }
    // Shared with the preview window, which keeps a copy alive while a
    // synchronous painter still plays it.
    const std::shared_ptr<TGIFImage>& PreviewShared() const { return preview_; }
    int FrameCount() const;  // of the document image; 0 without one

    int CurrentFrame() const { return currentFrame_; }
    // Clamped to the frames of the document image.
    void SetCurrentFrame(int index);

    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& fileName) { fileName_ = fileName; }
    bool IsOpen() const { return open_; }
    void SetOpen(bool open);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    // A fresh document image with the warning and progress handlers (the
    // first half of attaching the image events).
    TGIFImage& NewDocument();
    void DropDocument();
    // The preview copy becomes a new copy of the document image; the old
    // copy's painters stop first. With `attachEvents` it gets the progress
    // handler and the frame display of status panel 1 too; a plain refresh
    // does not carry the handlers over.
    void RefreshPreviewCopy(bool attachEvents = false);

    // The handlers given to the images.
    void ShowProgress(TProgressStage stage, int percent, const std::string& message);
    void GifWarning(int severity, const std::string& message);
    // The preview copy's painter events: panel 1 names the frame about to
    // be shown, and is cleared when playing ends.
    void ShowFrameStatus(const TGIFPainter& painter);

    // Texts of the warning question and of the frame status panel.
    static QString WarningText(int severity, const QString& message);
    static QString FrameStatusText(int index, int count);

signals:
    void captionChanged(const QString& caption);
    void openChanged(bool open);
    // The preview copy was replaced; the frame list needs filling again.
    void previewReplaced();
    void currentFrameChanged(int index);
    // ShowProgress: a stage other than the end shows percent and message.
    void progress(int percent, const QString& message);
    void progressEnded();
    // Status panel 1: the frame shown, or empty.
    void frameStatus(const QString& text);
    // The end of an open or create: the preview applies its play options and
    // shows the current frame of the new preview copy.
    void projectShown();
    // EnableProjectCommands of the main window.
    void projectCommandsEnabled(bool on);
    // Open puts the preview's stop button down before it loads anything.
    void stopRequested();
    // Next and Previous are about to step: a running animation gives way to
    // the still frame.
    void stepping();

private:
    Prompts& prompts_;
    QString startDirectory_;
    RecentProjects recent_;
    std::unique_ptr<TGIFImage> document_;
    std::shared_ptr<TGIFImage> preview_;
    int currentFrame_ = 0;
    QString fileName_;
    bool open_ = false;
    QString caption_;
};

// Raised by the warning handler when the user does not answer Ignore.
inline constexpr const char* kGifFileAborted = "GIF file aborted";
inline constexpr const char* kMainCaption = "Zelqo Animora Pro";

} // namespace animora
