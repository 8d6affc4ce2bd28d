#pragma once
// A whole GIF file as one graphic: the header with the global colour map and
// the list of frames, loaded from and saved to streams and files, with the
// settings that later drawing and colour reduction use.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gif/GIFList.h"
#include "gif/Header.h"
#include "gif/Painter.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Graphic.h"
#include "platform/ThreadSync.h"

namespace animora {

class TGIFSubImage;
class TGIFPainter;

// Encoders of the frames' pixels (the Encoding setting).
constexpr uint8_t kEncodingLZW = 0;
constexpr uint8_t kEncodingRLE = 1;

// Flags of DrawOptions.
enum TGIFDrawOption : uint16_t {
    drThreaded = 0x001,
    drTransparent = 0x002,
    drAnimate = 0x004,
    drLoop = 0x008,
    drLoopForever = 0x010,
    drCheckCanvas = 0x020,
    drUnbuffered = 0x040,
    drClearOnLoop = 0x080,
    drTile = 0x100,
    drDither = 0x200,
    drAutoDither = 0x400,
};

// Flags of Optimize.
enum TGIFOptimizeOption : uint8_t {
    ooCrop = 0x01,      // cut transparent borders, drop frames that become empty
    ooMerge = 0x02,     // pixels repeating the frame below become transparent
    ooCleanup = 0x04,   // unused transparency, needless disposal and extensions, empty frames
    ooColorMap = 0x08,  // sort every colour map by use, drop unused entries
    ooReduce = 0x10,    // only checks the reduction mode
    // Each frame becomes the smallest change from the picture before it
    // (TAnimationOptimizer); takes the place of ooMerge when it applies.
    ooDelta = 0x20,
};
constexpr uint8_t ooAll = ooCrop | ooMerge | ooCleanup | ooColorMap | ooReduce;

// (sender, severity, message): a problem that did not stop the work.
using TGIFWarningHandler = std::function<void(TPersistent& sender, int severity, const std::string& message)>;

// Process-wide defaults that every new image copies when it is made.
struct TGIFImageDefaults {
    uint16_t drawOptions = drThreaded | drTransparent | drAnimate | drLoop | drDither | drAutoDither;
    uint8_t reductionMode = 6;  // crNetscape
    int reductionBits = 8;
    uint8_t ditherStyle = 0;  // dkNearest
    // The optimised reduction modes refine the octree palette with k-means
    // passes; off, the octree palette is used as it comes.
    bool refinePalette = true;
    uint8_t encoding = kEncodingLZW;
    int animationSpeed = 100;
    uint8_t painterPriority = 3;  // normal
    uint32_t backdropColor = 0x1FFFFFFF;  // no colour: the header's background is used
};
TGIFImageDefaults& GIFImageDefaults();

class TGIFImage : public TGraphic {
public:
    TGIFImage();
    ~TGIFImage() override;
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    std::string ClassName() const override { return "TGIFImage"; }

    TGIFHeader& Header() { return header_; }
    const TGIFHeader& Header() const { return header_; }
    TGIFImageList& Images() { return images_; }
    const TGIFImageList& Images() const { return images_; }

    void Clear();
    bool GetEmpty() const override { return images_.Count() == 0; }
    int GetWidth() const override { return header_.ScreenWidth(); }
    int GetHeight() const override { return header_.ScreenHeight(); }
    // Every frame must fit: raises "Image width too small for contained frames"
    // (or height) and keeps the old value otherwise.
    void SetWidth(int width) override;
    void SetHeight(int height) override;

    // Reading restores the stream position when it fails; the frames read
    // until then stay. Progress "Loading..." / "Saving..." is reported.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

    // Appends a frame; the image takes ownership. Answers its index.
    int Add(std::unique_ptr<TGIFSubImage> frame);
    // A new frame assigned from a graphic (a bitmap, icon, ...) or copied
    // from a frame; anything else raises "Object type not supported for
    // operation". Answers the new frame's index.
    int Add(const TPersistent& source);
    // From another image: header, frames and drawing settings; from any
    // other graphic or a frame: one frame made from it (GIFImageGraphic.cpp).
    void Assign(const TPersistent& source) override;
    // Only into a TBitmap, which becomes a copy of the image bitmap.
    bool AssignTo(TPersistent& destination) const override;

