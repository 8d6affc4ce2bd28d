#pragma once
// SANE's own "test" backend as the scanner tests' device. SANE learns its
// configuration folder once per process, so the first call makes the folder
// and names it in SANE_CONFIG_DIR; later calls rewrite its files, which each
// session reads again. dll.conf names the backends ("" for no scanners),
// test.conf sets the device's defaults: a colour pattern at 50 dpi, plus
// `extra`.
#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sane/sane.h>

namespace animora::test {

inline void ConfigureSaneTestBackend(const std::string& dllConf, const std::string& extra = {})
{
    static const std::filesystem::path folder = [] {
        // The backend does not free the band buffers of a three-pass scan.
        // Held loaded, it keeps its name on them for the leak checker's
        // suppressions (formats/LeakSuppressions.h); it then keeps its
        // settings between sessions too, so every file below sets them all.
        Dl_info library{};
        if (dladdr(reinterpret_cast<void*>(&sane_init), &library) != 0)
            dlopen((std::filesystem::path(library.dli_fname).parent_path() / "sane/libsane-test.so.1").c_str(),
                   RTLD_NOW);
        std::string name = (std::filesystem::temp_directory_path() / "animora-sane-XXXXXX").string();
        setenv("SANE_CONFIG_DIR", mkdtemp(name.data()), 1);
        return name;
    }();
    std::ofstream(folder / "dll.conf") << dllConf;
    std::ofstream(folder / "test.conf")
        << "number_of_devices 1\nmode Color\ndepth 8\nresolution 50\ntest-picture \"Color pattern\"\n"
           "three-pass false\nthree-pass-order RGB\nhand-scanner false\nread-limit false\nppl-loss 0\n"
           "read-status-code \"Default\"\n"
        << extra;
}

} // namespace animora::test
