#pragma once
// Owning, ordered lists of GIF items: the frames of an image and the
// extensions of a frame. The list owns its items; an item destroyed on its
// own first detaches itself, so no list ever holds a dangling entry.
#include <memory>
#include <vector>

#include "gif/GIFItem.h"

namespace animora {

class TGIFSubImage;
class TGIFExtension;

class TGIFList : public TPersistent {
public:
    explicit TGIFList(TGIFImage* image) : image_(image) {}
    ~TGIFList() override;
    TGIFList(const TGIFList&) = delete;
    TGIFList& operator=(const TGIFList&) = delete;

    std::string ClassName() const override { return "TGIFList"; }
    TGIFImage* Image() const { return image_; }

    int Count() const { return static_cast<int>(items_.size()); }
    // Indices count from 0; outside the range raise "List index out of bounds (%d)".
    TGIFItem* ItemAt(int index) const;
    int IndexOf(const TGIFItem* item) const;

    void DeleteAt(int index);
    void DeleteAll();
    void Exchange(int index1, int index2);
    void MoveItem(int fromIndex, int toIndex);
    // Removes the item without freeing it (used by the item's destructor).
    void Detach(TGIFItem* item);

    void ReportWarning(int severity, const std::string& message);
    virtual void WriteToStream(TStream& stream);

protected:
    int AppendItem(std::unique_ptr<TGIFItem> item);
    void CheckIndex(int index) const;

    std::vector<std::unique_ptr<TGIFItem>> items_;
    TGIFImage* image_;
};

class TGIFImageList : public TGIFList {
public:
    using TGIFList::TGIFList;
    std::string ClassName() const override { return "TGIFImageList"; }

    TGIFSubImage* SubImage(int index) const;
    int Append(std::unique_ptr<TGIFSubImage> frame);

    // Writes every frame, telling the image's progress handler after each.
    void WriteToStream(TStream& stream) override;
    // Reads frames up to the trailer (which is left for the trailer reader).
    void ReadFromStream(TStream& stream, TGIFImage& image);
};

class TGIFExtensionList : public TGIFList {
public:
    using TGIFList::TGIFList;
    std::string ClassName() const override { return "TGIFExtensionList"; }

    TGIFExtension* Extension(int index) const;
    int Append(std::unique_ptr<TGIFExtension> extension);

    // Reads extensions up to the next image descriptor or trailer, leaving
    // the byte that ended them for the frame.
    void ReadFromStream(TStream& stream, TGIFSubImage& frame);
};

} // namespace animora
