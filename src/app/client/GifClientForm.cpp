#include "app/client/GifClientForm.h"

#include <cmath>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/FrameRendering.h"
#include "app/Project.h"
#include "app/Prompts.h"
#include "app/client/PaintSurface.h"
#include "app/dialogs/TextForm.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora {

// The picture control: the working copy stretched to the control's size,
// nearest neighbour, so a zoomed pixel is a block of one colour.
class TFramePaint : public QWidget {
public:
    TFramePaint(TGifClientForm& form, QWidget* parent) : QWidget(parent), form_(form)
    {
        setObjectName("FramePaint");
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    // The picture's pixels of `area` are shown again.
    void Repaint(const QRect& area, QSize picture)
    {
        if (area.isEmpty() || picture.isEmpty())
            return;
        const double sx = double(width()) / picture.width();
        const double sy = double(height()) / picture.height();
        update(QRect(QPoint(int(std::floor(area.left() * sx)), int(std::floor(area.top() * sy))),
                     QPoint(int(std::ceil((area.right() + 1) * sx)), int(std::ceil((area.bottom() + 1) * sy))))
                   .adjusted(-1, -1, 1, 1));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        const QImage& previous = form_.PreviousFrame();
        if (form_.OnionSkin() && !previous.isNull()) {
            // The previous frame at the picture's scale, seen through it.
            const QSize picture = form_.Picture().Image().size();
            const QRectF place(0, 0, double(width()) * previous.width() / picture.width(),
                               double(height()) * previous.height() / picture.height());
            painter.fillRect(rect(), Qt::white);
            painter.drawImage(place, previous);
            painter.setOpacity(0.6);
        }
        painter.drawImage(rect(), form_.Picture().Image());
    }
    void mousePressEvent(QMouseEvent* event) override { form_.PaintPress(event->position(), event->button()); }
    void mouseMoveEvent(QMouseEvent* event) override { form_.PaintMove(event->position()); }
    void mouseReleaseEvent(QMouseEvent* event) override { form_.PaintRelease(event->position()); }

private:
    TGifClientForm& form_;
};

// The floating selection: a copy of the selected pixels that the hand
// drags about until it is dropped.
class TSelectionImage : public QLabel {
public:
    TSelectionImage(TGifClientForm& form, QWidget* parent) : QLabel(parent), form_(form)
    {
        setObjectName("SelectImage");
        setCursor(Qt::PointingHandCursor);
        hide();
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { form_.SelectionPress(ToPaint(event)); }
    void mouseMoveEvent(QMouseEvent* event) override { form_.SelectionMove(ToPaint(event)); }
    void mouseReleaseEvent(QMouseEvent*) override { form_.SelectionRelease(); }

private:
    QPointF ToPaint(QMouseEvent* event) const { return event->position() + QPointF(pos()); }
    TGifClientForm& form_;
};

namespace {

// The dotted frame around the floating selection.
class TSelectionPanel : public QWidget {
public:
    explicit TSelectionPanel(QWidget* parent) : QWidget(parent)
    {
        setObjectName("SelPanel");
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

constexpr int kPanelFrame = 4;  // the image panel's frame on every side

// Rounds halves to the even neighbour, as the zoom and the pointer do.
int RoundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

QFrame* Swatch(const char* name, QWidget* parent)
{
    auto* swatch = new QFrame(parent);
    swatch->setObjectName(name);
    swatch->setFixedSize(24, 16);
    swatch->setFrameShape(QFrame::Box);
    swatch->setLineWidth(2);
    swatch->setAutoFillBackground(true);
    return swatch;
}

void PaintSwatch(QFrame* swatch, const QColor& fill, const QColor& outline)
{
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, fill);
    palette.setColor(QPalette::WindowText, outline);
    swatch->setPalette(palette);
}

QIcon PenStyleIcon(int index)
{
    QPixmap cell(48, 12);
    cell.fill(Qt::white);
    QPainter painter(&cell);
    painter.setPen(QPen(Qt::black, 1, QtPenStyle(TPenStyle(index))));
    painter.drawLine(0, 6, 47, 6);
    return QIcon(cell);
}

QIcon BrushStyleIcon(int index)
{
    QPixmap cell(48, 12);
    cell.fill(Qt::white);
    QPainter(&cell).fillRect(cell.rect(), QBrush(Qt::black, QtBrushStyle(TBrushStyle(index))));
    return QIcon(cell);
}

QComboBox* StyleList(const char* name, int count, QIcon (*icon)(int), QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setIconSize(QSize(48, 12));
    for (int i = 0; i < count; ++i)
        list->addItem(icon(i), QString::number(i));
    return list;
}

} // namespace

QString ColorName(TColor color)
{
    static const struct {
        TColor value;
        const char* name;
    } kNamed[] = {
        {0x000000, "clBlack"},  {0x000080, "clMaroon"}, {0x008000, "clGreen"},   {0x008080, "clOlive"},
        {0x800000, "clNavy"},   {0x800080, "clPurple"}, {0x808000, "clTeal"},    {0x808080, "clGray"},
        {0xC0C0C0, "clSilver"}, {0x0000FF, "clRed"},    {0x00FF00, "clLime"},    {0x00FFFF, "clYellow"},
        {0xFF0000, "clBlue"},   {0xFF00FF, "clFuchsia"}, {0xFFFF00, "clAqua"},   {0xFFFFFF, "clWhite"},
        {0xC0DCC0, "clMoneyGreen"}, {0xF0CAA6, "clSkyBlue"}, {0xF0FBFF, "clCream"}, {0xA4A0A0, "clMedGray"},
    };
    for (const auto& named : kNamed)
        if (named.value == color)
            return QString::fromLatin1(named.name);
    return QStringLiteral("$%1").arg(color, 8, 16, QChar('0')).toUpper();
}

TGifClientForm::TGifClientForm(Project& project, QWidget* parent) : QWidget(parent), project_(project)
{
    setObjectName("GifClientForm");
    setWindowTitle("Editing frame");
    TGIFImage* preview = project_.PreviewCopy();
    const int index = project_.CurrentFrame();
    TBitmap picture(1, 1);
    if (preview && index < preview->Images().Count()) {
        if (const TBitmap* rendered = preview->Images().SubImage(index)->RenderedBitmap())
            picture = *rendered;
        if (project_.Document() && index < project_.Document()->Images().Count())
            frame_ = project_.Document()->Images().SubImage(index);
    }
    surface_ = std::make_unique<TPaintSurface>(picture);
    BuildControls();
    realWidth_ = surface_->Width() + 2 * kPanelFrame;
    realHeight_ = surface_->Height() + 2 * kPanelFrame;
    SetPanelSize(QSize(realWidth_, realHeight_));
    ApplyDrawSettings();
    // The frame goes with its project: a frame of another project must
    // never be written to.
    connect(&project_, &Project::openChanged, this, [this] { frame_ = nullptr; });
    connect(&project_, &Project::framesRemoved, this, [this] {
        if (FrameIndex() < 0)
            frame_ = nullptr;
    });
    // Undo and Redo of the project, and the whole-animation commands, put
    // whole images in place: the window goes on with the frame at the index
    // it had (none when that frame is gone).
    connect(&project_, &Project::documentAboutToBeReplaced, this, [this] { restoredIndex_ = FrameIndex(); });
    connect(&project_, &Project::documentReplaced, this, [this] { frame_ = FrameAt(restoredIndex_); });
    // The frame before this one may change or become another.
    connect(&project_, &Project::previewReplaced, this, [this] {
        if (onionSkin_) {
            TakePreviousFrame();
            framePaint_->update();
        }
    });
}

TGifClientForm::~TGifClientForm() = default;

void TGifClientForm::BuildControls()
{
    auto* bar = new QWidget(this);
    bar->setObjectName("ControlBar1");
    auto* barLayout = new QVBoxLayout(bar);
    barLayout->setContentsMargins(2, 2, 2, 2);
    barLayout->setSpacing(2);
    barLayout->addWidget(BuildPenPanel());
    barLayout->addWidget(BuildBrushPanel());

    scrollBox_ = new QScrollArea(this);
    scrollBox_->setObjectName("ScrollBox1");
    scrollBox_->setFrameShape(QFrame::NoFrame);
    scrollBox_->setBackgroundRole(QPalette::Base);
    scrollContents_ = new QWidget;
    imagePanel_ = new QFrame(scrollContents_);
    imagePanel_->setObjectName("ImagePanel");
    imagePanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    imagePanel_->setLineWidth(2);
    imagePanel_->move(10, 10);
    framePaint_ = new TFramePaint(*this, imagePanel_);
    framePaint_->move(kPanelFrame, kPanelFrame);
    framePaint_->setCursor(Qt::ArrowCursor);
    selPanel_ = new TSelectionPanel(framePaint_);
    selectImage_ = new TSelectionImage(*this, framePaint_);
    scrollBox_->setWidget(scrollContents_);

    BuildStatusBar();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(scrollBox_, 1);
    layout->addWidget(statusBar_);
    resize(507, 270);
}

QWidget* TGifClientForm::BuildPenPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel("Pen:", panel));
    row->addWidget(new QLabel("Width", panel));
    penWidthEdit_ = new QLineEdit("1", panel);
    penWidthEdit_->setObjectName("PenWidthEdit");
    penWidthEdit_->setFixedWidth(40);
    connect(penWidthEdit_, &QLineEdit::textEdited, this, &TGifClientForm::SetPenWidthText);
    row->addWidget(penWidthEdit_);
    row->addWidget(new QLabel("Color", panel));
    colorShape_ = Swatch("ColorShape", panel);
    row->addWidget(colorShape_);
    auto* change = new QPushButton("...", panel);
    change->setObjectName("ChangePenColor");
    change->setFixedWidth(28);
    connect(change, &QPushButton::clicked, this, &TGifClientForm::ChoosePenColor);
    row->addWidget(change);
    row->addWidget(new QLabel("Style", panel));
    penStyleCB_ = StyleList("PenStyleCB", 7, &PenStyleIcon, panel);
    connect(penStyleCB_, &QComboBox::activated, this, &TGifClientForm::SetPenStyle);
    row->addWidget(penStyleCB_);
    row->addStretch();
    PaintSwatch(colorShape_, penColor_, penColor_);
    return panel;
}

QWidget* TGifClientForm::BuildBrushPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel2");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel("Brush:", panel));
    row->addWidget(new QLabel("Color", panel));
    brushShape_ = Swatch("BrushShape", panel);
    row->addWidget(brushShape_);
    auto* change = new QPushButton("...", panel);
    change->setObjectName("ChangeBrushColor");
    change->setFixedWidth(28);
    connect(change, &QPushButton::clicked, this, &TGifClientForm::ChooseBrushColor);
    row->addWidget(change);
    row->addWidget(new QLabel("Style", panel));
    brushStyleCB_ = StyleList("BrushStyleCB", 8, &BrushStyleIcon, panel);
    connect(brushStyleCB_, &QComboBox::activated, this, &TGifClientForm::SetBrushStyle);
    row->addWidget(brushStyleCB_);
    row->addStretch();
    PaintSwatch(brushShape_, brushColor_, Qt::black);
    return panel;
}

