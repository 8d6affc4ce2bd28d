#include "FormatsTestSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace animora::test {

Bytes& Bytes::F32(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return U32(bits);
}

std::vector<uint8_t> PackedDib24(int width, int height, const std::vector<uint32_t>& rgb)
{
    Bytes dib;
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    dib.U32(40).S32(width).S32(height).U16(1).U16(24).U32(0).U32(uint32_t(rowBytes * height));
    dib.U32(0).U32(0).U32(0).U32(0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = rgb[size_t(y * width + x)];
            dib.U8(uint8_t(c)).U8(uint8_t(c >> 8)).U8(uint8_t(c >> 16));
        }
        for (int pad = width * 3; pad < rowBytes; ++pad)
            dib.U8(0);
    }
    return dib.Data();
}

WmfBuilder& WmfBuilder::Record(uint16_t function, std::initializer_list<int16_t> words)
{
    Bytes parameters;
    for (int16_t w : words)
        parameters.S16(w);
    return Record(function, parameters.Data());
}

WmfBuilder& WmfBuilder::Record(uint16_t function, const std::vector<uint8_t>& parameters)
{
    std::vector<uint8_t> padded = parameters;
    if (padded.size() % 2)
        padded.push_back(0);
    const uint32_t words = uint32_t(3 + padded.size() / 2);
    records_.U32(words).U16(function).Append(padded);
    largest_ = std::max(largest_, words);
    return *this;
}

std::vector<uint8_t> WmfBuilder::Header(uint16_t objects) const
{
    Bytes header;
    const uint32_t totalWords = uint32_t((18 + records_.Size() + 6) / 2);
    header.U16(1).U16(9).U16(0x0300).U32(totalWords).U16(objects).U32(largest_).U16(0);
    header.Append(records_.Data());
    header.U32(3).U16(0);  // end of file record
    return header.Data();
}

std::vector<uint8_t> WmfBuilder::Placeable(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t inch,
                                           uint16_t objects) const
{
    Bytes file;
    file.U32(0x9AC6CDD7).U16(0).S16(left).S16(top).S16(right).S16(bottom).U16(inch).U32(0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < 20; i += 2)
        checksum ^= uint16_t(file.Data()[i] | (file.Data()[i + 1] << 8));
    file.U16(checksum);
    return file.Append(Header(objects)).Data();
}

std::vector<uint8_t> WmfBuilder::Plain(uint16_t objects) const
{
    return Header(objects);
}

EmfBuilder& EmfBuilder::Record(uint32_t type, const Bytes& fields)
{
    std::vector<uint8_t> padded = fields.Data();
    while (padded.size() % 4)
        padded.push_back(0);
    records_.U32(type).U32(uint32_t(8 + padded.size())).Append(padded);
    ++count_;
    return *this;
}

EmfBuilder& EmfBuilder::Record(uint32_t type, std::initializer_list<int32_t> fields)
{
    Bytes bytes;
    for (int32_t f : fields)
        bytes.S32(f);
    return Record(type, bytes);
}

std::vector<uint8_t> EmfBuilder::Build(int32_t frameRight, int32_t frameBottom, uint16_t handles) const
{
    const uint32_t headerSize = 88;
    const uint32_t total = uint32_t(headerSize + records_.Size() + 20);
    Bytes file;
    file.U32(1).U32(headerSize);
    file.S32(0).S32(0).S32(frameRight * 96 / 2540).S32(frameBottom * 96 / 2540);  // bounds
    file.S32(0).S32(0).S32(frameRight).S32(frameBottom);                          // frame
    file.U32(0x464D4520).U32(0x10000).U32(total).U32(count_ + 2).U16(handles).U16(0);
    file.U32(0).U32(0).U32(0);     // description, palette
    file.S32(960).S32(960);        // reference device in pixels
    file.S32(254).S32(254);        // ... and in millimetres
    file.Append(records_.Data());
    file.U32(14).U32(20).U32(0).U32(16).U32(20);  // end of file record
    return file.Data();
}

uint32_t PixelRgb(const TBitmap& bitmap, int x, int y)
{
    const TColor c = bitmap.PixelColor(x, y);
    return (uint32_t(ColorRed(c)) << 16) | (uint32_t(ColorGreen(c)) << 8) | ColorBlue(c);
}

bool MaskBit(const TBitmap& mask, int x, int y)
{
    return (mask.ScanLine(y)[x >> 3] >> (7 - (x & 7))) & 1;
}

double Psnr(const TBitmap& a, const TBitmap& b)
{
    double squared = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            const TColor p = a.PixelColor(x, y), q = b.PixelColor(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                const double d = double((p >> shift) & 0xFF) - double((q >> shift) & 0xFF);
                squared += d * d;
            }
        }
    }
    const double mse = squared / (3.0 * a.Width() * a.Height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

double MeanDifference(const TBitmap& a, const TBitmap& b)
{
    const int width = std::min(a.Width(), b.Width()), height = std::min(a.Height(), b.Height());
    double sum = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const TColor p = a.PixelColor(x, y), q = b.PixelColor(x, y);
            for (int shift = 0; shift < 24; shift += 8)
                sum += std::fabs(double((p >> shift) & 0xFF) - double((q >> shift) & 0xFF));
        }
    }
    return sum / (3.0 * width * height);
}

int RunShell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const std::string& name)
{
    return RunShell("command -v " + name + " > /dev/null 2>&1") == 0;
}

std::map<std::string, std::string> ProbeVideo(const std::filesystem::path& video)
{
    const std::string command = "ffprobe -v error -count_frames -count_packets -select_streams v:0 -show_entries "
                                "stream=width,height,r_frame_rate,nb_frames,nb_read_frames,duration "
                                "-of default=noprint_wrappers=1 '" + video.string() + "'";
    std::map<std::string, std::string> fields;
    FILE* pipe = popen(command.c_str(), "r");
    char line[256];
    while (pipe && std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        const size_t equals = text.find('=');
        if (equals != std::string::npos)
            fields[text.substr(0, equals)] = text.substr(equals + 1, text.find_last_not_of("\r\n") - equals);
    }
    if (pipe)
        pclose(pipe);
    return fields;
}

} // namespace animora::test
