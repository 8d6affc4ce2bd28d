#include "app/History.h"

#include <utility>

#include "gif/GIFImage.h"
#include "platform/Stream.h"

namespace animora {

namespace {

// Encoding and decoding a step is the history's own business: the image's
// progress and warning handlers stay quiet meanwhile.
class TQuietImage {
public:
    explicit TQuietImage(TGIFImage& image)
        : image_(image), progress_(std::exchange(image.OnProgress, nullptr)),
          warnings_(std::exchange(image.WarningHandler, nullptr))
    {
    }
    ~TQuietImage()
    {
        image_.OnProgress = std::move(progress_);
        image_.WarningHandler = std::move(warnings_);
    }
    TQuietImage(const TQuietImage&) = delete;
    TQuietImage& operator=(const TQuietImage&) = delete;

private:
    TGIFImage& image_;
    TProgressEvent progress_;
    TGIFWarningHandler warnings_;
};

} // namespace

// An image without frames has no file form; it is kept as no bytes.
std::vector<uint8_t> THistory::Encode(TGIFImage& image)
{
    if (image.Images().Count() == 0)
        return {};
    TQuietImage quiet(image);
    TMemoryStream stream;
    image.SaveToStream(stream);
    return std::move(stream.Bytes());
}

void THistory::Decode(const std::vector<uint8_t>& bytes, TGIFImage& image)
{
    TQuietImage quiet(image);
    if (bytes.empty()) {
        image.Clear();
        return;
    }
    TBytesViewStream stream(bytes.data(), bytes.size());
    image.LoadFromStream(stream);
}

void THistory::Record(QString name, std::vector<uint8_t> before)
{
    for (const Step& step : redo_)
        bytes_ -= step.image.size();
    redo_.clear();
    bytes_ += before.size();
    undo_.push_back({std::move(name), std::move(before)});
    Trim();
}

std::vector<uint8_t> THistory::Undo(std::vector<uint8_t> current)
{
    Step step = std::move(undo_.back());
    undo_.pop_back();
    bytes_ += current.size();
    bytes_ -= step.image.size();
    redo_.push_back({step.name, std::move(current)});
    return std::move(step.image);
}

std::vector<uint8_t> THistory::Redo(std::vector<uint8_t> current)
{
    Step step = std::move(redo_.back());
    redo_.pop_back();
    bytes_ += current.size();
    bytes_ -= step.image.size();
    undo_.push_back({step.name, std::move(current)});
    return std::move(step.image);
}

void THistory::Clear()
{
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
}

void THistory::SetBudget(size_t bytes)
{
    budget_ = bytes;
    Trim();
}

// The oldest steps go first; the newest undo step stays whatever its size,
// so the last change can always be taken back.
void THistory::Trim()
{
    while (bytes_ > budget_ && undo_.size() > 1) {
        bytes_ -= undo_.front().image.size();
        undo_.pop_front();
    }
}

} // namespace animora
