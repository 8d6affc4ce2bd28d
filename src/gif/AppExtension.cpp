#include "gif/AppExtension.h"

#include <cstring>

#include "gif/GIFException.h"
#include "platform/Endian.h"

namespace animora {

namespace {

constexpr int kIdentifierSize = 8;
constexpr int kAuthenticationSize = 3;
constexpr uint8_t kLoopSubBlockId = 1;
constexpr uint8_t kBufferSubBlockId = 2;

std::string TextUpToZero(const uint8_t* bytes, size_t size)
{
    const auto* chars = reinterpret_cast<const char*>(bytes);
    return std::string(chars, strnlen(chars, size));
}

void StoreText(uint8_t* bytes, size_t size, const std::string& text)
{
    std::memset(bytes, 0, size);
    std::memcpy(bytes, text.data(), std::min(size, text.size()));
}

// Picks the kind by the block size and identifier. A block size of 12 or more
// is not in the published format; such blocks are kept as unknown
// application extensions (identifier from the first 11 bytes, the surplus
// skipped) so that the files holding them still load and save.
const TGIFExtensionClass* ResolveApplication(const TGIFExtensionClass& self, TStream& stream)
{
    const int64_t start = stream.Position();
    uint8_t size = 0;
    if (stream.Read(&size, 1) == 1) {
        TAppIdentifier identifier{};
        if (size == 10)
            return stream.Read(identifier.data(), 10) == 10 ? &TGIFUnknownAppExtension::Class() : nullptr;
        if (size >= 11 && stream.Read(identifier.data(), identifier.size()) == identifier.size()) {
            const TGIFExtensionClass* registered = size == 11 ? AppExtensionClassFor(identifier) : nullptr;
            return registered ? registered : &TGIFUnknownAppExtension::Class();
        }
    }
    stream.SetPosition(start);
    return &self;
}

} // namespace

// The base kind has no sub-block reader of its own. It is answered only for a
// block too short to be read (size below 10, or cut off), so an instance is
// an unknown extension whose read then raises the fitting error.
const TGIFExtensionClass& TGIFApplicationExtension::Class()
{
    static const TGIFExtensionClass kind{
        "TGIFApplicationExtension",
        [](TGIFSubImage& frame) -> std::unique_ptr<TGIFExtension> {
            return std::make_unique<TGIFUnknownAppExtension>(frame);
        },
        ResolveApplication};
    return kind;
}

std::string TGIFApplicationExtension::Identifier() const
{
    return TextUpToZero(identifier_.data(), kIdentifierSize);
}

void TGIFApplicationExtension::SetIdentifier(const std::string& identifier)
{
    StoreText(identifier_.data(), kIdentifierSize, identifier);
}

std::string TGIFApplicationExtension::Authentication() const
{
    return TextUpToZero(identifier_.data() + kIdentifierSize, kAuthenticationSize);
}

void TGIFApplicationExtension::SetAuthentication(const std::string& authentication)
{
    StoreText(identifier_.data() + kIdentifierSize, kAuthenticationSize, authentication);
}

void TGIFApplicationExtension::WriteToStream(TStream& stream)
{
    TGIFExtension::WriteToStream(stream);
    WriteByte(stream, static_cast<uint8_t>(identifier_.size()));
    stream.WriteBuffer(identifier_.data(), identifier_.size());
    WriteSubBlocks(stream);
}

void TGIFApplicationExtension::ReadFromStream(TStream& stream)
{
    TGIFExtension::ReadFromStream(stream);
    uint8_t size = 0;
    ReadExact(stream, &size, 1);
    if (size < 10)
        RaiseGIFError("Unsupported Application Extension block size");
    if (size == 10)
        identifier_.fill(0);
    ReadExact(stream, identifier_.data(), identifier_.size());
    // Back over the byte borrowed from the data for a 10-byte header, or
    // forward over the surplus of an oversized one.
    stream.Seek(static_cast<int64_t>(size) - 11, SeekOrigin::Current);
    ReadSubBlocks(stream);
}

// --- unknown -------------------------------------------------------------------

const TGIFExtensionClass& TGIFUnknownAppExtension::Class()
{
    static const TGIFExtensionClass kind{
        "TGIFUnknownAppExtension",
        [](TGIFSubImage& frame) -> std::unique_ptr<TGIFExtension> {
            return std::make_unique<TGIFUnknownAppExtension>(frame);
        },
        ResolveToSelf};
    return kind;
}

void TGIFUnknownAppExtension::WriteSubBlocks(TStream& stream)
{
    for (const TGIFBlock& block : blocks_) {
        WriteByte(stream, static_cast<uint8_t>(block.Size()));
        stream.WriteBuffer(block.data.data(), block.data.size());
    }
    WriteByte(stream, 0);
}

void TGIFUnknownAppExtension::ReadSubBlocks(TStream& stream)
{
    blocks_.clear();
    uint8_t count = 0;
    while (stream.Read(&count, 1) == 1 && count != 0) {
        TGIFBlock block;
        block.data.assign(count, 0);
        ReadExact(stream, block.data.data(), count);
        blocks_.push_back(std::move(block));
    }
}

// --- looping -------------------------------------------------------------------

const TGIFExtensionClass& TGIFAppExtNSLoop::Class()
{
    static const TGIFExtensionClass kind{
        "TGIFAppExtNSLoop",
        [](TGIFSubImage& frame) -> std::unique_ptr<TGIFExtension> { return std::make_unique<TGIFAppExtNSLoop>(frame); },
        ResolveToSelf};
    return kind;
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage& frame) : TGIFApplicationExtension(frame)
{
    SetIdentifierBytes(MakeAppIdentifier("NETSCAPE2.0"));
}

void TGIFAppExtNSLoop::WriteSubBlocks(TStream& stream)
{
    uint8_t loop[4] = {3, kLoopSubBlockId, 0, 0};
    PutU16LE(loop + 2, loops_);
    stream.WriteBuffer(loop, sizeof loop);
    if (bufferSize_ != 0) {
        uint8_t buffer[6] = {5, kBufferSubBlockId, 0, 0, 0, 0};
        PutU32LE(buffer + 2, bufferSize_);
        stream.WriteBuffer(buffer, sizeof buffer);
    }
    WriteByte(stream, 0);
}

void TGIFAppExtNSLoop::ReadSubBlocks(TStream& stream)
{
    uint8_t size = 0;
    while (stream.Read(&size, 1) == 1 && size != 0) {
        const uint8_t id = ReadByte(stream);
        int consumed = 1;
        if ((id & 7) == kLoopSubBlockId) {
            if (size < 3)
                RaiseGIFError("Invalid GIF data");
            uint8_t value[2];
            ReadExact(stream, value, sizeof value);
            loops_ = GetU16LE(value);
            consumed = 3;
        } else if ((id & 7) == kBufferSubBlockId) {
            if (size < 5)
                RaiseGIFError("Invalid GIF data");
            uint8_t value[4];
            ReadExact(stream, value, sizeof value);
            bufferSize_ = GetU32LE(value);
            consumed = 5;
        }
        stream.Seek(size - consumed, SeekOrigin::Current);
    }
}

} // namespace animora
