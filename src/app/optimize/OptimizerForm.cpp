#include "app/optimize/OptimizerForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/BusyCursor.h"
#include "app/CommandGuard.h"
#include "app/Icons.h"
#include "app/MdiWindows.h"
#include "app/Project.h"
#include "app/Prompts.h"
#include "color/ColorTypes.h"
#include "gif/GIFImage.h"

namespace animora {

namespace {

// The colour-count buttons choose the optimised mode; their id is the
// number of bits (3..7) plus this.
constexpr int kBitsButton = 100;

struct ModeButton {
    const char* name;
    const char* caption;
    int id;  // the reduction mode, or kBitsButton + bits
};
constexpr ModeButton kModeButtons[] = {
    {"NoneColor", "None", crNone},
    {"Windows20", "Windows system (20 colors)", crWindows20},
    {"Windows256", "Windows halftone (256 colors)", crWindows256},
    {"WindowsGray", "Windows gray scale (4 colors)", crWindowsGray},
    {"MonochromeColor", "Monochrome (2 colors)", crMonochrome},
    {"GrayScaleColor", "Grayscale (256 colors)", crGrayScale},
    {"NetscapeColor", "Netscape (216 colors)", crNetscape},
    {"OptimizedWindows", "Optimized windows", crOptimizedWindows},
    {"RadioButton5", "8 colors", kBitsButton + 3},
    {"RadioButton6", "16 colors", kBitsButton + 4},
    {"RadioButton7", "32 colors", kBitsButton + 5},
    {"RadioButton15", "64 colors", kBitsButton + 6},
    {"RadioButton8", "128 colors", kBitsButton + 7},
};

} // namespace

TOptimizerForm::TOptimizerForm(Project& project, QWidget* parent) : QWidget(parent), project_(project)
{
    setObjectName("OptimizerForm");
    setWindowTitle("Optimization");
    setWindowIcon(Icons::Optimize());

    auto* pages = new QTabWidget(this);
    pages->setObjectName("PageControl1");
    pages->addTab(BuildColorPage(), "Color");
    pages->addTab(BuildCompressionPage(), "Compression");

    auto* bar = new QToolBar(this);
    bar->setObjectName("ToolBar1");
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(16, 16));
    QAction* optimize = bar->addAction(Icons::Optimize(), "Optimize");
    bar->widgetForAction(optimize)->setObjectName("ToolButton1");
    QAction* close = bar->addAction(Icons::Exit(), "Close");
    bar->widgetForAction(close)->setObjectName("ToolButton2");
    connect(optimize, &QAction::triggered, this, [this] { RunGuarded(project_.Ask(), [this] { OptimizeClick(); }); });
    connect(close, &QAction::triggered, this, [this] {
        if (QWidget* frame = parentWidget())
            frame->close();
        else
            this->close();
    });

    // Another project's settings show as soon as it is open.
    connect(&project_, &Project::projectShown, this, &TOptimizerForm::ShowSettings);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(pages, 1);
    layout->addWidget(bar);
}

