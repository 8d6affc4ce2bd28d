#pragma once
// The two encoders of GIF image data. Both write the minimum code size byte,
// the codes in sub-blocks and the block terminator:
//  - TLZWEncoder, true LZW that finds strings through a hash table;
//  - TRLEEncoder, run-length coding expressed as a valid LZW code stream: it
//    never builds a string table of its own but sends codes that the
//    decoder's table growth makes stand for runs of one pixel.
#include <cstdint>
#include <memory>

#include "gif/GIFStream.h"
#include "platform/Stream.h"

namespace animora {

// Encodes one frame's pixels (height rows of width bytes). encoding: 0 LZW,
// 1 run-length. bitsPerPixel gives the minimum code size (at least 2).
// Raises GIFException "Color not in color table" for a pixel >= colorLimit;
// the stream is then left partly written.
void EncodeGIFPixels(TStream& stream, uint8_t encoding, int bitsPerPixel, int colorLimit, const uint8_t* pixels,
                     bool interlaced, int height, int width);

// The order pixels are sent in: row by row, or for an interlaced frame in
// four passes (every 8th row from 0, every 8th from 4, every 4th from 2,
// every 2nd from 1). Hands out runs of pixels that are adjacent in memory.
class TPixelWalk {
public:
    TPixelWalk(const uint8_t* pixels, int width, int height, bool interlaced);
    // The next run of adjacent pixels; false when the walk is over.
    bool NextSpan(const uint8_t*& span, size_t& length);

private:
    bool NextInterlacedRow();

    const uint8_t* pixels_;
    size_t width_;
    int height_;
    bool interlaced_;
    bool started_ = false;
    int row_ = 0;
    int pass_ = 0;
};

class TGIFEncoder {
public:
    virtual ~TGIFEncoder() = default;

    void EncodeFrame(TStream& stream, int bitsPerPixel, int colorLimit, const uint8_t* pixels, bool interlaced,
                     int height, int width);

protected:
    virtual void OutputCode(int code);
    virtual void ClearTable();
    virtual void CompressPixels() = 0;

    // The shared code packer: the code goes above the bits held, whole bytes
    // leave through the writer; the end code also sends the last part byte.
    void PackCode(int code)
    {
        accumulator_ |= static_cast<uint32_t>(code) << bitCount_;
        bitCount_ += codeSize_;
        while (bitCount_ > 7) {
            writer_->PutByte(static_cast<uint8_t>(accumulator_));
            accumulator_ >>= 8;
            bitCount_ -= 8;
        }
        if (code == endCode_) {
            while (bitCount_ > 0) {
                writer_->PutByte(static_cast<uint8_t>(accumulator_));
                accumulator_ >>= 8;
                bitCount_ -= 8;
            }
            bitCount_ = 0;
        }
    }

    // Checks a pixel against the colour table.
    uint8_t CheckedPixel(uint8_t pixel) const
    {
        if (pixel >= colorLimit_)
            RaiseColorNotInTable();
        return pixel;
    }
    [[noreturn]] static void RaiseColorNotInTable();

    int colorLimit_ = 0;
    int minCodeSize_ = 0;
    TStream* stream_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool interlaced_ = false;
    const uint8_t* pixels_ = nullptr;
    std::unique_ptr<TGIFWriter> writer_;
    uint32_t accumulator_ = 0;
    int bitCount_ = 0;
    bool justCleared_ = false;
    int codeSize_ = 0;
    int initialCodeSize_ = 0;
    int maxCode_ = 0;
    int clearCode_ = 0;
    int endCode_ = 0;
    int firstFreeCode_ = 0;
};

namespace detail {
constexpr uint32_t kHashSlots = 8009;
// For every prefix code: its part of the hashed key, reduced modulo 8009.
struct TPrefixSlots {
    uint16_t values[4096];
    constexpr TPrefixSlots() : values()
    {
        for (uint32_t prefix = 0; prefix < 4096; ++prefix)
            values[prefix] = static_cast<uint16_t>(((prefix ^ (prefix >> 4)) << 8) % kHashSlots);
    }
};
inline constexpr TPrefixSlots kPrefixSlot{};
} // namespace detail

// Open addressing over 8009 slots. A slot holds key * 4096 + code, where key =
// prefix code * 256 + pixel; all bits set marks an empty slot.
class THashTable {
public:
    static constexpr int kSlots = detail::kHashSlots;

