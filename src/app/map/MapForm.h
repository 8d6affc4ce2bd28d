#pragma once
// The map of the GIF ("Import Wizard"): every frame of the document image
// as a small thumbnail in a list, the selected frame at full size, frames
// reordered by dragging them in the list, added from picture files, deleted,
// and scanned into. Thumbnails are made once per frame and kept until that
// frame changes, so even a long animation scrolls smoothly.
#include <cstdint>
#include <functional>
#include <unordered_map>

#include <QPixmap>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;

namespace animora {

class Project;
class TGIFSubImage;
class TFrameList;

class TMapForm : public QWidget {
    Q_OBJECT
public:
    explicit TMapForm(Project& project, QWidget* parent = nullptr);
    ~TMapForm() override;

    QListWidget* List() const;
    Project& ProjectShown() const { return project_; }
    QLabel* ImageView() const { return imageView_; }

    // The 20 x 20 picture of a frame, made on first use.
    const QPixmap& Thumbnail(const TGIFSubImage& frame);
    int ThumbnailsMade() const { return thumbnailsMade_; }

    // The commands of the buttons, for the keys and tests as well.
    void AddClick();
    void DeleteClick();
    void ScanClick();
    void CreateScanClick();
    // The frame of entry `from` goes to entry `to` (a drop in the list).
    void MoveEntry(int from, int to);
    // Picture files dropped on the list become frames from `position` on.
    void AddDropped(const QStringList& paths, int position);
    // Shows the selected entry's frame at full size.
    void ShowSelected();

    // Called by the main window to reach the scanner.
    std::function<uint8_t()> scan;

    // The size the window opens at, also inside the main window's area.
    QSize sizeHint() const override { return {560, 380}; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void StartAgain();
    void UpdateButtons();
    void RefreshView();
    void FillList();
    QImage RenderQuietly(const TGIFSubImage& frame);
    void ForgetFrame(int index);
    void ForgetGoneFrames();
    void Run(const std::function<void()>& command);

    Project& project_;
    TFrameList* list_;
    QScrollArea* scrollBox_;
    QLabel* imageView_;
    std::unordered_map<const TGIFSubImage*, QPixmap> thumbnails_;
    int thumbnailsMade_ = 0;
    bool shownOnce_ = false;
};

inline constexpr const char* kMapOpenFilter =
    "All (*.gif;*.gif;*.jpg;*.jpeg;*.bmp)|*.gif;*.gif;*.jpg;*.jpeg;*.bmp|CompuServe GIF Image (*.gif)|*.gif|"
    "GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";

} // namespace animora
