#include "gif/Extension.h"

#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "gif/AppExtension.h"
#include "gif/GIFException.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"
#include "gif/TextExtension.h"

namespace animora {

const TGIFExtensionClass* ResolveToSelf(const TGIFExtensionClass& self, TStream&)
{
    return &self;
}

TGIFExtension::TGIFExtension(TGIFSubImage& frame) : TGIFItem(frame.Image()), frame_(frame) {}

TGIFExtension::~TGIFExtension()
{
    frame_.Extensions().Detach(this);
}

void TGIFExtension::WriteToStream(TStream& stream)
{
    const uint8_t framing[2] = {kExtensionIntroducer, ExtensionLabel()};
    stream.WriteBuffer(framing, sizeof framing);
}

void TGIFExtension::ReadFromStream(TStream& stream)
{
    uint8_t framing[2];
    ReadExact(stream, framing, sizeof framing);
    if (framing[0] != kExtensionIntroducer)
        RaiseGIFError("Invalid extension introducer");
    if (framing[1] != ExtensionLabel())
        RaiseGIFError("Internal error: Extension Instance does not match Extension Label");
}

// --- registries ----------------------------------------------------------------

namespace {

struct Registries {
    std::vector<std::pair<uint8_t, const TGIFExtensionClass*>> byLabel;
    std::vector<std::pair<TAppIdentifier, const TGIFExtensionClass*>> byIdentifier;
    std::mutex lock;
};

// Made on first use with the kinds the codec knows; others may register more.
Registries& TheRegistries()
{
    static Registries registries;
    static std::once_flag filled;
    std::call_once(filled, [] {
        registries.byLabel = {{0x01, &TGIFTextExtension::Class()},
                              {0xF9, &TGIFGraphicControlExtension::Class()},
                              {0xFE, &TGIFCommentExtension::Class()},
                              {0xFF, &TGIFApplicationExtension::Class()}};
        registries.byIdentifier = {{MakeAppIdentifier("NETSCAPE2.0"), &TGIFAppExtNSLoop::Class()},
                                   {MakeAppIdentifier("ANIMEXTS1.0"), &TGIFAppExtNSLoop::Class()}};
    });
    return registries;
}

} // namespace

void RegisterExtension(uint8_t label, const TGIFExtensionClass& kind)
{
    Registries& r = TheRegistries();
    std::lock_guard guard(r.lock);
    r.byLabel.emplace_back(label, &kind);
}

const TGIFExtensionClass* ExtensionClassForLabel(uint8_t label)
{
    Registries& r = TheRegistries();
    std::lock_guard guard(r.lock);
    for (auto it = r.byLabel.rbegin(); it != r.byLabel.rend(); ++it) {
        if (it->first == label)
            return it->second;
    }
    return nullptr;
}

TAppIdentifier MakeAppIdentifier(const char* text)
{
    TAppIdentifier identifier{};
    std::memcpy(identifier.data(), text, std::min<size_t>(std::strlen(text), identifier.size()));
    return identifier;
}

void RegisterAppExtension(const TAppIdentifier& identifier, const TGIFExtensionClass& kind)
{
    Registries& r = TheRegistries();
    std::lock_guard guard(r.lock);
    r.byIdentifier.emplace_back(identifier, &kind);
}

const TGIFExtensionClass* AppExtensionClassFor(const TAppIdentifier& identifier)
{
    Registries& r = TheRegistries();
    std::lock_guard guard(r.lock);
    for (auto it = r.byIdentifier.rbegin(); it != r.byIdentifier.rend(); ++it) {
        if (it->first == identifier)
            return it->second;
    }
    return nullptr;
}

const TGIFExtensionClass* FindExtensionClass(TStream& stream)
{
    const int64_t start = stream.Position();
    uint8_t label = 0;
    const TGIFExtensionClass* kind = nullptr;
    if (stream.Read(&label, 1) == 1)
        kind = ExtensionClassForLabel(label);
    // Each resolver reads a little further; the chain is short (at most a
    // handful of steps) as a resolver never answers a class before itself.
    for (int step = 0; kind && step < 8; ++step) {
        const TGIFExtensionClass* next = kind->resolve(*kind, stream);
        if (next == kind)
            break;
        kind = next;
    }
    stream.SetPosition(start);
    return kind;
}

std::unique_ptr<TGIFExtension> CloneExtension(TGIFExtension& source, TGIFSubImage& frame)
{
    TMemoryStream bytes;
    source.WriteToStream(bytes);
    bytes.SetPosition(1);
    const TGIFExtensionClass* kind = FindExtensionClass(bytes);
    if (!kind)
        RaiseGIFError("Unknown extension type");
    bytes.SetPosition(0);
    auto copy = kind->create(frame);
    copy->ReadFromStream(bytes);
    return copy;
}

} // namespace animora
