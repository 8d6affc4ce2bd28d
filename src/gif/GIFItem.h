#pragma once
// The elements a GIF file is made of (header, frames, extensions, trailer)
// share this base: each knows the image it belongs to, the GIF version it
// needs, and how to read and write itself.
#include <string>

#include "platform/Persistent.h"
#include "platform/Stream.h"

namespace animora {

class TGIFImage;

// The GIF version an item needs: 87a unless it uses a 89a feature.
enum TGIFVersion : int { gvUnknown = 0, gv87a = 1, gv89a = 2 };

// Severity of the codec's warnings; every warning it gives today is 1.
constexpr int kWarningSeverity = 1;

class TGIFItem : public TPersistent {
public:
    explicit TGIFItem(TGIFImage* image) : image_(image) {}
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    std::string ClassName() const override { return "TGIFItem"; }

    // The owning image; may be absent for a free-standing item.
    TGIFImage* Image() const { return image_; }

    virtual TGIFVersion RequiredVersion() const { return gv87a; }
    // Forwards a problem that does not stop the work to the image's handler.
    virtual void ReportWarning(int severity, const std::string& message);

    virtual void WriteToStream(TStream& stream) = 0;
    virtual void ReadFromStream(TStream& stream) = 0;
    // The file is replaced only once it is completely written.
    void WriteToFile(const std::string& fileName);
    void ReadFromFile(const std::string& fileName);

protected:
    TGIFImage* image_;
};

// The byte 0x3B that ends a file. Reading tolerates a missing trailer at the
// end of the data; anything else there is reported.
class TGIFTrailer : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    std::string ClassName() const override { return "TGIFTrailer"; }
    void WriteToStream(TStream& stream) override;
    void ReadFromStream(TStream& stream) override;
};

// Block introducers of the file.
constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailerByte = 0x3B;

} // namespace animora
