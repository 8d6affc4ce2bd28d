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
inline void TLZWEncoder::OutputLZWCode(int code)
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
    std::fill(lastChild_, lastChild_ + std::min(nextFreeCode_, kLastCode + 1), 0u);
    nextFreeCode_ = firstFreeCode_;
}

void TLZWEncoder::CompressPixels()
{
    hashTable_ = std::make_unique<THashTable>();
    TLZWEncoder::ClearTable();
    TPixelWalk walk(pixels_, width_, height_, interlaced_);
    const uint8_t* span = nullptr;
    size_t length = 0;
    walk.NextSpan(span, length);
    int prefix = CheckedPixel(span[0]);
    size_t start = 1;
    THashTable& table = *hashTable_;
    do {
        for (size_t i = start; i < length; ++i) {
            const int pixel = CheckedPixel(span[i]);
            const uint32_t remembered = lastChild_[prefix];
            if ((remembered >> 12) == static_cast<uint32_t>(pixel) + 1) {
                prefix = static_cast<int>(remembered & 0xFFF);
                continue;
            }
            const uint32_t key = static_cast<uint32_t>(prefix) * 256 + static_cast<uint32_t>(pixel);
            int emptySlot;
            const int found = table.Find(key, THashTable::FirstSlot(prefix, pixel), emptySlot);
            if (found >= 0) {
                lastChild_[prefix] = ((static_cast<uint32_t>(pixel) + 1) << 12) | static_cast<uint32_t>(found);
                prefix = found;
                continue;
            }
            OutputLZWCode(prefix);
            if (nextFreeCode_ > kLastCode - 1) {
                TLZWEncoder::ClearTable();
            } else {
                if (table.InsertAt(emptySlot, key, nextFreeCode_))
                    lastChild_[prefix] = ((static_cast<uint32_t>(pixel) + 1) << 12) | static_cast<uint32_t>(nextFreeCode_);
                ++nextFreeCode_;
            }
            prefix = pixel;
        }
        start = 0;
    } while (walk.NextSpan(span, length));
    OutputLZWCode(prefix);
    hashTable_.reset();
}

} // namespace animora
