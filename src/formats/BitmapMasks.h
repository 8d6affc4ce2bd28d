#pragma once
// The 1-bit masks icons and metafiles carry beside their pictures.
#include <functional>

#include "platform/Bitmap.h"

namespace animora {

// A 1-bit mask of the given size: black/white palette, index 1 (white) where
// `transparent(x, y)` is true. This is the platform's icon-mask convention:
// a set bit keeps the background.
TBitmap MaskFromPredicate(int width, int height, const std::function<bool(int x, int y)>& transparent);

} // namespace animora
