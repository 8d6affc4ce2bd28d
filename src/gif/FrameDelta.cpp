// The change from one screen to the next as a frame: its area, its
// transparent index and the pixel values LZW encodes smallest.
#include "gif/FrameDelta.h"

#include <algorithm>
#include <array>
#include <bitset>

#include "gif/ColorMap.h"
#include "gif/Encoders.h"
#include "gif/GIFException.h"

namespace animora {

TColorIndexTable::TColorIndexTable(const TGIFColorMap& map)
    : colors_(kSlots, kNoPixel), indices_(kSlots, -1), count_(map.Count())
{
    for (int i = 0; i < count_; ++i) {
        const uint32_t color = ScreenColor(map.Entries() + 3 * i);
        size_t slot = (color * 0x9E3779B1u) >> 22;
        while (colors_[slot] != kNoPixel && colors_[slot] != color)
            slot = (slot + 1) & (kSlots - 1);
        if (colors_[slot] == kNoPixel) {  // the first entry of a colour is the one used
            colors_[slot] = color;
            indices_[slot] = static_cast<int16_t>(i);
        }
    }
}

int TColorIndexTable::Find(uint32_t color) const
{
    if (color == kNoPixel)
        return -1;
    size_t slot = (color * 0x9E3779B1u) >> 22;
    while (colors_[slot] != kNoPixel) {
        if (colors_[slot] == color)
            return indices_[slot];
        slot = (slot + 1) & (kSlots - 1);
    }
    return -1;
}

int TightBitsPerPixel(const std::vector<uint8_t>& pixels)
{
    const uint8_t largest = pixels.empty() ? 0 : *std::max_element(pixels.begin(), pixels.end());
    return std::max(BitsForColors(largest + 1), 2);
}

size_t EncodedPixelBytes(const std::vector<uint8_t>& pixels, int width, int height, int bitsPerPixel, int colorLimit,
                         uint8_t encoding, bool interlaced)
{
    TMemoryStream stream;
    EncodeGIFPixels(stream, encoding, bitsPerPixel, colorLimit, pixels.data(), interlaced, height, width);
    return static_cast<size_t>(stream.Size());
}

namespace {

constexpr int16_t kFree = -1;

TRect ChangedArea(const TScreenColors& before, const TScreenColors& target, int width)
{
    const int height = static_cast<int>(target.size() / static_cast<size_t>(width));
    TRect area{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const uint32_t* a = before.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        const uint32_t* b = target.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        int left = 0;
        while (left < width && a[left] == b[left])
            ++left;
        if (left == width)
            continue;
        int right = width - 1;
        while (a[right] == b[right])
            --right;
        area = {std::min(area.left, left), std::min(area.top, y), std::max(area.right, right + 1), y + 1};
    }
    return area;
}

// Per pixel of the area: the index a changed pixel must have, and for a
// pixel that stays, its own colour's index (kFree when the map has none).
struct TChoices {
    std::vector<int16_t> fixed;
    std::vector<int16_t> keep;
    std::bitset<kMaxColors> needed;
};

bool CollectChoices(const TScreenColors& before, const TScreenColors& target, int width, const TRect& area,
                    const TColorIndexTable& colors, TChoices& choices)
{
    const size_t count = static_cast<size_t>(area.Width()) * static_cast<size_t>(area.Height());
    choices.fixed.assign(count, kFree);
    choices.keep.assign(count, kFree);
    uint32_t lastColor = kNoPixel;  // runs of one colour are common: one lookup each
    int lastIndex = -1;
    size_t k = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = area.left; x < area.right; ++x, ++k) {
            const uint32_t color = target[row + static_cast<size_t>(x)];
            if (color != lastColor) {
                lastColor = color;
                lastIndex = colors.Find(color);
            }
            if (before[row + static_cast<size_t>(x)] == color) {
                choices.keep[k] = static_cast<int16_t>(lastIndex);
                continue;
            }
            if (lastIndex < 0)  // not in this map, or the background coming back
                return false;
            choices.fixed[k] = static_cast<int16_t>(lastIndex);
            choices.needed.set(static_cast<size_t>(lastIndex));
        }
    }
    return true;
}

// An index no changed pixel needs, else a new entry when the map has room.
// With tight code sizes the lowest free index keeps the code size small;
// otherwise the frame's own is kept when it is free.
void ChooseTransparent(const TChoices& choices, const TDeltaMap& map, TFrameDelta& delta)
{
    const int count = map.colors->Count();
    const int own = map.preferredTransparent;
    if (!map.tightCodeSize && own >= 0 && own < count && !choices.needed.test(static_cast<size_t>(own))) {
        delta.transparent = own;
        return;
    }
    for (int i = 0; i < count; ++i)
        if (!choices.needed.test(static_cast<size_t>(i))) {
            delta.transparent = i;
            return;
        }
    if (count < kMaxColors) {
        delta.transparent = count;
        delta.addsEntry = true;
    }
}