    // --- the image as a graphic (GIFImageGraphic.cpp) ---
    // The picture of the image: frame 0 at its place on a screen-sized
    // bitmap (or frame 0's rendering when it fills the screen). Cached,
    // none when the image is empty.
    TBitmap* FirstFrameBitmap() const;
    // A still image draws frame 0 into the rectangle (tiled with drTile,
    // through its mask with drTransparent). An animated one is played by a
    // painter; until painters exist it shows its bitmap cache or frame 0.
    void Draw(TCanvas& canvas, const TRect& rect) override;
    // Stops the image's painters and drops the bitmap cache. The editor
    // calls it before it changes frames of an image that may be playing.
    void StopAnimation();
    // The dither decision: frames render dithered to the colour cube with
    // drDither, unless drAutoDither is set and the display needs no palette.
    bool DitherFrames() const;

    // The clipboard carries the image as "GIF Image" bytes together with its
    // bitmap in the bitmap format.
    void LoadFromClipboardFormat(const std::string& format, const std::vector<uint8_t>* data) override;
    void SaveToClipboardFormat(std::string& format, std::vector<uint8_t>& data) override;

    // --- optimisation (ImageOptimize.cpp) ---
    // Shrinks the file without changing the picture, steered by the
    // TGIFOptimizeOption flags (ooAll leaves out ooDelta, which rebuilds
    // every frame; the command line and the optimiser window add it). Reduction bits and dither kind are taken for
    // the callers' sake and not used. Progress "Optimizing...".
    void Optimize(uint8_t options, uint8_t reductionMode, int reductionBits, uint8_t ditherKind);
    // Document storage: with the codec's OptimizeOnStreamWrite the image is
    // first optimised with every step (crop, merge, clean-up, colour-map
    // entries), reduction mode 0; then it is written as by SaveToStream.
    void WriteData(TStream& stream) override;
    // Drops derived data; a lone frame's local map becomes the global map.
    void Compact();
    // One global map of the colours the frames use (TColorMapOptimizer).
    void OptimizeColorMaps();

    // The palette the image is shown with: the cached one; else the global
    // map's; none without frames; else frame 0's. Asked again while it is
    // being made (a frame without colours in an image without a global map)
    // it raises "No global or local color table defined". Owned here.
    const TPalette* GetPalette() const override;
    // Replaces the cached palette (none drops it); a bitmap cache of other
    // colours is let go, palette-modified set and the change announced.
    void SetPalette(std::unique_ptr<TPalette> palette);

    // The widest colour depth of the global and every local map.
    int ImageBitDepth() const;

    uint16_t DrawOptions() const { return drawOptions_; }
    void SetDrawOptions(uint16_t options);
    uint8_t ReductionMode() const { return reductionMode_; }
    void SetReductionMode(uint8_t mode) { reductionMode_ = mode; }
    int ReductionBits() const { return reductionBits_; }
    void SetReductionBits(int bits);
    uint8_t DitherStyle() const { return ditherStyle_; }
    void SetDitherStyle(uint8_t style) { ditherStyle_ = style; }
    bool RefinePalette() const { return refinePalette_; }
    void SetRefinePalette(bool refine) { refinePalette_ = refine; }
    uint8_t Encoding() const { return encoding_; }
    void SetEncoding(uint8_t encoding) { encoding_ = encoding; }
    // Frames are written with the smallest LZW code size their pixels need
    // rather than their map's depth (decoders take it from each frame). Set
    // by ooDelta; off, the written bytes stay those of the map's depth.
    bool TightCodeSize() const { return tightCodeSize_; }
    void SetTightCodeSize(bool tight) { tightCodeSize_ = tight; }
    int AnimationSpeed() const { return animationSpeed_; }
    void SetAnimationSpeed(int percent);
    uint8_t PainterPriority() const { return painterPriority_; }
    void SetPainterPriority(uint8_t priority) { painterPriority_ = priority; }
    uint32_t BackdropColor() const { return backdropColor_; }
    void SetBackdropColor(uint32_t color) { backdropColor_ = color; }