void TGifClientForm::BuildStatusBar()
{
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("StatusBar1");
    statusBar_->setSizeGripEnabled(false);
    const int widths[8] = {50, 50, 80, 80, 80, 80, 80, 100};
    const char* texts[8] = {"X", "Y", "Color", "Red", "Green", "Blue", "Hex", ""};
    for (int i = 0; i < 8; ++i) {
        panels_[i] = new QLabel(QString::fromLatin1(texts[i]), statusBar_);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panels_[i]->setMinimumWidth(widths[i]);
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        statusBar_->addWidget(panels_[i], i == 7 ? 1 : 0);
    }
}

// --- drawing settings ---

void TGifClientForm::ApplyDrawSettings()
{
    TDrawState& state = surface_->state;
    state.penColor = colorShape_->palette().color(QPalette::WindowText);
    state.penWidth = penWidth_;
    state.brushColor = brushShape_->palette().color(QPalette::Window);
    state.penStyle = TPenStyle(penStyle_);
    state.brushStyle = TBrushStyle(brushStyle_);
}

void TGifClientForm::SetPenColor(const QColor& color)
{
    penColor_ = color;
    PaintSwatch(colorShape_, color, color);
    ApplyDrawSettings();
}

void TGifClientForm::SetBrushColor(const QColor& color)
{
    brushColor_ = color;
    PaintSwatch(brushShape_, color, Qt::black);
    ApplyDrawSettings();
}

