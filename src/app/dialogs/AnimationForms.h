#pragma once
// The small dialogs of the Animation menu: the delay, the speed, the new
// size, the crop rectangle, the range of frames to delete and the n of
// "Keep every n-th frame". Frame numbers count from 1, as the editor shows
// them; delays are in milliseconds, as the extensions explorer shows them.
// Each dialog is kept for the run: what was chosen stays for the next time,
// and the fields that follow the animation (its size, its frame count, the
// current frame) are set again from the question each time.
#include <QDialog>
#include <QRect>
#include <QSize>

#include "app/Prompts.h"

class QCheckBox;
class QFormLayout;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace animora {

// Frames first..last, both included, numbered from 1.
struct FrameRangeFields {
    int first = 1;
    int last = 1;
};

// Set delay: the delay, and all frames or a range of them.
struct SetDelayFields {
    int milliseconds = 100;
    bool allFrames = true;
    FrameRangeFields range;
};
struct SetDelayQuestion {
    using Answer = SetDelayFields;
    int frameCount = 1;
    int currentFrame = 1;  // from 1: the range starts there
    int milliseconds = 0;  // the current frame's delay, preset
};
std::optional<SetDelayFields> ShowDialog(const SetDelayQuestion& question, DialogHost& host);

// Change speed: a percentage of the speed now (200 twice as fast).
struct ChangeSpeedQuestion {
    using Answer = int;
};
std::optional<int> ShowDialog(const ChangeSpeedQuestion& question, DialogHost& host);

// Resize: the new screen size, preset with the size now.
struct ResizeQuestion {
    using Answer = QSize;
    QSize current;
};
std::optional<QSize> ShowDialog(const ResizeQuestion& question, DialogHost& host);

// Crop: the rectangle of the screen to keep, preset with the whole screen.
struct CropQuestion {
    using Answer = QRect;
    QSize screen;
};
std::optional<QRect> ShowDialog(const CropQuestion& question, DialogHost& host);

// Delete range: the frames to delete, preset with the current frame.
struct DeleteRangeQuestion {
    using Answer = FrameRangeFields;
    int frameCount = 1;
    int currentFrame = 1;  // from 1
};
std::optional<FrameRangeFields> ShowDialog(const DeleteRangeQuestion& question, DialogHost& host);

// Keep every n-th frame: n.
struct KeepEveryQuestion {
    using Answer = int;
};
std::optional<int> ShowDialog(const KeepEveryQuestion& question, DialogHost& host);

// What the dialogs share: a form of labelled rows above Ok and Cancel
// (object names "OkButton", "CancelButton").
class TAnimationForm : public QDialog {
    Q_OBJECT
public:
    TAnimationForm(const char* objectName, const char* caption, QWidget* parent);

protected:
    QSpinBox* NumberEdit(const char* name, int low, int high, int value);
    // Adds the buttons under the rows; called last by each form.
    void FinishLayout();

    QFormLayout* rows_;
};

class TSetDelayForm : public TAnimationForm {
    Q_OBJECT
public:
    explicit TSetDelayForm(QWidget* parent = nullptr);
    void Prepare(const SetDelayQuestion& question);
    SetDelayFields Fields() const;

private:
    void FollowChoice();

    QSpinBox* delay_;
    QRadioButton* all_;
    QRadioButton* range_;
    QSpinBox* first_;
    QSpinBox* last_;
};

class TChangeSpeedForm : public TAnimationForm {
    Q_OBJECT
public:
    explicit TChangeSpeedForm(QWidget* parent = nullptr);
    int Percent() const;

private:
    QSpinBox* percent_;
};

class TResizeForm : public TAnimationForm {
    Q_OBJECT
public:
    explicit TResizeForm(QWidget* parent = nullptr);
    // The size now: the fields and the proportion kept.
    void Prepare(QSize current);
    QSize Size() const;

private:
    // With "Keep aspect ratio", one side follows the other.
    void WidthEdited(int width);
    void HeightEdited(int height);

    QSize current_{1, 1};
    QSpinBox* width_;
    QSpinBox* height_;
    QCheckBox* keepAspect_;
    bool following_ = false;
};

class TCropForm : public TAnimationForm {
    Q_OBJECT
public:
    explicit TCropForm(QWidget* parent = nullptr);
    void Prepare(QSize screen);
    QRect Rectangle() const;

private:
    void KeepInsideScreen();

    QSize screen_{1, 1};
    QSpinBox* left_;
    QSpinBox* top_;
    QSpinBox* width_;
    QSpinBox* height_;
};

class TDeleteRangeForm : public TAnimationForm {
    Q_OBJECT
public:
    explicit TDeleteRangeForm(QWidget* parent = nullptr);
    void Prepare(const DeleteRangeQuestion& question);
    FrameRangeFields Fields() const;

private:
    QSpinBox* first_;
    QSpinBox* last_;
};

class TKeepEveryForm : public TAnimationForm {
    Q_OBJECT
public:
    explicit TKeepEveryForm(QWidget* parent = nullptr);
    int Every() const;

private:
    QSpinBox* every_;
};

} // namespace animora
