#pragma once
// The splash shown while the editor starts: a borderless picture with the
// program's name and "Loading", freed when the windows are made.
#include <QWidget>

namespace animora {

class TLoadForm : public QWidget {
    Q_OBJECT
public:
    TLoadForm();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace animora