void TGifClientForm::SetPenWidthText(const QString& text)
{
    if (text.isEmpty())
        return;
    bool ok = false;
    const int width = text.trimmed().toInt(&ok);
    if (!ok) {
        // The width in force stays.
        project_.Ask().ShowError(QStringLiteral("'%1' is not a valid integer value").arg(text));
        return;
    }
    penWidth_ = std::clamp(width, 1, 1000);
    ApplyDrawSettings();
}

void TGifClientForm::SetPenStyle(int index)
{
    penStyle_ = std::clamp(index, 0, 6);
    penStyleCB_->setCurrentIndex(penStyle_);
    ApplyDrawSettings();
}

void TGifClientForm::SetBrushStyle(int index)
{
    brushStyle_ = std::clamp(index, 0, 7);
    brushStyleCB_->setCurrentIndex(brushStyle_);
    ApplyDrawSettings();
}

void TGifClientForm::ChoosePenColor()
{
    if (const auto color = project_.Ask().Ask(ColorQuestion{colorShape_->palette().color(QPalette::Window)}))
        SetPenColor(*color);
}

void TGifClientForm::ChooseBrushColor()
{
    if (const auto color = project_.Ask().Ask(ColorQuestion{brushShape_->palette().color(QPalette::Window)}))
        SetBrushColor(*color);
}

