#pragma once
// Small GIF files written byte by byte with the blocks a test needs, and the
// blocks of a saved file as giflib reads them.
#include <cstdint>
#include <string>
#include <vector>

#include <QColor>
#include <QString>

namespace animora::test {

using Bytes = std::vector<uint8_t>;
inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes GraphicControlBlock(int delay, uint8_t packed, uint8_t index);
Bytes CommentBlock(const std::string& text);
Bytes LoopBlock(int loops);
// An application block with the 11-byte identifier and the sub-blocks.
Bytes ApplicationBlock(const std::string& identifier, const std::vector<Bytes>& subBlocks);

struct TestFrame {
    Bytes blocks;          // written in front of the image descriptor
    uint8_t pixel = 0;     // the one pixel of the 1 x 1 frame
    std::vector<QColor> localColors;  // 2 or 4 entries, or none
};
// A GIF89a file of 1 x 1 frames with a global table of 2 or 4 colours.
Bytes MakeGif(const std::vector<QColor>& globalColors, const std::vector<TestFrame>& frames);

// One extension of a saved frame as giflib reads it: the function code, the
// first data block and the sub-blocks after it.
struct ReadBlock {
    int function = 0;
    Bytes first;
    std::vector<Bytes> more;
};
struct ReadGif {
    std::vector<std::vector<ReadBlock>> frames;
    std::vector<QColor> globalColors;
    std::string error;
};
ReadGif ReadWithGiflib(const QString& path);
// The graphic control of a frame as giflib decodes it: delay, disposal,
// user input, transparent index (-1 for none); empty without one.
struct ReadControl {
    int delay, disposal, userInput, transparent;
    bool operator==(const ReadControl&) const = default;
};
std::vector<ReadControl> ControlsOf(const std::vector<ReadBlock>& blocks);

Bytes FileBytes(const QString& path);
void WriteBytes(const QString& path, const Bytes& bytes);

} // namespace animora::test
