#include "color/ColorQuantizer.h"

#include <algorithm>

#include "color/DIB.h"

namespace animora {

namespace {
constexpr int kNodesPerChunk = 512;
}

TColorQuantizer::TColorQuantizer(int colorLimit, int depth)
    : colorLimit_(std::max(colorLimit, 1)), depth_(std::clamp(depth, 1, kMaxDepth))
{
}

TColorQuantizer::~TColorQuantizer() = default; // the chunks own every node

TOctreeNode* TColorQuantizer::NewNode(int level)
{
    if (!freeNodes_) {
        auto chunk = std::make_unique<TOctreeNode[]>(kNodesPerChunk);
        for (int i = 0; i < kNodesPerChunk; ++i)
            chunk[i].NextInLevel = i + 1 < kNodesPerChunk ? &chunk[i + 1] : nullptr;
        freeNodes_ = chunk.get();
        chunks_.push_back(std::move(chunk));
    }
    TOctreeNode* node = freeNodes_;
    freeNodes_ = node->NextInLevel;
    *node = TOctreeNode{};
    node->Leaf = level == depth_;
    if (node->Leaf) {
        ++leafTotal_;
    } else {
        node->NextInLevel = levelLists_[level];
        levelLists_[level] = node;
    }
    return node;
}

// Only leaves are freed (merging takes the children of the deepest reducible
// level, which are all leaves), so nothing needs unlinking from a level list.
void TColorQuantizer::FreeNode(TOctreeNode* node)
{
    node->NextInLevel = freeNodes_;
    freeNodes_ = node;
}

void TColorQuantizer::AddPixels(TDIBReader& reader)
{
    const int width = reader.Bitmap().Width();
    const int height = reader.Bitmap().Height();
    for (int row = 0; row < height; ++row)
        AddRow(reader.GetRow(row), width);
}

// A run of one colour ends in the same leaf as long as the tree keeps its
// shape, so the walk is skipped for repeats until the next merge.
void TColorQuantizer::AddRow(const uint8_t* bgr, int width)
{
    for (int x = 0; x < width; ++x, bgr += 3) {
        const uint32_t color = bgr[0] | (bgr[1] << 8) | (bgr[2] << 16);
        if (lastLeaf_ && color == lastColor_) {
            ++lastLeaf_->Pixels;
            lastLeaf_->SumRed += bgr[2];
            lastLeaf_->SumGreen += bgr[1];
            lastLeaf_->SumBlue += bgr[0];
            continue;
        }
        AddColor(bgr[2], bgr[1], bgr[0]);
    }
}

void TColorQuantizer::AddColor(int red, int green, int blue)
{
    TOctreeNode** slot = &root_;
    for (int level = 0;; ++level) {
        if (!*slot)
            *slot = NewNode(level);
        TOctreeNode* node = *slot;
        if (node->Leaf) {
            ++node->Pixels;
            node->SumRed += red;
            node->SumGreen += green;
            node->SumBlue += blue;
            lastLeaf_ = node;
            lastColor_ = static_cast<uint32_t>(blue | (green << 8) | (red << 16));
            break;
        }
        const int bit = 7 - level;
        const int index = (((red >> bit) & 1) << 2) | (((green >> bit) & 1) << 1) | ((blue >> bit) & 1);
        slot = &node->Child[index];
    }
    while (leafTotal_ > colorLimit_ && Merge())
        lastLeaf_ = nullptr;
}

// Folds the newest reducible node of the deepest non-empty level into a leaf.
// Neither pixel counts nor errors choose the node: only depth and recency.
bool TColorQuantizer::Merge()
{
    int level = depth_ - 1;
    while (level > 0 && !levelLists_[level])
        --level;
    TOctreeNode* node = levelLists_[level];
    if (!node)
        return false;
    levelLists_[level] = node->NextInLevel;
    node->NextInLevel = nullptr;
    int children = 0;
    for (TOctreeNode*& child : node->Child) {
        if (!child)
            continue;
        node->SumRed += child->SumRed;
        node->SumGreen += child->SumGreen;
        node->SumBlue += child->SumBlue;
        node->Pixels += child->Pixels;
        FreeNode(child);
        child = nullptr;
        ++children;
    }
    node->Leaf = true;
    leafTotal_ -= children - 1;
    return true;
}

int TColorQuantizer::CollectColors(std::vector<TRGBQuad>& table) const
{
    table.clear();
    table.reserve(leafTotal_);
    Collect(root_, table);
    return static_cast<int>(table.size());
}

void TColorQuantizer::Collect(const TOctreeNode* node, std::vector<TRGBQuad>& table) const
{
    if (!node)
        return;
    if (node->Leaf) {
        TRGBQuad entry;
        if (node->Pixels > 0) {
            entry.red = static_cast<uint8_t>(node->SumRed / node->Pixels);
            entry.green = static_cast<uint8_t>(node->SumGreen / node->Pixels);
            entry.blue = static_cast<uint8_t>(node->SumBlue / node->Pixels);
        }
        table.push_back(entry);
        return;
    }
    for (const TOctreeNode* child : node->Child)
        Collect(child, table);
}

} // namespace animora
