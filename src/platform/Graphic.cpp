#include "platform/Graphic.h"

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

void TGraphic::Changed()
{
    modified_ = true;
    if (OnChange)
        OnChange(*this);
}

void TGraphic::Progress(TProgressStage stage, int percent, bool redrawNow, const std::string& message)
{
    if (OnProgress)
        OnProgress(*this, stage, percent, redrawNow, message);
}

} // namespace animora
