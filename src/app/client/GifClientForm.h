#pragma once
// The document window ("Editing frame"): one frame of the project painted
// on as a true-colour working copy, with the pen and brush controls, the
// paint tools of the main window's drawing toolbar, a floating selection
// with the clipboard commands, one level of undo and redo, zoom, and the
// colour of the pixel under the pointer. "Save current frame" writes the
// picture back into the frame it was opened on, wherever that frame has
// moved to since.
#include <memory>
#include <optional>

#include <QImage>
#include <QWidget>

#include "app/Actions.h"
#include "app/client/PaintTools.h"
#include "platform/Palette.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QScrollArea;
class QStatusBar;

namespace animora {

class Project;
class TFramePaint;
class TGIFSubImage;
class TPaintSurface;
class TSelectionImage;

class TGifClientForm : public QWidget, public TToolHost {
    Q_OBJECT
public:
    // Opens on the preview copy's current frame.
    explicit TGifClientForm(Project& project, QWidget* parent = nullptr);
    ~TGifClientForm() override;

    // The drawing toolbar's buttons; the cursor (or none) draws nothing.
    void SelectTool(ActionId button);
    ActionId Tool() const { return toolButton_; }

    bool HasSelection() const;
    void DropSelection();
    void CopySelection();
    void CutSelection();
    void DeleteSelection();
    void PasteBitmap();
    void UndoEdit();
    void RedoEdit();
    bool CanUndo() const { return canUndo_; }
    bool CanRedo() const { return canRedo_; }

    // Writes the picture into the frame; false when nothing was written.
    bool SaveFrame();
    // The View menu's zoom commands (Scale50B … Realsize1).
    void Zoom(ActionId command);
    void ShowRealSize();

    // The frame's index in the document image now; -1 once it was deleted
    // (or its project closed).
    int FrameIndex() const;
    bool Modified() const;
    QString StatusText(int panel) const;
    const TPaintSurface& Picture() const { return *surface_; }
    QSize PanelSize() const;
    QRect SelectionPanel() const;

    // Mouse events of the picture, in the picture control's coordinates.
    void PaintPress(QPointF position, Qt::MouseButton button);
    void PaintMove(QPointF position);
    void PaintRelease(QPointF position);
    // Dragging the floating selection, in the picture control's coordinates.
    void SelectionPress(QPointF position);
    void SelectionMove(QPointF position);
    void SelectionRelease();

    // The previous frame shown faintly under the picture; it is never
    // painted into the picture.
    void SetOnionSkin(bool on);
    bool OnionSkin() const { return onionSkin_; }
    const QImage& PreviousFrame() const { return previousFrame_; }

    // The drawing settings from the controls (pen and brush).
    void ApplyDrawSettings();
    void SetPenColor(const QColor& color);
    void SetBrushColor(const QColor& color);
    void SetPenWidthText(const QString& text);
    void SetPenStyle(int index);
    void SetBrushStyle(int index);

signals:
    // Undo, redo or the selection changed: the main window's actions follow.
    void editStateChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

    // TToolHost
    TPaintSurface& Surface() override { return *surface_; }
    void Changed(const QRect& area) override;
    void BeginRubberBand() override;
    void EndRubberBand() override;
    bool Zoomed() const override;
    void ShowRealSizeMessage() override;
    void MakeSelection(const QRect& area) override;
    void TakePenColor(QPoint at) override;
    void TakeBrushColor(QPoint at) override;
    void DrawText(QPoint at) override;

private:
    void BuildControls();
    void BuildStatusBar();
    QWidget* BuildPenPanel();
    QWidget* BuildBrushPanel();
    QPoint MapPointer(QPointF position) const;
    void ShowPointerStatus(QPoint at);
    void SetPanelSize(QSize size);
    void FitPanelToPicture();
    void ShowSelection(QPoint topLeft, const QImage& picture);
    void SaveUndo();
    void SetUndo(bool on);
    void SetRedo(bool on);
    void SetModified();
    void ChoosePenColor();
    void ChooseBrushColor();
    bool WriteBack();
    TGIFSubImage* FrameAt(int index) const;
    void TakePreviousFrame();

    Project& project_;
    // The frame being edited, in the document image. Frames keep their
    // identity when the frame list is reordered, so this survives exchange
    // and move; it is cleared when the frame or its project goes.
    TGIFSubImage* frame_ = nullptr;
    int restoredIndex_ = -1;
    bool onionSkin_ = false;
    QImage previousFrame_;
    std::unique_ptr<TPaintSurface> surface_;
    std::unique_ptr<TPaintTool> tool_;
    ActionId toolButton_ = ActionId::CursorlButton;

    int realWidth_ = 0;
    int realHeight_ = 0;
    bool drawing_ = false;
    TStroke stroke_;
    QRect selRect_;
    QImage selection_;
    bool draggingSelection_ = false;
    QPoint dragPoint_;
    QImage undo_;
    QImage redo_;
    bool canUndo_ = false;
    bool canRedo_ = false;

    QColor penColor_ = Qt::black;
    QColor brushColor_ = Qt::white;
    int penWidth_ = 1;
    int penStyle_ = 0;
    int brushStyle_ = 0;

    QLineEdit* penWidthEdit_ = nullptr;
    QFrame* colorShape_ = nullptr;
    QFrame* brushShape_ = nullptr;
    QComboBox* penStyleCB_ = nullptr;
    QComboBox* brushStyleCB_ = nullptr;
    QScrollArea* scrollBox_ = nullptr;
    QWidget* scrollContents_ = nullptr;
    QFrame* imagePanel_ = nullptr;
    TFramePaint* framePaint_ = nullptr;
    QWidget* selPanel_ = nullptr;
    TSelectionImage* selectImage_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* panels_[8] = {};
};

// The caption and the texts the window shows.
inline constexpr const char* kRealSizeMessage = "This operation work in the image real size.";
inline constexpr const char* kFrameModifiedQuestion = "Frame was modified Save changes?";

// "Color:" of the status bar: a named colour's identifier, else "$" and the
// colour value's eight hexadecimal digits (blue first).
QString ColorName(TColor color);

} // namespace animora