// --- tools and the mouse ---

void TGifClientForm::SelectTool(ActionId button)
{
    if (HasSelection())
        DropSelection();
    toolButton_ = button;
    tool_ = MakePaintTool(button);
    framePaint_->setCursor(tool_ ? Qt::CrossCursor : Qt::ArrowCursor);
}

QPoint TGifClientForm::MapPointer(QPointF position) const
{
    // The reference is the panel's real size (the picture plus its frame),
    // so at real size a pointer maps a little past one to one.
    const double scaleX = double(framePaint_->width()) / realWidth_;
    const double scaleY = double(framePaint_->height()) / realHeight_;
    return QPoint(RoundHalfEven(position.x() / scaleX), RoundHalfEven(position.y() / scaleY));
}

void TGifClientForm::PaintPress(QPointF position, Qt::MouseButton button)
{
    if (!tool_)
        return;
    const QPoint at = MapPointer(position) - QPoint(1, 1);
    if (tool_->StartsStroke()) {
        if (HasSelection())
            DropSelection();
        SaveUndo();
        drawing_ = true;
        stroke_ = {at, at};
    }
    tool_->Press(*this, at, button);
}

void TGifClientForm::PaintMove(QPointF position)
{
    const QPoint at = MapPointer(position);
    ShowPointerStatus(at);
    if (!drawing_ || !tool_)
        return;
    tool_->Move(*this, stroke_, at);
    stroke_.last = at;
}

void TGifClientForm::PaintRelease(QPointF position)
{
    if (!drawing_ || !tool_)
        return;
    drawing_ = false;
    const QPoint at = MapPointer(position);
    const QPoint raw(int(position.x()), int(position.y()));
    if (!tool_->Release(*this, stroke_, at, raw))
        return;
    EndRubberBand();
    SetModified();
}

void TGifClientForm::ShowPointerStatus(QPoint at)
{
    const TColor c = surface_->PixelColor(at.x(), at.y());
    panels_[0]->setText(QStringLiteral("X:%1").arg(at.x()));
    panels_[1]->setText(QStringLiteral("Y:%1").arg(at.y()));
    panels_[2]->setText(QStringLiteral("Color:") + ColorName(c));
    panels_[3]->setText(QStringLiteral("Red:%1").arg(c & 255));
    panels_[4]->setText(QStringLiteral("Green:%1").arg((c >> 8) & 255));
    panels_[5]->setText(QStringLiteral("Blue:%1").arg((c >> 16) & 255));
    const uint32_t rgb = ((c & 255) << 16) | (c & 0xFF00) | ((c >> 16) & 255);
    panels_[6]->setText(QStringLiteral("Hex:") + QStringLiteral("%1").arg(rgb, 6, 16, QChar('0')).toUpper());
}

