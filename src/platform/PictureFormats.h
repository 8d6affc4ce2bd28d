#pragma once
// The registry of picture kinds the process knows: a file extension with its
// description and a maker of an empty graphic of the kind, and the clipboard
// formats a graphic kind reads. Codecs register themselves at start-up.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Graphic.h"

namespace animora {

using TGraphicMaker = std::function<std::unique_ptr<TGraphic>()>;

struct TPictureFormat {
    std::string extension;   // upper or lower case, without the dot: "GIF"
    std::string description; // "GIF Image"
    TGraphicMaker make;
};

// Registering an extension again replaces the earlier entry.
void RegisterFileFormat(const std::string& extension, const std::string& description, TGraphicMaker make);
void UnregisterFileFormat(const std::string& extension);
// The format of an extension (with or without its dot, any case), or null.
const TPictureFormat* FindFileFormat(const std::string& extension);
std::vector<TPictureFormat> RegisteredFileFormats();

void RegisterClipboardFormat(const std::string& format, TGraphicMaker make);
void UnregisterClipboardFormat(const std::string& format);
// The maker for a clipboard format, or null.
const TGraphicMaker* FindClipboardFormat(const std::string& format);

} // namespace animora
