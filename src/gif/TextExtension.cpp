#include "gif/TextExtension.h"

#include <algorithm>
#include <cstring>

#include "gif/GIFException.h"
#include "platform/Endian.h"

namespace animora {

void WriteTextSubBlocks(TStream& stream, const TStringList& lines)
{
    for (const std::string& line : lines) {
        for (size_t done = 0; done < line.size();) {
            const size_t count = std::min<size_t>(line.size() - done, 255);
            WriteByte(stream, static_cast<uint8_t>(count));
            stream.WriteBuffer(line.data() + done, count);
            done += count;
        }
    }
    WriteByte(stream, 0);
}

void ReadTextSubBlocks(TStream& stream, TStringList& lines)
{
    lines.clear();
    uint8_t count = 0;
    char block[255];
    while (stream.Read(&count, 1) == 1 && count != 0) {
        ReadExact(stream, block, count);
        lines.emplace_back(block, strnlen(block, count));
    }
}

// --- comment -------------------------------------------------------------------

const TGIFExtensionClass& TGIFCommentExtension::Class()
{
    static const TGIFExtensionClass kind{
        "TGIFCommentExtension",
        [](TGIFSubImage& frame) -> std::unique_ptr<TGIFExtension> {
            return std::make_unique<TGIFCommentExtension>(frame);
        },
        ResolveToSelf};
    return kind;
}

void TGIFCommentExtension::WriteToStream(TStream& stream)
{
    TGIFExtension::WriteToStream(stream);
    WriteTextSubBlocks(stream, lines_);
}

void TGIFCommentExtension::ReadFromStream(TStream& stream)
{
    TGIFExtension::ReadFromStream(stream);
    ReadTextSubBlocks(stream, lines_);
}

// --- plain text ----------------------------------------------------------------

const TGIFExtensionClass& TGIFTextExtension::Class()
{
    static const TGIFExtensionClass kind{
        "TGIFTextExtension",
        [](TGIFSubImage& frame) -> std::unique_ptr<TGIFExtension> {
            return std::make_unique<TGIFTextExtension>(frame);
        },
        ResolveToSelf};
    return kind;
}

int TGIFTextExtension::GridLeft() const { return GetU16LE(&header_[1]); }
int TGIFTextExtension::GridTop() const { return GetU16LE(&header_[3]); }
int TGIFTextExtension::GridWidth() const { return GetU16LE(&header_[5]); }
int TGIFTextExtension::GridHeight() const { return GetU16LE(&header_[7]); }

void TGIFTextExtension::SetGrid(int left, int top, int width, int height)
{
    PutU16LE(&header_[1], static_cast<uint16_t>(left));
    PutU16LE(&header_[3], static_cast<uint16_t>(top));
    PutU16LE(&header_[5], static_cast<uint16_t>(width));
    PutU16LE(&header_[7], static_cast<uint16_t>(height));
}

void TGIFTextExtension::SetCell(uint8_t width, uint8_t height)
{
    header_[9] = width;
    header_[10] = height;
}

void TGIFTextExtension::SetColorIndices(uint8_t foreground, uint8_t background)
{
    header_[11] = foreground;
    header_[12] = background;
}

void TGIFTextExtension::WriteToStream(TStream& stream)
{
    TGIFExtension::WriteToStream(stream);
    stream.WriteBuffer(header_.data(), header_.size());
    WriteTextSubBlocks(stream, lines_);
}

void TGIFTextExtension::ReadFromStream(TStream& stream)
{
    TGIFExtension::ReadFromStream(stream);
    ReadExact(stream, header_.data(), header_.size());
    ReadTextSubBlocks(stream, lines_);
}

} // namespace animora
