#include "app/extensions/ExtensionsForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/CommandGuard.h"
#include "app/Icons.h"
#include "app/MdiWindows.h"
#include "app/Project.h"
#include "app/Prompts.h"
#include "app/extensions/EditPropertyForm.h"
#include "app/optimize/PaletteGrid.h"
#include "gif/AppExtension.h"
#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "gif/TextExtension.h"

namespace animora {

namespace {

constexpr int kIconRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;

// The tree's icons by number, as the tree names them: a coloured tag with
// the kind's letter, or four colours for a colour table.
QIcon NodeIcon(int index)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (index == kLocalPaletteIcon) {
        const QColor colors[] = {QColor(0xe0, 0x1b, 0x24), QColor(0x33, 0xd1, 0x7a), QColor(0x35, 0x84, 0xe4),
                                 QColor(0xf6, 0xd3, 0x2d)};
        painter.setPen(QColor(0x3d, 0x3d, 0x3d));
        for (int i = 0; i < 4; ++i) {
            painter.setBrush(colors[i]);
            painter.drawRect(QRectF(1.5 + (i % 2) * 7, 1.5 + (i / 2) * 7, 6, 6));
        }
        return QIcon(pixmap);
    }
    struct Tag {
        int index;
        const char* letter;
        QColor color;
    };
    static const Tag kTags[] = {
        {24, "G", QColor(0x35, 0x84, 0xe4)}, {25, "T", QColor(0x98, 0x41, 0xbb)}, {26, "C", QColor(0x2e, 0xc2, 0x7e)},
        {27, "L", QColor(0xe6, 0x61, 0x00)}, {28, "A", QColor(0x77, 0x76, 0x7b)},
    };
    for (const Tag& tag : kTags) {
        if (tag.index != index)
            continue;
        painter.setPen(Qt::NoPen);
        painter.setBrush(tag.color);
        painter.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
        QFont font = painter.font();
        font.setPixelSize(11);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QLatin1String(tag.letter));
    }
    return QIcon(pixmap);
}

// A memo in which Enter is left to the window (Ctrl+Enter breaks a line).
class TMemo : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (event->modifiers() & Qt::ControlModifier && !isReadOnly())
                insertPlainText(QStringLiteral("\n"));
            else
                event->ignore();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }
};

QString YesNo(bool value)
{
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString DisposalText(int disposal)
{
    // The reserved values 4 to 7 have no name; they show as themselves.
    return disposal >= 0 && disposal < DisposalNames().size() ? DisposalNames()[disposal] : QString::number(disposal);
}

bool IsPrintable(uint8_t byte)
{
    return (byte >= 0x20 && byte <= 0x5A) || (byte >= 0x61 && byte <= 0x7A);
}

} // namespace

QStringList HexDumpLines(const TGIFUnknownAppExtension& extension)
{
    constexpr int kPerLine = 16;
    QStringList lines;
    const auto& blocks = extension.Blocks();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::vector<uint8_t>& data = blocks[i].data;
        lines << QString::asprintf("Block: %.2d   Size: %.3d bytes", int(i), blocks[i].Size());
        lines << QString(65, QLatin1Char('-'));
        for (std::size_t start = 0; start < data.size(); start += kPerLine) {
            QString hex;
            QString text;
            for (std::size_t k = start; k < start + kPerLine; ++k) {
                if (k < data.size()) {
                    hex += QString::asprintf("%.2X ", data[k]);
                    text += IsPrintable(data[k]) ? QLatin1Char(char(data[k])) : QLatin1Char('.');
                } else {
                    // A short last line keeps the columns and the length.
                    hex += QStringLiteral("   ");
                    text += QLatin1Char(' ');
                }
            }
            lines << hex + QLatin1Char(' ') + text;
        }
        lines << QString();
    }
    return lines;
}

QString ExtensionNodeText(const TGIFExtension& extension)
{
    if (dynamic_cast<const TGIFGraphicControlExtension*>(&extension))
        return QStringLiteral("Graphic Control Extension");
    if (dynamic_cast<const TGIFTextExtension*>(&extension))
        return QStringLiteral("Text extension");
    if (dynamic_cast<const TGIFCommentExtension*>(&extension))
        return QStringLiteral("Comment Extension");
    if (dynamic_cast<const TGIFAppExtNSLoop*>(&extension))
        return QStringLiteral("Netscape Loop Extension");
    if (dynamic_cast<const TGIFApplicationExtension*>(&extension))
        return QStringLiteral("Application Extension");
    return QStringLiteral("Unknown extension");
}

