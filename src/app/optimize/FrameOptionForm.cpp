#include "app/optimize/FrameOptionForm.h"

#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/CommandGuard.h"
#include "app/FrameRendering.h"
#include "app/Icons.h"
#include "app/MdiWindows.h"
#include "app/Project.h"
#include "app/dialogs/TextForm.h"
#include "app/optimize/PaletteGrid.h"
#include "gif/GIFImage.h"

namespace animora {

namespace {

// The sixteen colours that have names people use; any other colour is
// given by its hexadecimal value.
QString ColorText(const QColor& color)
{
    struct Named {
        QRgb rgb;
        const char* name;
    };
    static const Named kNames[] = {
        {0x000000, "Black"}, {0x800000, "Maroon"}, {0x008000, "Green"}, {0x808000, "Olive"},
        {0x000080, "Navy"},  {0x800080, "Purple"}, {0x008080, "Teal"},  {0x808080, "Gray"},
        {0xC0C0C0, "Silver"}, {0xFF0000, "Red"},   {0x00FF00, "Lime"},  {0xFFFF00, "Yellow"},
        {0x0000FF, "Blue"},  {0xFF00FF, "Fuchsia"}, {0x00FFFF, "Aqua"}, {0xFFFFFF, "White"},
    };
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    for (const Named& named : kNames)
        if (named.rgb == rgb)
            return QLatin1String(named.name);
    return color.name().toUpper();
}

} // namespace

TFrameOptionForm::TFrameOptionForm(Project& project, QWidget* parent) : QWidget(parent), project_(project)
{
    setObjectName("FrameOptionForm");
    setWindowTitle("Gif global palette");
    setWindowIcon(Icons::GlobalPalette());

    auto* bar = new QToolBar(this);
    bar->setObjectName("ToolBar1");
    bar->setIconSize(QSize(16, 16));
    QAction* exit = bar->addAction(Icons::Exit(), QString());
    exit->setToolTip("Close");
    exit->setStatusTip("Close Gif global palette");
    bar->widgetForAction(exit)->setObjectName("ExitButton");
    connect(exit, &QAction::triggered, this, [this] {
        if (QWidget* frame = parentWidget())
            frame->close();
        else
            close();
    });

    grid_ = new TPaletteGrid(this);
    grid_->setObjectName("PaintBoxPalette");
    connect(grid_, &TPaletteGrid::hovered, this, &TFrameOptionForm::ShowEntry);
    connect(grid_, &TPaletteGrid::entryClicked, this, [this](int entry) {
        RunGuarded(project_.Ask(), [&] { ChangeEntry(entry); });
    });

    auto* status = new QStatusBar(this);
    status->setObjectName("StatusBar1");
    status->setSizeGripEnabled(false);
    const char* const initial[] = {"Index:", "Color", "Red", "Green", "Blue", "Hex", ""};
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(QLatin1String(initial[i]), status);
        static const int kWidths[] = {70, 130, 60, 75, 65, 80, 0};
        panels_[i]->setMinimumWidth(kWidths[i]);
        status->addWidget(panels_[i], i + 1 == panels_.size() ? 1 : 0);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(grid_, 1);
    layout->addWidget(status);

    // The window shows the project's map as it stands, whichever project.
    connect(&project_, &Project::openChanged, this, &TFrameOptionForm::ShowMap);
    connect(&project_, &Project::previewReplaced, this, &TFrameOptionForm::ShowMap);
    connect(&project_, &Project::previewCopyChanged, this, &TFrameOptionForm::ShowMap);
    connect(&project_, &Project::globalColorMapChanged, this, &TFrameOptionForm::ShowMap);
}

QString TFrameOptionForm::PanelText(int panel) const
{
    return panels_[static_cast<std::size_t>(panel)]->text();
}

void TFrameOptionForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ShowMap();
}

void TFrameOptionForm::ShowMap()
{
    const TGIFImage* preview = project_.IsOpen() ? project_.PreviewCopy() : nullptr;
    grid_->SetColors(preview ? ColorsOf(preview->Header().ColorMap()) : std::vector<QColor>{});
}

std::array<QString, 6> TFrameOptionForm::ReadOut(int entry, const QColor& color)
{
    if (entry < 0)
        return {"Index:", "Color:", "Red:", "Green:", "Blue:", "Hex:"};
    return {QStringLiteral("Index:%1").arg(entry),
            QStringLiteral("Color:%1").arg(ColorText(color)),
            QStringLiteral("Red:%1").arg(color.red()),
            QStringLiteral("Green:%1").arg(color.green()),
            QStringLiteral("Blue:%1").arg(color.blue()),
            QStringLiteral("Hex:") + QStringLiteral("%1%2%3")
                                         .arg(color.red(), 2, 16, QLatin1Char('0'))
                                         .arg(color.green(), 2, 16, QLatin1Char('0'))
                                         .arg(color.blue(), 2, 16, QLatin1Char('0'))
                                         .toUpper()};
}

void TFrameOptionForm::ShowEntry(int entry)
{
    const auto& colors = grid_->Colors();
    const QColor color = entry >= 0 && entry < int(colors.size()) ? colors[std::size_t(entry)] : QColor();
    const auto texts = ReadOut(color.isValid() ? entry : -1, color);
    for (std::size_t i = 0; i < texts.size(); ++i)
        panels_[i]->setText(texts[i]);
}

void TFrameOptionForm::ChangeEntry(int entry)
{
    const auto& colors = grid_->Colors();
    if (entry < 0 || entry >= int(colors.size()))
        return;
    const auto chosen = project_.Ask().Ask(ColorQuestion{colors[std::size_t(entry)]});
    if (!chosen)
        return;
    // The entry is changed in the document image, whose frames the map
    // colours; the preview copy then becomes a copy of it again.
    project_.Edit(QStringLiteral("Global palette"), [&](ProjectEdit& edit) {
        TGIFColorMap& map = edit.Image().Header().ColorMap();
        if (entry >= map.Count())
            return;
        map.SetColorAt(entry, ColorFromQt(*chosen));
        edit.GlobalColorMapChanged();
    });
    project_.SetCurrentFrame(project_.CurrentFrame());  // shows the frame again
}

TFrameOptionForm* ShowFrameOptionForm(TMdiWindows& windows, Project& project)
{
    return windows.Show<TFrameOptionForm>(WindowKind::GlobalPalette, [&project] { return new TFrameOptionForm(project); });
}

} // namespace animora
