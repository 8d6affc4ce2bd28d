#include "gif/GIFList.h"

#include <algorithm>

#include "gif/Extension.h"
#include "gif/GIFCodec.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "platform/Errors.h"

namespace animora {

TGIFList::~TGIFList()
{
    DeleteAll();
}

void TGIFList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError::IndexOutOfBounds(index);
}

TGIFItem* TGIFList::ItemAt(int index) const
{
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].get();
}

int TGIFList::IndexOf(const TGIFItem* item) const
{
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == item)
            return static_cast<int>(i);
    }
    return -1;
}

int TGIFList::AppendItem(std::unique_ptr<TGIFItem> item)
{
    items_.push_back(std::move(item));
    return Count() - 1;
}

void TGIFList::DeleteAt(int index)
{
    CheckIndex(index);
    // Take the item out before freeing it: its destructor's Detach then finds nothing.
    std::unique_ptr<TGIFItem> item = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    item.reset();
}

void TGIFList::DeleteAll()
{
    while (!items_.empty())
        DeleteAt(0);
}

void TGIFList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
}

void TGIFList::MoveItem(int fromIndex, int toIndex)
{
    CheckIndex(fromIndex);
    CheckIndex(toIndex);
    auto item = std::move(items_[static_cast<size_t>(fromIndex)]);
    items_.erase(items_.begin() + fromIndex);
    items_.insert(items_.begin() + toIndex, std::move(item));
}

void TGIFList::Detach(TGIFItem* item)
{
    const int index = IndexOf(item);
    if (index < 0)
        return;
    (void)items_[static_cast<size_t>(index)].release();
    items_.erase(items_.begin() + index);
}

void TGIFList::ReportWarning(int severity, const std::string& message)
{
    if (image_)
        image_->Warning(*this, severity, message);
}

void TGIFList::WriteToStream(TStream& stream)
{
    for (auto& item : items_)
        item->WriteToStream(stream);
}

// --- frames ------------------------------------------------------------------

TGIFSubImage* TGIFImageList::SubImage(int index) const
{
    return static_cast<TGIFSubImage*>(ItemAt(index));
}

int TGIFImageList::Append(std::unique_ptr<TGIFSubImage> frame)
{
    return AppendItem(std::move(frame));
}

void TGIFImageList::WriteToStream(TStream& stream)
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        SubImage(i)->WriteToStream(stream);
        if (image_)
            image_->NotifyProgress(TProgressStage::psRunning, (i + 1) * 100 / count, false, "Saving...");
    }
}

// Reads the next byte that is not a stray zero; false at the end of the data.
static bool ReadBlockStart(TStream& stream, uint8_t& b)
{
    do {
        if (stream.Read(&b, 1) != 1)
            return false;
    } while (b == 0);
    return true;
}

static int LoadPercent(TStream& stream)
{
    const int64_t size = stream.Size();
    return size > 0 ? static_cast<int>(std::min<int64_t>(stream.Position(), size) * 100 / size) : 100;
}

void TGIFImageList::ReadFromStream(TStream& stream, TGIFImage& image)
{
    uint8_t b = 0;
    if (!ReadBlockStart(stream, b))
        return;
    while (b != kTrailerByte) {
        stream.Seek(-1, SeekOrigin::Current);
        if (b != kExtensionIntroducer && b != kImageSeparator) {
            ReportWarning(kWarningSeverity, "Unknown GIF block type");
            return;
        }
        auto frame = std::make_unique<TGIFSubImage>(&image);
        frame->ReadFromStream(stream);  // on failure the new frame is freed here
        if (GIFCodecSettings().RenderOnLoad)
            frame->RenderedBitmap();
        Append(std::move(frame));
        image.NotifyProgress(TProgressStage::psRunning, LoadPercent(stream), false, "Loading...");
        if (!ReadBlockStart(stream, b))
            return;
    }
    stream.Seek(-1, SeekOrigin::Current);  // the trailer reader reads it again
}

// --- extensions --------------------------------------------------------------

TGIFExtension* TGIFExtensionList::Extension(int index) const
{
    return static_cast<TGIFExtension*>(ItemAt(index));
}

int TGIFExtensionList::Append(std::unique_ptr<TGIFExtension> extension)
{
    return AppendItem(std::move(extension));
}

void TGIFExtensionList::ReadFromStream(TStream& stream, TGIFSubImage& frame)
{
    uint8_t b = 0;
    if (stream.Read(&b, 1) != 1)
        return;
    while (b != kImageSeparator && b != kTrailerByte) {
        if (b != kExtensionIntroducer) {
            ReportWarning(kWarningSeverity, "Invalid extension introducer");
            break;
        }
        const TGIFExtensionClass* kind = FindExtensionClass(stream);
        if (!kind)
            RaiseGIFError("Unknown extension type");
        stream.Seek(-1, SeekOrigin::Current);
        auto extension = kind->create(frame);
        extension->ReadFromStream(stream);
        Append(std::move(extension));
        if (stream.Read(&b, 1) != 1)
            return;
    }
    stream.Seek(-1, SeekOrigin::Current);
}

} // namespace animora