int ExtensionNodeIcon(const TGIFExtension& extension)
{
    if (dynamic_cast<const TGIFGraphicControlExtension*>(&extension))
        return 24;
    if (dynamic_cast<const TGIFTextExtension*>(&extension))
        return 25;
    if (dynamic_cast<const TGIFCommentExtension*>(&extension))
        return 26;
    if (dynamic_cast<const TGIFAppExtNSLoop*>(&extension))
        return 27;
    if (dynamic_cast<const TGIFApplicationExtension*>(&extension))
        return 28;
    return kLocalPaletteIcon;
}

int DelayFromMilliseconds(int milliseconds)
{
    int hundredths = milliseconds / 10;
    const int rest = milliseconds % 10;
    if (rest > 5 || (rest == 5 && hundredths % 2 == 1))
        ++hundredths;
    return hundredths;
}

RowValueCheck CheckRowValue(const QString& property, const QString& text)
{
    RowValueCheck check;
    bool number = false;
    const qlonglong value = text.trimmed().toLongLong(&number);
    struct Range {
        const char* property;
        qlonglong most;
        const char* refusal;
    };
    // The file keeps the delay in hundredths of a second and the loop count
    // in 16 bits, the transparent colour as one byte: larger or negative
    // values would come back as other numbers.
    static const Range kRanges[] = {
        {"Delay", 655350, "The delay must be from 0 to 655350 milliseconds (a GIF keeps at most 65535 hundredths "
                          "of a second)."},
        {"TransparentColor", 255, "The transparent color must be a color index from 0 to 255."},
        {"Loops", 65535, "The loop count must be from 0 to 65535."},
    };
    for (const Range& range : kRanges) {
        if (property != QLatin1String(range.property))
            continue;
        if (!number) {
            check.refusal = QStringLiteral("\"%1\" is not a whole number. %2").arg(text, QLatin1String(range.refusal));
        } else if (value < 0 || value > range.most) {
            check.refusal = QStringLiteral("%1 is out of range. %2").arg(text.trimmed(), QLatin1String(range.refusal));
        } else {
            check.ok = true;
            check.value = int(value);
        }
        return check;
    }
    check.refusal = QStringLiteral("%1 is not a number.").arg(property);
    return check;
}

