#include "app/dialogs/OpenPictureDialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

#include "app/FrameRendering.h"
#include "app/ProjectFiles.h"
#include "app/QtPrompts.h"
#include "gif/GIFImage.h"

namespace animora {

std::optional<QString> ShowDialog(const OpenPictureQuestion& question, DialogHost& host)
{
    auto& dialog = host.Kept<TOpenPictureDialog>();
    dialog.setNameFilter(QtFileFilter(question.filter));
    if (!question.directory.isEmpty())
        dialog.setDirectory(question.directory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

QImage PicturePreview(const QString& path, QSize box)
{
    if (!QFileInfo(path).isFile())
        return {};
    try {
        TGIFImage image;
        LoadProjectFile(image, path);
        const QImage picture = ImageFromBitmap(RenderImageBitmap(image));
        if (picture.width() <= box.width() && picture.height() <= box.height())
            return picture;
        return picture.scaled(box, Qt::KeepAspectRatio, Qt::FastTransformation);
    } catch (const std::exception&) {
        return {};  // no preview for what cannot be read; the import says why
    }
}

TOpenPictureDialog::TOpenPictureDialog(QWidget* parent) : QFileDialog(parent)
{
    setObjectName("ImportDialog1");
    setFileMode(QFileDialog::ExistingFile);
    // The desktop's own dialog has no place for our preview.
    setOption(QFileDialog::DontUseNativeDialog);
    preview_ = new QLabel(this);
    preview_->setObjectName("PicturePreview");
    preview_->setFixedSize(200, 200);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::StyledPanel);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(preview_, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, this, &TOpenPictureDialog::ShowPreview);
}

void TOpenPictureDialog::ShowPreview(const QString& path)
{
    const QImage picture = PicturePreview(path, preview_->size());
    if (picture.isNull()) {
        preview_->clear();
        return;
    }
    preview_->setPixmap(QPixmap::fromImage(picture));
}

} // namespace animora