QWidget* TOptimizerForm::BuildColorPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    auto* group = new QGroupBox(page);
    group->setObjectName("GroupBox1");
    auto* grid = new QGridLayout(group);
    modes_ = new QButtonGroup(this);
    int row = 0;
    for (const ModeButton& mode : kModeButtons) {
        auto* button = new QRadioButton(QLatin1String(mode.caption), group);
        button->setObjectName(mode.name);
        modes_->addButton(button, mode.id);
        // Modes on the left, colour counts on the right.
        if (mode.id >= kBitsButton)
            grid->addWidget(button, mode.id - kBitsButton - 3, 1);
        else
            grid->addWidget(button, row++, 0);
    }
    modes_->button(crNone)->setChecked(true);
    // A colour count is the number of bits new images start with, too.
    connect(modes_, &QButtonGroup::idClicked, this, [](int id) {
        if (id >= kBitsButton)
            GIFImageDefaults().reductionBits = id - kBitsButton;
    });
    // Refinement is for the palettes chosen for the picture: the colour
    // counts and "Optimized windows".
    refine_ = new QCheckBox("Refine palette", page);
    refine_->setObjectName("RefinePaletteCb");
    refine_->setToolTip("Closer colours for 8 to 128 colours and Optimized windows: a few passes improve the "
                        "palette. Off: the palette exactly as the octree makes it.");
    refine_->setChecked(GIFImageDefaults().refinePalette);
    connect(modes_, &QButtonGroup::idToggled, this, [this] { refine_->setEnabled(OptimisedModeChecked()); });
    refine_->setEnabled(OptimisedModeChecked());
    allFrames_ = new QCheckBox("All frame", page);
    allFrames_->setObjectName("AllFrameCb");
    allFrames_->setChecked(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addWidget(refine_);
    layout->addWidget(allFrames_);
    layout->addStretch();
    return page;
}

QWidget* TOptimizerForm::BuildCompressionPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet2");
    lzw_ = new QRadioButton("LZW", page);
    lzw_->setObjectName("LZWCompress");
    lzw_->setChecked(true);
    rle_ = new QRadioButton("RLE", page);
    rle_->setObjectName("RadioButton14");
    maxCompress_ = new QCheckBox("Maximum compress (It is not recommended)", page);
    maxCompress_->setObjectName("MaxCompressBox");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(lzw_);
    layout->addWidget(rle_);
    layout->addWidget(maxCompress_);
    layout->addStretch();
    return page;
}

void TOptimizerForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ShowSettings();
}

void TOptimizerForm::ShowSettings()
{
    const TGIFImage* document = project_.Document();
    if (!document)
        return;
    const int mode = document->ReductionMode();
    int id = -1;
    if (mode != crOptimized && mode <= crOptimizedWindows)
        id = mode;
    else if (document->ReductionBits() >= 3 && document->ReductionBits() <= 7)
        id = kBitsButton + document->ReductionBits();
    // A mode no button stands for leaves the checked button as it is.
    if (QAbstractButton* button = modes_->button(id))
        button->setChecked(true);
    (document->Encoding() == kEncodingRLE ? rle_ : lzw_)->setChecked(true);
    refine_->setChecked(document->RefinePalette());
}

bool TOptimizerForm::OptimisedModeChecked() const
{
    const int id = modes_->checkedId();
    return id >= kBitsButton || id == crOptimizedWindows;
}

OptimizeChoice TOptimizerForm::Choice() const
{
    OptimizeChoice choice;
    const int id = modes_->checkedId();
    choice.reductionMode = static_cast<uint8_t>(id >= kBitsButton ? crOptimized : std::max(id, 0));
    choice.reductionBits = GIFImageDefaults().reductionBits;
    choice.refinePalette = refine_->isChecked();
    choice.lzw = lzw_->isChecked();
    choice.maxCompress = maxCompress_->isChecked();
    choice.allFrames = allFrames_->isChecked();
    return choice;
}

void TOptimizerForm::OptimizeClick()
{
    if (!project_.Document())
        return;
    const OptimizeChoice choice = Choice();
    {
        BusyCursor busy;
        const int current = project_.CurrentFrame();
        project_.RequestStop();
        project_.Edit(QStringLiteral("Optimize"),
                      [&](ProjectEdit& edit) { RunOptimize(edit, choice, current); });
        project_.SetCurrentFrame(current);  // shows the frame again
    }
    project_.Ask().Message(QStringLiteral("GIF was be optimized."), QStringLiteral("Error!"), PromptIcon::Information,
                           PromptButtons::Ok);
}

TOptimizerForm* ShowOptimizerForm(TMdiWindows& windows, Project& project)
{
    return windows.Show<TOptimizerForm>(WindowKind::Optimizer, [&project] { return new TOptimizerForm(project); });
}

} // namespace animora
