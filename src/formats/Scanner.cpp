#include "formats/Scanner.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include <sane/sane.h>
#include <sane/saneopts.h>

#include "platform/Errors.h"

namespace animora {

namespace {

std::atomic<bool> sessionOpen{false};

[[noreturn]] void RaiseSane(const std::string& what, SANE_Status status)
{
    throw EStreamError(what + ": " + sane_strstatus(status));
}

// An open device; closing it cancels whatever it was doing first.
class OpenDevice {
public:
    explicit OpenDevice(const std::string& name)
    {
        const SANE_Status status = sane_open(name.c_str(), &handle_);
        if (status != SANE_STATUS_GOOD)
            RaiseSane("Cannot open the scanner " + name, status);
    }
    ~OpenDevice()
    {
        sane_cancel(handle_);
        sane_close(handle_);
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;

    SANE_Handle Handle() const { return handle_; }

    // The resolution option, when the device has an active one.
    std::optional<std::pair<SANE_Int, const SANE_Option_Descriptor*>> ResolutionOption() const
    {
        for (SANE_Int index = 1;; ++index) {
            const SANE_Option_Descriptor* option = sane_get_option_descriptor(handle_, index);
            if (!option)
                return std::nullopt;
            if (option->name && std::strcmp(option->name, SANE_NAME_SCAN_RESOLUTION) == 0 &&
                SANE_OPTION_IS_ACTIVE(option->cap) &&
                (option->type == SANE_TYPE_INT || option->type == SANE_TYPE_FIXED) &&
                option->size == sizeof(SANE_Word))
                return std::make_pair(index, option);
        }
    }

private:
    SANE_Handle handle_ = nullptr;
};

int WordToDpi(const SANE_Option_Descriptor& option, SANE_Word word)
{
    return option.type == SANE_TYPE_FIXED ? static_cast<int>(std::lround(SANE_UNFIX(word))) : word;
}

SANE_Word DpiToWord(const SANE_Option_Descriptor& option, int dpi)
{
    return option.type == SANE_TYPE_FIXED ? SANE_FIX(dpi) : dpi;
}

// A range offers the usual steps that fit it, and its ends.
std::vector<int> OfferedDpi(const SANE_Option_Descriptor& option)
{
    std::vector<int> offered;
    if (option.constraint_type == SANE_CONSTRAINT_WORD_LIST && option.constraint.word_list) {
        const SANE_Word* list = option.constraint.word_list;
        for (SANE_Word i = 1; i <= std::clamp(list[0], 0, 1000); ++i)
            offered.push_back(WordToDpi(option, list[i]));
    } else if (option.constraint_type == SANE_CONSTRAINT_RANGE && option.constraint.range) {
        const SANE_Range& range = *option.constraint.range;
        const int low = std::max(1, WordToDpi(option, range.min));
        const int high = WordToDpi(option, range.max);
        const int step = std::max(1, WordToDpi(option, range.quant));
        for (int dpi : {50, 75, 100, 150, 200, 300, 400, 600, 1200, 2400, 4800})
            if (dpi >= low && dpi <= high && (dpi - low) % step == 0)
                offered.push_back(dpi);
        if (low <= high)
            offered.insert(offered.end(), {low, high});
    }
    std::erase_if(offered, [](int dpi) { return dpi <= 0; });
    std::sort(offered.begin(), offered.end());
    offered.erase(std::unique(offered.begin(), offered.end()), offered.end());
    return offered;
}

int Channels(SANE_Frame format) { return format == SANE_FRAME_RGB ? 3 : 1; }

// Writes the frames of one scan into a bitmap, line by line as the data
// arrives, so a scan holds its picture and one line, never the raw data.
class FrameWriter {
public:
    FrameWriter(TBitmap& bitmap, const SANE_Parameters& parameters) : bitmap_(bitmap), p_(parameters)
    {
        if (p_.format > SANE_FRAME_BLUE || (p_.depth != 1 && p_.depth != 8 && p_.depth != 16))
            throw EInvalidGraphic("The scanner sends a picture format this program does not read");
        const int64_t sampleBits = int64_t{p_.pixels_per_line} * Channels(p_.format) * p_.depth;
        if (p_.pixels_per_line <= 0 || p_.lines == 0 || p_.lines < -1 || p_.bytes_per_line < (sampleBits + 7) / 8 ||
            p_.bytes_per_line > (sampleBits + 7) / 8 + 65536)
            throw EInvalidGraphic("The scanner describes its picture wrongly");
        if (int64_t{p_.pixels_per_line} * std::max(p_.lines, 1) > MaxBitmapPixels)
            throw EOutOfMemory("Scanned picture is too large");
        if (bitmap_.Empty()) {
            bitmap_.SetSize(p_.pixels_per_line, std::max(p_.lines, 1));
            std::fill(bitmap_.Bits(), bitmap_.Bits() + bitmap_.BitsSize(), uint8_t{255});
        } else if (bitmap_.Width() != p_.pixels_per_line || (p_.lines > 0 && p_.lines != bitmap_.Height())) {
            throw EInvalidGraphic("The scanner's colour frames differ in size");
        }
        line_.reserve(p_.bytes_per_line);
    }

