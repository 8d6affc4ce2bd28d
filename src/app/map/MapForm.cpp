#include "app/map/MapForm.h"

#include <QDropEvent>
#include <QFontMetricsF>
#include <QMimeData>
#include <QUrl>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "app/BusyCursor.h"
#include "app/CommandGuard.h"
#include "app/FrameRendering.h"
#include "app/Project.h"
#include "app/Prompts.h"
#include "app/commands/FrameCommands.h"
#include "app/commands/FrameFileCommands.h"
#include "app/dialogs/OpenPictureDialog.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"

namespace animora {

namespace {

constexpr int kThumbnail = 20;
// A row fits its thumbnail.
constexpr int kRowHeight = kThumbnail + 2;

// Draws an entry: its thumbnail at the left, "Frame n" 8 pixels right of it.
class TThumbnailDelegate : public QStyledItemDelegate {
public:
    TThumbnailDelegate(TMapForm& map, QObject* parent) : QStyledItemDelegate(parent), map_(map) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        const TGIFImage* document = map_.ProjectShown().Document();
        if (document && index.row() < document->Images().Count())
            painter->drawPixmap(option.rect.topLeft() + QPoint(1, 1),
                                map_.Thumbnail(*document->Images().SubImage(index.row())));
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        // The text laid out once per entry: what drawText(rect, AlignVCenter
        // | AlignLeft) draws, without laying it out on every paint.
        const QStaticText& text = Text(index.row(), index.data().toString());
        const qreal lineHeight = QFontMetricsF(painter->font()).height();
        painter->drawStaticText(QPointF(option.rect.left() + kThumbnail + 8,
                                        option.rect.top() + (option.rect.height() - lineHeight) / 2),
                                text);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width() + kThumbnail + 8, kRowHeight);
    }

private:
    const QStaticText& Text(int row, const QString& text) const
    {
        if (row >= int(texts_.size()))
            texts_.resize(size_t(row) + 1);
        QStaticText& cached = texts_[size_t(row)];
        if (cached.text() != text) {
            cached.setText(text);
            cached.setTextFormat(Qt::PlainText);
        }
        return cached;
    }

    TMapForm& map_;
    mutable std::vector<QStaticText> texts_;
};

} // namespace

// The list: its own drags only, a drop moving the dragged frame to the
// entry under the pointer, and the Delete key.
class TFrameList : public QListWidget {
public:
    TFrameList(TMapForm& map, QWidget* parent) : QListWidget(parent), map_(map)
    {
        setObjectName("ImagePicker");
        setDragEnabled(true);
        setAcceptDrops(true);
        setDropIndicatorShown(true);
        setDragDropMode(QAbstractItemView::InternalMove);
        setUniformItemSizes(true);
    }

protected:
    void startDrag(Qt::DropActions actions) override
    {
        dragStart_ = currentRow();
        QListWidget::startDrag(actions);
    }
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (event->mimeData()->hasUrls())
            event->acceptProposedAction();
        else
            QListWidget::dragEnterEvent(event);
    }
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        if (event->mimeData()->hasUrls())
            event->acceptProposedAction();
        else
            QListWidget::dragMoveEvent(event);
    }
    void dropEvent(QDropEvent* event) override
    {
        // The frames move in the document image; the list follows from it.
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        if (event->mimeData()->hasUrls()) {
            const QModelIndex at = indexAt(event->position().toPoint());
            QStringList paths;
            for (const QUrl& url : event->mimeData()->urls())
                if (url.isLocalFile())
                    paths << url.toLocalFile();
            map_.AddDropped(paths, at.isValid() ? at.row() : count());
            return;
        }
        if (event->source() != this)
            return;
        const int target = indexAt(event->position().toPoint()).row();
        if (dragStart_ >= 0 && target >= 0)
            map_.MoveEntry(dragStart_, target);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Delete)
            map_.DeleteClick();
        else
            QListWidget::keyPressEvent(event);
    }

private:
    TMapForm& map_;
    int dragStart_ = -1;
};

