#pragma once
// The octree quantizer: fits a palette of at most ColorLimit colours to a
// picture. Colours are inserted one pixel at a time and the tree is merged
// right after each insert, so it never holds more than ColorLimit leaves
// whatever the size of the picture.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "color/ColorTypes.h"

namespace animora {

class TDIBReader;

struct TOctreeNode {
    bool Leaf = false;
    // 64-bit so that large pictures of bright colours cannot overflow the sums.
    int64_t Pixels = 0;
    int64_t SumRed = 0;
    int64_t SumGreen = 0;
    int64_t SumBlue = 0;
    TOctreeNode* NextInLevel = nullptr; // next reducible node of the same level
    std::array<TOctreeNode*, 8> Child{};
};

class TColorQuantizer {
public:
    static constexpr int kMaxDepth = 8;

    // colorLimit is at least 1; depth (the level whose nodes are leaves) is
    // kept within 1..8.
    TColorQuantizer(int colorLimit, int depth);
    ~TColorQuantizer();
    TColorQuantizer(const TColorQuantizer&) = delete;
    TColorQuantizer& operator=(const TColorQuantizer&) = delete;

    // Every pixel of a 24-bit reader, rows top to bottom, left to right.
    void AddPixels(TDIBReader& reader);
    // `width` pixels of blue, green, red bytes.
    void AddRow(const uint8_t* bgr, int width);
    void AddColor(int red, int green, int blue);

    // Writes one entry per leaf, depth first with children in index order,
    // each the leaf's truncated average colour; answers the number written.
    int CollectColors(std::vector<TRGBQuad>& table) const;

    int LeafTotal() const { return leafTotal_; }

private:
    TOctreeNode* NewNode(int level);
    void FreeNode(TOctreeNode* node);
    bool Merge();
    void Collect(const TOctreeNode* node, std::vector<TRGBQuad>& table) const;

    TOctreeNode* root_ = nullptr;
    int leafTotal_ = 0;
    std::array<TOctreeNode*, kMaxDepth> levelLists_{};
    int colorLimit_;
    int depth_;

    // Nodes come from chunks owned here and are recycled through a free list,
    // so merging and growing the tree costs no allocation per pixel.
    std::vector<std::unique_ptr<TOctreeNode[]>> chunks_;
    TOctreeNode* freeNodes_ = nullptr;

    // The leaf the last added colour went to; null after a merge.
    TOctreeNode* lastLeaf_ = nullptr;
    uint32_t lastColor_ = 0;
};

} // namespace animora
