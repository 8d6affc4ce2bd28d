#include "app/dialogs/AnimationForms.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace animora {

namespace {

// A GIF keeps a delay in 16 bits of hundredths of a second, and a screen
// side in 16 bits.
constexpr int kMostMilliseconds = 655350;
constexpr int kMostSide = 65535;

template <typename Form>
bool Run(Form& form)
{
    return form.exec() == QDialog::Accepted;
}

} // namespace

std::optional<SetDelayFields> ShowDialog(const SetDelayQuestion& question, DialogHost& host)
{
    auto& form = host.Kept<TSetDelayForm>();
    form.Prepare(question);
    return Run(form) ? std::optional(form.Fields()) : std::nullopt;
}

std::optional<int> ShowDialog(const ChangeSpeedQuestion&, DialogHost& host)
{
    auto& form = host.Kept<TChangeSpeedForm>();
    return Run(form) ? std::optional(form.Percent()) : std::nullopt;
}

std::optional<QSize> ShowDialog(const ResizeQuestion& question, DialogHost& host)
{
    auto& form = host.Kept<TResizeForm>();
    form.Prepare(question.current);
    return Run(form) ? std::optional(form.Size()) : std::nullopt;
}

std::optional<QRect> ShowDialog(const CropQuestion& question, DialogHost& host)
{
    auto& form = host.Kept<TCropForm>();
    form.Prepare(question.screen);
    return Run(form) ? std::optional(form.Rectangle()) : std::nullopt;
}

std::optional<FrameRangeFields> ShowDialog(const DeleteRangeQuestion& question, DialogHost& host)
{
    auto& form = host.Kept<TDeleteRangeForm>();
    form.Prepare(question);
    return Run(form) ? std::optional(form.Fields()) : std::nullopt;
}

std::optional<int> ShowDialog(const KeepEveryQuestion&, DialogHost& host)
{
    auto& form = host.Kept<TKeepEveryForm>();
    return Run(form) ? std::optional(form.Every()) : std::nullopt;
}

TAnimationForm::TAnimationForm(const char* objectName, const char* caption, QWidget* parent) : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(QString::fromLatin1(caption));
    rows_ = new QFormLayout(this);
}

QSpinBox* TAnimationForm::NumberEdit(const char* name, int low, int high, int value)
{
    auto* edit = new QSpinBox(this);
    edit->setObjectName(name);
    edit->setRange(low, high);
    edit->setValue(value);
    return edit;
}

