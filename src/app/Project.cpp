#include "app/Project.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QPalette>

#include "app/FrameRendering.h"
#include "app/Prompts.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/Painter.h"
#include "platform/Errors.h"

namespace animora {

namespace {

TColor WindowColor()
{
    return ColorFromQt(QApplication::palette().color(QPalette::Base));
}

} // namespace

Project::Project(Prompts& prompts, QString startDirectory, QObject* parent)
    : QObject(parent), prompts_(prompts), startDirectory_(std::move(startDirectory)), caption_(kMainCaption)
{
}

Project::~Project() = default;

int Project::FrameCount() const
{
    return document_ ? document_->Images().Count() : 0;
}

void Project::SetCurrentFrame(int index)
{
    index = std::clamp(index, 0, std::max(FrameCount() - 1, 0));
    currentFrame_ = index;
    emit currentFrameChanged(index);
}

void Project::SetOpen(bool open)
{
    open_ = open;
    emit openChanged(open);
}

void Project::SetCaption(const QString& caption)
{
    caption_ = caption;
    emit captionChanged(caption);
}

TGIFImage& Project::NewDocument()
{
    document_ = std::make_unique<TGIFImage>();
    document_->WarningHandler = [this](TPersistent&, int severity, const std::string& message) {
        GifWarning(severity, message);
    };
    document_->OnProgress = [this](TPersistent&, TProgressStage stage, int percent, bool, const std::string& message) {
        ShowProgress(stage, percent, message);
    };
    document_->SetBackdropColor(WindowColor());
    return *document_;
}

void Project::StopPainters()
{
    // A painter reads frames while it plays: none may run while they change.
    if (preview_)
        preview_->StopAllPainters();
    if (document_)
        document_->StopAllPainters();
}

void Project::CheckNotHeld() const
{
    if (holds_ > 0)
        throw EInvalidGraphicOperation(kProjectHeld);
}

void Project::Edit(const QString& name, const std::function<void(ProjectEdit&)>& change, EditTarget target)
{
    CheckNotHeld();
    TGIFImage* image = target == EditTarget::Document ? document_.get() : preview_.get();
    if (!image)
        return;
    StopPainters();
    std::vector<uint8_t> before;
    if (target == EditTarget::Document)
        before = THistory::Encode(*image);
    ProjectEdit edit(*image);
    std::exception_ptr failure;
    // The codec's warnings speak of files being read ("Image width too small
    // for contained frames" when a frame outgrows the screen); during the
    // user's own change the screen simply grows, and no question may stop
    // the change half-way.
    auto warnings = std::exchange(image->WarningHandler, nullptr);
    try {
        change(edit);
    } catch (...) {
        failure = std::current_exception();
    }
    image->WarningHandler = std::move(warnings);
    if (edit.IsUnchanged()) {
        if (failure)
            std::rethrow_exception(failure);
        return;
    }
    lastEditName_ = name;
    // Whatever part of the change was made is shown, so the preview never
    // disagrees with the document image, and can be taken back.
    if (target == EditTarget::Document) {
        history_.Record(name, std::move(before));
        RefreshPreviewCopy();
    } else {
        emit previewCopyChanged();
    }
    Announce(edit);
    if (target == EditTarget::Document)
        emit historyChanged();
    if (failure)
        std::rethrow_exception(failure);
}

void Project::EditWhole(const QString& name, const std::function<void(ProjectEdit&)>& change)
{
    if (!document_)
        return;
    emit documentAboutToBeReplaced();
    std::exception_ptr failure;
    try {
        Edit(name, change);
    } catch (...) {
        failure = std::current_exception();
    }
    emit documentReplaced();
    SetCurrentFrame(currentFrame_);
    if (failure)
        std::rethrow_exception(failure);
}

void Project::Announce(const ProjectEdit& edit)
{
    using Kind = ProjectEdit::Kind;
    for (const ProjectEdit::Change& change : edit.Changes()) {
        switch (change.kind) {
        case Kind::Inserted: emit framesInserted(change.first, change.second); break;
        case Kind::Removed: emit framesRemoved(change.first, change.second); break;
        case Kind::Moved: emit frameMoved(change.first, change.second); break;
        case Kind::Picture: emit framePictureChanged(change.first); break;
        case Kind::Extensions: emit frameExtensionsChanged(change.first); break;
        case Kind::GlobalColorMap: emit globalColorMapChanged(); break;
        }
    }
}

void Project::Undo()
{
    if (CanUndo())
        Restore(&THistory::Undo);
}

void Project::Redo()
{
    if (CanRedo())
        Restore(&THistory::Redo);
}

void Project::Restore(std::vector<uint8_t> (THistory::*step)(std::vector<uint8_t>))
{
    if (!document_)
        return;
    CheckNotHeld();
    StopPainters();
    emit documentAboutToBeReplaced();
    const std::vector<uint8_t> restored = (history_.*step)(THistory::Encode(*document_));
    THistory::Decode(restored, *document_);
    RefreshPreviewCopy();
    emit documentReplaced();
    SetCurrentFrame(currentFrame_);
    emit historyChanged();
}

void Project::Open(const QString& caption, const std::function<void(TGIFImage&)>& fill)
{
    CheckNotHeld();
    history_.Clear();
    emit historyChanged();
    // The project counts as open from here on, also when the load fails.
    SetOpen(true);
    TGIFImage& document = NewDocument();
    bool previewMade = false;
    try {
        fill(document);
        RefreshPreviewCopy(true);
        previewMade = true;
        SetCaption(caption);
    } catch (...) {
        // The preview must not keep showing the previous project: it shows
        // the frames read before the failure.
        if (!previewMade)
            RefreshPreviewCopy(true);
        ShowOpened();
        throw;
    }
    ShowOpened();
}

// The end of every open or create, also after a failed load: the preview
// shows frame 0 of whatever the document image holds.
void Project::ShowOpened()
{
    emit frameStatus(QString());
    SetCurrentFrame(0);
    emit projectShown();
}

void Project::Close()
{
    CheckNotHeld();
    history_.Clear();
    emit historyChanged();
    if (!fileName_.isEmpty())
        recent_.Add(fileName_);
    // A playing preview stops before the project it shows goes.
    emit stopRequested();
    document_.reset();
    SetCaption(QString::fromLatin1(kMainCaption));
    SetOpen(false);
}

void Project::RefreshPreviewCopy(bool attachEvents)
{
    auto copy = std::make_shared<TGIFImage>();
    if (document_)
        copy->Assign(*document_);
    if (attachEvents) {
        copy->OnProgress = [this](TPersistent&, TProgressStage stage, int percent, bool, const std::string& message) {
            ShowProgress(stage, percent, message);
        };
        copy->OnBeforeFrame = [this](TGIFPainter& painter) { ShowFrameStatus(painter); };
        copy->OnPlayEnd = [this](TGIFPainter& painter) { ShowFrameStatus(painter); };
    }
    // The preview window may hold the old copy a little longer (a
    // synchronous painter on the stack); its painting ends now.
    if (preview_)
        preview_->StopAllPainters();
    preview_ = std::move(copy);
    emit previewReplaced();
}

void Project::ShowProgress(TProgressStage stage, int percent, const std::string& message)
{
    if (stage == TProgressStage::psEnding)
        emit progressEnded();
    else
        emit progress(percent, QString::fromStdString(message));
}

QString Project::WarningText(int severity, const QString& message)
{
    static const char* const kSeverityNames[] = {"Info", "Warning", "Error"};
    const char* name = (severity >= 0 && severity < 3) ? kSeverityNames[severity] : "Error";
    return QStringLiteral("GIF Message:\nSeverity: %1\nMessage:  %2").arg(QLatin1String(name), message);
}

void Project::GifWarning(int severity, const std::string& message)
{
    const PromptAnswer answer = prompts_.Message(WarningText(severity, QString::fromStdString(message)),
                                                 QStringLiteral("Warning"), PromptIcon::Warning,
                                                 PromptButtons::AbortIgnoreAll);
    if (answer != PromptAnswer::Ignore)
        throw GIFException(kGifFileAborted);
}

void Project::ShowFrameStatus(const TGIFPainter& painter)
{
    const int frame = painter.ActiveFrame();
    const TGIFImage* image = painter.Image();
    if (frame < 0 || !image)
        emit frameStatus(QString());
    else
        emit frameStatus(FrameStatusText(frame, image->Images().Count()));
}

QString Project::FrameStatusText(int index, int count)
{
    return QStringLiteral(" Frame %1 of %2").arg(index + 1).arg(count);
}

} // namespace animora
