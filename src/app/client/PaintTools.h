#pragma once
// The document window's paint tools, one class each. The window turns mouse
// events into frame pixels, keeps the stroke's press and last points, the
// undo copy and the modified marker, and hands each step to the active tool.
#include <memory>

#include <QPoint>

#include "app/Actions.h"

class QRect;

namespace animora {

class TPaintSurface;

// What a tool may ask of the window it paints in.
class TToolHost {
public:
    virtual ~TToolHost() = default;
    virtual TPaintSurface& Surface() = 0;
    // The pixels of `area` changed on the picture.
    virtual void Changed(const QRect& area) = 0;
    // Not-xor drawing for the shape being dragged; the end restores the
    // pen mode and the window's drawing settings.
    virtual void BeginRubberBand() = 0;
    virtual void EndRubberBand() = 0;
    // The picture is shown at another size than its own.
    virtual bool Zoomed() const = 0;
    virtual void ShowRealSizeMessage() = 0;
    // A floating selection of `area` (frame pixels).
    virtual void MakeSelection(const QRect& area) = 0;
    // The colour picker's answers.
    virtual void TakePenColor(QPoint at) = 0;
    virtual void TakeBrushColor(QPoint at) = 0;
    // The text tool's dialog and drawing.
    virtual void DrawText(QPoint at) = 0;
};

// The press point and the last point of the stroke being drawn.
struct TStroke {
    QPoint start;
    QPoint last;
};

class TPaintTool {
public:
    virtual ~TPaintTool() = default;
    // Whether a press starts a stroke (undo copy, drawing flag, "Modified").
    virtual bool StartsStroke() const { return true; }
    virtual void Press(TToolHost& host, QPoint at, Qt::MouseButton button) = 0;
    virtual void Move(TToolHost&, const TStroke&, QPoint) {}
    // False when the stroke came to nothing and leaves the frame unmodified.
    virtual bool Release(TToolHost&, const TStroke&, QPoint, QPoint) { return true; }
};

// The tool of a ToolBar4 button; none for the cursor.
std::unique_ptr<TPaintTool> MakePaintTool(ActionId button);

} // namespace animora
