#include "support/TestData.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace animora::test {

std::vector<std::filesystem::path> FilesIn(const std::string& folder, const std::string& extension)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TestDataDir() / folder)) {
        if (entry.is_regular_file() && entry.path().extension() == extension)
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::filesystem::path> AllTestGIFs()
{
    std::vector<std::filesystem::path> files;
    for (const char* folder : {"corpus", "gif-suite"}) {
        const auto found = FilesIn(folder, ".gif");
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

std::string TestNameFor(const std::filesystem::path& path)
{
    std::string name = path.stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadFileText(const std::filesystem::path& path)
{
    const auto bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::filesystem::path MakeTempDir(const std::string& prefix)
{
    std::random_device random;
    auto dir = std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(random()));
    std::filesystem::create_directories(dir);
    return dir;
}

} // namespace animora::test
