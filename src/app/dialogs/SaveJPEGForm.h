#pragma once
// The JPEG options asked before a project is saved as JPEG; the dialog lives
// for the run, so its settings do too.
#include <QDialog>

#include "app/Prompts.h"

class QCheckBox;
class QLabel;
class QSlider;

namespace animora {

class TSaveJPEGForm : public QDialog {
    Q_OBJECT
public:
    explicit TSaveJPEGForm(QWidget* parent = nullptr);

    JpegSaveOptions Options() const;

private:
    QLabel* compQualLabel_;
    QSlider* compressQual_;
    QCheckBox* grayscale_;
    QCheckBox* smoothing_;
};

} // namespace animora
