#pragma once
// The JPEG options asked before a project is saved as JPEG; the dialog lives
// for the run, so its settings do too.
#include <QDialog>

#include "app/ProjectFiles.h"
#include "app/Prompts.h"

class QCheckBox;
class QLabel;
class QSlider;

namespace animora {

// Asked before a project is saved as JPEG; nothing on Cancel.
struct JpegOptionsQuestion {
    using Answer = JpegSaveOptions;
};
std::optional<JpegSaveOptions> ShowDialog(const JpegOptionsQuestion&, DialogHost& host);

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
