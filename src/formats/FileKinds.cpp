#include "formats/FileKinds.h"
#include "formats/Video.h"

#include <algorithm>
#include <cctype>

namespace animora {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

const std::vector<TFileKindInfo>& FileKinds()
{
    // Videos are not pictures: they open through the video import (a GIF of
    // their frames) and are written by the video export.
    static const std::vector<TFileKindInfo> kinds = {
        {TFileKind::fkGIF, {"gif"}, true, true},
        {TFileKind::fkBitmap, {"bmp"}, true, true},
        {TFileKind::fkJPEG, {"jpg", "jpeg"}, true, true},
        {TFileKind::fkIcon, {"ico"}, true, false},
        {TFileKind::fkMetafile, {"wmf"}, true, false},
        {TFileKind::fkEnhMetafile, {"emf"}, true, false},
        {TFileKind::fkVideo, {"avi", "mp4", "m4v", "mkv", "mov", "webm", "webp", "apng"}, false, true},
    };
    return kinds;
}

const TFileKindInfo& FileKindInfo(TFileKind kind)
{
    static const TFileKindInfo unknown{TFileKind::fkUnknown, {}, false, false};
    for (const TFileKindInfo& info : FileKinds())
        if (info.kind == kind)
            return info;
    return unknown;
}

TFileKind FileKindForExtension(const std::string& extension)
{
    const std::string bare = !extension.empty() && extension[0] == '.' ? extension.substr(1) : extension;
    const std::string lower = Lower(bare);
    for (const TFileKindInfo& info : FileKinds())
        if (std::find(info.extensions.begin(), info.extensions.end(), lower) != info.extensions.end())
            return info.kind;
    // The other containers the video import reads (mpg, ts, ...).
    if (!lower.empty() && IsVideoFileName("video." + lower))
        return TFileKind::fkVideo;
    return TFileKind::fkUnknown;
}

TFileKind FileKindOf(const std::string& fileName)
{
    return FileKindForExtension(ExtensionOf(fileName));
}

std::string ExtensionOf(const std::string& fileName)
{
    const size_t slash = fileName.find_last_of("/\\");
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return fileName.substr(dot + 1);
}

std::string LowerExtension(const std::string& fileName)
{
    return Lower(ExtensionOf(fileName));
}

} // namespace animora
