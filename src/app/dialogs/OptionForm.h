#pragma once
// The frame size dialog: the width and height the current frame's picture
// is cut or extended to.
#include <QDialog>
#include <QSize>

#include "app/Prompts.h"

class QSpinBox;

namespace animora {

// Frame option: the size the current frame is cut or extended to, preset
// with its size now; nothing on Cancel.
struct FrameSizeQuestion {
    using Answer = QSize;
    QSize current;
};
std::optional<QSize> ShowDialog(const FrameSizeQuestion& question, DialogHost& host);

class TOptionForm : public QDialog {
    Q_OBJECT
public:
    explicit TOptionForm(QWidget* parent = nullptr);

    void SetFrameSize(int width, int height);
    int FrameWidth() const;
    int FrameHeight() const;

private:
    QSpinBox* editWidth_;
    QSpinBox* editHeight_;
};

} // namespace animora
