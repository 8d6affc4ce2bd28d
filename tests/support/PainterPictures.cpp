#include "support/PainterPictures.h"

#include "gif/Composition.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace animora::test {

// The screens the painter's composition shows, one pass as the painter plays
// it (up to the first empty frame), drawn over a saved background without
// dithering; repeats in a row collapse to one.
std::vector<uint64_t> PainterPictures(TGIFImage& image)
{
    TBitmap screen(image.GetWidth(), image.GetHeight(), PixelFormat::pf32bit);
    TCanvas canvas(screen);
    TGIFComposition composition(image, drTransparent | drAnimate, Bounds(0, 0, screen.Width(), screen.Height()),
                                canvas);
    std::vector<uint64_t> pictures;
    int previousDisposal = 1;
    for (int i = 0; i < image.Images().Count() && !image.Images().SubImage(i)->IsEmpty(); ++i) {
        const int disposal = FrameDisposal(*image.Images().SubImage(i));
        composition.Paint(i, disposal, previousDisposal);
        previousDisposal = disposal;
        uint64_t hash = 14695981039346656037ull;
        for (int y = 0; y < screen.Height(); ++y) {
            const uint8_t* row = screen.ScanLine(y);
            for (int x = 0; x < screen.Width() * 4; ++x)
                hash = (hash ^ row[x]) * 1099511628211ull;
        }
        if (pictures.empty() || pictures.back() != hash)
            pictures.push_back(hash);
    }
    return pictures;
}

} // namespace animora::test
