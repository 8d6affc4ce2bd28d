#pragma once
// Scanners through SANE: the devices, the resolutions each offers, and one
// scan with the device's own settings at a chosen resolution into a 24-bit
// bitmap. A TScannerSession is one use of SANE: the library is started when
// the session is made and shut down when it ends, so no device stays open
// between uses. Failures raise EAnimoraError kinds carrying SANE's own text.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

namespace animora {

struct ScannerDevice {
    std::string name;         // what SANE opens it by, "backend:device"
    std::string description;  // "vendor model (type)" for people
};

struct ScanResolutions {
    std::vector<int> offered;  // dots per inch, ascending; empty when the device has no choice
    int current = 0;           // the device's own setting; 0 when unknown
};

// Told how far the scan is (0..100); answering false cancels it.
using ScanProgress = std::function<bool(int percent)>;

class TScannerSession {
public:
    // Raises EStreamError when SANE cannot start, EAnimoraError while
    // another session is open (SANE is one per process).
    TScannerSession();
    ~TScannerSession();
    TScannerSession(const TScannerSession&) = delete;
    TScannerSession& operator=(const TScannerSession&) = delete;

    std::vector<ScannerDevice> Devices() const;
    // A device that cannot be opened now offers nothing; scanning it then
    // says why.
    ScanResolutions Resolutions(const std::string& device) const;
    // Scans at `dpi` (0 keeps the device's setting). Nothing when the
    // progress callback or the device cancels. Raises EStreamError when the
    // device fails, EOutOfMemory for pictures over MaxBitmapPixels and
    // EInvalidGraphic for data the device describes wrongly.
    std::optional<TBitmap> Scan(const std::string& device, int dpi, const ScanProgress& progress) const;
};

} // namespace animora
