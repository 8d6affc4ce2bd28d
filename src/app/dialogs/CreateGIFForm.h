#pragma once
// The create dialog: frame count, width and height of a new project. It
// cannot be left, not even by Cancel or the close box, while the count is
// below 1 or not a number.
#include <QDialog>

#include "app/Prompts.h"

class QLineEdit;

namespace animora {

// The three fields of the create dialog as typed; the command parses them.
struct CreateGifFields {
    QString frameCount;
    QString frameWidth;
    QString frameHeight;
};

// Create: the fields of a new project; nothing on Cancel.
struct CreateGifQuestion {
    using Answer = CreateGifFields;
};
std::optional<CreateGifFields> ShowDialog(const CreateGifQuestion&, DialogHost& host);

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
