// The document window: tools driven by mouse events on the picture control,
// the selection and clipboard commands, undo, the close question and the
// write-back into the frame.
#include "EditorFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QMdiSubWindow>
#include <QMouseEvent>

#include "app/MdiWindows.h"
#include "app/client/GifClientForm.h"
#include "app/client/PaintSurface.h"
#include "platform/Stream.h"
#include "support/GiflibFrame.h"

namespace animora::test {
namespace {

class DocumentWindowTest : public EditorTest {
protected:
    // A white 20 x 20 frame in an open document window, pen black, brush
    // white, at real size.
    void SetUp() override
    {
        EditorTest::SetUp();
        Create(3, 20, 20);
        project->SetCurrentFrame(1);
        client = window->OpenDocumentWindow();
        ASSERT_NE(client, nullptr);
        paint = client->findChild<QWidget*>("FramePaint");
    }

    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(at), paint->mapToGlobal(QPointF(at)), type == QEvent::MouseMove ? Qt::NoButton : button,
                          held, Qt::NoModifier);
        QApplication::sendEvent(paint, &event);
    }
    // A drag on the picture control from one widget point to another.
    void Drag(ActionId tool, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        client->SelectTool(tool);
        Send(QEvent::MouseButtonPress, from, button);
        Send(QEvent::MouseMove, (from + to) / 2, button);
        Send(QEvent::MouseMove, to, button);
        Send(QEvent::MouseButtonRelease, to, button);
    }
    QRgb Pixel(int x, int y) const { return client->Picture().Image().pixel(x, y) & 0xFFFFFF; }

    TGifClientForm* client = nullptr;
    QWidget* paint = nullptr;
};

constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;

TEST_F(DocumentWindowTest, ShapesLandOnTheMappedPixelsAtRealSizeAndZoomed)
{
    // The pointer maps through the panel's real size (frame + 8): at real
    // size widget x 5 is pixel 7 (press: 6), x 10 is pixel 14; at +100 %
    // the widget is 48 wide and x 12 and 24 map to the same pixels.
    struct Case {
        ActionId tool;
        bool zoomed;
        std::vector<QPoint> black, white;
    } cases[] = {
        {ActionId::QuadButton, false, {{6, 6}, {14, 6}, {6, 14}, {14, 14}, {10, 6}}, {{10, 10}, {5, 5}, {15, 15}}},
        {ActionId::QuadButton, true, {{6, 6}, {14, 14}, {6, 10}}, {{10, 10}, {15, 14}}},
        {ActionId::LineButton, false, {{6, 6}, {10, 10}, {14, 14}}, {{7, 6}, {15, 15}, {5, 5}}},
        {ActionId::LineButton, true, {{6, 6}, {14, 14}}, {{6, 7}}},
        {ActionId::EllipseButton, false, {{10, 6}, {6, 10}, {14, 10}, {10, 14}}, {{6, 6}, {10, 10}, {14, 14}}},
        {ActionId::EllipseButton, true, {{10, 6}, {10, 14}}, {{6, 6}, {10, 10}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Spec(c.tool).objectName + std::string(c.zoomed ? " zoomed" : ""));
        client->SelectTool(ActionId::CursorlButton);
        const_cast<TPaintSurface&>(client->Picture()).FillWhite(QRect(0, 0, 20, 20));
        client->ShowRealSize();
        if (c.zoomed)
            client->Zoom(ActionId::Scale100B);
        const int scale = c.zoomed ? 12 : 5;
        Drag(c.tool, QPoint(scale, scale), QPoint(2 * scale, 2 * scale));
        for (QPoint p : c.black)
            EXPECT_EQ(Pixel(p.x(), p.y()), kBlack) << p.x() << "," << p.y();
        for (QPoint p : c.white)
            EXPECT_EQ(Pixel(p.x(), p.y()), kWhite) << p.x() << "," << p.y();
        EXPECT_EQ(client->StatusText(7), "Modified");
    }
}

TEST_F(DocumentWindowTest, ZoomCommandsRoundAsTheyShould)
{
    EXPECT_EQ(client->PanelSize(), QSize(28, 28));
    client->Zoom(ActionId::Scale50B);   // 42
    client->Zoom(ActionId::Scale50B);   // 63
    client->Zoom(ActionId::Scale50S);   // 31.5 -> 32 (halves to even)
    EXPECT_EQ(client->PanelSize(), QSize(32, 32));
    client->Zoom(ActionId::Scale50B);   // 48
    client->Zoom(ActionId::Scale50B);   // 72
    client->Zoom(ActionId::Scale50B);   // 108
    client->Zoom(ActionId::Scale50B);   // 162
    client->Zoom(ActionId::Scale50B);   // 243
    client->Zoom(ActionId::Scale100S);  // 121 (remainder dropped)
    EXPECT_EQ(client->PanelSize(), QSize(121, 121));
    client->Zoom(ActionId::Realsize1);
    EXPECT_EQ(client->PanelSize(), QSize(28, 28));
}

TEST_F(DocumentWindowTest, FloodFillLeavesTheHole)
{
    auto& surface = const_cast<TPaintSurface&>(client->Picture());
    surface.state.brushStyle = TBrushStyle::bsClear;
    surface.Rectangle({2, 2}, {17, 17});
    surface.Rectangle({8, 8}, {11, 11});
    client->SetBrushColor(Qt::red);
    client->SelectTool(ActionId::FillButton);
    Send(QEvent::MouseButtonPress, QPoint(4, 4));  // pixel 5, 5 (less one)
    Send(QEvent::MouseButtonRelease, QPoint(4, 4));
    EXPECT_EQ(Pixel(4, 4), 0xFF0000u);
    EXPECT_EQ(Pixel(12, 15), 0xFF0000u);
    EXPECT_EQ(Pixel(9, 9), kWhite);   // the hole
    EXPECT_EQ(Pixel(0, 0), kWhite);   // outside the outline
    EXPECT_EQ(Pixel(8, 8), kBlack);   // the outlines themselves
    EXPECT_EQ(client->StatusText(7), "Modified");
}

TEST_F(DocumentWindowTest, TheColourPickerTakesColoursWithoutModifying)
{
    auto& surface = const_cast<TPaintSurface&>(client->Picture());
    surface.SetPixel(6, 6, Qt::blue);
    client->SelectTool(ActionId::GetColorButton);
    Send(QEvent::MouseButtonPress, QPoint(5, 5));  // pixel 7 less one
    Send(QEvent::MouseButtonPress, QPoint(10, 10), Qt::RightButton);
    EXPECT_EQ(client->Picture().state.penColor, QColor(Qt::blue));
    EXPECT_EQ(client->Picture().state.brushColor, QColor(Qt::white));
    EXPECT_EQ(client->StatusText(7), "");
    EXPECT_FALSE(client->CanUndo());
    Send(QEvent::MouseMove, QPoint(5, 5));
    EXPECT_EQ(client->StatusText(0), "X:7");
    EXPECT_EQ(client->StatusText(2), "Color:clWhite");
    EXPECT_EQ(ColorName(0x00FF0000), "clBlue");
    EXPECT_EQ(ColorName(0x00123456), "$00123456");
}

TEST_F(DocumentWindowTest, SelectingWhileZoomedIsRefused)
{
    client->Zoom(ActionId::Scale100B);
    Drag(ActionId::SelectButton, QPoint(4, 4), QPoint(30, 30));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, kRealSizeMessage);
    EXPECT_EQ(prompts.shown[0].caption, "Error!");
    EXPECT_FALSE(client->HasSelection());
    EXPECT_EQ(client->StatusText(7), "");
    EXPECT_EQ(Pixel(10, 10), kWhite);  // the rubber band is gone
}

