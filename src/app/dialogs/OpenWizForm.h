#pragma once
// The start-up chooser: create, open, the GIF wizard or the import wizard,
// and whether to show it at the next start. Closing it by any way stores
// that choice.
#include <functional>

#include <QDialog>

class QCheckBox;
class QToolButton;

namespace animora {

class TOpenWizForm : public QDialog {
    Q_OBJECT
public:
    explicit TOpenWizForm(QWidget* parent = nullptr);

    // Run by NewBtn and OpenBtn before the chooser closes.
    std::function<void()> onCreate;
    std::function<void()> onOpen;
    // The GIF wizard.
    std::function<void()> onWizard;
    // Create, then the map of the new project.
    std::function<void()> onImport;

    QCheckBox* ShowNextTime() const { return showNextTime_; }

    void done(int result) override;

private:
    // A choice without an action is shown disabled.
    QToolButton* AddChoice(const char* name, const char* text, const QIcon& icon, int row,
                           std::function<void()>* action);

    QCheckBox* showNextTime_;
};

} // namespace animora
