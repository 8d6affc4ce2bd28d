#pragma once
// The base of every picture the program loads, saves and (later) draws: it
// carries the change and progress notifications and the state flags that the
// editor watches. Concrete graphics (the GIF image, bitmaps) derive from it.
#include <functional>
#include <string>

#include "platform/Persistent.h"
#include "platform/Stream.h"

namespace animora {

enum class TProgressStage { psStarting = 0, psRunning = 1, psEnding = 2 };

// (sender, stage, percentage 0..100, redraw now, message such as "Loading...").
using TProgressEvent =
    std::function<void(TPersistent& sender, TProgressStage stage, int percent, bool redrawNow, const std::string& message)>;
using TNotifyEvent = std::function<void(TPersistent& sender)>;

class TGraphic : public TPersistent {
public:
    std::string ClassName() const override { return "TGraphic"; }

    virtual bool GetEmpty() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // Reads the whole file into memory first, then LoadFromStream.
    virtual void LoadFromFile(const std::string& fileName);
    // Writes through a temporary file, so a failed save keeps the old file.
    virtual void SaveToFile(const std::string& fileName);

    bool Modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }
    bool PaletteModified() const { return paletteModified_; }
    void SetPaletteModified(bool value) { paletteModified_ = value; }
    bool Transparent() const { return transparent_; }

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    // Marks the graphic modified and tells whoever watches it.
    virtual void Changed();
    void Progress(TProgressStage stage, int percent, bool redrawNow, const std::string& message);

    bool transparent_ = false;

private:
    bool modified_ = false;
    bool paletteModified_ = false;
};

} // namespace animora
