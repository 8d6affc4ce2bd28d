#pragma once
// The two extensions that carry text: comments, and plain text to be drawn
// over the image. Both keep their text as lines, one per data sub-block read.
#include <array>
#include <string>
#include <vector>

#include "gif/Extension.h"

namespace animora {

using TStringList = std::vector<std::string>;

// Each line as sub-blocks of up to 255 bytes (an empty line writes nothing),
// then the terminator.
void WriteTextSubBlocks(TStream& stream, const TStringList& lines);
// Each sub-block becomes one line, cut at its first zero byte.
void ReadTextSubBlocks(TStream& stream, TStringList& lines);

class TGIFCommentExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass& Class();
    using TGIFExtension::TGIFExtension;
    std::string ClassName() const override { return "TGIFCommentExtension"; }
    uint8_t ExtensionLabel() const override { return 0xFE; }

    TStringList& Lines() { return lines_; }
    const TStringList& Lines() const { return lines_; }

    void WriteToStream(TStream& stream) override;
    void ReadFromStream(TStream& stream) override;

private:
    TStringList lines_;
};

class TGIFTextExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass& Class();
    using TGIFExtension::TGIFExtension;
    std::string ClassName() const override { return "TGIFTextExtension"; }
    uint8_t ExtensionLabel() const override { return 0x01; }

    TStringList& Lines() { return lines_; }
    const TStringList& Lines() const { return lines_; }

    int GridLeft() const;
    int GridTop() const;
    int GridWidth() const;
    int GridHeight() const;
    void SetGrid(int left, int top, int width, int height);
    uint8_t CellWidth() const { return header_[9]; }
    uint8_t CellHeight() const { return header_[10]; }
    void SetCell(uint8_t width, uint8_t height);
    uint8_t ForegroundColorIndex() const { return header_[11]; }
    uint8_t BackgroundColorIndex() const { return header_[12]; }
    void SetColorIndices(uint8_t foreground, uint8_t background);

    void WriteToStream(TStream& stream) override;
    void ReadFromStream(TStream& stream) override;

private:
    TStringList lines_;
    // Block size (12), grid left, top, width, height (2 each), cell width and
    // height, foreground and background index.
    std::array<uint8_t, 13> header_{12};
};

} // namespace animora
