#pragma once
// The logical screen descriptor and the global colour map.
#include <cstdint>
#include <string>

#include "gif/ColorMap.h"
#include "gif/GIFItem.h"

namespace animora {

class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* image);
    std::string ClassName() const override { return "TGIFHeader"; }

    uint16_t ScreenWidth() const { return screenWidth_; }
    uint16_t ScreenHeight() const { return screenHeight_; }
    void SetScreenWidth(uint16_t width) { screenWidth_ = width; }
    void SetScreenHeight(uint16_t height) { screenHeight_ = height; }
    // Bit 7 global table, bits 6-4 colour resolution - 1, bit 3 sorted, bits 2-0 table size.
    uint8_t PackedFields() const { return packed_; }
    void SetPackedFields(uint8_t packed) { packed_ = packed; }
    uint8_t BackgroundColorIndex() const { return background_; }
    void SetBackgroundColorIndex(uint8_t index) { background_ = index; }
    uint8_t AspectRatio() const { return aspect_; }
    void SetAspectRatio(uint8_t aspect) { aspect_ = aspect; }

    // The six bytes the file began with ("GIF89a"); kept for display only,
    // since writing chooses the version from what the image uses.
    const std::string& Signature() const { return signature_; }

    TGIFGlobalColorMap& ColorMap() { return colorMap_; }
    const TGIFGlobalColorMap& ColorMap() const { return colorMap_; }

    void Clear();
    // From a header: the map and the descriptor; from a colour map: that map
    // as the global map of an otherwise cleared header.
    void Assign(const TPersistent& source) override;
    TColor BackgroundColor();
    int BitDepth() const { return colorMap_.BitDepth(); }
    int ColorResolution() const { return BitDepth() - 1; }

    TGIFVersion RequiredVersion() const override;
    // Sets the packed fields from the maps of the image, as they are written.
    void RecomputePackedFields();

    void WriteToStream(TStream& stream) override;
    void ReadFromStream(TStream& stream) override;

private:
    std::string signature_;
    uint16_t screenWidth_ = 0;
    uint16_t screenHeight_ = 0;
    uint8_t packed_ = 0;
    uint8_t background_ = 0;
    uint8_t aspect_ = 0;
    TGIFGlobalColorMap colorMap_;
};

} // namespace animora
