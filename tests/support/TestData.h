#pragma once
// Where the tests find the files made by other programs, and small helpers
// for reading them in place.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace animora::test {

inline std::filesystem::path TestDataDir() { return ANIMORA_TESTDATA_DIR; }

// Every file directly inside TestDataDir()/folder whose extension (with the
// dot, lower case) is the one given, sorted by name.
std::vector<std::filesystem::path> FilesIn(const std::string& folder, const std::string& extension);

// Every GIF of the real-file folders: the corpus and the conformance suite.
std::vector<std::filesystem::path> AllTestGIFs();

// A file's stem with every character a test name cannot hold replaced by '_'.
std::string TestNameFor(const std::filesystem::path& path);

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);
std::string ReadFileText(const std::filesystem::path& path);

// A fresh empty folder under the system temp folder, removed by the caller.
std::filesystem::path MakeTempDir(const std::string& prefix);

} // namespace animora::test