TEST_F(DocumentWindowTest, CutPasteAndUndoFollowTheSelection)
{
    auto& surface = const_cast<TPaintSurface&>(client->Picture());
    surface.SetPixel(4, 4, Qt::red);
    // Cut without a selection: the whole frame to the clipboard, all white.
    client->CutSelection();
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(20, 20));
    EXPECT_EQ(Pixel(4, 4), kWhite);
    client->UndoEdit();
    EXPECT_EQ(Pixel(4, 4), 0xFF0000u);
    EXPECT_FALSE(client->CanUndo());  // one level: Undo disables itself
    client->RedoEdit();
    EXPECT_EQ(Pixel(4, 4), kWhite);
    client->UndoEdit();

    // A selection that was not moved: cut leaves the picture as it looks.
    Drag(ActionId::SelectButton, QPoint(3, 3), QPoint(7, 7));  // from pixel 3 to widget 7
    ASSERT_TRUE(client->HasSelection());
    client->CutSelection();
    EXPECT_EQ(Pixel(4, 4), 0xFF0000u);
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(4, 4));

    // A larger picture pasted grows the frame and floats at the top-left;
    // undo restores the picture before it and stamps the paste on it.
    QImage big(30, 25, QImage::Format_RGB32);
    big.fill(Qt::green);
    QApplication::clipboard()->setImage(big);
    client->PasteBitmap();
    EXPECT_EQ(client->Picture().Width(), 30);
    EXPECT_EQ(client->Picture().Height(), 25);
    EXPECT_EQ(client->SelectionPanel().topLeft(), QPoint(-1, -1));
    client->UndoEdit();  // the picture before the paste is 20 x 20 again
    EXPECT_FALSE(client->HasSelection());
    EXPECT_EQ(client->Picture().Width(), 20);
    EXPECT_EQ(client->PanelSize(), QSize(28, 28));
    EXPECT_EQ(Pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(Pixel(19, 19), 0x00FF00u);
}