    // Percent of this frame's stated size (0 while its height is unknown).
    int Percent() const
    {
        return p_.lines > 0 ? static_cast<int>(int64_t{row_} * 100 / p_.lines) : 0;
    }

    void Write(const uint8_t* data, size_t size)
    {
        while (size > 0) {
            if (p_.lines > 0 && row_ >= p_.lines)
                throw EInvalidGraphic("The scanner sent more data than it announced");
            const size_t take = std::min(size, static_cast<size_t>(p_.bytes_per_line) - line_.size());
            line_.insert(line_.end(), data, data + take);
            data += take;
            size -= take;
            if (line_.size() == static_cast<size_t>(p_.bytes_per_line)) {
                WriteRow();
                line_.clear();
            }
        }
    }

    // A picture of unknown height ends where its data ended; lines a
    // device announced but did not send stay white.
    void Finish()
    {
        if (p_.lines < 0 && row_ < bitmap_.Height())
            bitmap_.SetSize(bitmap_.Width(), std::max(row_, 1));
    }

private:
    TBitmap& bitmap_;
    SANE_Parameters p_;
    std::vector<uint8_t> line_;
    int row_ = 0;

    uint8_t Sample(int64_t index) const
    {
        switch (p_.depth) {
        case 1:
            // Line art marks black with 1; a colour band marks light with 1.
            if (((line_[index / 8] >> (7 - index % 8)) & 1) != 0)
                return p_.format == SANE_FRAME_GRAY ? 0 : 255;
            return p_.format == SANE_FRAME_GRAY ? 255 : 0;
        case 16: {
            uint16_t value;  // in the machine's byte order
            std::memcpy(&value, &line_[index * 2], 2);
            return static_cast<uint8_t>(value >> 8);
        }
        default:
            return line_[index];
        }
    }

