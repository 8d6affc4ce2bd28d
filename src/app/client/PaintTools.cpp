#include "app/client/PaintTools.h"

#include <algorithm>

#include <QRect>

#include "app/client/PaintSurface.h"

namespace animora {

namespace {

// A pen draws single pixels where the pointer passes (a fast movement
// leaves gaps).
class TPenTool : public TPaintTool {
public:
    void Press(TToolHost& host, QPoint at, Qt::MouseButton) override
    {
        host.BeginRubberBand();
        host.Changed(host.Surface().SetPixel(at.x(), at.y(), host.Surface().state.penColor));
        host.EndRubberBand();
    }
    void Move(TToolHost& host, const TStroke&, QPoint at) override
    {
        host.Changed(host.Surface().SetPixel(at.x(), at.y(), host.Surface().state.penColor));
    }
};

// The long pen joins every point to the last with a line: no gaps.
class TLongPenTool : public TPenTool {
public:
    void Move(TToolHost& host, const TStroke& stroke, QPoint at) override
    {
        host.Changed(host.Surface().Line(stroke.last, at));
    }
    bool Release(TToolHost& host, const TStroke& stroke, QPoint at, QPoint) override
    {
        host.Changed(host.Surface().Line(stroke.last, at));
        return true;
    }
};

// Line, rectangle, ellipse and select are dragged as a rubber band drawn
// with not-xor (drawn twice it is gone), then drawn for real on release.
class TShapeTool : public TPaintTool {
public:
    void Press(TToolHost& host, QPoint, Qt::MouseButton) override { host.BeginRubberBand(); }
    void Move(TToolHost& host, const TStroke& stroke, QPoint at) override
    {
        host.Changed(Draw(host.Surface(), stroke.start, stroke.last));
        host.Changed(Draw(host.Surface(), stroke.start, at));
    }
    bool Release(TToolHost& host, const TStroke& stroke, QPoint at, QPoint) override
    {
        host.Changed(Draw(host.Surface(), stroke.start, stroke.last));
        host.EndRubberBand();
        host.Changed(Draw(host.Surface(), stroke.start, at));
        return true;
    }

protected:
    virtual QRect Draw(TPaintSurface& surface, QPoint from, QPoint to) = 0;
};

class TLineTool : public TShapeTool {
protected:
    QRect Draw(TPaintSurface& surface, QPoint from, QPoint to) override { return surface.Line(from, to); }
};

class TRectangleTool : public TShapeTool {
protected:
    QRect Draw(TPaintSurface& surface, QPoint from, QPoint to) override { return surface.Rectangle(from, to); }
};

class TEllipseTool : public TShapeTool {
protected:
    QRect Draw(TPaintSurface& surface, QPoint from, QPoint to) override { return surface.Ellipse(from, to); }
};

// Select drags a dotted rectangle and floats a copy of what it encloses.
// It works at real size only, where a pixel is a pixel on screen.
class TSelectTool : public TRectangleTool {
public:
    void Press(TToolHost& host, QPoint at, Qt::MouseButton button) override
    {
        TRectangleTool::Press(host, at, button);
        host.Surface().state.penStyle = TPenStyle::psDot;
        host.Surface().state.brushStyle = TBrushStyle::bsClear;
    }
    bool Release(TToolHost& host, const TStroke& stroke, QPoint, QPoint raw) override
    {
        host.Changed(Draw(host.Surface(), stroke.start, stroke.last));
        host.EndRubberBand();
        if (host.Zoomed()) {
            host.ShowRealSizeMessage();
            return false;
        }
        const int width = host.Surface().Width();
        const int height = host.Surface().Height();
        // Whichever way it was dragged, the start is the top-left.
        QPoint from = stroke.start;
        QPoint to = raw;
        if (from.x() > to.x())
            std::swap(from.rx(), to.rx());
        if (from.y() > to.y())
            std::swap(from.ry(), to.ry());
        from = QPoint(std::max(from.x(), 0), std::max(from.y(), 0));
        to = QPoint(std::min(to.x(), width), std::min(to.y(), height));
        if (to.x() > from.x() && to.y() > from.y())
            host.MakeSelection(QRect(from, to - QPoint(1, 1)));
        return false;  // the picture did not change
    }
};

class TFillTool : public TPaintTool {
public:
    void Press(TToolHost& host, QPoint at, Qt::MouseButton) override
    {
        host.Changed(host.Surface().FloodFill(at.x(), at.y()));
    }
};

class TTextTool : public TPaintTool {
public:
    void Press(TToolHost& host, QPoint at, Qt::MouseButton) override { host.DrawText(at); }
};

// The left button takes the pixel's colour for the pen, the right one for
// the brush; no stroke, no undo copy, no "Modified".
class TColorPickerTool : public TPaintTool {
public:
    bool StartsStroke() const override { return false; }
    void Press(TToolHost& host, QPoint at, Qt::MouseButton button) override
    {
        if (button == Qt::LeftButton)
            host.TakePenColor(at);
        else if (button == Qt::RightButton)
            host.TakeBrushColor(at);
    }
};

} // namespace

std::unique_ptr<TPaintTool> MakePaintTool(ActionId button)
{
    switch (button) {
    case ActionId::PenButton: return std::make_unique<TPenTool>();
    case ActionId::LongPenButton: return std::make_unique<TLongPenTool>();
    case ActionId::LineButton: return std::make_unique<TLineTool>();
    case ActionId::QuadButton: return std::make_unique<TRectangleTool>();
    case ActionId::EllipseButton: return std::make_unique<TEllipseTool>();
    case ActionId::SelectButton: return std::make_unique<TSelectTool>();
    case ActionId::FillButton: return std::make_unique<TFillTool>();
    case ActionId::TextButton: return std::make_unique<TTextTool>();
    case ActionId::GetColorButton: return std::make_unique<TColorPickerTool>();
    default: return nullptr;
    }
}

} // namespace animora
