#include "gif/LZWDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "gif/GIFException.h"

namespace animora {
namespace {

constexpr int kTableSize = 4096;      // codes are at most 12 bits wide
constexpr int kStackSize = 8192;      // the longest string plus the KwKwK byte fits easily
constexpr int kMaxMinCodeSize = 11;   // a clear code of 4096 would leave no room for strings

// The bit stream of one frame: the data sub-blocks joined, codes packed least
// significant bit first. The buffer keeps the last two bytes of the previous
// sub-block in front of the new one, so a code may straddle two sub-blocks.
class TCodeReader {
public:
    TCodeReader(TStream& stream, const DecoderWarning& warn) : stream_(stream), warn_(warn) {}

    // The next code of `bits` bits, or -1 when the data is exhausted.
    int Read(int bits)
    {
        if (bitPos_ + bits >= lastBit_ && !Refill(bits))
            return -1;
        const uint8_t* p = buffer_ + (bitPos_ >> 3);
        const uint32_t joined = p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        const int code = static_cast<int>((joined >> (bitPos_ & 7)) & ((1u << bits) - 1));
        bitPos_ += bits;
        return code;
    }

    // Steps over what is left of the sub-blocks up to and including the block
    // terminator, unless the bit reader has already consumed the terminator.
    void SkipRestOfData()
    {
        if (terminatorSeen_)
            return;
        uint8_t count = 0;
        while (stream_.Read(&count, 1) == 1 && count != 0)
            stream_.Seek(count, SeekOrigin::Current);
    }

private:
    void Warn(const char* message)
    {
        if (warn_)
            warn_(message);
    }

    // Loads sub-blocks until `bits` more bits are available. A sub-block of a
    // single byte can leave a 9-bit code still short, so this may take more
    // than one; a code that the data ends in the middle of is not read.
    bool Refill(int bits)
    {
        for (;;) {
            if (dataEnded_) {
                Warn("Decoder bit buffer under-run");
                return false;
            }
            if (!LoadSubBlock())
                return false;
            if (bitPos_ + bits <= lastBit_)
                return true;
        }
    }

    bool LoadSubBlock()
    {
        buffer_[0] = buffer_[lastByte_ - 2];
        buffer_[1] = buffer_[lastByte_ - 1];
        uint8_t count = 0;
        if (stream_.Read(&count, 1) != 1)
            return false;
        int loaded = 0;
        if (count == 0) {
            dataEnded_ = true;
            terminatorSeen_ = true;
        } else {
            loaded = static_cast<int>(stream_.Read(buffer_ + 2, count));
            if (loaded < count)
                Warn("Premature end of data");
        }
        lastByte_ = loaded + 2;
        bitPos_ = bitPos_ - lastBit_ + 16;
        lastBit_ = (loaded + 2) * 8;
        return true;
    }

    TStream& stream_;
    const DecoderWarning& warn_;
    // Two carried bytes, up to 255 new ones, and slack for the three-byte read.
    uint8_t buffer_[2 + 255 + 3] = {};
    int bitPos_ = 0;
    int lastBit_ = 0;
    int lastByte_ = 2;
    bool dataEnded_ = false;
    bool terminatorSeen_ = false;
};

// Why the pixel loop stopped.
enum class TDecodeStop { PixelsFull, DataExhausted, EndCode };

// One frame's LZW state. Strings are written straight into the output: a
// table entry made from well-formed data is always a run of bytes already
// output (the previous string plus the first byte of the current one), so it
// is remembered as a window (position, length) and copied from there. Codes
// the table does not hold yet (damaged data) make the table unreliable as
// windows; until the next clear code such data is decoded through the prefix
// chain and the output stack, with the same results.
class TLZWDecoder {
public:
    TLZWDecoder(TStream& stream, int minCodeSize, const DecoderWarning& warn)
        : reader_(stream, warn),
          minCodeSize_(minCodeSize),
          clear_(1 << minCodeSize),
          end_((1 << minCodeSize) + 1)
    {
        for (int code = 0; code < kTableSize; ++code) {
            prefix_[code] = 0;
            suffix_[code] = code < clear_ ? static_cast<uint8_t>(code) : 0;
        }
        nextFree_ = clear_ + 2;
        ResetTable();
    }

