#include "gif/GraphicControl.h"

#include "gif/GIFException.h"
#include "gif/SubImage.h"
#include "platform/Endian.h"

namespace animora {

const TGIFExtensionClass& TGIFGraphicControlExtension::Class()
{
    static const TGIFExtensionClass kind{
        "TGIFGraphicControlExtension",
        [](TGIFSubImage& frame) -> std::unique_ptr<TGIFExtension> {
            return std::make_unique<TGIFGraphicControlExtension>(frame);
        },
        ResolveToSelf};
    return kind;
}

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage& frame) : TGIFExtension(frame)
{
    if (!frame.GraphicControl())
        frame.SetGraphicControl(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension()
{
    if (Transparent())
        Frame().SetTransparentFlag(false);
    if (Frame().GraphicControl() == this)
        Frame().SetGraphicControl(nullptr);
}

void TGIFGraphicControlExtension::SetTransparent(bool transparent)
{
    block_[1] = static_cast<uint8_t>(transparent ? (block_[1] | 0x01) : (block_[1] & ~0x01));
    Frame().SetTransparentFlag(transparent);
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int index)
{
    const int count = Frame().ActiveColorMap().Count();
    if (count > 0 && (index < 0 || index >= count)) {
        ReportWarning(kWarningSeverity, "Invalid color index");
        index = 0;
    }
    block_[4] = static_cast<uint8_t>(index);
}

uint16_t TGIFGraphicControlExtension::Delay() const
{
    return GetU16LE(&block_[2]);
}

void TGIFGraphicControlExtension::SetDelay(uint16_t delay)
{
    PutU16LE(&block_[2], delay);
}

void TGIFGraphicControlExtension::SetUserInput(bool userInput)
{
    block_[1] = static_cast<uint8_t>(userInput ? (block_[1] | 0x02) : (block_[1] & ~0x02));
}

void TGIFGraphicControlExtension::SetDisposal(int disposal)
{
    block_[1] = static_cast<uint8_t>((block_[1] & ~0x1C) | ((disposal * 4) & 0x1C));
}

void TGIFGraphicControlExtension::WriteToStream(TStream& stream)
{
    TGIFExtension::WriteToStream(stream);
    stream.WriteBuffer(block_.data(), block_.size());
}

void TGIFGraphicControlExtension::ReadFromStream(TStream& stream)
{
    TGIFExtension::ReadFromStream(stream);
    // A short block is tolerated: what was read stays, the rest keeps its value.
    if (stream.Read(block_.data(), block_.size()) < block_.size()) {
        ReportWarning(kWarningSeverity, "Premature end of data");
        return;
    }
    if (Transparent())
        Frame().SetTransparentFlag(true);
}

} // namespace animora
