#include "support/SaneTestBackend.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace animora::test {

namespace {

struct ConfigFolder {
    std::filesystem::path path;
    ConfigFolder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "animora-sane-XXXXXX").string();
        path = mkdtemp(name.data());
        setenv("SANE_CONFIG_DIR", path.c_str(), 1);
    }
    ~ConfigFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

void Write(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::trunc) << text;
}

} // namespace

void ConfigureSaneTestBackend(const std::string& dllConf, const std::string& testConf)
{
    static const ConfigFolder folder;
    Write(folder.path / "dll.conf", dllConf);
    Write(folder.path / "test.conf", testConf);
}

std::string TestDeviceConf(const std::string& extra)
{
    return "number_of_devices 1\nmode Color\ndepth 8\nresolution 50\ntest-picture \"Color pattern\"\n" + extra;
}

} // namespace animora::test