// The fewest changes of value along the encoding order: each pixel that
// stays may be transparent or keep its colour, whichever continues the run.
// Rows are chosen one after the other; with a vertical weight a change from
// the pixel above counts too (LZW finds strings of the row above again).
std::vector<uint8_t> LongestRuns(const TChoices& choices, int transparent, int width, int verticalWeight)
{
    constexpr int kFar = 1 << 29;
    const size_t count = choices.fixed.size();
    const size_t w = static_cast<size_t>(width);
    std::vector<uint8_t> pixels(count);
    std::vector<std::array<int16_t, 2>> options(w);
    std::vector<uint8_t> from(w);  // bit o: option o came from option 1 of the pixel before
    for (size_t row = 0; row < count; row += w) {
        int value[2] = {row > 0 ? pixels[row - 1] : -1, -1};
        int cost[2] = {0, kFar};
        std::fill(from.begin(), from.end(), uint8_t{0});
        for (size_t x = 0; x < w; ++x) {
            const size_t k = row + x;
            const int16_t fixed = choices.fixed[k];
            const int16_t keep = choices.keep[k];
            const int16_t first = fixed != kFree ? fixed : (keep != kFree ? keep : static_cast<int16_t>(transparent));
            const int16_t second =
                fixed == kFree && keep != kFree && transparent >= 0 ? static_cast<int16_t>(transparent) : kFree;
            options[x] = {first, second};
            int next[2] = {kFar, kFar};
            for (size_t o = 0; o < 2; ++o) {
                const int v = options[x][o];
                if (v == kFree)
                    continue;
                const int above = row > 0 && verticalWeight > 0 && pixels[k - w] != v ? verticalWeight : 0;
                const int via0 = cost[0] + (value[0] >= 0 && value[0] != v ? 2 : 0);
                const int via1 = value[1] < 0 ? kFar : cost[1] + (value[1] != v ? 2 : 0);
                next[o] = std::min(via0, via1) + above;
                if (via1 < via0)
                    from[x] = static_cast<uint8_t>(from[x] | (1u << o));
            }
            for (size_t o = 0; o < 2; ++o) {
                cost[o] = next[o];
                value[o] = options[x][o];
            }
        }
        size_t o = cost[1] < cost[0] ? 1 : 0;
        for (size_t x = w; x-- > 0;) {
            pixels[row + x] = static_cast<uint8_t>(options[x][o]);
            o = (from[x] >> o) & 1u;
        }
    }
    return pixels;
}

// The strings LZW has seen: (prefix code, pixel) -> code, as the encoder
// grows its table, started again when the table is full.
class TStringTable {
public:
    explicit TStringTable(int bitsPerPixel) : roots_(1 << std::max(bitsPerPixel, 2)) { Reset(); }

    int Find(int prefix, int pixel) const
    {
        const uint32_t key = Key(prefix, pixel);
        for (size_t slot = Slot(key);; slot = (slot + 1) & (kSlots - 1)) {
            if (keys_[slot] == 0)
                return -1;
            if (keys_[slot] == key)
                return codes_[slot];
        }
    }

    void Add(int prefix, int pixel)
    {
        const uint32_t key = Key(prefix, pixel);
        size_t slot = Slot(key);
        while (keys_[slot] != 0)
            slot = (slot + 1) & (kSlots - 1);
        keys_[slot] = key;
        codes_[slot] = static_cast<int16_t>(next_);
        if (++next_ == kCodeLimit)
            Reset();
    }

private:
    static constexpr size_t kSlots = 16384;
    static constexpr int kCodeLimit = 4096;
    static uint32_t Key(int prefix, int pixel) { return (static_cast<uint32_t>(prefix) << 8 | static_cast<uint32_t>(pixel)) + 1; }
    static size_t Slot(uint32_t key) { return (key * 0x9E3779B1u) >> 18; }
    void Reset()
    {
        keys_.assign(kSlots, 0);
        codes_.assign(kSlots, 0);
        next_ = roots_ + 2;
    }

    int roots_;
    int next_ = 0;
    std::vector<uint32_t> keys_;
    std::vector<int16_t> codes_;
};

