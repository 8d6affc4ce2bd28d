#pragma once
// The two small dialogs of the extensions explorer: editing one property of
// a block, and choosing the kind of a new block.
#include <QDialog>

#include "app/Prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace animora {

// Which editor a property row is edited with; None: the row is not editable.
enum class PropertyEditor { None, Disposal, YesNo, Integer };
PropertyEditor EditorFor(const QString& property);

// The new value of a property row, preset with the row's value; nothing on
// Cancel. The answer is the editor's text.
struct EditPropertyQuestion {
    using Answer = QString;
    QString property;
    QString value;
};
std::optional<QString> ShowDialog(const EditPropertyQuestion& question, DialogHost& host);

class TEditPropertyForm : public QDialog {
    Q_OBJECT
public:
    explicit TEditPropertyForm(QWidget* parent = nullptr);

    // Shows the editor the property needs, preset with `value`.
    void Present(const QString& property, const QString& value);
    QString Value() const;

private:
    QLabel* propertyName_;
    QComboBox* disposal_;
    QComboBox* yesNo_;
    QLineEdit* edit_;
    PropertyEditor editor_ = PropertyEditor::None;
};

// The kinds of block the explorer adds.
enum class NewExtensionKind { Comment, GraphicControl, NetscapeLoop };

// The kind of a new block; the looping block is offered only for the first
// frame. Nothing on Cancel.
struct ExtensionTypeQuestion {
    using Answer = NewExtensionKind;
    bool offerLoop = false;
};
std::optional<NewExtensionKind> ShowDialog(const ExtensionTypeQuestion& question, DialogHost& host);

class TExtensType : public QDialog {
    Q_OBJECT
public:
    explicit TExtensType(QWidget* parent = nullptr);

    void Present(bool offerLoop);
    NewExtensionKind Kind() const;

private:
    QRadioButton* comment_;
    QRadioButton* graphicControl_;
    QRadioButton* loop_;
};

// The names the explorer gives the disposal methods 0 to 3.
const QStringList& DisposalNames();

} // namespace animora
