#pragma once
// The preview window: the current frame of the preview copy as a still
// picture, frame stepping, the play options, and the add, delete and option
// buttons. "Run animation" plays the preview copy through a threaded
// painter onto a bitmap that the window shows.
#include <cstdint>
#include <memory>

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
class TBitmap;
class TCanvas;
class TGIFImage;

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
    // Stops a painter still playing onto the window's bitmap.
    ~TGifPreview() override;

    // The buttons a project enables (stop, run, step, edit, delete, add, option).
    void EnableProjectButtons(bool on);
    void ApplyPlayOptions();
    void RefreshFrameView();
    // Puts StopGif down without running its command (Open does this first).
    void PressStopQuietly();

    PlayChecks Checks() const;

    bool IsPlaying() const { return playing_ != nullptr; }
    // Frames the painter has shown since play last started.
    int FramesPlayed() const { return framesPlayed_; }

private:
    QWidget* BuildFramePage();
    QWidget* BuildOptionsPage();
    QToolButton* AddButton(QWidget* bar, const char* name, const QIcon& icon, const char* hint);

    void FillFrameList();
    void SelectCurrentInList();
    void ShowStill();

    void StartPlaying();
    void StopPlaying();
    void ShowPlayBitmap();

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

    // What the painter draws on while the animation runs.
    std::unique_ptr<TBitmap> playBitmap_;
    std::unique_ptr<TCanvas> playCanvas_;
    TGIFImage* playing_ = nullptr;
    int framesPlayed_ = 0;
};

} // namespace animora
