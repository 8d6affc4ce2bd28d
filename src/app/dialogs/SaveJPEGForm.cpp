#include "app/dialogs/SaveJPEGForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace animora {

TSaveJPEGForm::TSaveJPEGForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("SaveJPEGForm");
    setWindowTitle("JPEG option");
    compQualLabel_ = new QLabel("50", this);
    compQualLabel_->setObjectName("CompQualLabel");
    compressQual_ = new QSlider(Qt::Horizontal, this);
    compressQual_->setObjectName("CompressQual");
    compressQual_->setRange(0, 100);
    compressQual_->setValue(50);
    compressQual_->setTickPosition(QSlider::TicksBelow);
    compressQual_->setTickInterval(1);
    connect(compressQual_, &QSlider::valueChanged, this,
            [this](int value) { compQualLabel_->setText(QString::number(value)); });
    grayscale_ = new QCheckBox("Grayscale", this);
    grayscale_->setObjectName("Grayscale");
    smoothing_ = new QCheckBox("Smoothing", this);
    smoothing_->setObjectName("Smoothing");

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("Ok", QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* quality = new QHBoxLayout;
    quality->addWidget(new QLabel("Compression quality", this));
    quality->addStretch();
    quality->addWidget(compQualLabel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(quality);
    layout->addWidget(compressQual_);
    layout->addWidget(grayscale_);
    layout->addWidget(smoothing_);
    layout->addWidget(buttons);
}

std::optional<JpegSaveOptions> ShowDialog(const JpegOptionsQuestion&, DialogHost& host)
{
    auto& form = host.Kept<TSaveJPEGForm>();
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Options();
}

JpegSaveOptions TSaveJPEGForm::Options() const
{
    return {compressQual_->value(), grayscale_->isChecked(), smoothing_->isChecked()};
}

} // namespace animora
