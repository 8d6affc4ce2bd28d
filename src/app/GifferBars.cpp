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

namespace animora {

QAction* TGiffer::AddButton(QToolBar* bar, const char* name, const QIcon& icon, const char* hint)
{
    const QString text = QString::fromLatin1(hint);
    QAction* action = bar->addAction(icon, text.section('|', 0, 0));
    action->setObjectName(name);
    action->setToolTip(text.section('|', 0, 0));
    action->setStatusTip(text.section('|', 1));
    if (QWidget* button = bar->widgetForAction(action))
        button->setObjectName(name);
    actions_.insert(name, action);
    return action;
}

void TGiffer::BuildToolbars()
{
    toolBar1_ = new QToolBar("Project", this);
    toolBar1_->setObjectName("ToolBar1");
    AddButton(toolBar1_, "CreateButton", Icons::Create(), "Create new project file");
    AddButton(toolBar1_, "OpenButton", Icons::Open(), "Open exist project file");
    AddButton(toolBar1_, "SaveButton", Icons::Save(), "Save current project file");
    toolBar1_->addSeparator();
    MarkUnavailable(AddButton(toolBar1_, "WizardButton", Icons::Wizard(), "GIF Wizard|Run GIF Wizard"));
    MarkUnavailable(AddButton(toolBar1_, "ImportButton", Icons::ImportWizard(), "Import Wizard|Easy import frame from file"));
    toolBar1_->addSeparator();
    MarkUnavailable(AddButton(toolBar1_, "UndoButton", Icons::Undo(), "Undo|Undo the last operation"));
    MarkUnavailable(AddButton(toolBar1_, "RedoButton", Icons::Redo(), "Redo|Redo last action"));
    toolBar1_->addSeparator();
    MarkUnavailable(AddButton(toolBar1_, "CutButton", Icons::Cut(), "Cut|Cut selected range"));
    MarkUnavailable(AddButton(toolBar1_, "CopyButton", Icons::Copy(), "Copy|Copy selected range"));
    MarkUnavailable(AddButton(toolBar1_, "PasteButton", Icons::Paste(), "Paste|Paste selected range"));
    MarkUnavailable(AddButton(toolBar1_, "DeleteButton", Icons::Delete(), "Delete|Delete selected range"));
    toolBar1_->addSeparator();
    AddButton(toolBar1_, "ToolButton2", Icons::About(), "About|About programm");
    AddButton(toolBar1_, "CloseButton", Icons::Exit(), "Exit|Exit from Animora");
    connect(Action("CreateButton"), &QAction::triggered, Action("Create1"), &QAction::trigger);
    connect(Action("OpenButton"), &QAction::triggered, Action("Open1"), &QAction::trigger);
    connect(Action("SaveButton"), &QAction::triggered, Action("Save1"), &QAction::trigger);
    connect(Action("ToolButton2"), &QAction::triggered, Action("About1"), &QAction::trigger);
    connect(Action("CloseButton"), &QAction::triggered, this, &QWidget::close);

    // The drawing tools act in the document window, which a later version
    // brings; the buttons are there, one down at a time, and disabled.
    toolBar4_ = new QToolBar("Drawing tools", this);
    toolBar4_->setObjectName("ToolBar4");
    auto* tools = new QActionGroup(this);
    const struct {
        const char* name;
        QIcon icon;
        const char* hint;
    } toolButtons[] = {
        {"CursorlButton", Icons::Cursor(), "Cursor|Cursor can't draw anything"},
        {"SelectButton", Icons::Select(), "About programm"},
        {"GetColorButton", Icons::GetColor(), "Get color|Get color from the current pixel"},
        {"PenButton", Icons::Pen(), "Pen|When you fast draw a line, it may see broken line"},
        {"LongPenButton", Icons::LongPen(), "Long pen|Uninterruptedly pen draw"},
        {"LineButton", Icons::Line(), "Draw line|Draw line"},
        {"QuadButton", Icons::Rectangle(), "Rectangle|Draw rectangle"},
        {"EllipseButton", Icons::Ellipse(), "Ellipse|Draw ellipse"},
        {"FillButton", Icons::Fill(), "Fill|Fill region"},
        {"TextButton", Icons::Text(), "Draw text|Draw text"},
    };
    for (const auto& tool : toolButtons) {
        QAction* action = AddButton(toolBar4_, tool.name, tool.icon, tool.hint);
        action->setCheckable(true);
        tools->addAction(action);
        MarkUnavailable(action);
    }
    Action("CursorlButton")->setChecked(true);
    Action("TextButton")->setVisible(false);

    toolBar3_ = new QToolBar("GIF tools", this);
    toolBar3_->setObjectName("ToolBar3");
    MarkUnavailable(AddButton(toolBar3_, "GlobalOption", Icons::GlobalPalette(), "Global palette|Global palette option"));
    MarkUnavailable(AddButton(toolBar3_, "ExtensButton", Icons::Extensions(), "View extensions|Show frame extensions explorer"));
    MarkUnavailable(AddButton(toolBar3_, "OptimizeButton", Icons::Optimize(), "Optimize|Optimize the frames and colours"));
    MarkUnavailable(AddButton(toolBar3_, "ImportFrameButton", Icons::ImportFrame(), "Import frame|Import picture from graphic file to frame"));
    MarkUnavailable(AddButton(toolBar3_, "ExportFrameButton", Icons::ExportFrame(), "Export frame|Export picture from to graphic file"));
    MarkUnavailable(AddButton(toolBar3_, "ScanButton", Icons::Scan(), "Scan frame|Scaning frame"));

    for (QToolBar* bar : {toolBar1_, toolBar4_, toolBar3_}) {
        bar->setIconSize(QSize(20, 20));
        bar->setMovable(true);
    }
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
    QLabel* homePage = link("HomePage", "Zelqo Animora Pro 1.0 Home Page", kHomePageUrl);
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
