#pragma once
// Application extensions: an 11-byte identifier (8 bytes of application
// name, 3 of authentication code) followed by data sub-blocks. The looping
// extension is understood; every other one is kept byte for byte.
#include <cstdint>
#include <vector>

#include "gif/Extension.h"

namespace animora {

class TGIFApplicationExtension : public TGIFExtension {
public:
    // Looks at the block size and identifier to pick the kind that reads it.
    static const TGIFExtensionClass& Class();
    explicit TGIFApplicationExtension(TGIFSubImage& frame) : TGIFExtension(frame) {}
    std::string ClassName() const override { return "TGIFApplicationExtension"; }
    uint8_t ExtensionLabel() const override { return 0xFF; }

    const TAppIdentifier& IdentifierBytes() const { return identifier_; }
    void SetIdentifierBytes(const TAppIdentifier& identifier) { identifier_ = identifier; }
    // The 8 identifier bytes up to the first zero byte.
    std::string Identifier() const;
    void SetIdentifier(const std::string& identifier);
    // The 3 authentication bytes up to the first zero byte.
    std::string Authentication() const;
    void SetAuthentication(const std::string& authentication);

    void WriteToStream(TStream& stream) override;
    void ReadFromStream(TStream& stream) override;

protected:
    virtual void WriteSubBlocks(TStream& stream) = 0;
    virtual void ReadSubBlocks(TStream& stream) = 0;

private:
    TAppIdentifier identifier_{};
};

// One data sub-block of an application extension: 1..255 bytes.
struct TGIFBlock {
    std::vector<uint8_t> data;
    int Size() const { return static_cast<int>(data.size()); }
};

// An application extension the codec does not understand; its sub-blocks are
// kept so that a load and save leaves them unchanged.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass& Class();
    using TGIFApplicationExtension::TGIFApplicationExtension;
    std::string ClassName() const override { return "TGIFUnknownAppExtension"; }

    std::vector<TGIFBlock>& Blocks() { return blocks_; }
    const std::vector<TGIFBlock>& Blocks() const { return blocks_; }

protected:
    void WriteSubBlocks(TStream& stream) override;
    void ReadSubBlocks(TStream& stream) override;

private:
    std::vector<TGIFBlock> blocks_;
};

// The looping extension ("NETSCAPE2.0", also read from "ANIMEXTS1.0"):
// how often the animation repeats, and an optional buffer size.
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass& Class();
    explicit TGIFAppExtNSLoop(TGIFSubImage& frame);
    std::string ClassName() const override { return "TGIFAppExtNSLoop"; }

    uint16_t Loops() const { return loops_; }
    void SetLoops(uint16_t loops) { loops_ = loops; }
    uint32_t BufferSize() const { return bufferSize_; }
    void SetBufferSize(uint32_t size) { bufferSize_ = size; }

protected:
    void WriteSubBlocks(TStream& stream) override;
    void ReadSubBlocks(TStream& stream) override;

private:
    uint16_t loops_ = 0;
    uint32_t bufferSize_ = 0;
};

} // namespace animora
