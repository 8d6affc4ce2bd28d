#pragma once
// The frame size dialog: the width and height the current frame's picture
// is cut or extended to.
#include <QDialog>

class QSpinBox;

namespace animora {

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
