#pragma once
// The project's history: every change made through the edit gateway is a
// step that Undo and Redo take back and forth. A step keeps the document
// image as it was, encoded as a GIF in memory (a few hundred kilobytes for a
// typical animation), and the history keeps within a memory budget by
// dropping its oldest steps.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include <QString>

namespace animora {

class TGIFImage;

class THistory {
public:
    struct Step {
        QString name;
        std::vector<uint8_t> image;
    };

    static constexpr size_t kDefaultBudget = size_t{256} << 20;

    // The image as a step's bytes, and the bytes back into the image.
    static std::vector<uint8_t> Encode(TGIFImage& image);
    static void Decode(const std::vector<uint8_t>& bytes, TGIFImage& image);

    // A new change: the image before it. Redo steps go.
    void Record(QString name, std::vector<uint8_t> before);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    const QString& UndoName() const { return undo_.back().name; }
    const QString& RedoName() const { return redo_.back().name; }
    // Takes the last change back: answers the image before it, and keeps
    // `current` (the image after it) for Redo.
    std::vector<uint8_t> Undo(std::vector<uint8_t> current);
    std::vector<uint8_t> Redo(std::vector<uint8_t> current);
    void Clear();

    void SetBudget(size_t bytes);
    size_t Budget() const { return budget_; }
    size_t Bytes() const { return bytes_; }
    size_t UndoCount() const { return undo_.size(); }

private:
    void Trim();

    std::deque<Step> undo_;
    std::deque<Step> redo_;
    size_t bytes_ = 0;
    size_t budget_ = kDefaultBudget;
};

} // namespace animora
