#pragma once
// The scan dialog: which scanner, and at what resolution.
#include <vector>

#include <QDialog>

#include "app/Prompts.h"
#include "formats/Scanner.h"

class QComboBox;

namespace animora {

struct ScannerOffer {
    ScannerDevice device;
    ScanResolutions resolutions;
};

// Index into the question's devices, and dots per inch (0 = the device's own).
struct ScanChoice {
    int device = 0;
    int dpi = 0;
};

// Scan: the scanners found, at least one; nothing on Cancel.
struct ScanSettingsQuestion {
    using Answer = ScanChoice;
    std::vector<ScannerOffer> devices;
};
std::optional<ScanChoice> ShowDialog(const ScanSettingsQuestion& question, DialogHost& host);

// The caption of everything scanning shows.
inline constexpr const char* kScanCaption = "Scaning frame";

class TScanForm : public QDialog {
    Q_OBJECT
public:
    explicit TScanForm(QWidget* parent = nullptr);

    // Keeps the scanner and resolution of the last accepted scan when the
    // scanner is still there.
    void SetDevices(const std::vector<ScannerOffer>& devices);
    ScanChoice Choice() const;
    void accept() override;

private:
    void FillResolutions();

    QComboBox* deviceList_;
    QComboBox* resolution_;
    std::vector<ScannerOffer> devices_;
    std::string lastDevice_;
    int lastDpi_ = 0;
};

} // namespace animora
