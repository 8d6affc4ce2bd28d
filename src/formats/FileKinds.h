#pragma once
// Which kind of file a name stands for, by its extension: the one answer the
// picture loader, the command line and the editor's open and save paths all
// use, so a new kind (or a new extension of one) is added here once.
#include <string>
#include <vector>

namespace animora {

enum class TFileKind { fkGIF, fkBitmap, fkJPEG, fkIcon, fkMetafile, fkEnhMetafile, fkVideo, fkUnknown };

struct TFileKindInfo {
    TFileKind kind;
    std::vector<std::string> extensions;  // lower case, no dot, the usual one first
    bool opens;  // the picture loader reads it (a GIF by the codec, with every frame)
    bool saves;  // a picture or a project can be written as it
};

// Every known kind, GIF first; fkUnknown is not among them.
const std::vector<TFileKindInfo>& FileKinds();
// The entry of a kind; fkUnknown has no extensions and neither opens nor saves.
const TFileKindInfo& FileKindInfo(TFileKind kind);

// The kind of an extension given with or without its dot, any case.
TFileKind FileKindForExtension(const std::string& extension);
// The kind of a file name by the extension after its last dot.
TFileKind FileKindOf(const std::string& fileName);

// "gif", "jpg", ... : the lower-cased extension of a file name without the dot.
std::string LowerExtension(const std::string& fileName);
// The extension as written in the name ("Gif"), without the dot; empty when
// the name has none.
std::string ExtensionOf(const std::string& fileName);

} // namespace animora