// --- TToolHost ---

void TGifClientForm::Changed(const QRect& area)
{
    framePaint_->Repaint(area, QSize(surface_->Width(), surface_->Height()));
}

void TGifClientForm::BeginRubberBand()
{
    surface_->state.notXor = true;
}

void TGifClientForm::EndRubberBand()
{
    surface_->state.notXor = false;
    ApplyDrawSettings();
}

bool TGifClientForm::Zoomed() const
{
    return imagePanel_->width() != realWidth_;
}

void TGifClientForm::ShowRealSizeMessage()
{
    project_.Ask().Message(QString::fromLatin1(kRealSizeMessage), QStringLiteral("Error!"), PromptIcon::Information,
                           PromptButtons::Ok);
}

void TGifClientForm::MakeSelection(const QRect& area)
{
    selRect_ = area;
    ShowSelection(area.topLeft(), surface_->Copy(area));
    SetUndo(false);  // the picture did not change
}

void TGifClientForm::ShowSelection(QPoint topLeft, const QImage& picture)
{
    selection_ = picture;
    selPanel_->setGeometry(QRect(topLeft - QPoint(1, 1), picture.size() + QSize(2, 2)));
    selPanel_->show();
    selectImage_->setPixmap(QPixmap::fromImage(picture));
    // The image shows exactly where dropping it will stamp it.
    selectImage_->setGeometry(QRect(selPanel_->pos() + QPoint(1, 1), picture.size()));
    selectImage_->show();
    selPanel_->raise();
    emit editStateChanged();
}

void TGifClientForm::TakePenColor(QPoint at)
{
    SetPenColor(QColor(QRgb(surface_->Image().pixel(surface_->Image().rect().contains(at) ? at : QPoint(0, 0)))));
}

void TGifClientForm::TakeBrushColor(QPoint at)
{
    SetBrushColor(QColor(QRgb(surface_->Image().pixel(surface_->Image().rect().contains(at) ? at : QPoint(0, 0)))));
}

void TGifClientForm::DrawText(QPoint at)
{
    const auto choice = project_.Ask().Ask(TextQuestion{});
    if (!choice)
        return;
    surface_->state.font = choice->font;
    if (choice->shadow) {
        Changed(surface_->Text(choice->ShadowPoint(at), choice->text, choice->shadowColor));
        Changed(surface_->Text(at, choice->text, choice->color));
        ApplyDrawSettings();
    } else {
        Changed(surface_->Text(at, choice->text, choice->color));
    }
}

// --- selection and the clipboard ---

bool TGifClientForm::HasSelection() const
{
    return !selPanel_->isHidden();
}

QRect TGifClientForm::SelectionPanel() const
{
    return HasSelection() ? selPanel_->geometry() : QRect();
}

void TGifClientForm::DropSelection()
{
    if (HasSelection())
        Changed(surface_->DrawImage(selPanel_->pos() + QPoint(1, 1), selection_));
    selectImage_->hide();
    selPanel_->hide();
    emit editStateChanged();
}

void TGifClientForm::SelectionPress(QPointF position)
{
    draggingSelection_ = true;
    dragPoint_ = MapPointer(position);
}

void TGifClientForm::SelectionMove(QPointF position)
{
    if (!draggingSelection_)
        return;
    const QPoint at = MapPointer(position);
    selPanel_->move(selPanel_->pos() + (at - dragPoint_));
    dragPoint_ = at;
}

void TGifClientForm::SelectionRelease()
{
    draggingSelection_ = false;
    selectImage_->move(selPanel_->pos() + QPoint(1, 1));
}

void TGifClientForm::CopySelection()
{
    QApplication::clipboard()->setImage(HasSelection() ? selection_ : surface_->Snapshot());
}

void TGifClientForm::CutSelection()
{
    SaveUndo();
    CopySelection();
    DeleteSelection();
    SetUndo(true);
}