TMapForm::TMapForm(Project& project, QWidget* parent) : QWidget(parent), project_(project)
{
    setObjectName("MapForm");
    setWindowTitle("Import Wizard");
    auto* left = new QWidget(this);
    left->setObjectName("Panel1");
    list_ = new TFrameList(*this, left);
    list_->setItemDelegate(new TThumbnailDelegate(*this, list_));
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(2, 2, 2, 2);
    leftLayout->addWidget(list_);

    auto* right = new QWidget(this);
    right->setObjectName("Panel2");
    scrollBox_ = new QScrollArea(right);
    scrollBox_->setObjectName("ScrollBox1");
    imageView_ = new QLabel;
    imageView_->setObjectName("ImageView");
    scrollBox_->setWidget(imageView_);
    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const char* text, void (TMapForm::*command)()) {
        auto* b = new QPushButton(QString::fromLatin1(text), right);
        b->setObjectName(name);
        b->setFlat(true);
        connect(b, &QPushButton::clicked, this, [this, command] { Run([&] { (this->*command)(); }); });
        buttons->addWidget(b);
    };
    button("InsertButton", "Add", &TMapForm::AddClick);
    button("DelButton", "Delete", &TMapForm::DeleteClick);
    button("ScanButton", "Scan", &TMapForm::ScanClick);
    button("CreateScanButton", "Create&&Scan", &TMapForm::CreateScanClick);
    buttons->addStretch();
    auto* close = new QPushButton("Close", right);
    close->setObjectName("CloseBtn");
    connect(close, &QPushButton::clicked, this, [this] {
        if (QWidget* frame = parentWidget())
            frame->close();
        else
            this->close();
    });
    buttons->addWidget(close);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(2, 2, 2, 2);
    rightLayout->addWidget(scrollBox_, 1);
    rightLayout->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(left, 1);
    layout->addWidget(right, 2);
    resize(sizeHint());

    connect(list_, &QListWidget::itemClicked, this, &TMapForm::ShowSelected);
    connect(list_, &QListWidget::currentRowChanged, this, &TMapForm::ShowSelected);
    // The list follows every change of the frames, from whichever window.
    connect(&project_, &Project::framePictureChanged, this, [this](int index) {
        ForgetFrame(index);
        list_->viewport()->update();
        if (index == list_->currentRow())
            RefreshView();
    });
    connect(&project_, &Project::frameExtensionsChanged, this, [this](int index) {
        ForgetFrame(index);  // transparency lives in the blocks
        list_->viewport()->update();
    });
    connect(&project_, &Project::framesInserted, this, &TMapForm::FillList);
    connect(&project_, &Project::framesRemoved, this, [this] {
        ForgetGoneFrames();
        FillList();
        RefreshView();
    });
    connect(&project_, &Project::frameMoved, this, [this] {
        list_->viewport()->update();
        RefreshView();
    });
    // Another project (opened or created while the map is open) is shown as
    // when the window opens; a closed one leaves the map empty and its
    // buttons off.
    connect(&project_, &Project::openChanged, this, [this](bool open) {
        if (!open)
            StartAgain();
    });
    connect(&project_, &Project::projectShown, this, &TMapForm::StartAgain);
    connect(&project_, &Project::documentReplaced, this, [this] {
        thumbnails_.clear();
        FillList();
        RefreshView();
    });
    UpdateButtons();
}

void TMapForm::StartAgain()
{
    thumbnails_.clear();
    FillList();
    if (list_->count() > 1)
        list_->setCurrentRow(1);
    imageView_->clear();  // nothing shown until an entry is clicked
    UpdateButtons();
}

void TMapForm::UpdateButtons()
{
    for (const char* name : {"InsertButton", "DelButton", "ScanButton", "CreateScanButton"})
        findChild<QPushButton*>(name)->setEnabled(project_.IsOpen());
    list_->setAcceptDrops(project_.IsOpen());
}

// The full-size view, when it shows a frame, shows the one now selected.
void TMapForm::RefreshView()
{
    if (!imageView_->pixmap().isNull())
        ShowSelected();
}

TMapForm::~TMapForm() = default;

QListWidget* TMapForm::List() const
{
    return list_;
}

void TMapForm::Run(const std::function<void()>& command)
{
    RunGuarded(project_.Ask(), command);
}

void TMapForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    StartAgain();
}

void TMapForm::FillList()
{
    const int selected = list_->currentRow();
    const QSignalBlocker blocker(list_);
    list_->clear();
    for (int i = 1; i <= project_.FrameCount(); ++i)
        list_->addItem(QStringLiteral("Frame %1").arg(i));
    // The entry that took the place of a deleted last one stays selected.
    if (selected >= 0 && list_->count() > 0)
        list_->setCurrentRow(std::min(selected, list_->count() - 1));
}

