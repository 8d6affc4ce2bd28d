#pragma once
// Extension blocks: the base every kind derives from, the class descriptors
// that let the reader create a kind by its label, and the two process-wide
// registries (by label, and by application identifier).
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "gif/GIFItem.h"

namespace animora {

class TGIFSubImage;
class TGIFExtension;

// What the reader knows of an extension kind before it has an instance: how
// to make one, and how to look further into the block for a more specific kind.
struct TGIFExtensionClass {
    const char* name;
    std::unique_ptr<TGIFExtension> (*create)(TGIFSubImage& frame);
    // Answers the class that should read the block at the stream position:
    // itself, another class to be asked in turn, or none. May move the stream.
    const TGIFExtensionClass* (*resolve)(const TGIFExtensionClass& self, TStream& stream);
};

// The resolver of every kind that needs no look inside the block.
const TGIFExtensionClass* ResolveToSelf(const TGIFExtensionClass& self, TStream& stream);

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage& frame);
    ~TGIFExtension() override;
    std::string ClassName() const override { return "TGIFExtension"; }

    TGIFSubImage& Frame() const { return frame_; }
    virtual uint8_t ExtensionLabel() const = 0;
    // Every extension kind exists only since GIF89a.
    TGIFVersion RequiredVersion() const override { return gv89a; }

    // The base parts write and check the introducer 0x21 and the label; the
    // kinds call them first and then handle their bodies.
    void WriteToStream(TStream& stream) override;
    void ReadFromStream(TStream& stream) override;

private:
    TGIFSubImage& frame_;
};

// --- registries ----------------------------------------------------------------

// Label -> class, searched from the pair registered last.
void RegisterExtension(uint8_t label, const TGIFExtensionClass& kind);
const TGIFExtensionClass* ExtensionClassForLabel(uint8_t label);

using TAppIdentifier = std::array<uint8_t, 11>;  // identifier (8) + authentication code (3)
TAppIdentifier MakeAppIdentifier(const char* text);
void RegisterAppExtension(const TAppIdentifier& identifier, const TGIFExtensionClass& kind);
const TGIFExtensionClass* AppExtensionClassFor(const TAppIdentifier& identifier);

// The class for the extension block whose introducer was just read: looks up
// the label that follows, then lets each class resolve further. The stream
// position is restored afterwards. None when the label is unknown.
const TGIFExtensionClass* FindExtensionClass(TStream& stream);

// A copy of an extension, owned by `frame`, made by writing and reading it.
std::unique_ptr<TGIFExtension> CloneExtension(TGIFExtension& source, TGIFSubImage& frame);

} // namespace animora
