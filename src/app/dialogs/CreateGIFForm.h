#pragma once
// The create dialog: frame count, width and height of a new project. It
// cannot be left, not even by Cancel or the close box, while the count is
// below 1 or not a number.
#include <QDialog>

#include "app/Prompts.h"

class QLineEdit;

namespace animora {

class TCreateGIFForm : public QDialog {
    Q_OBJECT
public:
    TCreateGIFForm(Prompts& prompts, QWidget* parent = nullptr);

    CreateGifFields Fields() const;

    void done(int result) override;

private:
    bool CountAllowsClosing();

    Prompts& prompts_;
    QLineEdit* frameCount_;
    QLineEdit* frameWidth_;
    QLineEdit* frameHeight_;
};

} // namespace animora
