// The dithered rendering of a frame (to the 216-colour cube).
#include "gif/FrameRendering.h"

namespace animora {

// Until the colour engine is merged, dithered frames render plain.
void RenderDithered(TFrameRendering& rendering, const TGIFColorMap&, TBitmap& target)
{
    RenderPlain(rendering, target);
}

TPalette DitherPalette()
{
    return TPalette();
}

} // namespace animora
