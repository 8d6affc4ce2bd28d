#include "GifBlocks.h"

#include <gif_lib.h>

#include <QFile>

namespace animora::test {

Bytes GraphicControlBlock(int delay, uint8_t packed, uint8_t index)
{
    return {0x21, 0xF9, 0x04, packed, uint8_t(delay & 0xFF), uint8_t(delay >> 8), index, 0x00};
}

Bytes CommentBlock(const std::string& text)
{
    Bytes bytes = {0x21, 0xFE, uint8_t(text.size())};
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

Bytes LoopBlock(int loops)
{
    Bytes bytes = {0x21, 0xFF, 0x0B};
    for (char c : std::string("NETSCAPE2.0"))
        bytes.push_back(uint8_t(c));
    for (uint8_t b : {uint8_t(3), uint8_t(1), uint8_t(loops & 0xFF), uint8_t(loops >> 8), uint8_t(0)})
        bytes.push_back(b);
    return bytes;
}

Bytes ApplicationBlock(const std::string& identifier, const std::vector<Bytes>& subBlocks)
{
    Bytes bytes = {0x21, 0xFF, 0x0B};
    bytes.insert(bytes.end(), identifier.begin(), identifier.end());
    for (const Bytes& block : subBlocks) {
        bytes.push_back(uint8_t(block.size()));
        bytes.insert(bytes.end(), block.begin(), block.end());
    }
    bytes.push_back(0);
    return bytes;
}

namespace {

void PutTable(Bytes& bytes, const std::vector<QColor>& colors)
{
    for (const QColor& color : colors)
        for (int c : {color.red(), color.green(), color.blue()})
            bytes.push_back(uint8_t(c));
}

uint8_t TableBits(const std::vector<QColor>& colors)
{
    return colors.size() > 2 ? 1 : 0;  // 4 or 2 entries
}

} // namespace

Bytes MakeGif(const std::vector<QColor>& globalColors, const std::vector<TestFrame>& frames)
{
    Bytes bytes = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, uint8_t(0x80 | TableBits(globalColors)), 0, 0};
    PutTable(bytes, globalColors);
    for (const TestFrame& frame : frames) {
        bytes.insert(bytes.end(), frame.blocks.begin(), frame.blocks.end());
        const uint8_t packed = frame.localColors.empty() ? 0 : uint8_t(0x80 | TableBits(frame.localColors));
        for (uint8_t b : {uint8_t(0x2C), uint8_t(0), uint8_t(0), uint8_t(0), uint8_t(0), uint8_t(1), uint8_t(0),
                          uint8_t(1), uint8_t(0), packed})
            bytes.push_back(b);
        PutTable(bytes, frame.localColors);
        // Code size 2: clear code, the pixel, end code, 3 bits each.
        for (uint8_t b : {uint8_t(2), uint8_t(2), uint8_t(0x44 | (frame.pixel << 3)), uint8_t(1), uint8_t(0)})
            bytes.push_back(b);
    }
    bytes.push_back(0x3B);
    return bytes;
}

ReadGif ReadWithGiflib(const QString& path)
{
    ReadGif read;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.toLocal8Bit().constData(), &error);
    if (!gif) {
        read.error = GifErrorString(error);
        return read;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        read.error = GifErrorString(gif->Error);
        DGifCloseFile(gif, &error);
        return read;
    }
    if (gif->SColorMap)
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
            const GifColorType& c = gif->SColorMap->Colors[i];
            read.globalColors.emplace_back(c.Red, c.Green, c.Blue);
        }
    for (int i = 0; i < gif->ImageCount; ++i) {
        std::vector<ReadBlock> blocks;
        const SavedImage& image = gif->SavedImages[i];
        for (int j = 0; j < image.ExtensionBlockCount; ++j) {
            const ExtensionBlock& block = image.ExtensionBlocks[j];
            Bytes data(block.Bytes, block.Bytes + block.ByteCount);
            if (block.Function == CONTINUE_EXT_FUNC_CODE && !blocks.empty())
                blocks.back().more.push_back(data);
            else
                blocks.push_back({block.Function, data, {}});
        }
        read.frames.push_back(blocks);
    }
    DGifCloseFile(gif, &error);
    return read;
}

std::vector<ReadControl> ControlsOf(const std::vector<ReadBlock>& blocks)
{
    std::vector<ReadControl> controls;
    for (const ReadBlock& block : blocks) {
        if (block.function != GRAPHICS_EXT_FUNC_CODE)
            continue;
        GraphicsControlBlock gcb;
        DGifExtensionToGCB(block.first.size(), block.first.data(), &gcb);
        controls.push_back({gcb.DelayTime, gcb.DisposalMode, gcb.UserInputFlag ? 1 : 0, gcb.TransparentColor});
    }
    return controls;
}

Bytes FileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

void WriteBytes(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

} // namespace animora::test
