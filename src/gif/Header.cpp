#include "gif/Header.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Endian.h"

namespace animora {

TGIFHeader::TGIFHeader(TGIFImage* image) : TGIFItem(image), colorMap_(*this) {}

void TGIFHeader::Clear()
{
    colorMap_.Reset();
    signature_.clear();
    screenWidth_ = 0;
    screenHeight_ = 0;
    packed_ = 0;
    background_ = 0;
    aspect_ = 0;
}

void TGIFHeader::Assign(const TPersistent& source)
{
    if (const auto* header = dynamic_cast<const TGIFHeader*>(&source)) {
        if (header == this)
            return;
        colorMap_.Assign(header->colorMap_);
        signature_ = header->signature_;
        screenWidth_ = header->screenWidth_;
        screenHeight_ = header->screenHeight_;
        packed_ = header->packed_;
        background_ = header->background_;
        aspect_ = header->aspect_;
    } else if (const auto* map = dynamic_cast<const TGIFColorMap*>(&source)) {
        Clear();
        colorMap_.Assign(*map);
    } else {
        TGIFItem::Assign(source);
    }
}

TColor TGIFHeader::BackgroundColor()
{
    return colorMap_.ColorAt(background_);
}

TGIFVersion TGIFHeader::RequiredVersion() const
{
    return colorMap_.Sorted() || aspect_ != 0 ? gv89a : gv87a;
}

void TGIFHeader::RecomputePackedFields()
{
    const int globalDepth = colorMap_.BitDepth();
    int resolution = globalDepth - 1;
    int imageDepth = globalDepth;
    if (image_) {
        for (int i = 0; i < image_->Images().Count(); ++i) {
            const int localDepth = image_->Images().SubImage(i)->ColorMap().BitDepth();
            resolution = std::max(resolution, localDepth - 1);
            imageDepth = std::max(imageDepth, localDepth);
        }
    }
    uint8_t packed = static_cast<uint8_t>((resolution & 7) << 4);
    if (colorMap_.Count() > 0) {
        packed |= 0x80;
        if (colorMap_.Sorted())
            packed |= 0x08;
        packed |= static_cast<uint8_t>((globalDepth - 1) & 7);
    } else {
        packed |= static_cast<uint8_t>((imageDepth - 1) & 7);
    }
    packed_ = packed;
}

// The version of a file is the highest any frame needs; the header's own
// needs are not consulted, as every reader of 87a files reads these fields.
static TGIFVersion FileVersion(const TGIFImage* image)
{
    TGIFVersion version = gvUnknown;
    if (!image)
        return version;
    for (int i = 0; i < image->Images().Count() && version < gv89a; ++i)
        version = std::max(version, image->Images().SubImage(i)->RequiredVersion());
    return version;
}

void TGIFHeader::WriteToStream(TStream& stream)
{
    const TGIFVersion version = FileVersion(image_);
    if (version == gvUnknown)
        RaiseGIFError("Unsupported GIF version");
    stream.WriteBuffer(version == gv89a ? "GIF89a" : "GIF87a", 6);
    RecomputePackedFields();
    uint8_t descriptor[7];
    PutU16LE(descriptor, screenWidth_);
    PutU16LE(descriptor + 2, screenHeight_);
    descriptor[4] = packed_;
    descriptor[5] = background_;
    descriptor[6] = aspect_;
    stream.WriteBuffer(descriptor, sizeof descriptor);
    if (packed_ & 0x80)
        colorMap_.WriteTable(stream);
}

static bool HasGIFSignature(const uint8_t* bytes)
{
    return std::toupper(bytes[0]) == 'G' && std::toupper(bytes[1]) == 'I' && std::toupper(bytes[2]) == 'F';
}

void TGIFHeader::ReadFromStream(TStream& stream)
{
    const int64_t start = stream.Position();
    uint8_t signature[6];
    ReadExact(stream, signature, sizeof signature);
    if (!HasGIFSignature(signature)) {
        // Some files carry 4 bytes of their own in front of the signature.
        stream.SetPosition(start + 4);
        ReadExact(stream, signature, sizeof signature);
        if (!HasGIFSignature(signature))
            RaiseGIFError("Invalid GIF signature");
    }
    signature_.assign(reinterpret_cast<const char*>(signature), sizeof signature);
    uint8_t descriptor[7];
    ReadExact(stream, descriptor, sizeof descriptor);
    screenWidth_ = GetU16LE(descriptor);
    screenHeight_ = GetU16LE(descriptor + 2);
    packed_ = descriptor[4];
    background_ = descriptor[5];
    aspect_ = descriptor[6];
    if (packed_ & 0x80)
        colorMap_.ReadTable(stream, 1 << ((packed_ & 7) + 1));
    else
        colorMap_.Reset();
}

} // namespace animora