    void WriteRow()
    {
        if (row_ >= bitmap_.Height()) {
            const int64_t limit = MaxBitmapPixels / bitmap_.Width();
            if (row_ >= limit)
                throw EOutOfMemory("Scanned picture is too large");
            const int height = static_cast<int>(std::min<int64_t>(limit, int64_t{bitmap_.Height()} * 2));
            const int grownFrom = bitmap_.Height();
            bitmap_.SetSize(bitmap_.Width(), height);
            for (int y = grownFrom; y < height; ++y)
                std::fill_n(bitmap_.ScanLine(y), bitmap_.Width() * 3, uint8_t{255});
        }
        uint8_t* pixel = bitmap_.ScanLine(row_++);
        const int width = p_.pixels_per_line;
        switch (p_.format) {
        case SANE_FRAME_GRAY:
            for (int x = 0; x < width; ++x, pixel += 3)
                pixel[0] = pixel[1] = pixel[2] = Sample(x);
            break;
        case SANE_FRAME_RGB:
            for (int x = 0; x < width; ++x, pixel += 3) {
                pixel[2] = Sample(int64_t{x} * 3);
                pixel[1] = Sample(int64_t{x} * 3 + 1);
                pixel[0] = Sample(int64_t{x} * 3 + 2);
            }
            break;
        default: {
            // A band of a three-pass scan: blue, green, red in the pixel.
            const int offset = p_.format == SANE_FRAME_RED ? 2 : p_.format == SANE_FRAME_GREEN ? 1 : 0;
            for (int x = 0; x < width; ++x)
                pixel[x * 3 + offset] = Sample(x);
        }
        }
    }
};

} // namespace

TScannerSession::TScannerSession()
{
    if (sessionOpen.exchange(true))
        throw EAnimoraError("The scanner is already in use");
    SANE_Int version = 0;
    const SANE_Status status = sane_init(&version, nullptr);
    if (status != SANE_STATUS_GOOD) {
        sessionOpen = false;
        RaiseSane("Cannot start the scanner library", status);
    }
}

TScannerSession::~TScannerSession()
{
    sane_exit();
    sessionOpen = false;
}

std::vector<ScannerDevice> TScannerSession::Devices() const
{
    const SANE_Device** list = nullptr;
    const SANE_Status status = sane_get_devices(&list, SANE_FALSE);
    if (status != SANE_STATUS_GOOD)
        RaiseSane("Cannot list the scanners", status);
    std::vector<ScannerDevice> devices;
    for (; list && *list; ++list) {
        const SANE_Device& device = **list;
        auto text = [](const char* s) { return std::string(s ? s : ""); };
        devices.push_back({text(device.name),
                           text(device.vendor) + " " + text(device.model) + " (" + text(device.type) + ")"});
    }
    return devices;
}

ScanResolutions TScannerSession::Resolutions(const std::string& device) const
{
    ScanResolutions resolutions;
    try {
        OpenDevice open(device);
        const auto option = open.ResolutionOption();
        if (!option)
            return resolutions;
        resolutions.offered = OfferedDpi(*option->second);
        SANE_Word value = 0;
        if (sane_control_option(open.Handle(), option->first, SANE_ACTION_GET_VALUE, &value, nullptr) ==
            SANE_STATUS_GOOD)
            resolutions.current = WordToDpi(*option->second, value);
    } catch (const EStreamError&) {
        // Busy or unplugged now: the scan will say so.
    }
    return resolutions;
}

std::optional<TBitmap> TScannerSession::Scan(const std::string& device, int dpi, const ScanProgress& progress) const
{
    OpenDevice open(device);
    const SANE_Handle handle = open.Handle();
    if (dpi > 0) {
        const auto option = open.ResolutionOption();
        if (!option || !SANE_OPTION_IS_SETTABLE(option->second->cap))
            throw EStreamError("The scanner " + device + " cannot change its resolution");
        SANE_Word value = DpiToWord(*option->second, dpi);
        const SANE_Status status = sane_control_option(handle, option->first, SANE_ACTION_SET_VALUE, &value, nullptr);
        if (status != SANE_STATUS_GOOD)
            RaiseSane("The scanner " + device + " cannot scan at " + std::to_string(dpi) + " dpi", status);
    }

    TBitmap bitmap;
    std::vector<uint8_t> buffer(64 * 1024);
    // Gray and RGB come in one frame, the bands of a three-pass scan in three.
    int frames = 1;
    for (int frame = 0;; ++frame) {
        SANE_Status status = sane_start(handle);
        if (status == SANE_STATUS_CANCELLED)
            return std::nullopt;
        if (status != SANE_STATUS_GOOD)
            RaiseSane("Cannot start scanning with " + device, status);
        SANE_Parameters parameters{};
        status = sane_get_parameters(handle, &parameters);
        if (status != SANE_STATUS_GOOD)
            RaiseSane("The scanner " + device + " gives no picture size", status);
        if (frame == 0 && parameters.format >= SANE_FRAME_RED && parameters.format <= SANE_FRAME_BLUE)
            frames = 3;
        if (frame >= frames)
            throw EInvalidGraphic("The scanner sent more frames than a picture has");
        FrameWriter writer(bitmap, parameters);
        for (;;) {
            if (progress && !progress((frame * 100 + writer.Percent()) / frames))
                return std::nullopt;
            SANE_Int length = 0;
            status = sane_read(handle, buffer.data(), static_cast<SANE_Int>(buffer.size()), &length);
            if (status == SANE_STATUS_EOF)
                break;
            if (status == SANE_STATUS_CANCELLED)
                return std::nullopt;
            if (status != SANE_STATUS_GOOD)
                RaiseSane("Scanning with " + device + " failed", status);
            writer.Write(buffer.data(), static_cast<size_t>(std::clamp<SANE_Int>(length, 0, static_cast<SANE_Int>(buffer.size()))));
        }
        writer.Finish();
        if (parameters.last_frame)
            break;
    }
    if (progress && !progress(100))
        return std::nullopt;
    return bitmap;
}

} // namespace animora
