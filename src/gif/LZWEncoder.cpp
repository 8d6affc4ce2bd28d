// True LZW: the strings seen so far are found through an 8009-slot hash
// table keyed by (prefix code, pixel), which is cleared with the code table.
#include <algorithm>

#include "gif/Encoders.h"

namespace animora {

namespace {
constexpr int kLastCode = 4095;
}

void THashTable::Clear()
{
    std::fill(std::begin(slots_), std::end(slots_), 0xFFFFFFFFu);
}

void THashTable::Insert(uint32_t key, int code)
{
    uint32_t slot = FirstSlot(key);
    // Doubling modulo 8009 visits only half of the slots; should that half be
    // full the entry is left out. The code still exists for the decoder, the
    // encoder just never sends it, so the stream stays valid.
    for (int probes = 0; probes < kSlots; ++probes) {
        if (slots_[slot] >= kEmptyFrom) {
            slots_[slot] = (key << 12) | static_cast<uint32_t>(code);
            return;
        }
        slot = NextSlot(slot);
    }
}

void TLZWEncoder::OutputCode(int code)
{
    OutputLZWCode(code);
}

// The packed code, then the code size for the next one: back to the initial
// size after a clear code, one bit more once the next free code no longer fits.
void TLZWEncoder::OutputLZWCode(int code)
{
    PackCode(code);
    if (justCleared_) {
        codeSize_ = initialCodeSize_;
        maxCode_ = (1 << codeSize_) - 1;
        justCleared_ = false;
    } else if (nextFreeCode_ > maxCode_) {
        ++codeSize_;
        // 12 bits is the widest code; the table is cleared before it would overflow.
        maxCode_ = codeSize_ == 12 ? kLastCode + 1 : (1 << codeSize_) - 1;
    }
}

void TLZWEncoder::ClearTable()
{
    justCleared_ = true;
    OutputLZWCode(clearCode_);
    hashTable_->Clear();
    nextFreeCode_ = firstFreeCode_;
}

void TLZWEncoder::CompressPixels()
{
    hashTable_ = std::make_unique<THashTable>();
    TLZWEncoder::ClearTable();
    TPixelWalk walk(pixels_, width_, height_, interlaced_);
    const uint8_t* span = nullptr;
    size_t length = 0;
    bool first = true;
    int prefix = 0;
    THashTable& table = *hashTable_;
    while (walk.NextSpan(span, length)) {
        for (size_t i = 0; i < length; ++i) {
            const int pixel = CheckedPixel(span[i]);
            if (first) {
                prefix = pixel;
                first = false;
                continue;
            }
            const uint32_t key = static_cast<uint32_t>(prefix) * 256 + static_cast<uint32_t>(pixel);
            const int found = table.Lookup(key);
            if (found >= 0) {
                prefix = found;
                continue;
            }
            OutputLZWCode(prefix);
            prefix = pixel;
            if (nextFreeCode_ > kLastCode - 1) {
                TLZWEncoder::ClearTable();
            } else {
                table.Insert(key, nextFreeCode_);
                ++nextFreeCode_;
            }
        }
    }
    OutputLZWCode(prefix);
    hashTable_.reset();
}

} // namespace animora