// Follows the strings LZW already knows: a pixel that stays takes whichever
// of its two values continues the current string; when neither does, the
// value of `guide` (the longest-runs choice) starts the next one.
std::vector<uint8_t> KnownStrings(const TChoices& choices, int transparent, const std::vector<uint8_t>& guide,
                                  int bitsPerPixel)
{
    TStringTable table(bitsPerPixel);
    std::vector<uint8_t> pixels(guide.size());
    int prefix = -1;
    for (size_t k = 0; k < guide.size(); ++k) {
        const int preferred = guide[k];
        int other = -1;
        if (choices.fixed[k] == kFree && choices.keep[k] != kFree && transparent >= 0)
            other = preferred == transparent ? choices.keep[k] : transparent;
        int value = preferred;
        int code = prefix < 0 ? preferred : table.Find(prefix, preferred);
        if (code < 0 && other >= 0) {
            code = table.Find(prefix, other);
            if (code >= 0)
                value = other;
        }
        if (code < 0) {
            table.Add(prefix, preferred);
            code = preferred;
        }
        pixels[k] = static_cast<uint8_t>(value);
        prefix = code;
    }
    return pixels;
}

std::vector<uint8_t> Filled(const TChoices& choices, int transparent, bool preferColor)
{
    std::vector<uint8_t> pixels(choices.fixed.size());
    for (size_t k = 0; k < pixels.size(); ++k) {
        const int16_t fixed = choices.fixed[k];
        const int16_t keep = choices.keep[k];
        int value = fixed != kFree ? fixed : transparent;
        if (fixed == kFree && keep != kFree && (preferColor || transparent < 0))
            value = keep;
        pixels[k] = static_cast<uint8_t>(value);
    }
    return pixels;
}

bool Shows(const std::vector<uint8_t>& pixels, int index)
{
    return index >= 0 && std::find(pixels.begin(), pixels.end(), static_cast<uint8_t>(index)) != pixels.end();
}

// Of the all-transparent, the all-colour and the longest-runs versions, the
// one that encodes smallest.
void ChooseSmallest(const TChoices& choices, const TDeltaMap& map, TFrameDelta& delta)
{
    const int width = delta.area.Width();
    const int height = delta.area.Height();
    std::vector<uint8_t> runs = LongestRuns(choices, delta.transparent, width, 0);
    std::vector<uint8_t> merged = Filled(choices, delta.transparent, false);
    std::vector<uint8_t> known = KnownStrings(choices, delta.transparent, runs, map.bitsPerPixel);
    std::vector<uint8_t> knownMerged = KnownStrings(choices, delta.transparent, merged, map.bitsPerPixel);
    std::vector<uint8_t> candidates[5] = {std::move(runs), std::move(known), std::move(knownMerged), std::move(merged),
                                          Filled(choices, delta.transparent, true)};
    for (auto& pixels : candidates) {
        const bool transparent = Shows(pixels, delta.transparent);
        const bool added = transparent && delta.addsEntry;
        int bits = added ? map.bitsWithNewEntry : map.bitsPerPixel;
        if (map.tightCodeSize)
            bits = std::min(bits, TightBitsPerPixel(pixels));
        const size_t bytes = EncodedPixelBytes(pixels, width, height, bits,
                                               added ? map.limitWithNewEntry : map.colorLimit, map.encoding,
                                               map.interlaced);
        if (delta.pixels.empty() || bytes < delta.bytes) {
            delta.bytes = bytes;
            delta.pixels = std::move(pixels);
        }
    }
    if (!Shows(delta.pixels, delta.transparent)) {
        delta.transparent = -1;
        delta.addsEntry = false;
    }
}

} // namespace

std::optional<TFrameDelta> MakeFrameDelta(const TScreenColors& before, const TScreenColors& target, int width,
                                          const TDeltaMap& map)
{
    TFrameDelta delta;
    delta.area = ChangedArea(before, target, width);
    if (delta.area.IsEmpty()) {
        delta.unchanged = true;
        delta.area = {0, 0, 1, 1};
    }
    TChoices choices;
    if (!CollectChoices(before, target, width, delta.area, *map.colors, choices))
        return std::nullopt;
    ChooseTransparent(choices, map, delta);
    for (size_t k = 0; k < choices.keep.size(); ++k) {
        if (choices.keep[k] == delta.transparent)
            choices.keep[k] = kFree;  // that index shows what is below: the same colour
        if (choices.fixed[k] == kFree && choices.keep[k] == kFree && delta.transparent < 0)
            return std::nullopt;
    }
    ChooseSmallest(choices, map, delta);
    return delta;
}

} // namespace animora