TEST_F(DocumentWindowTest, TheCloseQuestionHasThreeAnswers)
{
    const std::vector<uint8_t> before = FramePixels(1);
    Drag(ActionId::QuadButton, QPoint(2, 2), QPoint(10, 10));
    QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(client->parentWidget());
    ASSERT_NE(sub, nullptr);

    prompts.answers.push_back(PromptAnswer::Cancel);
    EXPECT_FALSE(sub->close());
    EXPECT_EQ(prompts.shown.back().text, kFrameModifiedQuestion);
    EXPECT_NE(window->Windows().Find(WindowKind::Document), nullptr);

    prompts.answers.push_back(PromptAnswer::No);
    EXPECT_TRUE(sub->close());
    EXPECT_EQ(window->Windows().Find(WindowKind::Document), nullptr);
    EXPECT_EQ(FramePixels(1), before);  // nothing written

    client = window->OpenDocumentWindow();
    paint = client->findChild<QWidget*>("FramePaint");
    Drag(ActionId::QuadButton, QPoint(2, 2), QPoint(10, 10));
    prompts.answers.push_back(PromptAnswer::Yes);
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(client->parentWidget())->close());
    EXPECT_NE(FramePixels(1), before);
}

TEST_F(DocumentWindowTest, SavedFramesReachTheFileAndFollowTheirFrame)
{
    client->SetBrushColor(Qt::red);
    Drag(ActionId::QuadButton, QPoint(2, 2), QPoint(10, 10));  // pixels 1..14
    // Frame 0 goes: the window still writes into the frame it was opened on.
    project->SetCurrentFrame(0);
    prompts.answers.push_back(PromptAnswer::Ok);
    commands::DeleteFrame(*project);
    EXPECT_EQ(client->FrameIndex(), 0);
    ASSERT_TRUE(client->SaveFrame());
    EXPECT_EQ(client->StatusText(7), "");

    const QString path = TempPath("painted.gif");
    project->SetFileName(path);
    ASSERT_TRUE(commands::Save(*project));
    TGIFImage saved;
    saved.LoadFromFile(path.toStdString());
    const TBitmap* picture = saved.Images().SubImage(0)->RenderedBitmap();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->PixelColor(2, 2), 0x000000u);  // widget 2 maps to pixel 3, less one
    EXPECT_EQ(picture->PixelColor(5, 5), 0x0000FFu);  // red, low byte first
    EXPECT_EQ(picture->PixelColor(18, 18), 0xFFFFFFu);
    TMemoryStream bytes;
    saved.SaveToStream(bytes);
    ExpectGiflibReadsTheSame(saved, bytes.Bytes(), "painted");

    // Once the frame is gone the picture may become a new frame.
    project->SetCurrentFrame(0);
    prompts.answers.push_back(PromptAnswer::Ok);
    commands::DeleteFrame(*project);
    EXPECT_EQ(client->FrameIndex(), -1);
    prompts.answers.push_back(PromptAnswer::Yes);
    ASSERT_TRUE(client->SaveFrame());
    EXPECT_EQ(project->FrameCount(), 2);
    EXPECT_EQ(client->FrameIndex(), 1);
}

TEST_F(DocumentWindowTest, ATrueColourPasteIsReducedToAPalette)
{
    QImage gradient(20, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            gradient.setPixel(x, y, qRgb(x * 12, y * 12, (x + y) * 6));  // 400 colours
    QApplication::clipboard()->setImage(gradient);
    client->PasteBitmap();
    ASSERT_TRUE(client->SaveFrame());
    const TGIFSubImage& frame = DocumentFrame(1);
    EXPECT_EQ(frame.Width(), 20);
    EXPECT_LE(const_cast<TGIFSubImage&>(frame).ActiveColorMap().Count(), 256);
    EXPECT_GT(const_cast<TGIFSubImage&>(frame).ActiveColorMap().Count(), 16);
}

TEST_F(DocumentWindowTest, TheOnionSkinIsNeverPaintedIn)
{
    window->Action(ActionId::OnionSkin1)->setChecked(true);
    EXPECT_TRUE(client->OnionSkin());
    EXPECT_EQ(client->PreviousFrame().size(), QSize(20, 20));  // frame 0, under frame 1
    const QImage before = client->Picture().Snapshot();
    client->grab();  // shows both
    EXPECT_EQ(client->Picture().Snapshot(), before);
    ASSERT_TRUE(client->SaveFrame());
    EXPECT_EQ(DocumentFrame(1).RenderedBitmap()->PixelColor(5, 5), 0xFFFFFFu);
}

} // namespace
} // namespace animora::test
