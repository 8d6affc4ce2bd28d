#pragma once
// The graphic control extension: delay, disposal, user input and the
// transparent colour of the frame it stands in front of.
#include <array>

#include "gif/Extension.h"

namespace animora {

// What becomes of a frame's area before the next frame is painted. The
// values are the file's; 4-7 are reserved, kept as numbers and played as
// dmNone. A plain enum: disposals are stored and compared as ints.
enum TGIFDisposal : int {
    dmNone = 0,        // no disposal given: the frame stays
    dmNoDispose = 1,   // the frame stays
    dmBackground = 2,  // its area is cleared to the background
    dmPrevious = 3,    // its area gets back what was there before
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass& Class();
    // Becomes the frame's graphic control when the frame has none yet; the
    // caller appends it to the frame's extension list.
    explicit TGIFGraphicControlExtension(TGIFSubImage& frame);
    ~TGIFGraphicControlExtension() override;
    std::string ClassName() const override { return "TGIFGraphicControlExtension"; }
    uint8_t ExtensionLabel() const override { return 0xF9; }

    bool Transparent() const { return (block_[1] & 0x01) != 0; }
    // Keeps the frame's transparent flag in step.
    void SetTransparent(bool transparent);
    uint8_t TransparentColorIndex() const { return block_[4]; }
    // An index outside the frame's active colour map is reported and 0 stored.
    void SetTransparentColorIndex(int index);
    // Stores the index as it is (used when a map's entries are renumbered).
    void SetStoredTransparentColorIndex(uint8_t index) { block_[4] = index; }
    uint16_t Delay() const;  // hundredths of a second
    void SetDelay(uint16_t delay);
    bool UserInput() const { return (block_[1] & 0x02) != 0; }
    void SetUserInput(bool userInput);
    // A TGIFDisposal; the reserved values 4-7 are kept as read.
    int Disposal() const { return (block_[1] >> 2) & 7; }
    void SetDisposal(int disposal);
    uint8_t PackedFields() const { return block_[1]; }

    void WriteToStream(TStream& stream) override;
    void ReadFromStream(TStream& stream) override;

private:
    // Block size (4), packed fields, delay (2), transparent index, terminator.
    std::array<uint8_t, 6> block_{4, 0, 0, 0, 0, 0};
};

} // namespace animora
