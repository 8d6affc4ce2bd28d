#pragma once
// The text tool's dialog: the text, its font and colour (shown on a sample),
// and an optional shadow with its position, displacement and colour.
#include <QColor>
#include <QDialog>
#include <QFont>

#include "app/Prompts.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;

namespace animora {

struct TextChoice {
    QString text;
    QFont font;
    QColor color;
    bool shadow = true;
    // 0 "Left-Top", 1 "Right-Top", 2 "Right-Bottom", 3 "Left-Bottom".
    int shadowPosition = 0;
    int displacement = 1;
    QColor shadowColor = Qt::white;

    // Where the shadow goes for text drawn at `at`.
    QPoint ShadowPoint(QPoint at) const;
};

struct TextQuestion {
    using Answer = TextChoice;
};
std::optional<TextChoice> ShowDialog(const TextQuestion&, DialogHost& host);

// A colour from the colour dialog, starting at `initial`.
struct ColorQuestion {
    using Answer = QColor;
    QColor initial;
};
std::optional<QColor> ShowDialog(const ColorQuestion& question, DialogHost& host);

class TTextForm : public QDialog {
    Q_OBJECT
public:
    TTextForm(Prompts& prompts, QWidget* parent = nullptr);

    TextChoice Choice() const;

private:
    void ChooseFont();
    void ChooseShadowColor();
    void SetShadowColor(const QColor& color);

    Prompts& prompts_;
    QLineEdit* textEdit_;
    QLabel* sample_;
    QCheckBox* shadow_;
    QComboBox* position_;
    QLineEdit* displacement_;
    QFrame* shadowSwatch_;
    QColor shadowColor_ = Qt::white;
};

} // namespace animora
