#include "platform/Graphic.h"

#include "platform/Errors.h"

namespace animora {

void TGraphic::LoadFromFile(const std::string& fileName)
{
    TMemoryStream stream;
    stream.LoadFromFile(fileName);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName)
{
    WriteFileAtomically(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

void TGraphic::LoadFromClipboardFormat(const std::string&, const std::vector<uint8_t>*)
{
    throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(std::string&, std::vector<uint8_t>&)
{
    throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::Changed()
{
    ChangedBy(*this);
}

void TGraphic::ChangedBy(TPersistent& sender)
{
    modified_ = true;
    if (OnChange)
        OnChange(sender);
}

void TGraphic::Progress(TProgressStage stage, int percent, bool redrawNow, const std::string& message)
{
    if (OnProgress)
        OnProgress(*this, stage, percent, redrawNow, message);
}

} // namespace animora
