#pragma once
// The scanner as the editor's commands use it: the window and the exchange
// folder in, a one-byte result out. On 1 a Windows bitmap file "gif.dat"
// stands in the folder, written completely (a failed or cancelled scan never
// leaves part of one); any other result means nothing was acquired.
#include <cstdint>

#include <QString>

class QWidget;

namespace animora {

class Prompts;

// Lists the scanners; with none, tells the user and answers 0; with several,
// lets the user choose; scans with the device's defaults at a resolution the
// user can change, showing progress with Cancel (Cancel answers 0).
uint8_t ScanToExchangeFile(Prompts& prompts, QWidget* window, const QString& folder);

// The exchange file's name in the folder.
inline constexpr const char* kScanExchangeFile = "gif.dat";

} // namespace animora