    THashTable() { Clear(); }
    void Clear();
    void Insert(uint32_t key, int code);
    // The code stored for key, or -1.
    int Lookup(uint32_t key) const
    {
        int emptySlot;
        return Find(key, FirstSlot(key), emptySlot);
    }

    // The slot a key starts its probe at: (key xor key >> 4) mod 8009.
    static uint32_t FirstSlot(uint32_t key) { return (key ^ (key >> 4)) % kSlots; }
    // The same for key = prefix * 256 + pixel, without the division: the
    // prefix part (bits 8 and up of the hashed key) is reduced through a
    // fixed table, the low byte is added and reduced by one subtraction.
    static uint32_t FirstSlot(int prefix, int pixel)
    {
        const uint32_t low = static_cast<uint32_t>((((prefix & 0xF) ^ (pixel >> 4)) << 4) | ((pixel ^ (pixel >> 4)) & 0xF));
        const uint32_t slot = detail::kPrefixSlot.values[prefix] + low;
        return slot >= kSlots ? slot - kSlots : slot;
    }

    // Lookup that also answers where Insert would put the key when it is
    // absent (the empty slot that ended the probe; -1 when there is none),
    // so that the encoder's miss costs one probe sequence instead of two.
    int Find(uint32_t key, uint32_t firstSlot, int& emptySlot) const
    {
        uint32_t slot = firstSlot;
        for (int probes = 0; probes < kSlots; ++probes) {
            const uint32_t entry = slots_[slot];
            if ((entry >> 12) == key)
                return static_cast<int>(entry & 0xFFF);
            if (entry >= kEmptyFrom) {
                emptySlot = static_cast<int>(slot);
                return -1;
            }
            slot = NextSlot(slot);
        }
        emptySlot = -1;
        return -1;
    }
    // Insert for a key that Find has just answered absent; false when the
    // probe found no empty slot and the entry is left out.
    bool InsertAt(int emptySlot, uint32_t key, int code)
    {
        if (emptySlot < 0)
            return false;
        slots_[emptySlot] = (key << 12) | static_cast<uint32_t>(code);
        return true;
    }

private:
    static constexpr uint32_t kEmptyFrom = 0xFFFFF000u;

    static uint32_t NextSlot(uint32_t slot)
    {
        if (slot == 0)
            return kSlots - 1;
        slot *= 2;
        return slot >= kSlots ? slot - kSlots : slot;
    }

    uint32_t slots_[kSlots];
};

class TLZWEncoder : public TGIFEncoder {
protected:
    void OutputCode(int code) override;
    void ClearTable() override;
    void CompressPixels() override;

private:
    void OutputLZWCode(int code);

    int prefix_ = 0;
    int nextFreeCode_ = 0;
    std::unique_ptr<THashTable> hashTable_;
    // A cache in front of the hash table: for each prefix code the child
    // (pixel + 1) << 12 | code last found or added, 0 for none. Strings tend
    // to repeat, and this answer costs one load instead of a hashed probe;
    // it only ever holds entries the hash table holds, so the codes sent are
    // the same.
    uint32_t lastChild_[4096] = {};
};

class TRLEEncoder : public TGIFEncoder {
protected:
    void ClearTable() override;
    void CompressPixels() override;

private:
    void OutputPlain(int code);
    void RaiseClearLimit() { clearLimit_ = MaxOutputCodes; }
    void RestoreClearLimit();
    void FlushRun(int64_t count);
    void FlushFromClear(int64_t count);
    void FlushClearOrRepeat(int64_t count);
    void FlushWithTable(int64_t count);

    int64_t MaxOutputCodes = 0;
    int64_t initialBumpLimit_ = 0;
    int64_t initialClearLimit_ = 0;
    int runPixel_ = -1;
    int64_t TableRunMax = 0;
    int tableRunPixel_ = -1;
    int64_t codesOutput_ = 0;
    int64_t clearLimit_ = 0;
    int64_t bumpLimit_ = 0;
};

// The codes a run of `count` pixels costs when sent as the triangle of run
// codes 1, 2, 3, ... that a fresh table allows, with at most n codes per
// triangle.
int64_t TriangleCount(int64_t count, int64_t n);
// floor(sqrt(x)).
int64_t IntegerSquareRoot(int64_t x);

} // namespace animora
