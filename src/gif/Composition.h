#pragma once
// What is on screen while an animation plays: each frame drawn over what its
// predecessors left, according to their disposal methods. The painter decides
// when; this class decides what, and can be driven frame by frame without any
// waiting (tests, animora-cli frames).
//
// Frames go straight onto the target unless some frame asks for its area to
// be restored (disposal 2 or 3, or drClearOnLoop); then a backup buffer of
// the target rectangle holds the picture frames build on.
#include <bitset>
#include <memory>

#include "gif/Painter.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace animora {

class TGIFImage;
class TGIFSubImage;

// The colour the platform paints window backgrounds with.
constexpr TColor kWindowColor = 0xFFFFFF;
// BackdropColor's "no colour" value.
constexpr TColor kNoBackdrop = 0x1FFFFFFF;

class TGIFComposition : public TGIFPaintStep {
public:
    // Takes copies of the target's rectangle as it is now where the
    // disposal methods of the frames need them.
    TGIFComposition(TGIFImage& image, uint16_t options, const TRect& rect, TCanvas& canvas);

    void Prepare(int frameIndex) override;
    bool Paint(int frameIndex, int disposal, int previousDisposal) override;
    void Release() override;

    bool Buffered() const { return backupBuffer_ != nullptr; }
    // Restoring to "background" paints this colour: BackdropColor when set,
    // else the window colour when there is no global map, else the header's.
    TColor BackgroundColor() const { return background_; }
    // The disposal methods (0-7) the frames use; drClearOnLoop adds 2.
    const std::bitset<8>& DisposalMethods() const { return disposals_; }
    const TBitmap* BackupBuffer() const { return backupBuffer_.get(); }
    const TBitmap* FrameBuffer() const { return frameBuffer_.get(); }
    const TBitmap* SavedBackground() const { return savedBackground_.get(); }
    // The palette the last frame was drawn with: its own, or the 16 colours
    // when it has none.
    const TPalette* SelectedPalette() const { return selectedPalette_; }

private:
    enum class Route { Backup, BackupThenRestore, Target, FrameBuffer, Nothing };
    static Route RouteFor(int disposal, int previousDisposal);

    TColor ResolveBackground() const;
    void CollectDisposals();
    std::unique_ptr<TBitmap> CopyOfTarget() const;
    bool TargetStillValid() const;
    void PaintBuffered(const TGIFSubImage& frame, int frameIndex, Route route);
    void DrawInto(TCanvas& canvas, const TRect& rect, const TGIFSubImage& frame);
    void SelectPalette(const TGIFSubImage& frame);
    void CopyToTarget(const TBitmap& buffer);
    // Puts back what was under the frame in the backup buffer.
    void RestoreFrameArea(const TGIFSubImage& frame);
    void RestoreTiled(TCanvas& buffer, const TRect& frameRect);
    TRect ScaledToBuffer(const TRect& frameRect) const;

    TGIFImage& image_;
    const uint16_t options_;
    const TRect rect_;
    TCanvas& canvas_;
    const TBitmap* canvasBitmap_;  // what drCheckCanvas checks the target against
    TColor background_;
    std::bitset<8> disposals_;
    std::unique_ptr<TBitmap> backupBuffer_;
    std::unique_ptr<TBitmap> frameBuffer_;
    std::unique_ptr<TBitmap> savedBackground_;
    const TPalette* selectedPalette_ = nullptr;
    TPalette systemPalette_;
};

} // namespace animora
