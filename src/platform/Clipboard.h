#pragma once
// The clipboard as the engine sees it: blocks of bytes under named formats.
// The editor installs one backed by the desktop's clipboard; tests and the
// command line use the in-memory one. Bitmaps travel as BMP files' bytes.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace animora {

// The platform's own bitmap format.
inline const std::string kClipboardBitmapFormat = "Bitmap";

class TClipboard {
public:
    virtual ~TClipboard() = default;

    virtual bool HasFormat(const std::string& format) const = 0;
    // Nothing when the clipboard holds no data of the format.
    virtual std::optional<std::vector<uint8_t>> GetData(const std::string& format) const = 0;
    // Adds (or replaces) one format's data; false when the clipboard refuses.
    virtual bool SetData(const std::string& format, std::vector<uint8_t> data) = 0;
    // Empties the clipboard, as the first step of placing something new.
    virtual void Clear() = 0;
};

// Keeps the data in a map; `refuse` makes it decline every SetData, as a
// full or locked desktop clipboard would.
class TMemoryClipboard : public TClipboard {
public:
    bool HasFormat(const std::string& format) const override { return data_.count(format) != 0; }
    std::optional<std::vector<uint8_t>> GetData(const std::string& format) const override;
    bool SetData(const std::string& format, std::vector<uint8_t> data) override;
    void Clear() override { data_.clear(); }

    bool refuse = false;

private:
    std::map<std::string, std::vector<uint8_t>> data_;
};

// The process's clipboard: an in-memory one until the editor installs its own.
TClipboard& Clipboard();
// Installs a clipboard (not owned; null goes back to the in-memory one).
void SetClipboard(TClipboard* clipboard);

class TGraphic;
// Places a graphic on the clipboard: it is emptied, then the graphic's own
// format and data are added (the graphic may add further formats itself).
void CopyToClipboard(TGraphic& graphic);
// Loads the graphic from the clipboard's data of the format.
void PasteFromClipboard(TGraphic& graphic, const std::string& format);

} // namespace animora