void TAnimationForm::FinishLayout()
{
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("Ok", QDialogButtonBox::AcceptRole);
    ok->setObjectName("OkButton");
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("CancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    rows_->addRow(buttons);
}

// --- Set delay ---

TSetDelayForm::TSetDelayForm(QWidget* parent) : TAnimationForm("SetDelayForm", "Set delay", parent)
{
    delay_ = NumberEdit("DelayEdit", 0, kMostMilliseconds, 100);
    delay_->setSuffix(" ms");
    delay_->setSingleStep(10);
    all_ = new QRadioButton("All frames", this);
    all_->setObjectName("AllFramesRadio");
    all_->setChecked(true);
    range_ = new QRadioButton("Frames from", this);
    range_->setObjectName("RangeRadio");
    first_ = NumberEdit("FirstEdit", 1, 1, 1);
    last_ = NumberEdit("LastEdit", 1, 1, 1);
    auto* range = new QHBoxLayout;
    range->addWidget(range_);
    range->addWidget(first_);
    range->addWidget(new QLabel("to", this));
    range->addWidget(last_);
    rows_->addRow("Delay", delay_);
    rows_->addRow(all_);
    rows_->addRow(range);
    FinishLayout();
    connect(range_, &QRadioButton::toggled, this, &TSetDelayForm::FollowChoice);
    connect(first_, &QSpinBox::valueChanged, last_, [this](int first) { last_->setMinimum(first); });
    FollowChoice();
}

void TSetDelayForm::Prepare(const SetDelayQuestion& question)
{
    const int count = std::max(question.frameCount, 1);
    const int current = std::clamp(question.currentFrame, 1, count);
    first_->setMaximum(count);
    last_->setMaximum(count);
    first_->setValue(current);
    last_->setValue(current);
    delay_->setValue(std::clamp(question.milliseconds, 0, kMostMilliseconds));
}

void TSetDelayForm::FollowChoice()
{
    first_->setEnabled(range_->isChecked());
    last_->setEnabled(range_->isChecked());
}

SetDelayFields TSetDelayForm::Fields() const
{
    return {delay_->value(), all_->isChecked(), {first_->value(), last_->value()}};
}

// --- Change speed ---

TChangeSpeedForm::TChangeSpeedForm(QWidget* parent) : TAnimationForm("ChangeSpeedForm", "Change speed", parent)
{
    percent_ = NumberEdit("SpeedEdit", 1, 10000, 100);
    percent_->setSuffix(" %");
    percent_->setSingleStep(10);
    percent_->setToolTip("200 % plays twice as fast, 50 % half as fast");
    rows_->addRow("Speed", percent_);
    rows_->addRow(new QLabel("200 % plays twice as fast, 50 % half as fast.", this));
    FinishLayout();
}

int TChangeSpeedForm::Percent() const
{
    return percent_->value();
}

// --- Resize ---

TResizeForm::TResizeForm(QWidget* parent) : TAnimationForm("ResizeForm", "Resize animation", parent)
{
    width_ = NumberEdit("WidthEdit", 1, kMostSide, 1);
    height_ = NumberEdit("HeightEdit", 1, kMostSide, 1);
    keepAspect_ = new QCheckBox("Keep aspect ratio", this);
    keepAspect_->setObjectName("KeepAspectCheck");
    keepAspect_->setChecked(true);
    rows_->addRow("Width", width_);
    rows_->addRow("Height", height_);
    rows_->addRow(keepAspect_);
    FinishLayout();
    connect(width_, &QSpinBox::valueChanged, this, &TResizeForm::WidthEdited);
    connect(height_, &QSpinBox::valueChanged, this, &TResizeForm::HeightEdited);
    // Checking the box again brings the height back into proportion.
    connect(keepAspect_, &QCheckBox::toggled, this, [this](bool keep) {
        if (keep)
            WidthEdited(width_->value());
    });
}

void TResizeForm::Prepare(QSize current)
{
    current_ = QSize(std::max(current.width(), 1), std::max(current.height(), 1));
    following_ = true;
    width_->setValue(current_.width());
    height_->setValue(current_.height());
    following_ = false;
}

void TResizeForm::WidthEdited(int width)
{
    if (following_ || !keepAspect_->isChecked())
        return;
    following_ = true;
    const double height = double(width) * current_.height() / current_.width();
    height_->setValue(std::clamp(int(std::lround(height)), 1, kMostSide));
    following_ = false;
}

void TResizeForm::HeightEdited(int height)
{
    if (following_ || !keepAspect_->isChecked())
        return;
    following_ = true;
    const double width = double(height) * current_.width() / current_.height();
    width_->setValue(std::clamp(int(std::lround(width)), 1, kMostSide));
    following_ = false;
}

QSize TResizeForm::Size() const
{
    return {width_->value(), height_->value()};
}

// --- Crop ---

TCropForm::TCropForm(QWidget* parent) : TAnimationForm("CropForm", "Crop animation", parent)
{
    left_ = NumberEdit("LeftEdit", 0, kMostSide, 0);
    top_ = NumberEdit("TopEdit", 0, kMostSide, 0);
    width_ = NumberEdit("WidthEdit", 1, kMostSide, 1);
    height_ = NumberEdit("HeightEdit", 1, kMostSide, 1);
    rows_->addRow("Left", left_);
    rows_->addRow("Top", top_);
    rows_->addRow("Width", width_);
    rows_->addRow("Height", height_);
    FinishLayout();
    connect(left_, &QSpinBox::valueChanged, this, &TCropForm::KeepInsideScreen);
    connect(top_, &QSpinBox::valueChanged, this, &TCropForm::KeepInsideScreen);
}

// The whole screen at first; the fields reach no further than the screen.
void TCropForm::Prepare(QSize screen)
{
    screen_ = QSize(std::max(screen.width(), 1), std::max(screen.height(), 1));
    left_->setMaximum(screen_.width() - 1);
    top_->setMaximum(screen_.height() - 1);
    left_->setValue(0);
    top_->setValue(0);
    KeepInsideScreen();
    width_->setValue(screen_.width());
    height_->setValue(screen_.height());
}

// The rectangle ends inside the screen: moving its corner shortens the
// largest width and height it may have.
void TCropForm::KeepInsideScreen()
{
    width_->setMaximum(screen_.width() - left_->value());
    height_->setMaximum(screen_.height() - top_->value());
}

QRect TCropForm::Rectangle() const
{
    return {left_->value(), top_->value(), width_->value(), height_->value()};
}

// --- Delete range ---

TDeleteRangeForm::TDeleteRangeForm(QWidget* parent) : TAnimationForm("DeleteRangeForm", "Delete frames", parent)
{
    first_ = NumberEdit("FirstEdit", 1, 1, 1);
    last_ = NumberEdit("LastEdit", 1, 1, 1);
    rows_->addRow("First frame", first_);
    rows_->addRow("Last frame", last_);
    FinishLayout();
    connect(first_, &QSpinBox::valueChanged, last_, [this](int first) { last_->setMinimum(first); });
}

void TDeleteRangeForm::Prepare(const DeleteRangeQuestion& question)
{
    const int count = std::max(question.frameCount, 1);
    const int current = std::clamp(question.currentFrame, 1, count);
    first_->setMaximum(count);
    last_->setMaximum(count);
    first_->setValue(current);
    last_->setValue(current);
}

FrameRangeFields TDeleteRangeForm::Fields() const
{
    return {first_->value(), last_->value()};
}

// --- Keep every n-th frame ---

TKeepEveryForm::TKeepEveryForm(QWidget* parent) : TAnimationForm("KeepEveryForm", "Keep every n-th frame", parent)
{
    every_ = NumberEdit("EveryEdit", 1, 1000, 2);
    rows_->addRow("Keep every", every_);
    rows_->addRow(new QLabel("The dropped frames' time goes to the frame kept before them,\n"
                             "so the animation lasts as long as before.",
                             this));
    FinishLayout();
}

int TKeepEveryForm::Every() const
{
    return every_->value();
}

} // namespace animora
