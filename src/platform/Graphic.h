#pragma once
// The base of every picture the program loads, saves, draws and copies: it
// carries the change and progress notifications and the state flags that the
// editor watches. The kinds the engine meets are here and beside it: bitmaps
// (Bitmap.h), icons and metafiles (GraphicKinds.h), and the GIF image.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Persistent.h"
#include "platform/Stream.h"

namespace animora {

class TCanvas;
class TPalette;
struct TRect;

enum class TProgressStage { psStarting = 0, psRunning = 1, psEnding = 2 };

// (sender, stage, percentage 0..100, redraw now, message such as "Loading...").
using TProgressEvent =
    std::function<void(TPersistent& sender, TProgressStage stage, int percent, bool redrawNow, const std::string& message)>;
using TNotifyEvent = std::function<void(TPersistent& sender)>;

class TGraphic : public TPersistent {
public:
    TGraphic() = default;
    // Copies carry the picture's state, never the handlers of the original:
    // whoever watches one graphic has not asked to watch its copies.
    TGraphic(const TGraphic& other) : TPersistent(other), transparent_(other.transparent_) {}
    TGraphic& operator=(const TGraphic& other)
    {
        transparent_ = other.transparent_;
        return *this;
    }

    std::string ClassName() const override { return "TGraphic"; }

    virtual bool GetEmpty() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;

    // Paints the picture into the rectangle of the canvas, stretched to it.
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
    // The palette the picture is best shown with; none when it has none.
    virtual const TPalette* GetPalette() const { return nullptr; }

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // Reads the whole file into memory first, then LoadFromStream.
    virtual void LoadFromFile(const std::string& fileName);
    // Writes through a temporary file, so a failed save keeps the old file.
    virtual void SaveToFile(const std::string& fileName);

    // The storage of a picture kept inside a larger document (a saved
    // layout, a project file): the stream form unless a kind says otherwise.
    virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
    virtual void WriteData(TStream& stream) { SaveToStream(stream); }

    // The clipboard exchange (Clipboard.h). `data` null: take the clipboard's
    // data of that format. The base supports no format: both raise
    // EInvalidGraphic "Unsupported clipboard format".
    virtual void LoadFromClipboardFormat(const std::string& format, const std::vector<uint8_t>* data);
    // Answers the format and the data to offer; may place more formats on
    // the clipboard itself.
    virtual void SaveToClipboardFormat(std::string& format, std::vector<uint8_t>& data);

    bool Modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }
    bool PaletteModified() const { return paletteModified_; }
    void SetPaletteModified(bool value) { paletteModified_ = value; }
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool transparent) { transparent_ = transparent; }

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    // Marks the graphic modified and tells whoever watches it.
    virtual void Changed();
    // The same with another sender (a part of this graphic that changed).
    void ChangedBy(TPersistent& sender);
    void Progress(TProgressStage stage, int percent, bool redrawNow, const std::string& message);

    bool transparent_ = false;

private:
    bool modified_ = false;
    bool paletteModified_ = false;
};

} // namespace animora