    void Decode(uint8_t* out, size_t count)
    {
        const TDecodeStop stop = DecodePixels(out, count);
        // Once the pixels are full the decoder takes one more step, which for
        // well-formed data reads the end code and steps over the rest of the
        // sub-blocks. After an end code (or with string bytes left over) there
        // is nothing more to read.
        if (stop == TDecodeStop::EndCode || stackLeft_ > 0)
            return;
        DiscardOneStep();
    }

private:
    int NextCode()
    {
        if (returnClearFirst_) {
            // Every decoding starts with a table reset, clear code or not.
            returnClearFirst_ = false;
            return clear_;
        }
        return reader_.Read(codeSize_);
    }

    void ResetTable()
    {
        // Entries at and above the next free code were never written.
        for (int code = clear_ + 2; code < nextFree_ && code < kTableSize; ++code) {
            prefix_[code] = 0;
            suffix_[code] = 0;
        }
        codeSize_ = minCodeSize_ + 1;
        sizeLimit_ = 2 * clear_;
        nextFree_ = clear_ + 2;
    }

    // The clear code: reset, then the first code of the new table (further
    // clear codes are skipped).
    int ReadFirstCodeAfterClear()
    {
        ResetTable();
        int code;
        do
            code = reader_.Read(codeSize_);
        while (code == clear_);
        return code;
    }

    void AddEntry(int prefix, uint8_t suffix)
    {
        if (nextFree_ >= kTableSize)
            return;
        prefix_[nextFree_] = static_cast<uint16_t>(prefix);
        suffix_[nextFree_] = suffix;
        ++nextFree_;
        if (nextFree_ >= sizeLimit_ && sizeLimit_ <= kTableSize - 1) {
            sizeLimit_ *= 2;
            ++codeSize_;
        }
    }

    // Where the pixels go, and where the previous string lies among them.
    struct TOutput {
        uint8_t* pixels;
        size_t count;
        size_t written = 0;
        size_t prevPos = 0;
        uint32_t prevLen = 0;
    };

    TDecodeStop DecodePixels(uint8_t* pixels, size_t count)
    {
        TOutput out{pixels, count};
        bool windows = false;  // the table entries are windows into the pixels
        while (out.written < count) {
            int code = NextCode();
            if (code == clear_) {
                code = ReadFirstCodeAfterClear();
                if (code >= 0 && code != end_) {
                    StartString(out, code);
                    windows = code < clear_;
                    continue;
                }
            }
            if (code < 0)
                return TDecodeStop::DataExhausted;
            if (code == end_) {
                reader_.SkipRestOfData();
                return TDecodeStop::EndCode;
            }
            if (windows && code <= nextFree_) {
                EmitFromWindow(out, code);
            } else {
                windows = false;
                EmitThroughChain(out, code);
            }
        }
        return TDecodeStop::PixelsFull;
    }

    // The first code after a clear code is output as it is.
    void StartString(TOutput& out, int code)
    {
        first_ = static_cast<uint8_t>(code);
        old_ = code;
        out.pixels[out.written] = first_;
        out.prevPos = out.written++;
        out.prevLen = 1;
    }

    // A root code, a code held as a window, or the code being defined (its
    // string is the previous one plus that string's first byte).
    void EmitFromWindow(TOutput& out, int code)
    {
        uint8_t* dest = out.pixels + out.written;
        const size_t room = out.count - out.written;
        uint32_t length = 1;
        uint8_t firstByte = static_cast<uint8_t>(code);
        if (code < clear_) {
            *dest = firstByte;
        } else {
            const bool defining = code == nextFree_;
            const size_t from = defining ? out.prevPos : windowPos_[code];
            length = defining ? out.prevLen + 1 : windowLen_[code];
            firstByte = out.pixels[from];
            CopyString(dest, out.pixels + from, std::min<size_t>(length, room), defining ? out.prevLen : length);
        }
        if (nextFree_ < kTableSize) {
            windowPos_[nextFree_] = static_cast<uint32_t>(out.prevPos);
            windowLen_[nextFree_] = static_cast<uint16_t>(out.prevLen + 1);
        }
        AddEntry(old_, firstByte);
        old_ = code;
        first_ = firstByte;
        out.prevPos = out.written;
        out.prevLen = length;
        out.written += std::min<size_t>(length, room);
        if (length > room)
            stackLeft_ = length - room;
    }

    void EmitThroughChain(TOutput& out, int code)
    {
        const size_t n = ChainStep(code);
        size_t i = 0;
        for (; i < n && out.written < out.count; ++i)
            out.pixels[out.written++] = stack_[n - 1 - i];
        stackLeft_ = n - i;
    }