const QPixmap& TMapForm::Thumbnail(const TGIFSubImage& frame)
{
    auto found = thumbnails_.find(&frame);
    if (found != thumbnails_.end())
        return found->second;
    QImage thumbnail(kThumbnail, kThumbnail, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    const QImage picture = RenderQuietly(frame);
    if (!picture.isNull()) {
        QPainter painter(&thumbnail);
        painter.drawImage(thumbnail.rect(), picture.scaled(kThumbnail, kThumbnail, Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation));
    }
    ++thumbnailsMade_;
    return thumbnails_.emplace(&frame, QPixmap::fromImage(std::move(thumbnail))).first->second;
}

// Thumbnails are made while the list paints. Rendering a frame reports its
// progress to the document's handler, and the main window shows progress by
// repainting its progress bar at once: a repaint inside a paint breaks the
// painter. Rendering for a thumbnail is short and shows no progress.
QImage TMapForm::RenderQuietly(const TGIFSubImage& frame)
{
    TGIFImage* document = project_.Document();
    if (!document)
        return RenderFrameImage(frame);
    struct Silence {
        TGIFImage& image;
        TProgressEvent handler = std::exchange(image.OnProgress, nullptr);
        ~Silence() { image.OnProgress = std::move(handler); }
    } silence{*document};
    return RenderFrameImage(frame);
}

void TMapForm::ForgetFrame(int index)
{
    const TGIFImage* document = project_.Document();
    if (document && index >= 0 && index < document->Images().Count())
        thumbnails_.erase(document->Images().SubImage(index));
}

// A freed frame's address may come back for a new frame: its thumbnail goes.
void TMapForm::ForgetGoneFrames()
{
    const TGIFImage* document = project_.Document();
    std::unordered_map<const TGIFSubImage*, QPixmap> kept;
    if (document)
        for (int i = 0; i < document->Images().Count(); ++i) {
            const TGIFSubImage* frame = document->Images().SubImage(i);
            auto found = thumbnails_.find(frame);
            if (found != thumbnails_.end())
                kept.emplace(frame, found->second);
        }
    thumbnails_ = std::move(kept);
}

void TMapForm::ShowSelected()
{
    imageView_->clear();
    const int row = list_->currentRow();
    const TGIFImage* document = project_.Document();
    if (!document || row < 0 || row >= document->Images().Count())
        return;
    imageView_->setPixmap(QPixmap::fromImage(RenderFrameImage(*document->Images().SubImage(row))));
    imageView_->adjustSize();
}

void TMapForm::MoveEntry(int from, int to)
{
    if (from == to || from < 0 || to < 0 || to >= project_.FrameCount())
        return;
    commands::MoveFrameTo(project_, from, to);
    list_->setCurrentRow(to);
    ShowSelected();
}

void TMapForm::AddClick()
{
    const auto path = project_.Ask().Ask(OpenPictureQuestion{QString::fromLatin1(kMapOpenFilter)});
    if (!path)
        return;
    commands::AddPictureFrame(project_, *path);
}

void TMapForm::AddDropped(const QStringList& paths, int position)
{
    Run([&] {
        for (const QString& path : paths) {
            const int added = commands::AddPictureFrame(project_, path);
            if (added != position)
                commands::MoveFrameTo(project_, added, position);
            ++position;
        }
    });
}

void TMapForm::DeleteClick()
{
    const int row = list_->currentRow();
    if (row < 0 || row >= project_.FrameCount())
        return;
    if (project_.FrameCount() == 1) {
        project_.Ask().Message(QString::fromLatin1(commands::kOnlyFrameMessage), QStringLiteral("Error!"),
                               PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    const PromptAnswer answer =
        project_.Ask().Message(QStringLiteral("Are you sure that you want delete this frame?"), QStringLiteral("Warning"),
                               PromptIcon::Information, PromptButtons::OkCancel);
    if (answer != PromptAnswer::Ok)
        return;
    project_.Edit(QStringLiteral("Delete frame"), [&](ProjectEdit& edit) {
        edit.Image().Images().DeleteAt(row);
        edit.Image().DropCaches();
        edit.FramesRemoved(row);
    });
    project_.SetCurrentFrame(project_.CurrentFrame());
}

void TMapForm::ScanClick()
{
    const int row = list_->currentRow();
    if (row < 0 || row >= project_.FrameCount() || !scan)
        return;
    if (scan() != 1)
        return;
    commands::ImportScan(project_, row);
}

void TMapForm::CreateScanClick()
{
    if (!scan || scan() != 1)
        return;
    commands::AddScanFrame(project_);
    if (list_->count() > 1)
        list_->setCurrentRow(1);
}

} // namespace animora