TExtensionsForm::TExtensionsForm(Project& project, QWidget* parent) : QWidget(parent), project_(project)
{
    setObjectName("ExtensionsForm");
    setWindowTitle("Extensions");
    setWindowIcon(Icons::Extensions());

    auto* panel2 = new QWidget(this);
    panel2->setObjectName("Panel2");
    auto* barLayout = new QHBoxLayout(panel2);
    barLayout->setContentsMargins(2, 2, 2, 2);
    barLayout->setSpacing(1);
    saveButton_ = AddButton(panel2, "SaveButton", Icons::Save(), "Save |Save current extension changes");
    editButton_ = AddButton(panel2, "EditButton", Icons::EditFrame(), "Edit|Edit current extension");
    delButton_ = AddButton(panel2, "DelButton", Icons::Delete(), "Delete|Delete current extension");
    addButton_ = AddButton(panel2, "AddButton", Icons::AddFrame(), "Add|Add new extension");
    barLayout->addStretch();
    saveButton_->setEnabled(false);
    connect(saveButton_, &QToolButton::clicked, this, [this] { RunGuarded(project_.Ask(), [this] { SaveButtonClick(); }); });
    connect(editButton_, &QToolButton::clicked, this, [this] { RunGuarded(project_.Ask(), [this] { EditpropertyClick(); }); });
    connect(delButton_, &QToolButton::clicked, this, [this] { RunGuarded(project_.Ask(), [this] { DelButtonClick(); }); });
    connect(addButton_, &QToolButton::clicked, this, [this] { RunGuarded(project_.Ask(), [this] { AddButtonClick(); }); });

    tree_ = new QTreeWidget(this);
    tree_->setObjectName("ExtenTree");
    tree_->setHeaderHidden(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setExpandsOnDoubleClick(true);
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!rebuilding_)
            RunGuarded(project_.Ask(), [this] { ExtenTreeChange(); });
    });

    list_ = new QTableWidget(0, 2, this);
    list_->setObjectName("ListViewInfo");
    list_->setHorizontalHeaderLabels({"Property", "Value"});
    list_->setColumnWidth(0, 100);
    list_->setColumnWidth(1, 200);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->verticalHeader()->hide();
    // Five rows (a graphic control's) show without scrolling.
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    popup_ = new QMenu(this);
    popup_->setObjectName("PopupMenu1");
    editProperty_ = popup_->addAction("Edit property");
    editProperty_->setObjectName("Editproperty");
    connect(editProperty_, &QAction::triggered, this, [this] { RunGuarded(project_.Ask(), [this] { EditpropertyClick(); }); });
    connect(list_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(list_->viewport()->mapToGlobal(at)); });
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this] {
        if (editButton_->isEnabled())
            RunGuarded(project_.Ask(), [this] { EditpropertyClick(); });
    });

    auto* panel3 = new QWidget(this);
    panel3->setObjectName("Panel3");
    grid_ = new TPaletteGrid(panel3);
    grid_->setObjectName("PaintBoxPalette");
    grid_->SetEmptyCellColor(Qt::black);
    memo_ = new TMemo(panel3);
    memo_->setObjectName("MemoPreview");
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::Monospace);
    courier.setFixedPitch(true);
    memo_->setFont(courier);
    connect(memo_, &QPlainTextEdit::textChanged, this, [this] {
        if (!filling_)
            SetSaveEnabled(true);
    });
    auto* panelLayout = new QVBoxLayout(panel3);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(grid_);
    panelLayout->addWidget(memo_);
    grid_->hide();
    memo_->hide();

    auto* splitter2 = new QSplitter(Qt::Vertical, this);
    splitter2->setObjectName("Splitter2");
    splitter2->addWidget(list_);
    splitter2->addWidget(panel3);
    splitter2->setSizes({150, 280});
    auto* splitter1 = new QSplitter(Qt::Horizontal, this);
    splitter1->setObjectName("Splitter1");
    splitter1->addWidget(tree_);
    splitter1->addWidget(splitter2);
    splitter1->setSizes({230, 590});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel2);
    layout->addWidget(splitter1, 1);

    // The tree shows the project's blocks as they stand: every change of the
    // document image (it replaces the preview copy) and every opened project
    // fills it again; a closed project empties it.
    connect(&project_, &Project::previewReplaced, this, [this] {
        if (!changing_)
            RunGuarded(project_.Ask(), [this] { Rebuild(); });
    });
    connect(&project_, &Project::openChanged, this, [this](bool open) {
        if (!open)
            Clear();
    });

    ExtenTreeChange();
}

QToolButton* TExtensionsForm::AddButton(QWidget* bar, const char* name, const QIcon& icon, const char* hint)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setAutoRaise(true);
    const QString text = QString::fromLatin1(hint);
    button->setText(text.section('|', 0, 0).trimmed());
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setToolTip(text.section('|', 0, 0));
    button->setStatusTip(text.section('|', 1));
    bar->layout()->addWidget(button);
    return button;
}

QToolButton& TExtensionsForm::Button(const char* name) const
{
    return *findChild<QToolButton*>(QLatin1String(name));
}

QList<QPair<QString, QString>> TExtensionsForm::Rows() const
{
    QList<QPair<QString, QString>> rows;
    for (int r = 0; r < list_->rowCount(); ++r)
        rows.append({list_->item(r, 0)->text(), list_->item(r, 1)->text()});
    return rows;
}

void TExtensionsForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Restoring a minimised window is no new showing: the edits stay.
    if (event->spontaneous())
        return;
    grid_->hide();
    memo_->hide();
    SetSaveEnabled(false);
    Rebuild();
}

void TExtensionsForm::Rebuild()
{
    rebuilding_ = true;
    tree_->setUpdatesEnabled(false);
    tree_->clear();
    if (const TGIFImage* document = project_.IsOpen() ? project_.Document() : nullptr) {
        for (int f = 0; f < document->Images().Count(); ++f) {
            const TGIFSubImage& frame = *document->Images().SubImage(f);
            auto* node = new QTreeWidgetItem(tree_, {QStringLiteral("Frame %1").arg(f)});
            node->setData(0, kIconRole, -1);
            node->setData(0, kKindRole, int(NodeKind::Frame));
            for (int e = 0; e < frame.Extensions().Count(); ++e) {
                const TGIFExtension& extension = *frame.Extensions().Extension(e);
                auto* child = new QTreeWidgetItem(node, {ExtensionNodeText(extension)});
                const int icon = ExtensionNodeIcon(extension);
                child->setIcon(0, NodeIcon(icon));
                child->setData(0, kIconRole, icon);
                child->setData(0, kKindRole, int(NodeKind::Extension));
            }
            if (frame.ColorMap().Count() > 0) {
                auto* child = new QTreeWidgetItem(node, {QStringLiteral("Local Palette")});
                child->setIcon(0, NodeIcon(kLocalPaletteIcon));
                child->setData(0, kIconRole, kLocalPaletteIcon);
                child->setData(0, kKindRole, int(NodeKind::LocalPalette));
            }
        }
        tree_->expandAll();
    }
    tree_->setUpdatesEnabled(true);
    rebuilding_ = false;
    ExtenTreeChange();
}

