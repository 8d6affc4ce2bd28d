#pragma once
// The two small frame-number dialogs of the Frame menu: "Exchange place"
// (first and second frame) and "Move frame" (current and new position).
// Both keep what was typed for the next time; the commands read the numbers.
#include <QDialog>

#include "app/Prompts.h"

class QLineEdit;

namespace animora {

// The two fields as typed; a field that is not a number is the command's to report.
struct FramePairFields {
    QString first;
    QString second;
};

struct ExchangeQuestion {
    using Answer = FramePairFields;
};
std::optional<FramePairFields> ShowDialog(const ExchangeQuestion&, DialogHost& host);

struct MoveFrameQuestion {
    using Answer = FramePairFields;
};
std::optional<FramePairFields> ShowDialog(const MoveFrameQuestion&, DialogHost& host);

class TFramePairForm : public QDialog {
    Q_OBJECT
public:
    struct Layout {
        const char* objectName;
        const char* caption;
        const char* firstName;
        const char* firstLabel;
        const char* secondName;
        const char* secondLabel;
        const char* initial;
    };
    TFramePairForm(const Layout& layout, QWidget* parent);

    FramePairFields Fields() const;

private:
    QLineEdit* first_;
    QLineEdit* second_;
};

class TExchangePlaceForm : public TFramePairForm {
    Q_OBJECT
public:
    explicit TExchangePlaceForm(QWidget* parent = nullptr);
};

class TMoveFrameForm : public TFramePairForm {
    Q_OBJECT
public:
    explicit TMoveFrameForm(QWidget* parent = nullptr);
};

} // namespace animora
