#pragma once
// An open dialog for pictures that shows the chosen picture beside the file
// list, read by our own picture loader (so it previews exactly what an
// import would bring in).
#include <QFileDialog>
#include <QImage>

#include "app/Prompts.h"

class QLabel;

namespace animora {

struct OpenPictureQuestion {
    using Answer = QString;
    // "Name|*.a;*.b|Other|*.c" as the menus list them.
    QString filter;
    // Where the dialog starts; empty: where it was last.
    QString directory = {};
};
std::optional<QString> ShowDialog(const OpenPictureQuestion& question, DialogHost& host);

// The picture a file holds, at most `box` large; null when it cannot be read.
QImage PicturePreview(const QString& path, QSize box);

class TOpenPictureDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit TOpenPictureDialog(QWidget* parent = nullptr);

    QLabel* Preview() const { return preview_; }
    void ShowPreview(const QString& path);

private:
    QLabel* preview_;
};

} // namespace animora
