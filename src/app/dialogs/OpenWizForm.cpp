#include "app/dialogs/OpenWizForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "app/Icons.h"
#include "app/Settings.h"

namespace animora {

TOpenWizForm::TOpenWizForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("OpenWizForm");
    setWindowTitle("Zelqo Animora");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    auto* layout = new QGridLayout(this);
    AddChoice("NewBtn", "Create new project", Icons::Create(), 0, &onCreate);
    AddChoice("OpenBtn", "Open exist project", Icons::Open(), 1, &onOpen);
    AddChoice("WizBtn", "GIF Wizard", Icons::Wizard(), 2, &onWizard);
    AddChoice("ImportBtn", "Import Wizard", Icons::ImportWizard(), 3, &onImport);

    showNextTime_ = new QCheckBox("Show next time", this);
    showNextTime_->setObjectName("ShowNextTime");
    showNextTime_->setChecked(true);
    layout->addWidget(showNextTime_, 4, 0, 1, 2);
    auto* close = new QPushButton("Close", this);
    close->setObjectName("CloseBtn");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 5, 0, 1, 2, Qt::AlignHCenter);
    setFixedSize(sizeHint().expandedTo(QSize(205, 239)));
}

QToolButton* TOpenWizForm::AddChoice(const char* name, const char* text, const QIcon& icon, int row,
                                     std::function<void()>* action)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setIconSize(QSize(32, 32));
    button->setFixedSize(44, 44);
    auto* label = new QLabel(text, this);
    label->setBuddy(button);
    auto* grid = static_cast<QGridLayout*>(layout());
    grid->addWidget(button, row, 0);
    grid->addWidget(label, row, 1);
    button->setEnabled(action != nullptr);
    label->setEnabled(action != nullptr);
    if (action) {
        connect(button, &QToolButton::clicked, this, [this, action] {
            // The chooser closes first, so a failing command leaves no chooser behind.
            accept();
            if (*action)
                (*action)();
        });
    }
    return button;
}

void TOpenWizForm::done(int result)
{
    Settings::SetShowOpenWiz(showNextTime_->isChecked());
    QDialog::done(result);
}

} // namespace animora
