#pragma once
// The preview window: the current frame of the preview copy as a still
// picture, frame stepping, the play options, and the add, delete and option
// buttons. Playback needs the animation painter, which the engine does not
// have yet: "Run animation" stays disabled until it does.
#include <cstdint>

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace animora {

class Project;

// The play options as the check boxes of the "Play Option" page hold them.
struct PlayChecks {
    bool running = false;  // RunGif is down
    bool loop = true;
    bool stretch = false;
    bool tile = false;
    bool transparent = true;
    bool dither = true;
    bool autoDither = true;
    bool threaded = false;
    bool buffered = false;
};

// The preview copy's drawing options for those check boxes.
uint16_t DrawOptionsFor(const PlayChecks& checks);

class TGifPreview : public QWidget {
    Q_OBJECT
public:
    explicit TGifPreview(Project& project, QWidget* parent = nullptr);

    // The buttons a project enables (stop, run, step, edit, delete, add, option).
    void EnableProjectButtons(bool on);
    void ApplyPlayOptions();
    void RefreshFrameView();
    // Puts StopGif down without running its command (Open does this first).
    void PressStopQuietly();

    PlayChecks Checks() const;

private:
    QWidget* BuildFramePage();
    QWidget* BuildOptionsPage();
    QToolButton* AddButton(QWidget* bar, const char* name, const QIcon& icon, const char* hint);

    void FillFrameList();
    void SelectCurrentInList();
    void ShowStill();

    void RunGifClick();
    void StopGifClick();
    void FrameListChange(int row);
    void SpeedChange(int value);

    Project& project_;
    QTabWidget* pages_;
    QComboBox* frameList_;
    QToolButton* firstFrame_;
    QToolButton* prevFrame_;
    QToolButton* nextFrame_;
    QToolButton* lastFrame_;
    QToolButton* runGif_;
    QToolButton* stopGif_;
    QToolButton* addButton_;
    QToolButton* editButton_;
    QToolButton* delButton_;
    QToolButton* optionButton_;
    QScrollArea* scrollBox_;
    QLabel* frameImage_;
    QLabel* previewImage_;
    QCheckBox* cbLoop_;
    QCheckBox* cbStretch_;
    QCheckBox* cbTile_;
    QCheckBox* cbTransparent_;
    QCheckBox* cbDither_;
    QCheckBox* cbAutoDither_;
    QCheckBox* cbThreaded_;
    QCheckBox* cbBuffered_;
    QSpinBox* speedEdit_;
};

} // namespace animora
