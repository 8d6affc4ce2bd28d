#include "platform/PictureFormats.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace animora {

namespace {

std::string NormalizedExtension(std::string extension)
{
    if (!extension.empty() && extension.front() == '.')
        extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

struct TRegistry {
    std::mutex lock;
    std::map<std::string, TPictureFormat> files;
    std::map<std::string, TGraphicMaker> clipboard;
};

TRegistry& Registry()
{
    static TRegistry registry;
    return registry;
}

} // namespace

void RegisterFileFormat(const std::string& extension, const std::string& description, TGraphicMaker make)
{
    TRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    registry.files[NormalizedExtension(extension)] = {extension, description, std::move(make)};
}

void UnregisterFileFormat(const std::string& extension)
{
    TRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    registry.files.erase(NormalizedExtension(extension));
}

const TPictureFormat* FindFileFormat(const std::string& extension)
{
    TRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    const auto found = registry.files.find(NormalizedExtension(extension));
    return found == registry.files.end() ? nullptr : &found->second;
}

std::vector<TPictureFormat> RegisteredFileFormats()
{
    TRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    std::vector<TPictureFormat> formats;
    for (const auto& entry : registry.files)
        formats.push_back(entry.second);
    return formats;
}

void RegisterClipboardFormat(const std::string& format, TGraphicMaker make)
{
    TRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    registry.clipboard[format] = std::move(make);
}

void UnregisterClipboardFormat(const std::string& format)
{
    TRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    registry.clipboard.erase(format);
}

const TGraphicMaker* FindClipboardFormat(const std::string& format)
{
    TRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    const auto found = registry.clipboard.find(format);
    return found == registry.clipboard.end() ? nullptr : &found->second;
}

} // namespace animora