void TExtensionsForm::Clear()
{
    rebuilding_ = true;
    tree_->clear();
    rebuilding_ = false;
    list_->setRowCount(0);
    filling_ = true;
    memo_->clear();
    filling_ = false;
    memo_->hide();
    grid_->SetColors({});
    grid_->hide();
    SetSaveEnabled(false);
    editButton_->setEnabled(false);
    delButton_->setEnabled(false);
    editProperty_->setEnabled(false);
}

void TExtensionsForm::Select(int frame, int child)
{
    QTreeWidgetItem* node = tree_->topLevelItem(frame);
    if (node && child >= 0)
        node = node->child(child);
    if (node)
        tree_->setCurrentItem(node);
}

bool TExtensionsForm::SelectedIsChild() const
{
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    return !selected.isEmpty() && selected.front()->parent() != nullptr;
}

int TExtensionsForm::SelectedPosition() const
{
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    if (selected.isEmpty() || !selected.front()->parent())
        return -1;
    return selected.front()->parent()->indexOfChild(selected.front());
}

TGIFExtension* TExtensionsForm::SelectedExtension() const
{
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    const TGIFImage* document = project_.Document();
    if (selected.isEmpty() || !document || selected.front()->data(0, kKindRole).toInt() != int(NodeKind::Extension))
        return nullptr;
    const int position = SelectedPosition();
    if (currentFrame_ < 0 || currentFrame_ >= document->Images().Count())
        return nullptr;
    const TGIFExtensionList& extensions = document->Images().SubImage(currentFrame_)->Extensions();
    if (position < 0 || position >= extensions.Count())
        return nullptr;
    // The node must still stand for the block at its place.
    TGIFExtension* extension = extensions.Extension(position);
    return ExtensionNodeText(*extension) == selected.front()->text(0) ? extension : nullptr;
}

const TGIFColorMap* TExtensionsForm::SelectedColorMap() const
{
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    const TGIFImage* document = project_.Document();
    if (selected.isEmpty() || !document || selected.front()->data(0, kKindRole).toInt() != int(NodeKind::LocalPalette))
        return nullptr;
    if (currentFrame_ < 0 || currentFrame_ >= document->Images().Count())
        return nullptr;
    return &document->Images().SubImage(currentFrame_)->ColorMap();
}

void TExtensionsForm::SetSaveEnabled(bool enabled)
{
    saveButton_->setEnabled(enabled);
}

void TExtensionsForm::ExtenTreeChange()
{
    memo_->hide();
    grid_->hide();
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    if (!selected.isEmpty()) {
        const QTreeWidgetItem* frameNode = selected.front()->parent() ? selected.front()->parent() : selected.front();
        const QString text = frameNode->text(0);
        const int blank = int(text.indexOf(QLatin1Char(' ')));
        bool ok = false;
        const int index = blank < 0 ? -1 : text.mid(blank + 1).toInt(&ok);
        currentFrame_ = ok ? index : -1;
    }
    const bool child = SelectedIsChild();
    editButton_->setEnabled(child);
    delButton_->setEnabled(child);
    editProperty_->setEnabled(child);
    if (saveButton_->isEnabled()) {
        project_.Ask().Message(QStringLiteral("Extension has not be saved"), QStringLiteral("Warning"),
                               PromptIcon::Information, PromptButtons::Ok);
        SetSaveEnabled(false);
    }
    list_->setRowCount(0);
    filling_ = true;
    memo_->clear();
    filling_ = false;
    FillList();
}

void TExtensionsForm::AddRow(const QString& property, const QString& value)
{
    const int row = list_->rowCount();
    list_->insertRow(row);
    list_->setItem(row, 0, new QTableWidgetItem(property));
    list_->setItem(row, 1, new QTableWidgetItem(value));
}

void TExtensionsForm::ShowMemo(const QStringList& lines, bool readOnly)
{
    filling_ = true;
    memo_->setReadOnly(readOnly);
    memo_->setPlainText(lines.join(QLatin1Char('\n')));
    filling_ = false;
    memo_->show();
    SetSaveEnabled(false);
}

