// The main window's toolbars, the progress panel along the bottom and the
// two-panel status bar.
#include <QActionGroup>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "app/Giffer.h"
#include "app/Icons.h"
#include "Version.h"

namespace animora {

QToolBar* TGiffer::AddToolBar(const char* name, const char* title, std::initializer_list<ActionId> ids)
{
    auto* bar = new QToolBar(QString::fromLatin1(title), this);
    bar->setObjectName(name);
    for (ActionId id : ids) {
        if (id == ActionId::Count) {
            bar->addSeparator();
            continue;
        }
        const ActionSpec& spec = Spec(id);
        const QString hint = QString::fromLatin1(spec.text);
        QAction* action = MakeAction(id);
        action->setIcon(spec.icon());
        action->setText(hint.section('|', 0, 0));
        action->setToolTip(hint.section('|', 0, 0));
        action->setStatusTip(hint.section('|', 1));
        bar->addAction(action);
        if (QWidget* button = bar->widgetForAction(action))
            button->setObjectName(spec.objectName);
        if (spec.triggers != ActionId::Count)
            connect(action, &QAction::triggered, Action(spec.triggers), &QAction::trigger);
    }
    bar->setIconSize(QSize(20, 20));
    bar->setMovable(true);
    return bar;
}

void TGiffer::BuildToolbars()
{
    using A = ActionId;
    constexpr A kSeparator = A::Count;
    toolBar1_ = AddToolBar("ToolBar1", "Project",
                           {A::CreateButton, A::OpenButton, A::SaveButton, kSeparator, A::WizardButton,
                            A::ImportButton, kSeparator, A::UndoButton, A::RedoButton, kSeparator, A::CutButton,
                            A::CopyButton, A::PasteButton, A::DeleteButton, kSeparator, A::ToolButton2,
                            A::CloseButton});

    // The drawing tools act in the document window; one is down at a time.
    toolBar4_ = AddToolBar("ToolBar4", "Drawing tools",
                           {A::CursorlButton, A::SelectButton, A::GetColorButton, A::PenButton, A::LongPenButton,
                            A::LineButton, A::QuadButton, A::EllipseButton, A::FillButton, A::TextButton});
    auto* tools = new QActionGroup(this);
    for (QAction* action : toolBar4_->actions()) {
        action->setCheckable(true);
        tools->addAction(action);
    }
    Action(A::CursorlButton)->setChecked(true);

    toolBar3_ = AddToolBar("ToolBar3", "GIF tools",
                           {A::GlobalOption, A::ExtensButton, A::OptimizeButton, A::ImportFrameButton,
                            A::ExportFrameButton, A::ScanButton});
    PlaceToolbars(WindowSettings{});
}

void TGiffer::BuildBottomPanel()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mdiArea_, 1);

    auto* panel = new QFrame(central);
    panel->setObjectName("Panel1");
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(new QLabel("Progress:", panel));
    progressBar_ = new QProgressBar(panel);
    progressBar_->setObjectName("ProgressBar");
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressBar_->setMaximumHeight(14);
    row->addWidget(progressBar_, 1);

    auto link = [panel](const char* name, const QString& text, const char* url) {
        auto* label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(QLatin1String(url), text), panel);
        label->setObjectName(name);
        label->setTextFormat(Qt::RichText);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        label->setCursor(Qt::PointingHandCursor);
        connect(label, &QLabel::linkActivated, label, [](const QString& target) { QDesktopServices::openUrl(QUrl(target)); });
        return label;
    };
    row->addWidget(link("MailLabel", "Write to Zelqo", kMailUrl));
    QLabel* homePage = link("HomePage", kHomePageLinkText, kHomePageUrl);
    homePage->setToolTip("Go to my Home Page");
    row->addWidget(homePage);
    layout->addWidget(panel);
    setCentralWidget(central);
}

void TGiffer::BuildStatusBar()
{
    statusBar()->setObjectName("StatusBar");
    panel0_ = new QLabel(this);
    panel0_->setObjectName("StatusPanel0");
    panel0_->setFrameShape(QFrame::Panel);
    panel0_->setFrameShadow(QFrame::Sunken);
    panel0_->setMinimumWidth(100);
    panel1_ = new QLabel("Zelqo Animora", this);
    panel1_->setObjectName("StatusPanel1");
    panel1_->setFrameShape(QFrame::Panel);
    panel1_->setFrameShadow(QFrame::Sunken);
    statusBar()->addWidget(panel0_, 1);
    statusBar()->addWidget(panel1_);
}

} // namespace animora
