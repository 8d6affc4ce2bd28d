// How the map of the GIF draws its entries: each entry's
// background, its frame stretched into a 20 x 20 thumbnail at the top left
// (transparent pixels white), and "Frame n" 8 pixels right of it, vertically
// centred. The reference is painted here the plain way, pixel by pixel from
// the frame's bitmap and mask, so the map's faster drawing must look the same.
#include "EditorFixture.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

#include "app/FrameRendering.h"
#include "app/map/MapForm.h"

namespace animora::test {
namespace {

QRgb ToQRgb(TColor color)
{
    return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

// The frame alone, its transparent pixels (mask colour not black) cleared.
QImage PlainFramePicture(const TGIFSubImage& frame)
{
    const TBitmap& bitmap = *frame.RenderedBitmap();
    QImage picture(bitmap.Width(), bitmap.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            picture.setPixel(x, y, ToQRgb(bitmap.PixelColor(x, y)));
    if (frame.HasMask()) {
        const TBitmap& mask = *frame.Mask();
        for (int y = 0; y < std::min(picture.height(), mask.Height()); ++y)
            for (int x = 0; x < std::min(picture.width(), mask.Width()); ++x)
                if ((mask.PixelColor(x, y) & 0xFFFFFF) != 0)
                    picture.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
    return picture;
}

QImage PlainThumbnail(const TGIFSubImage& frame)
{
    QImage thumbnail(20, 20, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    QPainter painter(&thumbnail);
    painter.drawImage(thumbnail.rect(),
                      PlainFramePicture(frame).scaled(20, 20, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return thumbnail;
}

class MapWindowTest : public EditorTest {
protected:
    void OpenCorpus(const char* name)
    {
        project->Close();
        const std::string path = Corpus(name).toStdString();
        project->Open(name, [&](TGIFImage& document) { document.LoadFromFile(path); });
    }
};

TEST_F(MapWindowTest, FramesWithTransparencyRenderAsTheirMaskSays)
{
    OpenCorpus("animated-red-blue.gif");
    int masked = 0;
    for (int i = 0; i < project->FrameCount(); ++i) {
        SCOPED_TRACE(i);
        masked += DocumentFrame(i).HasMask();
        EXPECT_EQ(RenderFrameImage(DocumentFrame(i)), PlainFramePicture(DocumentFrame(i)));
    }
    EXPECT_GT(masked, 0);
}

// Thumbnails are made while the list paints; rendering a frame reports
// progress, which the main window shows by repainting its progress bar at
// once. That repaint must not happen inside the list's paint.
TEST_F(MapWindowTest, PaintingInTheEditorRendersFramesSafely)
{
    OpenCorpus("waves.gif");
    TMapForm* map = window->OpenMap();
    ASSERT_NE(map, nullptr);
    static int brokenPaints = 0;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        brokenPaints += text.contains("active painter");
    });
    QApplication::processEvents();  // the window paints, as on screen
    map->List()->viewport()->repaint();
    qInstallMessageHandler(previous);
    EXPECT_GT(map->ThumbnailsMade(), 0);
    EXPECT_EQ(brokenPaints, 0);
}

// A project closed while the map is open empties it and turns its buttons
// off; the next one opened fills it as when the window opens.
TEST_F(MapWindowTest, TheMapFollowsTheProject)
{
    OpenCorpus("animated-red-blue.gif");
    TMapForm* map = window->OpenMap();
    map->List()->setCurrentRow(2);
    map->ShowSelected();
    auto* add = map->findChild<QPushButton*>("InsertButton");
    project->Close();
    EXPECT_EQ(map->List()->count(), 0);
    EXPECT_TRUE(map->ImageView()->pixmap().isNull());
    EXPECT_FALSE(add->isEnabled());
    OpenCorpus("waves.gif");
    EXPECT_EQ(window->OpenMap(), map);
    EXPECT_EQ(map->List()->count(), 10);
    EXPECT_EQ(map->List()->currentRow(), 1);
    EXPECT_TRUE(map->ImageView()->pixmap().isNull());
    EXPECT_TRUE(add->isEnabled());

    // The view follows a change of the frame it shows; a deleted last entry
    // leaves the one before it selected.
    map->List()->setCurrentRow(9);
    map->ShowSelected();
    prompts.answers.push_back(PromptAnswer::Ok);
    map->DeleteClick();
    EXPECT_EQ(map->List()->currentRow(), 8);
    EXPECT_EQ(map->ImageView()->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
              RenderFrameImage(DocumentFrame(8)));
}

TEST_F(MapWindowTest, EntriesShowThumbnailAndNumber)
{
    for (const char* name : {"animated-red-blue.gif", "waves.gif"}) {
        SCOPED_TRACE(name);
        OpenCorpus(name);
        TMapForm* map = window->OpenMap();
        ASSERT_NE(map, nullptr);
        QListWidget* list = map->List();
        ASSERT_EQ(list->count(), project->FrameCount());
        list->setCurrentRow(1);
        const QImage shown = list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);

        QImage expected(shown.size(), QImage::Format_RGB32);
        const QPalette palette = list->palette();
        expected.fill(palette.color(QPalette::Base));
        QPainter painter(&expected);
        painter.setFont(list->font());
        for (int row = 0; row < list->count(); ++row) {
            const QRect rect = list->visualItemRect(list->item(row));
            const bool selected = row == list->currentRow();
            painter.fillRect(rect, palette.brush(selected ? QPalette::Highlight : QPalette::Base));
            painter.drawImage(rect.topLeft() + QPoint(1, 1), PlainThumbnail(DocumentFrame(row)));
            painter.setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
            painter.drawText(rect.adjusted(28, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                             QStringLiteral("Frame %1").arg(row + 1));
        }
        painter.end();
        EXPECT_EQ(shown, expected);
        // The full-size view shows the selected frame as rendered.
        map->ShowSelected();
        EXPECT_EQ(map->ImageView()->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                  RenderFrameImage(DocumentFrame(1)));
    }
}

} // namespace
} // namespace animora::test