void TExtensionsForm::FillList()
{
    list_->setUpdatesEnabled(false);
    if (const TGIFColorMap* map = SelectedColorMap()) {
        AddRow("Count", QString::number(map->Count()));
        AddRow("Optimized", YesNo(map->Sorted()));
        AddRow("BitsPerPixel", QString::asprintf("%d bits", map->BitDepth()));
        grid_->SetColors(ColorsOf(*map));
        grid_->show();
        editButton_->setEnabled(false);
        delButton_->setEnabled(false);
        editProperty_->setEnabled(false);
    } else if (TGIFExtension* extension = SelectedExtension()) {
        if (const auto* control = dynamic_cast<const TGIFGraphicControlExtension*>(extension)) {
            AddRow("Delay", QString::number(int(control->Delay()) * 10));
            AddRow("Transparent", YesNo(control->Transparent()));
            AddRow("TransparentColor", QString::number(control->TransparentColorIndex()));
            AddRow("Prompt", YesNo(control->UserInput()));
            AddRow("Disposal", DisposalText(control->Disposal()));
        } else if (const auto* comment = dynamic_cast<const TGIFCommentExtension*>(extension)) {
            QStringList lines;
            for (const std::string& line : comment->Lines())
                lines << QString::fromLatin1(line.data(), qsizetype(line.size()));
            ShowMemo(lines, false);
        } else if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(extension)) {
            AddRow("Loops", QString::number(loop->Loops()));
        } else if (const auto* application = dynamic_cast<const TGIFUnknownAppExtension*>(extension)) {
            AddRow("Identifier", QString::fromLatin1(application->Identifier().c_str()));
            AddRow("Authentication", QString::fromLatin1(application->Authentication().c_str()));
            AddRow("Data Blocks", QString::number(application->Blocks().size()));
            // The dump is for reading: nothing of it would be saved.
            ShowMemo(HexDumpLines(*application), true);
        }
    }
    list_->setUpdatesEnabled(true);
}

void TExtensionsForm::EditpropertyClick()
{
    const int row = list_->currentRow();
    if (row < 0 || list_->selectedItems().isEmpty())
        return;
    const QString property = list_->item(row, 0)->text();
    const PropertyEditor editor = EditorFor(property);
    if (editor == PropertyEditor::None)
        return;
    const auto answer = project_.Ask().Ask(EditPropertyQuestion{property, list_->item(row, 1)->text()});
    if (!answer)
        return;
    QString value = *answer;
    if (editor == PropertyEditor::Integer) {
        const RowValueCheck check = CheckRowValue(property, value);
        if (!check.ok) {
            project_.Ask().Message(check.refusal, QStringLiteral("Error!"), PromptIcon::Error, PromptButtons::Ok);
            return;
        }
        value = QString::number(check.value);
    } else if (editor == PropertyEditor::Disposal && value.isEmpty()) {
        return;  // a reserved value left as it was
    }
    list_->item(row, 1)->setText(value);
    SetSaveEnabled(true);
}

void TExtensionsForm::ChangeDocument(const QString& name, const std::function<void(ProjectEdit&)>& change)
{
    changing_ = true;
    try {
        project_.Edit(name, change);
    } catch (...) {
        changing_ = false;
        throw;
    }
    changing_ = false;
}

