#include "platform/Clipboard.h"

#include "platform/Errors.h"
#include "platform/Graphic.h"

namespace animora {

std::optional<std::vector<uint8_t>> TMemoryClipboard::GetData(const std::string& format) const
{
    const auto found = data_.find(format);
    if (found == data_.end())
        return std::nullopt;
    return found->second;
}

bool TMemoryClipboard::SetData(const std::string& format, std::vector<uint8_t> data)
{
    if (refuse)
        return false;
    data_[format] = std::move(data);
    return true;
}

namespace {

TClipboard*& InstalledClipboard()
{
    static TClipboard* installed = nullptr;
    return installed;
}

} // namespace

TClipboard& Clipboard()
{
    static TMemoryClipboard fallback;
    TClipboard* installed = InstalledClipboard();
    return installed ? *installed : fallback;
}

void SetClipboard(TClipboard* clipboard)
{
    InstalledClipboard() = clipboard;
}

void CopyToClipboard(TGraphic& graphic)
{
    TClipboard& clipboard = Clipboard();
    clipboard.Clear();
    std::string format;
    std::vector<uint8_t> data;
    graphic.SaveToClipboardFormat(format, data);
    if (!format.empty() && !clipboard.SetData(format, std::move(data)))
        throw EInvalidGraphicOperation("Cannot open clipboard");
}

void PasteFromClipboard(TGraphic& graphic, const std::string& format)
{
    graphic.LoadFromClipboardFormat(format, nullptr);
}

} // namespace animora
