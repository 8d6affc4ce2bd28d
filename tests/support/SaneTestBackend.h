#pragma once
// SANE's own "test" backend as the scanner tests' device. SANE learns its
// configuration folder once per process, so the first call makes the folder
// and names it in SANE_CONFIG_DIR; later calls only rewrite its files, which
// every session reads again.
#include <string>

namespace animora::test {

// dll.conf names the backends to load ("test", or nothing for no scanners);
// test.conf sets the test device's defaults.
void ConfigureSaneTestBackend(const std::string& dllConf, const std::string& testConf = {});

// A colour pattern at 50 dpi on one device, plus the extra lines given.
std::string TestDeviceConf(const std::string& extra = {});

} // namespace animora::test