void TExtensionsForm::SaveButtonClick()
{
    if (currentFrame_ == -1 || !SelectedExtension())
        return;
    const int frameIndex = currentFrame_;
    const int position = SelectedPosition();
    const QList<QPair<QString, QString>> rows = Rows();
    auto row = [&rows](int r) { return r < rows.size() ? rows[r].second : QString(); };

    // Numbers are checked before anything changes.
    std::optional<int> delay, index, loops;
    auto number = [&](const char* property, const QString& text, std::optional<int>& into) {
        const RowValueCheck check = CheckRowValue(QLatin1String(property), text);
        if (!check.ok) {
            project_.Ask().Message(check.refusal, QStringLiteral("Error!"), PromptIcon::Error, PromptButtons::Ok);
            return false;
        }
        into = check.value;
        return true;
    };
    TGIFExtension* selected = SelectedExtension();
    if (const auto* control = dynamic_cast<TGIFGraphicControlExtension*>(selected)) {
        if (!number("Delay", row(0), delay) || !number("TransparentColor", row(2), index))
            return;
        // A new index must name a colour of the frame; the codec would put
        // 0 in its place.
        const int colors = selected->Frame().ActiveColorMap().Count();
        if (*index != control->TransparentColorIndex() && colors > 0 && *index >= colors) {
            project_.Ask().Message(
                QStringLiteral("The transparent color must be an entry of the frame's color table, from 0 to %1.")
                    .arg(colors - 1),
                QStringLiteral("Error!"), PromptIcon::Error, PromptButtons::Ok);
            return;
        }
    } else if (dynamic_cast<TGIFAppExtNSLoop*>(selected)) {
        if (!number("Loops", row(0), loops))
            return;
    }
    QString memoText = memo_->toPlainText();

    ChangeDocument(QStringLiteral("Save extension"), [&](ProjectEdit& edit) {
        TGIFSubImage& frame = *edit.Image().Images().SubImage(frameIndex);
        TGIFExtension* extension = frame.Extensions().Extension(position);
        if (auto* comment = dynamic_cast<TGIFCommentExtension*>(extension)) {
            // An emptied memo is a comment of no lines; a last line break
            // starts no new line.
            comment->Lines().clear();
            if (memoText.endsWith(QLatin1Char('\n')))
                memoText.chop(1);
            if (!memoText.isEmpty())
                for (const QString& line : memoText.split(QLatin1Char('\n')))
                    comment->Lines().push_back(line.toLatin1().toStdString());
        } else if (auto* control = dynamic_cast<TGIFGraphicControlExtension*>(extension)) {
            control->SetDelay(uint16_t(DelayFromMilliseconds(*delay)));
            control->SetTransparent(row(1) == "Yes");
            // An index the file brought is not checked again unless changed.
            if (*index != control->TransparentColorIndex())
                control->SetTransparentColorIndex(*index);
            control->SetUserInput(row(3) == "Yes");
            // Other text (a reserved value's number) leaves the disposal.
            const int disposal = int(DisposalNames().indexOf(row(4)));
            if (disposal >= 0)
                control->SetDisposal(disposal);
        } else if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(extension)) {
            loop->SetLoops(uint16_t(*loops));
        }
        edit.FrameExtensionsChanged(frameIndex);
    });
    SetSaveEnabled(false);
}

void TExtensionsForm::DelButtonClick()
{
    if (!SelectedExtension())
        return;
    const PromptAnswer answer =
        project_.Ask().Message(QStringLiteral("Are you sure that you want delete this extension?"),
                               QStringLiteral("Warning"), PromptIcon::Warning, PromptButtons::OkCancel);
    if (answer != PromptAnswer::Ok)
        return;
    const int frameIndex = currentFrame_;
    const int position = SelectedPosition();
    try {
        ChangeDocument(QStringLiteral("Delete extension"), [&](ProjectEdit& edit) {
            edit.Image().Images().SubImage(frameIndex)->Extensions().DeleteAt(position);
            edit.FrameExtensionsChanged(frameIndex);
        });
    } catch (...) {
        Rebuild();
        throw;
    }
    Rebuild();
}

void TExtensionsForm::AddButtonClick()
{
    const int frameIndex = currentFrame_;
    if (frameIndex < 0 || frameIndex >= project_.FrameCount())
        return;
    const auto kind = project_.Ask().Ask(ExtensionTypeQuestion{frameIndex == 0});
    if (!kind || (*kind == NewExtensionKind::NetscapeLoop && frameIndex != 0))
        return;
    try {
        ChangeDocument(QStringLiteral("Add extension"), [&](ProjectEdit& edit) {
            TGIFSubImage& frame = *edit.Image().Images().SubImage(frameIndex);
            switch (*kind) {
            case NewExtensionKind::Comment:
                frame.Extensions().Append(std::make_unique<TGIFCommentExtension>(frame));
                break;
            case NewExtensionKind::GraphicControl:
                frame.Extensions().Append(std::make_unique<TGIFGraphicControlExtension>(frame));
                break;
            case NewExtensionKind::NetscapeLoop:
                frame.Extensions().Append(std::make_unique<TGIFAppExtNSLoop>(frame));
                break;
            }
            edit.FrameExtensionsChanged(frameIndex);
        });
    } catch (...) {
        Rebuild();
        throw;
    }
    Rebuild();
}

TExtensionsForm* ShowExtensionsForm(TMdiWindows& windows, Project& project)
{
    return windows.Show<TExtensionsForm>(WindowKind::Extensions, [&project] { return new TExtensionsForm(project); });
}

} // namespace animora
