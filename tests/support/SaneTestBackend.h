#pragma once
// SANE's own "test" backend as the scanner tests' device. SANE learns its
// configuration folder once per process, so the first call makes the folder
// and names it in SANE_CONFIG_DIR; later calls rewrite its files, which each
// session reads again. dll.conf names the backends ("" for no scanners),
// test.conf sets the device's defaults: a colour pattern at 50 dpi, plus
// `extra`.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace animora::test {

inline void ConfigureSaneTestBackend(const std::string& dllConf, const std::string& extra = {})
{
    static const std::filesystem::path folder = [] {
        std::string name = (std::filesystem::temp_directory_path() / "animora-sane-XXXXXX").string();
        setenv("SANE_CONFIG_DIR", mkdtemp(name.data()), 1);
        return name;
    }();
    std::ofstream(folder / "dll.conf") << dllConf;
    std::ofstream(folder / "test.conf") << "number_of_devices 1\nmode Color\ndepth 8\nresolution 50\n"
                                           "test-picture \"Color pattern\"\n" << extra;
}

} // namespace animora::test