    // Copies n bytes of a string. `distance` bytes of the source lie before
    // the destination without overlap; for a code that is defined by its own
    // use (KwKwK) the source runs into the destination and the last byte is
    // the first one again, so the copy goes byte by byte past that point.
    static void CopyString(uint8_t* dest, const uint8_t* src, size_t n, size_t distance)
    {
        const size_t plain = std::min(n, distance);
        std::memcpy(dest, src, plain);
        for (size_t i = plain; i < n; ++i)
            dest[i] = src[i];
    }

    // The decoder step through the prefix chain: pushes the string of `code`
    // on the output stack (last byte first), adds the table entry, and
    // answers the number of bytes pushed.
    size_t ChainStep(int code)
    {
        const int incoming = code;
        size_t sp = 0;
        if (code >= nextFree_) {
            stack_[sp++] = first_;
            code = old_;
        }
        int steps = 0;
        while (code >= clear_) {
            stack_[sp++] = suffix_[code];
            if (prefix_[code] == code)
                RaiseGIFError("Circular decoder table entry");
            code = prefix_[code];
            // Without a loop a chain passes each entry at most once.
            if (++steps > kTableSize)
                RaiseGIFError("Looping decoder table chain");
        }
        first_ = suffix_[code];
        stack_[sp++] = first_;
        AddEntry(old_, first_);
        old_ = incoming;
        return sp;
    }

    // The decoder step taken after the pixels are full; its value is unused.
    void DiscardOneStep()
    {
        int code = NextCode();
        if (code == clear_) {
            code = ReadFirstCodeAfterClear();
            if (code >= 0 && code != end_) {
                first_ = static_cast<uint8_t>(code);
                old_ = code;
                return;
            }
        }
        if (code < 0)
            return;
        if (code == end_) {
            reader_.SkipRestOfData();
            return;
        }
        ChainStep(code);
    }

    TCodeReader reader_;
    const int minCodeSize_;
    const int clear_;
    const int end_;
    int codeSize_ = 0;
    int sizeLimit_ = 0;
    int nextFree_ = 0;
    int old_ = 0;
    uint8_t first_ = 0;
    bool returnClearFirst_ = true;
    size_t stackLeft_ = 0;  // string bytes that found no pixel left
    uint16_t prefix_[kTableSize];
    uint8_t suffix_[kTableSize];
    uint32_t windowPos_[kTableSize];
    uint16_t windowLen_[kTableSize];
    uint8_t stack_[kStackSize];
};

// Interlaced rows arrive in four passes: every 8th row from 0, every 8th
// from 4, every 4th from 2, every 2nd from 1. Answers the rows in that order.
std::vector<int> InterlacedRowOrder(int height)
{
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(height));
    int row = 0;
    int step = 8;
    int pass = 0;
    for (int i = 0; i < height; ++i) {
        rows.push_back(row);
        row += step;
        while (row >= height) {
            if (pass > 0)
                step /= 2;
            ++pass;
            row = step / 2;
        }
    }
    return rows;
}

} // namespace

void DecodeGIFPixels(TStream& stream, uint8_t* pixels, int width, int height, bool interlaced,
                     const DecoderWarning& warn)
{
    uint8_t minCodeSize = 0;
    if (stream.Read(&minCodeSize, 1) != 1)
        return;
    if (minCodeSize > kMaxMinCodeSize)
        RaiseGIFError("Invalid LZW code size");

    const size_t rowBytes = width > 0 ? static_cast<size_t>(width) : 0;
    const size_t count = height > 0 ? rowBytes * static_cast<size_t>(height) : 0;
    auto decoder = std::make_unique<TLZWDecoder>(stream, minCodeSize, warn);
    if (!interlaced || height <= 1 || count == 0) {
        decoder->Decode(pixels, count);
        return;
    }
    // Decode in arrival order (the fill value stays where data is missing),
    // then move each row to its place.
    std::vector<uint8_t> arrival(pixels, pixels + count);
    decoder->Decode(arrival.data(), count);
    const std::vector<int> rows = InterlacedRowOrder(height);
    for (size_t i = 0; i < rows.size(); ++i)
        std::memcpy(pixels + static_cast<size_t>(rows[i]) * rowBytes, arrival.data() + i * rowBytes, rowBytes);
}

} // namespace animora
