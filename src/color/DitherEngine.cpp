#include "color/DitherEngine.h"

#include "color/ErrorDiffusion.h"
#include "color/FloydSteinberg.h"

namespace animora {

void TDitherEngine::DitherRow(const uint8_t* bgr, uint8_t* indices)
{
    int r, g, b;
    while (ColumnInside()) {
        const uint8_t* pixel = bgr + 3 * column_;
        const int column = column_;
        indices[column] = DitherPixel(pixel[2], pixel[1], pixel[0], r, g, b);
    }
}

namespace {

// The plain engine for a known lookup type: the same mapping as
// TDitherEngine, with the lookup call inlined.
template <class Lookup>
class TNearestDitherer final : public TDitherEngine {
public:
    TNearestDitherer(int width, Lookup& lookup) : TDitherEngine(width, lookup), typed_(lookup) {}

    uint8_t DitherPixel(int red, int green, int blue, int& outRed, int& outGreen, int& outBlue) override
    {
        const uint8_t index = typed_.MatchColor(red, green, blue, outRed, outGreen, outBlue);
        StepColumn();
        return index;
    }

    // The order matters even without diffusion: the fast lookup's cache
    // remembers the first colour seen in each cell.
    void DitherRow(const uint8_t* bgr, uint8_t* indices) override
    {
        int r, g, b;
        for (int c = column_; c >= 0 && c < width_; c += direction_) {
            const uint8_t* pixel = bgr + 3 * c;
            indices[c] = typed_.MatchColor(pixel[2], pixel[1], pixel[0], r, g, b);
        }
        column_ = direction_ > 0 ? width_ : -1;
    }

private:
    Lookup& typed_;
};

template <class Lookup>
std::unique_ptr<TDitherEngine> MakeTypedEngine(DitherKind kind, int width, Lookup& lookup)
{
    switch (kind) {
    case dkNearest:
        return std::make_unique<TNearestDitherer<Lookup>>(width, lookup);
    case dkFloydSteinberg:
        return std::make_unique<TFloydSteinbergDitherer<Lookup>>(width, lookup);
    case dkStucki:
        return std::make_unique<TStuckiDitherer<Lookup>>(width, lookup);
    case dkSierra:
        return std::make_unique<TSierraDitherer<Lookup>>(width, lookup);
    case dkJarvisJudiceNinke:
        return std::make_unique<TJaJuNiDitherer<Lookup>>(width, lookup);
    case dkStevensonArce:
        return std::make_unique<TSteveArcheDitherer<Lookup>>(width, lookup);
    case dkBurkes:
        return std::make_unique<TBurkesDitherer<Lookup>>(width, lookup);
    }
    return nullptr;
}

} // namespace

std::unique_ptr<TDitherEngine> MakeDitherEngine(DitherKind kind, int width, TColorLookup& lookup)
{
    if (auto* fast = dynamic_cast<TFastColorLookup*>(&lookup))
        return MakeTypedEngine(kind, width, *fast);
    if (auto* precise = dynamic_cast<TPreciseColorLookup*>(&lookup))
        return MakeTypedEngine(kind, width, *precise);
    if (auto* netscape = dynamic_cast<TNetscapeColorLookup*>(&lookup))
        return MakeTypedEngine(kind, width, *netscape);
    if (auto* gray = dynamic_cast<TGrayScaleLookup*>(&lookup))
        return MakeTypedEngine(kind, width, *gray);
    if (auto* monochrome = dynamic_cast<TMonochromeLookup*>(&lookup))
        return MakeTypedEngine(kind, width, *monochrome);
    return MakeTypedEngine(kind, width, lookup);
}

} // namespace animora
