#include "support/ReferenceComposition.h"

#include <algorithm>
#include <set>

#include "gif/GIFImage.h"
#include "gif/GraphicControl.h"
#include "gif/SubImage.h"

namespace animora::test {
namespace {

constexpr uint32_t kBackground = 0;  // colours carry 0xFF in the top byte
constexpr uint32_t kNoColor = 0xDEADBEEF;

uint64_t Mix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

class TScreen {
public:
    TScreen(int width, int height)
        : width_(width), height_(height), pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), kBackground)
    {
        for (size_t i = 0; i < pixels_.size(); ++i)
            hash_ += Term(i, kBackground);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    uint64_t Hash() const { return hash_; }
    uint32_t At(int x, int y) const { return pixels_[Index(x, y)]; }
    void Set(int x, int y, uint32_t color)
    {
        const size_t i = Index(x, y);
        hash_ += Term(i, color) - Term(i, pixels_[i]);
        pixels_[i] = color;
    }

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x); }
    static uint64_t Term(size_t i, uint32_t color) { return Mix((uint64_t{i} << 32) ^ color); }

    int width_, height_;
    std::vector<uint32_t> pixels_;
    uint64_t hash_ = 0;
};

struct TClip {
    int left, top, right, bottom;
};

TClip ClipToScreen(const TGIFSubImage& frame, const TScreen& screen)
{
    return {std::max(frame.Left(), 0), std::max(frame.Top(), 0), std::min(frame.Left() + frame.Width(), screen.Width()),
            std::min(frame.Top() + frame.Height(), screen.Height())};
}

int TransparentIndex(const TGIFSubImage& frame)
{
    return frame.Transparent() && frame.GraphicControl() ? frame.GraphicControl()->TransparentColorIndex() : -1;
}

uint32_t ColorOf(const TGIFColorMap& map, int index)
{
    if (index >= map.Count())
        return kNoColor;
    const uint8_t* rgb = map.Entries() + 3 * index;
    return 0xFF000000u | (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
}

void DrawFrame(const TGIFSubImage& frame, TScreen& screen)
{
    if (frame.IsEmpty())
        return;
    const TClip clip = ClipToScreen(frame, screen);
    const int t = TransparentIndex(frame);
    const TGIFColorMap& map = frame.ActiveColorMap();
    for (int y = clip.top; y < clip.bottom; ++y) {
        const uint8_t* row = frame.Data() + static_cast<size_t>(y - frame.Top()) * static_cast<size_t>(frame.Width());
        for (int x = clip.left; x < clip.right; ++x) {
            const int p = row[x - frame.Left()];
            if (p != t)
                screen.Set(x, y, ColorOf(map, p));
        }
    }
}

std::vector<uint32_t> SaveArea(const TClip& clip, const TScreen& screen)
{
    std::vector<uint32_t> saved;
    for (int y = clip.top; y < clip.bottom; ++y)
        for (int x = clip.left; x < clip.right; ++x)
            saved.push_back(screen.At(x, y));
    return saved;
}

void RestoreArea(const TClip& clip, const std::vector<uint32_t>& saved, TScreen& screen)
{
    size_t i = 0;
    for (int y = clip.top; y < clip.bottom; ++y)
        for (int x = clip.left; x < clip.right; ++x)
            screen.Set(x, y, saved[i++]);
}

void ClearArea(const TClip& clip, TScreen& screen)
{
    for (int y = clip.top; y < clip.bottom; ++y)
        for (int x = clip.left; x < clip.right; ++x)
            screen.Set(x, y, kBackground);
}

bool ShowsNothingForNoTime(const TGIFSubImage& frame)
{
    return frame.IsEmpty() && (!frame.GraphicControl() || frame.GraphicControl()->Delay() == 0);
}

} // namespace

std::vector<uint64_t> ComposedPictures(const TGIFImage& image)
{
    std::vector<uint64_t> pictures;
    for (const auto& [picture, delay] : ComposedTimeline(image))
        pictures.push_back(picture);
    return pictures;
}

std::vector<std::pair<uint64_t, int>> ComposedTimeline(const TGIFImage& image)
{
    TScreen screen(image.GetWidth(), image.GetHeight());
    std::vector<std::pair<uint64_t, int>> pictures;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image.Images().SubImage(i);
        const TClip clip = ClipToScreen(frame, screen);
        const int disposal = frame.GraphicControl() ? frame.GraphicControl()->Disposal() : 0;
        std::vector<uint32_t> before;
        if (disposal == 3)
            before = SaveArea(clip, screen);
        DrawFrame(frame, screen);
        const int delay = frame.GraphicControl() ? frame.GraphicControl()->Delay() : 0;
        if (!ShowsNothingForNoTime(frame)) {
            if (pictures.empty() || pictures.back().first != screen.Hash())
                pictures.emplace_back(screen.Hash(), delay);
            else
                pictures.back().second += delay;
        }
        if (disposal == 2)
            ClearArea(clip, screen);
        else if (disposal == 3)
            RestoreArea(clip, before, screen);
    }
    return pictures;
}

bool EveryPixelHasAColor(const TGIFImage& image, std::string& why)
{
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image.Images().SubImage(i);
        const int t = TransparentIndex(frame);
        const int count = frame.ActiveColorMap().Count();
        const uint8_t* pixels = frame.Data();
        for (size_t k = 0; k < frame.DataSize(); ++k)
            if (pixels[k] != t && pixels[k] >= count) {
                why = "frame " + std::to_string(i) + " shows index " + std::to_string(pixels[k]) + " of a map of " +
                      std::to_string(count);
                return false;
            }
    }
    return true;
}

TColorUse ColorsShown(const TGIFImage& image)
{
    std::set<uint32_t> colors;
    TColorUse use;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image.Images().SubImage(i);
        const int t = TransparentIndex(frame);
        std::vector<bool> seen(256, false);
        const uint8_t* pixels = frame.Data();
        for (size_t k = 0; k < frame.DataSize(); ++k)
            seen[pixels[k]] = true;
        for (int p = 0; p < 256; ++p) {
            if (!seen[static_cast<size_t>(p)])
                continue;
            if (p == t)
                use.transparency = true;
            else
                colors.insert(ColorOf(frame.ActiveColorMap(), p));
        }
    }
    use.colors = static_cast<int>(colors.size());
    return use;
}

} // namespace animora::test