void TGifClientForm::DeleteSelection()
{
    SaveUndo();
    if (HasSelection()) {
        Changed(surface_->FillWhite(selRect_));
        DropSelection();
    } else {
        Changed(surface_->FillWhite(QRect(0, 0, surface_->Width(), surface_->Height())));
    }
}

void TGifClientForm::PasteBitmap()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return;
    const QImage pasted = qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32);
    if (pasted.isNull())
        return;
    if (HasSelection())
        DropSelection();
    SaveUndo();
    if (pasted.width() > surface_->Width() || pasted.height() > surface_->Height()) {
        surface_->GrowTo(pasted.width(), pasted.height());
        FitPanelToPicture();
    }
    // At the top-left: dropped where it is, it covers the picture from (0, 0).
    ShowSelection(QPoint(0, 0), pasted);
    SetModified();
}

// A picture of another size (a paste grew it, undo took the growth back)
// is shown at the zoom in force, and its real size is the new reference.
void TGifClientForm::FitPanelToPicture()
{
    const QSize picture(surface_->Width(), surface_->Height());
    const QSize shown = framePaint_->size();
    const double zoomX = double(shown.width()) / std::max(1, realWidth_ - 2 * kPanelFrame);
    const double zoomY = double(shown.height()) / std::max(1, realHeight_ - 2 * kPanelFrame);
    realWidth_ = picture.width() + 2 * kPanelFrame;
    realHeight_ = picture.height() + 2 * kPanelFrame;
    SetPanelSize(QSize(RoundHalfEven(picture.width() * zoomX) + 2 * kPanelFrame,
                       RoundHalfEven(picture.height() * zoomY) + 2 * kPanelFrame));
}

// --- undo and redo ---

void TGifClientForm::SaveUndo()
{
    undo_ = surface_->Snapshot();
    SetUndo(true);
}

void TGifClientForm::SetUndo(bool on)
{
    canUndo_ = on;
    emit editStateChanged();
}

void TGifClientForm::SetRedo(bool on)
{
    canRedo_ = on;
    emit editStateChanged();
}

void TGifClientForm::UndoEdit()
{
    if (!canUndo_)
        return;
    SetRedo(true);
    redo_ = surface_->Snapshot();
    surface_->Restore(undo_);
    FitPanelToPicture();
    SetUndo(false);
    framePaint_->update();
    DropSelection();
}

void TGifClientForm::RedoEdit()
{
    if (!canRedo_)
        return;
    SetRedo(false);
    surface_->Restore(redo_);
    FitPanelToPicture();
    framePaint_->update();
    SetUndo(true);
}

// --- zoom ---

void TGifClientForm::SetPanelSize(QSize size)
{
    size = size.expandedTo(QSize(2 * kPanelFrame + 1, 2 * kPanelFrame + 1));
    imagePanel_->resize(size);
    framePaint_->resize(size - QSize(2 * kPanelFrame, 2 * kPanelFrame));
    scrollContents_->resize(size + QSize(20, 20));
    scrollContents_->setMinimumSize(size + QSize(20, 20));
}

QSize TGifClientForm::PanelSize() const
{
    return imagePanel_->size();
}

void TGifClientForm::Zoom(ActionId command)
{
    if (HasSelection())
        DropSelection();
    const QSize size = imagePanel_->size();
    switch (command) {
    case ActionId::Scale50B:
        SetPanelSize(QSize(RoundHalfEven(size.width() * 1.5), RoundHalfEven(size.height() * 1.5)));
        break;
    case ActionId::Scale100B: SetPanelSize(size * 2); break;
    case ActionId::Scale50S:
        SetPanelSize(QSize(RoundHalfEven(size.width() * 0.5), RoundHalfEven(size.height() * 0.5)));
        break;
    case ActionId::Scale100S: SetPanelSize(QSize(size.width() / 2, size.height() / 2)); break;
    case ActionId::Realsize1: ShowRealSize(); break;
    default: break;
    }
}

void TGifClientForm::ShowRealSize()
{
    SetPanelSize(QSize(realWidth_, realHeight_));
}

// --- the frame ---

void TGifClientForm::SetModified()
{
    panels_[7]->setText(QStringLiteral("Modified"));
}

