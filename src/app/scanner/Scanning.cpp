#include "app/scanner/Scanning.h"

#include <QCoreApplication>
#include <QDir>
#include <QProgressDialog>

#include "app/BusyCursor.h"
#include "app/Prompts.h"
#include "app/scanner/ScanForm.h"
#include "formats/Scanner.h"

namespace animora {

namespace {

// SANE stays started from the device list to the last line scanned, and no
// longer: the file is written after it has shut down.
std::optional<TBitmap> ScanPicture(Prompts& prompts, QWidget* window)
{
    TScannerSession session;
    ScanSettingsQuestion question;
    for (ScannerDevice& device : session.Devices()) {
        ScanResolutions resolutions = session.Resolutions(device.name);
        question.devices.push_back({std::move(device), std::move(resolutions)});
    }
    if (question.devices.empty()) {
        prompts.Message("No scanner was found. Connect a scanner, switch it on and try again.", kScanCaption,
                        PromptIcon::Information, PromptButtons::Ok);
        return std::nullopt;
    }
    const std::optional<ScanChoice> choice = prompts.Ask(question);
    if (!choice || choice->device < 0 || static_cast<size_t>(choice->device) >= question.devices.size())
        return std::nullopt;

    QProgressDialog progress("Scanning...", "Cancel", 0, 100, window);
    progress.setObjectName("ScanProgress");
    progress.setWindowTitle(kScanCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setValue(0);
    const BusyCursor busy;
    return session.Scan(question.devices[choice->device].device.name, choice->dpi, [&progress](int percent) {
        if (percent != progress.value())
            progress.setValue(percent);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
}

} // namespace

uint8_t ScanToExchangeFile(Prompts& prompts, QWidget* window, const QString& folder)
{
    const std::optional<TBitmap> picture = ScanPicture(prompts, window);
    if (!picture)
        return 0;
    picture->SaveToFile(QDir(folder).filePath(kScanExchangeFile).toStdString());
    return 1;
}

} // namespace animora
