#pragma once
// The preview window: the current frame of the preview copy as a still
// picture, frame stepping, the play options, and the add, delete and option
// buttons. "Run animation" shows the picture control, which plays the
// preview copy with the options of the "Play Option" page.
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
class TGIFImage;
class TPreviewImage;

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
    ~TGifPreview() override;

    // The buttons a project enables (stop, run, step, edit, delete, add, option).
    void EnableProjectButtons(bool on);
    void ApplyPlayOptions();
    void RefreshFrameView();
    // Puts StopGif down without running its command (Open does this first).
    void PressStopQuietly();

    PlayChecks Checks() const;

    // The animation runs: the run button is down and the picture shown.
    bool IsPlaying() const;
    // Frames painters have shown since the window was made.
    int FramesPlayed() const { return framesPlayed_; }
    TPreviewImage* PreviewImage() const { return previewImage_; }
    // Draws the animation again after its painters were stopped from
    // outside (a close of the main window that was cancelled).
    void ResumePlaying();

signals:
    // The edit button: the main window opens the document window.
    void editRequested();

private:
    QWidget* BuildFramePage();
    QWidget* BuildOptionsPage();
    QToolButton* AddButton(QWidget* bar, const char* name, const QIcon& icon, const char* hint);

    void FillFrameList();
    void SelectCurrentInList();
    void ShowStill();

    // The picture control takes the new preview copy with the options last
    // applied; frames it plays are counted.
    void TakePreviewCopy();
    void FitPictureToOptions(const PlayChecks& checks);

    void RunGifClick();
    void StopGifClick();
    void NextFrameButtonClick();
    void PrevFrameButtonClick();
    // Stepping while the animation runs stops it first and shows the frame.
    void StopBeforeStepping();
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
    TPreviewImage* previewImage_;
    QWidget* pictureHolder_;
    QCheckBox* cbLoop_;
    QCheckBox* cbStretch_;
    QCheckBox* cbTile_;
    QCheckBox* cbTransparent_;
    QCheckBox* cbDither_;
    QCheckBox* cbAutoDither_;
    QCheckBox* cbThreaded_;
    QCheckBox* cbBuffered_;
    QSpinBox* speedEdit_;

    // The drawing options the check boxes gave when last applied; a new
    // preview copy plays with them until they are applied again.
    uint16_t appliedOptions_;
    int framesPlayed_ = 0;
};

} // namespace animora