bool TGifClientForm::Modified() const
{
    return !panels_[7]->text().isEmpty();
}

QString TGifClientForm::StatusText(int panel) const
{
    return panels_[panel]->text();
}

void TGifClientForm::SetOnionSkin(bool on)
{
    onionSkin_ = on;
    TakePreviousFrame();
    framePaint_->update();
}

void TGifClientForm::TakePreviousFrame()
{
    const int index = FrameIndex();
    const TGIFSubImage* previous = index > 0 ? FrameAt(index - 1) : nullptr;
    previousFrame_ = onionSkin_ && previous ? RenderFrameImage(*previous) : QImage();
}

TGIFSubImage* TGifClientForm::FrameAt(int index) const
{
    const TGIFImage* document = project_.Document();
    if (!document || index < 0 || index >= document->Images().Count())
        return nullptr;
    return document->Images().SubImage(index);
}

int TGifClientForm::FrameIndex() const
{
    const TGIFImage* document = project_.Document();
    if (!frame_ || !document)
        return -1;
    for (int i = 0; i < document->Images().Count(); ++i)
        if (document->Images().SubImage(i) == frame_)
            return i;
    return -1;
}

bool TGifClientForm::SaveFrame()
{
    if (HasSelection())
        DropSelection();
    if (!WriteBack())
        return false;
    panels_[7]->clear();
    return true;
}

bool TGifClientForm::WriteBack()
{
    const TBitmap picture = surface_->FramePicture();
    const int index = FrameIndex();
    if (index >= 0) {
        project_.Edit(QStringLiteral("Save current frame"), [&](ProjectEdit& edit) {
            TGIFSubImage& frame = *edit.Image().Images().SubImage(index);
            // Painting changes pixels, not timing: the frame keeps its delay
            // and disposal (its transparency belongs to the old colours).
            const TGIFGraphicControlExtension* control = frame.GraphicControl();
            const std::optional<std::array<int, 3>> timing =
                control ? std::optional(std::array<int, 3>{control->Delay(), control->Disposal(), control->UserInput()})
                        : std::nullopt;
            frame.SetRenderedBitmap(&picture);
            if (timing) {
                auto kept = std::make_unique<TGIFGraphicControlExtension>(frame);
                TGIFGraphicControlExtension& restored = frame.GraphicControl() ? *frame.GraphicControl() : *kept;
                restored.SetDelay(uint16_t((*timing)[0]));
                restored.SetDisposal((*timing)[1]);
                restored.SetUserInput((*timing)[2] != 0);
                if (!frame.GraphicControl())
                    frame.Extensions().Append(std::move(kept));
            }
            edit.FramePictureChanged(index);
        });
        return true;
    }
    // The frame was deleted (or its project closed) while the window was
    // open: the picture is not lost, it may become a new frame.
    if (!project_.Document())
        return false;
    const PromptAnswer answer = project_.Ask().Message(
        QStringLiteral("The frame this window was opened on is no longer in the animation.\n"
                       "Add the picture as a new last frame?"),
        QStringLiteral("Confirm"), PromptIcon::Question, PromptButtons::YesNoCancel);
    if (answer != PromptAnswer::Yes)
        return false;
    project_.Edit(QStringLiteral("Save current frame"), [&](ProjectEdit& edit) {
        const int added = edit.Image().Add(picture);
        frame_ = edit.Image().Images().SubImage(added);
        edit.FramesInserted(added);
    });
    return true;
}

void TGifClientForm::closeEvent(QCloseEvent* event)
{
    if (!Modified()) {
        event->accept();
        return;
    }
    const PromptAnswer answer =
        project_.Ask().Message(QString::fromLatin1(kFrameModifiedQuestion), QStringLiteral("Confirm"),
                               PromptIcon::Question, PromptButtons::YesNoCancel);
    bool close = answer == PromptAnswer::No;
    if (answer == PromptAnswer::Yes) {
        try {
            close = SaveFrame();
        } catch (const std::exception& error) {
            // A failed write-back keeps the window, and the picture, open.
            project_.Ask().ShowError(QString::fromUtf8(error.what()));
            close = false;
        }
    }
    if (close)
        event->accept();
    else
        event->ignore();
}

} // namespace animora
