#pragma once
// Rewrites the frames of an animation so that each one is the smallest change
// from the picture shown before it, without changing what an onlooker sees
// at any moment: see TAnimationOptimizer::Run.
#include <functional>

namespace animora {

class TGIFImage;

class TAnimationOptimizer {
public:
    explicit TAnimationOptimizer(TGIFImage& image) : image_(image) {}

    // Composes every frame, then chooses for each frame the disposal of the
    // frame before it, the changed area, the transparent index and the pixel
    // values that encode smallest; frames that show the same picture as the
    // one before become one, their delays summed. Changes the image only when
    // the frames' data gets smaller, and answers whether it did. Animations
    // it cannot model exactly (a pixel past its map, an empty frame, disposal
    // 4-7, one frame) are left alone. frameDone is called once per frame.
    bool Run(const std::function<void()>& frameDone = {});
    // Whether Run can model the animation at all (a frame merge is the
    // fallback for those it cannot).
    static bool Models(const TGIFImage& image);

private:
    TGIFImage& image_;
};

} // namespace animora
