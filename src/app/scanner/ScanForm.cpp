#include "app/scanner/ScanForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

namespace animora {

std::optional<ScanChoice> ShowDialog(const ScanSettingsQuestion& question, DialogHost& host)
{
    auto& form = host.Kept<TScanForm>();
    form.SetDevices(question.devices);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.Choice();
}

TScanForm::TScanForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("ScanForm");
    setWindowTitle(kScanCaption);
    deviceList_ = new QComboBox(this);
    deviceList_->setObjectName("DeviceList");
    resolution_ = new QComboBox(this);
    resolution_->setObjectName("Resolution");
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("Scan", QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(deviceList_, &QComboBox::currentIndexChanged, this, [this] { FillResolutions(); });
    auto* layout = new QFormLayout(this);
    layout->addRow("Scanner", deviceList_);
    layout->addRow("Resolution", resolution_);
    layout->addRow(buttons);
}

void TScanForm::SetDevices(const std::vector<ScannerOffer>& devices)
{
    devices_ = devices;
    const QSignalBlocker quiet(deviceList_);
    deviceList_->clear();
    int selected = 0;
    for (size_t i = 0; i < devices_.size(); ++i) {
        deviceList_->addItem(QString::fromStdString(devices_[i].device.description));
        if (devices_[i].device.name == lastDevice_)
            selected = static_cast<int>(i);
    }
    deviceList_->setCurrentIndex(selected);
    deviceList_->setEnabled(devices_.size() > 1);
    FillResolutions();
}

// The last resolution chosen when this scanner offers it, else its own.
void TScanForm::FillResolutions()
{
    resolution_->clear();
    const int index = deviceList_->currentIndex();
    if (index < 0 || static_cast<size_t>(index) >= devices_.size())
        return;
    const ScanResolutions& offer = devices_[index].resolutions;
    if (offer.offered.empty()) {
        resolution_->addItem("The scanner's own", 0);
        resolution_->setEnabled(false);
        return;
    }
    resolution_->setEnabled(true);
    for (int dpi : offer.offered)
        resolution_->addItem(QString("%1 dpi").arg(dpi), dpi);
    int selected = resolution_->findData(lastDpi_);
    if (selected < 0)
        selected = resolution_->findData(offer.current);
    resolution_->setCurrentIndex(std::max(selected, 0));
}

ScanChoice TScanForm::Choice() const
{
    return {std::max(deviceList_->currentIndex(), 0), resolution_->currentData().toInt()};
}

void TScanForm::accept()
{
    const ScanChoice choice = Choice();
    if (static_cast<size_t>(choice.device) < devices_.size())
        lastDevice_ = devices_[choice.device].device.name;
    if (choice.dpi > 0)
        lastDpi_ = choice.dpi;
    QDialog::accept();
}

} // namespace animora
