#include "gif/GIFItem.h"

#include "gif/GIFException.h"
#include "gif/GIFImage.h"

namespace animora {

void TGIFItem::ReportWarning(int severity, const std::string& message)
{
    if (image_)
        image_->Warning(*this, severity, message);
}

void TGIFItem::WriteToFile(const std::string& fileName)
{
    WriteFileAtomically(fileName, [this](TStream& stream) { WriteToStream(stream); });
}

void TGIFItem::ReadFromFile(const std::string& fileName)
{
    TMemoryStream stream;
    stream.LoadFromFile(fileName);
    ReadFromStream(stream);
}

void TGIFTrailer::WriteToStream(TStream& stream)
{
    WriteByte(stream, kTrailerByte);
}

void TGIFTrailer::ReadFromStream(TStream& stream)
{
    uint8_t b = 0;
    if (stream.Read(&b, 1) == 1 && b != kTrailerByte)
        ReportWarning(kWarningSeverity, "Invalid Image trailer");
}

} // namespace animora
