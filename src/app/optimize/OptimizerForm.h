#pragma once
// The optimiser window: a colour reduction and a compression for the
// document image, applied to every frame or to the preview's current frame.
#include <QWidget>

#include "app/optimize/OptimizeSteps.h"

class QButtonGroup;
class QCheckBox;
class QRadioButton;

namespace animora {

class Project;
class TMdiWindows;

class TOptimizerForm : public QWidget {
    Q_OBJECT
public:
    explicit TOptimizerForm(Project& project, QWidget* parent = nullptr);

    // The buttons checked for the document image's settings.
    void ShowSettings();
    // The settings as the controls give them.
    OptimizeChoice Choice() const;
    // "Optimize".
    void OptimizeClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildColorPage();
    QWidget* BuildCompressionPage();

    Project& project_;
    QButtonGroup* modes_;
    // Whether the mode checked is an optimised one, which refinement is for.
    bool OptimisedModeChecked() const;

    QCheckBox* refine_;
    QCheckBox* allFrames_;
    QRadioButton* lzw_;
    QRadioButton* rle_;
    QCheckBox* maxCompress_;
};

// The window of the main window: the open one brought forward, or a new one.
TOptimizerForm* ShowOptimizerForm(TMdiWindows& windows, Project& project);

} // namespace animora
