#pragma once
// What the four effect dialogs share: the explanation along the top, the run
// of frames (FirstFrame, CountFrame), the palette and copy boxes, and Ok and
// Cancel. Each effect's dialog adds its own controls in the middle.
#include <QDialog>

#include "effects/Effects.h"

class QCheckBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QVBoxLayout;

namespace animora {

class TEffectForm : public QDialog {
    Q_OBJECT
public:
    QSpinBox* FirstFrame() const { return firstFrame_; }
    QSpinBox* CountFrame() const { return countFrame_; }
    QCheckBox* UsePaslette() const { return usePaslette_; }
    QCheckBox* CopyFrame() const { return copyFrame_; }

protected:
    struct Texts {
        const char* objectName;
        const char* title;
        const char* explanation;
        const char* copyCaption;
        bool framedExplanation;
    };
    TEffectForm(const Texts& texts, QWidget* parent);

    // Rows beside the frame numbers ("Count of lines").
    QFormLayout* NumberRows() const { return numbers_; }
    // The effect's own controls, between the numbers and the check boxes.
    QVBoxLayout* OwnControls() const { return own_; }
    // An integer edit. Values below what the effect accepts can be typed,
    // so the command, not the edit, says why they are refused.
    QSpinBox* NumberEdit(const char* name, int value);
    // Two radio buttons in a group box of their own, the first one chosen.
    QGroupBox* RadioPair(const char* groupName, QRadioButton*& first, const char* firstName,
                         const char* firstCaption, QRadioButton*& second, const char* secondName,
                         const char* secondCaption);

    // The run and the two boxes, as every effect takes them.
    void FillShared(effects::TEffectParams& params) const;

private:
    QLabel* staticText1_;
    QSpinBox* firstFrame_;
    QSpinBox* countFrame_;
    QCheckBox* usePaslette_;
    QCheckBox* copyFrame_;
    QPushButton* button1_;
    QPushButton* button2_;
    QFormLayout* numbers_;
    QVBoxLayout* own_;
};

} // namespace animora
