#pragma once
// A metafile file as the engine's TMetafile: its player plays the records
// again each time the graphic is drawn, at the size it is drawn, over what
// the canvas already holds. The engine's frame import relies on that: it
// draws the graphic on white and on black to learn where nothing was painted.
#include <cstdint>
#include <memory>
#include <vector>

#include "formats/Metafile.h"
#include "platform/GraphicKinds.h"

namespace animora {

// The bytes must be a metafile of the kind given; raises EInvalidGraphic
// "Metafile is not valid" when the header is not one. Damaged records are
// found when the file is played (the picture loader plays it once at load).
std::unique_ptr<TMetafile> MakeMetafileGraphic(std::vector<uint8_t> bytes, bool enhanced,
                                               const TMetafileLimits& limits = {});

} // namespace animora
