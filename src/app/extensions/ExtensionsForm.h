#pragma once
// The extensions explorer: the blocks of every frame of the document image
// and the frames' local colour tables as a tree, the selected block's fields
// as a list (or its text, hex dump or colours below it), and the commands
// that edit, save, add and delete blocks. Edits stay in the list until
// Save writes them into the document image.
#include <functional>

#include <QStringList>
#include <QWidget>

class QMenu;
class QPlainTextEdit;
class QTableWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace animora {

class Project;
class ProjectEdit;
class TGIFColorMap;
class TGIFExtension;
class TGIFUnknownAppExtension;
class TPaletteGrid;
class TMdiWindows;

// The data sub-blocks of an application block as the explorer lists them:
// per block a heading, a rule, 16 bytes a line (hex, then the printable
// characters), and an empty line. Every byte line is 65 characters long.
QStringList HexDumpLines(const TGIFUnknownAppExtension& extension);

// Tree texts and icon numbers of the block kinds.
QString ExtensionNodeText(const TGIFExtension& extension);
int ExtensionNodeIcon(const TGIFExtension& extension);
inline constexpr int kLocalPaletteIcon = 12;

// A value the user typed for an integer row, checked against what the
// field can hold: the value to store, or the text of the refusal.
struct RowValueCheck {
    bool ok = false;
    int value = 0;
    QString refusal;
};
RowValueCheck CheckRowValue(const QString& property, const QString& text);

// Milliseconds as hundredths of a second, halves to the even number.
int DelayFromMilliseconds(int milliseconds);

class TExtensionsForm : public QWidget {
    Q_OBJECT
public:
    explicit TExtensionsForm(Project& project, QWidget* parent = nullptr);

    QTreeWidget& Tree() const { return *tree_; }
    QTableWidget& List() const { return *list_; }
    QPlainTextEdit& Memo() const { return *memo_; }
    TPaletteGrid& Grid() const { return *grid_; }
    QToolButton& Button(const char* name) const;
    // The frame the buttons act on: the selected node's, else the last one.
    int CurrentFrameIndex() const { return currentFrame_; }
    // The list's rows as "Property" -> "Value" pairs, in order.
    QList<QPair<QString, QString>> Rows() const;

    // Fills the tree again from the document image; nothing is selected.
    void Rebuild();
    // Empties the tree, the list and the lower panel (the project closed).
    void Clear();
    // Selects the node at the path (frame, then child), -1 for the frame itself.
    void Select(int frame, int child = -1);

    // The commands of the buttons and the pop-up menu.
    void ExtenTreeChange();
    void EditpropertyClick();
    void SaveButtonClick();
    void DelButtonClick();
    void AddButtonClick();

    QSize sizeHint() const override { return {820, 480}; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class NodeKind { Frame, Extension, LocalPalette };
    QToolButton* AddButton(QWidget* bar, const char* name, const QIcon& icon, const char* hint);
    void FillList();
    void AddRow(const QString& property, const QString& value);
    void ShowMemo(const QStringList& lines, bool readOnly);
    // The block the selected node stands for, found in the document image
    // by its place; none when it is gone.
    TGIFExtension* SelectedExtension() const;
    const TGIFColorMap* SelectedColorMap() const;
    int SelectedPosition() const;
    bool SelectedIsChild() const;
    void SetSaveEnabled(bool enabled);
    // Runs a change of the document image through the project; the tree is
    // not rebuilt for the preview the change replaces.
    void ChangeDocument(const QString& name, const std::function<void(ProjectEdit&)>& change);

    Project& project_;
    QTreeWidget* tree_;
    QTableWidget* list_;
    QPlainTextEdit* memo_;
    TPaletteGrid* grid_;
    QToolButton* saveButton_;
    QToolButton* editButton_;
    QToolButton* delButton_;
    QToolButton* addButton_;
    QMenu* popup_;
    QAction* editProperty_;
    int currentFrame_ = 0;
    bool rebuilding_ = false;
    bool changing_ = false;
    bool filling_ = false;
};

// The explorer of the main window: the open one brought forward, or a new one.
TExtensionsForm* ShowExtensionsForm(TMdiWindows& windows, Project& project);

} // namespace animora
