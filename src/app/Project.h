#pragma once
// The one project the editor works on: the document image (the master copy),
// the preview copy that the preview window shows and that Save writes, the
// current frame, the file name and the project-open flag. It knows no
// widgets; windows follow its signals and commands change it.
//
// Every change to the frames goes through Edit, the one edit gateway: it
// stops the painters of both images, runs the change, gives the preview a
// new copy of the document image and announces what changed. Only Project
// emits its signals.
#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QString>

#include "app/History.h"
#include "app/RecentProjects.h"
#include "platform/Graphic.h"

namespace animora {

class Prompts;
class TGIFImage;
class TGIFPainter;

// Which image a change is made on. The preview copy is what Save writes;
// a few commands (Frame option, Optimize color map) change it alone, and
// the next change of the document image replaces it again.
enum class EditTarget { Document, PreviewCopy };

// What a change passes to the gateway: the image to change, and a record of
// what it changed, announced as the project's signals once it is done.
class ProjectEdit {
public:
    explicit ProjectEdit(TGIFImage& image) : image_(image) {}

    TGIFImage& Image() { return image_; }

    void FramesInserted(int first, int count = 1) { changes_.push_back({Kind::Inserted, first, count}); }
    void FramesRemoved(int first, int count = 1) { changes_.push_back({Kind::Removed, first, count}); }
    void FrameMoved(int from, int to) { changes_.push_back({Kind::Moved, from, to}); }
    void FramePictureChanged(int index) { changes_.push_back({Kind::Picture, index, 0}); }
    void FrameExtensionsChanged(int index) { changes_.push_back({Kind::Extensions, index, 0}); }
    void GlobalColorMapChanged() { changes_.push_back({Kind::GlobalColorMap, 0, 0}); }
    // The change was refused, or found nothing to do, before it touched the
    // image: the gateway records no history step and announces nothing.
    void Unchanged() { unchanged_ = true; }
    bool IsUnchanged() const { return unchanged_; }

    enum class Kind { Inserted, Removed, Moved, Picture, Extensions, GlobalColorMap };
    struct Change {
        Kind kind;
        int first;
        int second;
    };
    const std::vector<Change>& Changes() const { return changes_; }

private:
    TGIFImage& image_;
    std::vector<Change> changes_;
    bool unchanged_ = false;
};

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

    // The edit gateway. Runs `change` on the target image with every painter
    // of both images stopped, makes the preview copy a new copy of the
    // document image (for a change of the document), and emits what the
    // change recorded, also when it failed part-way (the failure is raised
    // again afterwards). `name` says what the change was, for the user.
    void Edit(const QString& name, const std::function<void(ProjectEdit&)>& change,
              EditTarget target = EditTarget::Document);
    // A change of the whole animation (its order, size or timing): through
    // Edit, and the windows take it as they take Undo (documentAboutToBeReplaced
    // before, documentReplaced after), going on with the frame at the same
    // index; the current frame stays, within the frames left.
    void EditWhole(const QString& name, const std::function<void(ProjectEdit&)>& change);
    // The name of the last change made through Edit.
    const QString& LastEditName() const { return lastEditName_; }

    // Open and create: a fresh document image with the warning and progress
    // handlers, filled by `fill`, then the preview copy with the image
    // events attached, frame 0 shown and the project open. When `fill`
    // fails the project still opens with what it holds, and the failure is
    // raised after the windows show that state.
    void Open(const QString& caption, const std::function<void(TGIFImage&)>& fill);
    // Stops the preview, drops the document image, and records the file
    // name among the recent projects.
    void Close();

    // A long run (a video import or export under its progress window, which
    // lets the event loop run) holds the project for its length: meanwhile
    // Open, Close, Edit, Undo and Redo refuse with kProjectHeld, so nothing
    // reached through the event loop changes what the run reads.
    class RunHold {
    public:
        explicit RunHold(Project& project) : project_(project) { ++project_.holds_; }
        ~RunHold() { --project_.holds_; }
        RunHold(const RunHold&) = delete;
        RunHold& operator=(const RunHold&) = delete;

    private:
        Project& project_;
    };
    bool IsHeld() const { return holds_ > 0; }

    // The history of changes to the document image, many steps deep. Undo
    // and Redo restore the document image as it was before (after) a step.
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    QString UndoName() const { return CanUndo() ? history_.UndoName() : QString(); }
    QString RedoName() const { return CanRedo() ? history_.RedoName() : QString(); }
    void Undo();
    void Redo();
    THistory& History() { return history_; }

    // Requests that the windows carry out for commands.
    // The preview's stop button goes down and the still frame shows.
    void RequestStop() { emit stopRequested(); }
    // Next and Previous are about to step.
    void AnnounceStepping() { emit stepping(); }
    // Status panel 1.
    void SetFrameStatus(const QString& text) { emit frameStatus(text); }

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
    // The project was opened (true) or closed (false).
    void openChanged(bool open);
    // The preview copy was replaced; the frame list needs filling again.
    void previewReplaced();
    // What a change through the gateway did, in the order it did it.
    void framesInserted(int first, int count);
    void framesRemoved(int first, int count);
    void frameMoved(int from, int to);
    void framePictureChanged(int index);
    void frameExtensionsChanged(int index);
    void globalColorMapChanged();
    // A change of the preview copy alone is done (the copy stays).
    void previewCopyChanged();
    // Undo, Redo or a whole-animation command (EditWhole) put a whole new
    // document image in place: every frame may have changed (windows show
    // the frame at the same index again).
    void documentAboutToBeReplaced();
    void documentReplaced();
    void historyChanged();
    void currentFrameChanged(int index);
    // ShowProgress: a stage other than the end shows percent and message.
    void progress(int percent, const QString& message);
    void progressEnded();
    // Status panel 1: the frame shown, or empty.
    void frameStatus(const QString& text);
    // The end of an open or create: the preview applies its play options and
    // shows the current frame of the new preview copy.
    void projectShown();
    // Open puts the preview's stop button down before it loads anything.
    void stopRequested();
    // Next and Previous are about to step: a running animation gives way to
    // the still frame.
    void stepping();

private:
    TGIFImage& NewDocument();
    // The preview copy becomes a new copy of the document image; the old
    // copy's painters stop first. With `attachEvents` it gets the progress
    // handler and the frame display of status panel 1 too; a plain refresh
    // does not carry the handlers over.
    void RefreshPreviewCopy(bool attachEvents = false);
    void StopPainters();
    void Announce(const ProjectEdit& edit);
    void ShowOpened();
    void Restore(std::vector<uint8_t> (THistory::*step)(std::vector<uint8_t>));
    void CheckNotHeld() const;

    Prompts& prompts_;
    QString startDirectory_;
    RecentProjects recent_;
    std::unique_ptr<TGIFImage> document_;
    std::shared_ptr<TGIFImage> preview_;
    int currentFrame_ = 0;
    QString fileName_;
    bool open_ = false;
    QString caption_;
    QString lastEditName_;
    THistory history_;
    int holds_ = 0;
};

// Raised by the warning handler when the user does not answer Ignore.
inline constexpr const char* kGifFileAborted = "GIF file aborted";
inline constexpr const char* kMainCaption = "Zelqo Animora Pro";
inline constexpr const char* kProjectHeld = "The project is busy with a video: wait for it to end, or press Cancel";

} // namespace animora