    TGIFWarningHandler WarningHandler;
    // Every warning of the tree arrives here and goes to WarningHandler.
    virtual void Warning(TPersistent& sender, int severity, const std::string& message);

    // --- playing (GIFImageAnimation.cpp) ---
    // Handed to every painter the image starts.
    TGIFPainterEvent OnPlayStart;
    TGIFPainterEvent OnBeforeFrame;
    TGIFPainterEvent OnAfterFrame;
    TGIFPainterEvent OnLoopRestart;
    TGIFPainterEvent OnPlayEnd;
    // The painters playing this image; painters leave it themselves when
    // they end.
    TThreadList<TGIFPainter*>& Painters() { return painters_; }
    // Starts a painter on the canvas and rectangle (as the default painter
    // when asked). None for an empty image or rectangle; a synchronous
    // painter plays to its end here and none is answered either.
    TGIFPainter* StartPainter(TCanvas& canvas, const TRect& rect, uint16_t options, bool asDefault = false);
    // Tells every painter to stop and waits for the threaded ones, running
    // the GUI work they wait for (never holding the list's lock meanwhile).
    void StopAllPainters();
    TGIFPainter* DefaultPainter();

    // --- used by the items of the tree ---
    // A frame changed what the image shows (a rendering with a new palette).
    void FrameChanged(TGIFSubImage& frame);
    void NotifyProgress(TProgressStage stage, int percent, bool redrawNow, const std::string& message);
    // Widens the screen to hold a frame that reaches past it (with warnings).
    void FitScreenToFrame(const TGIFSubImage& frame);
    // Counts pixels allocated while loading against the budget of the load.
    void ChargeLoadedPixels(int64_t count);
    void GlobalColorMapChanged();
    // Drops the derived caches (rendered bitmap, palette, default painter).
    void DropCaches();

private:
    void AssignImage(const TGIFImage& source);
    void AssignOther(const TPersistent& source);
    // One of this image's frames or cached bitmaps.
    bool HoldsObject(const TPersistent& object) const;
    // Plays an animated image; see Draw.
    void DrawAnimated(TCanvas& canvas, const TRect& rect);

    TGIFImageList images_;
    TGIFHeader header_;

    uint16_t drawOptions_;
    uint8_t reductionMode_;
    int reductionBits_;
    uint8_t ditherStyle_;
    bool refinePalette_;
    uint8_t encoding_;
    bool tightCodeSize_ = false;
    int animationSpeed_;
    uint8_t painterPriority_;
    uint32_t backdropColor_;

    // Derived caches, rebuilt on demand. The default painter joins them
    // with the animation.
    mutable std::unique_ptr<TBitmap> bitmapCache_;
    mutable std::unique_ptr<TPalette> paletteCache_;
    mutable bool paletteBusy_ = false;
    bool drawing_ = false;

    void StopDefaultPainter();
    // Joins threaded painters that have ended; a kept error goes to the GUI
    // dispatcher, as the painter's caller is gone.
    void ReapPainters();
    // Waits a moment for painters, running GUI work; when the application
    // quits, no more GUI work will run and painters are let finish without it.
    void YieldToPainters();
    bool ShowCache(TCanvas& canvas, const TRect& rect);
    void PrepareCacheTarget(TCanvas& canvas, const TRect& rect);

    TThreadList<TGIFPainter*> painters_;
    TGIFPainter* defaultPainter_ = nullptr;  // guarded by the painter list's lock
    std::vector<std::unique_ptr<TGIFPainter>> threadedPainters_;  // GUI thread only
    std::unique_ptr<TCanvas> cacheCanvas_;  // the default painter's target when buffered

    // Pixels the current load may still allocate; see ChargeLoadedPixels.
    int64_t loadPixelBudget_ = -1;
};

} // namespace animora
