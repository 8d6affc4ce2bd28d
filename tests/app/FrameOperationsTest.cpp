// Exchange, move, import, export, the map of the GIF, and the refusal to
// delete a GIF's only frame.
#include "EditorFixture.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>

#include "app/ProjectFiles.h"
#include "app/commands/FrameFileCommands.h"
#include "app/dialogs/FramePairForm.h"
#include "app/dialogs/OpenPictureDialog.h"
#include "app/map/MapForm.h"
#include "formats/FormatsTestSupport.h"
#include "platform/Canvas.h"
#include "support/GiflibFrame.h"

namespace animora::test {
namespace {

class FrameOperationsTest : public EditorTest {
protected:
    // Five 8 x 8 frames, frame i (from 0) filled with grey level 51 * i
    // (levels every reduction keeps).
    void SetUp() override
    {
        EditorTest::SetUp();
        project->Close();
        project->Open("five", [](TGIFImage& document) {
            for (int i = 0; i < 5; ++i) {
                TBitmap picture(8, 8, PixelFormat::pf24bit);
                TCanvas(picture).FillRect({0, 0, 8, 8}, MakeColor(uint8_t(51 * i), uint8_t(51 * i), uint8_t(51 * i)));
                document.Add(picture);
            }
        });
    }
    // Each frame's grey level / 51, as the frames of `image` show them.
    static std::vector<int> Order(const TGIFImage& image)
    {
        std::vector<int> order;
        for (int i = 0; i < image.Images().Count(); ++i)
            order.push_back(int(image.Images().SubImage(i)->RenderedBitmap()->PixelColor(4, 4) & 0xFF) / 51);
        return order;
    }
    std::vector<int> SavedOrder()
    {
        const QString path = TempPath("saved.gif");
        project->SetFileName(path);
        EXPECT_TRUE(commands::Save(*project));
        TGIFImage saved;
        saved.LoadFromFile(path.toStdString());
        return Order(saved);
    }
};

TEST_F(FrameOperationsTest, ExchangeAndMoveCheckTheirRanges)
{
    struct Case {
        bool move;
        FramePairFields fields;
        const char* message;  // null: the frames change
    } cases[] = {
        {false, {"0", "2"}, "First parameter falls outside the limits allowable values."},
        {false, {"1", "6"}, "Second parameter falls outside the limits allowable values."},
        {true, {"0", "0"}, "Current parameter falls outside the limits allowable values."},
        {true, {"6", "1"}, "Current parameter falls outside the limits allowable values."},
        {true, {"2", "0"}, "New parameter falls outside the limits allowable values."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        if (c.move)
            prompts.Answer<MoveFrameQuestion>(c.fields);
        else
            prompts.Answer<ExchangeQuestion>(c.fields);
        c.move ? commands::MoveFrame(*project) : commands::ExchangeFrames(*project);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].text, c.message);
        EXPECT_EQ(prompts.shown[0].caption, "Error!");
        prompts.shown.clear();
        EXPECT_EQ(Order(*project->Document()), (std::vector<int>{0, 1, 2, 3, 4}));
    }
    // The move dialog starts at 0: OK without typing is out of range.
    TMoveFrameForm form;
    EXPECT_EQ(form.Fields().first, "0");
    EXPECT_EQ(form.Fields().second, "0");
}

TEST_F(FrameOperationsTest, MoveAndExchangeReachTheSavedFile)
{
    prompts.Answer<MoveFrameQuestion>(FramePairFields{"2", "4"});
    window->Action(ActionId::Moveframe1)->trigger();
    EXPECT_EQ(SavedOrder(), (std::vector<int>{0, 2, 3, 1, 4}));
    prompts.Answer<ExchangeQuestion>(FramePairFields{"1", "5"});
    window->Action(ActionId::Exchange1)->trigger();
    EXPECT_EQ(SavedOrder(), (std::vector<int>{4, 2, 3, 1, 0}));
}

TEST_F(FrameOperationsTest, ImportReplacesOnlyTheCurrentFrame)
{
    WmfBuilder wmf;
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {30, 20}).Record(0x041B, {15, 25, 5, 5});
    const QString metafile = TempPath("shape.wmf");
    {
        QFile file(metafile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const auto bytes = wmf.Placeable(0, 0, 30, 20, 96);
        file.write(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    const auto picture = [](const char* name) { return QString::fromStdString((TestDataDir() / "pictures" / name).string()); };
    const struct {
        QString path;
        QSize size;
    } pictures[] = {{picture("hat.bmp"), {}}, {picture("mona-lisa.21x32.q50.jpeg"), {21, 32}},
                    {picture("hippopotamus.regular.ico"), {}}, {metafile, {30, 20}}};
    project->SetCurrentFrame(1);
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.path.toStdString());
        const std::vector<uint8_t> others[] = {FramePixels(0), FramePixels(2)};
        prompts.Answer<OpenPictureQuestion>(p.path);
        window->Action(ActionId::Insertfromfile1)->trigger();
        EXPECT_TRUE(prompts.shown.empty()) << (prompts.shown.empty() ? "" : prompts.shown[0].text.toStdString());
        EXPECT_NE(DocumentFrame(1).Width(), 8);
        if (p.size.isValid()) {
            EXPECT_EQ(QSize(DocumentFrame(1).Width(), DocumentFrame(1).Height()), p.size);
        }
        EXPECT_EQ(FramePixels(0), others[0]);
        EXPECT_EQ(FramePixels(2), others[1]);
    }
    // A picture that cannot be read leaves the frame as it was.
    const std::vector<uint8_t> before = FramePixels(1);
    prompts.Answer<OpenPictureQuestion>(TempPath("missing.bmp"));
    window->Action(ActionId::Insertfromfile1)->trigger();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(FramePixels(1), before);
    EXPECT_FALSE(PicturePreview(picture("hat.jpeg"), QSize(50, 50)).isNull());
}

TEST_F(FrameOperationsTest, ExportWritesWhatOtherProgramsRead)
{
    project->SetCurrentFrame(3);  // grey 153
    for (const char* name : {"frame.gif", "frame.jpg", "frame.bmp"}) {
        SCOPED_TRACE(name);
        const QString path = TempPath(name);
        prompts.fileNames.push_back(path);
        window->Action(ActionId::Export1)->trigger();
        ASSERT_TRUE(QFile::exists(path));
        if (QString(name).endsWith(".gif")) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            std::string error;
            const auto frames = DecodeAllWithGiflib(std::vector<uint8_t>(bytes.begin(), bytes.end()), error);
            ASSERT_EQ(frames.size(), 1u) << error;
            EXPECT_EQ(frames[0].size(), 64u);
            continue;
        }
        // djpeg and ImageMagick describe the picture they read.
        QProcess reader;
        if (QString(name).endsWith(".jpg"))
            reader.start("djpeg", {"-pnm", path});
        else
            reader.start("convert", {path, "-format", "%w %h %[fx:int(255*p{4,4}.r)]", "info:"});
        ASSERT_TRUE(reader.waitForFinished(30000));
        const QByteArray out = reader.readAllStandardOutput();
        if (QString(name).endsWith(".jpg"))
            EXPECT_TRUE(out.startsWith("P6\n8 8\n255\n") || out.startsWith("P5\n8 8\n255\n")) << out.left(20).toStdString();
        else
            EXPECT_EQ(out, "8 8 153");
    }
}

TEST_F(FrameOperationsTest, TheOnlyFrameIsNotDeleted)
{
    for (int i = 0; i < 4; ++i) {
        prompts.answers.push_back(PromptAnswer::Ok);
        commands::DeleteFrame(*project);
    }
    ASSERT_EQ(project->FrameCount(), 1);
    prompts.shown.clear();
    commands::DeleteFrame(*project);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, commands::kOnlyFrameMessage);
    EXPECT_EQ(project->FrameCount(), 1);

    TMapForm* map = window->OpenMap();
    prompts.shown.clear();
    map->List()->setCurrentRow(0);
    map->DeleteClick();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Can not delete frame. Frame count=1.");
    EXPECT_EQ(map->List()->count(), 1);
    EXPECT_EQ(map->List()->item(0)->text(), "Frame 1");
}

TEST_F(FrameOperationsTest, TheMapReordersAddsAndKeepsItsThumbnails)
{
    TMapForm* map = window->OpenMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->List()->count(), 5);
    EXPECT_EQ(map->List()->currentRow(), 1);  // the second entry after showing
    EXPECT_TRUE(map->ImageView()->pixmap().isNull());
    EXPECT_EQ(window->OpenMap(), map);  // one map at a time

    map->List()->grab();  // draws every entry
    EXPECT_EQ(map->ThumbnailsMade(), 5);
    map->MoveEntry(0, 2);  // the first entry dropped on the third
    EXPECT_EQ(Order(*project->Document()), (std::vector<int>{1, 2, 0, 3, 4}));
    EXPECT_EQ(map->List()->item(2)->text(), "Frame 3");
    map->List()->grab();  // the thumbnails moved with their frames
    EXPECT_EQ(map->ThumbnailsMade(), 5);

    prompts.Answer<OpenPictureQuestion>(QString::fromStdString((TestDataDir() / "pictures" / "hat.bmp").string()));
    map->AddClick();
    EXPECT_EQ(map->List()->count(), 6);
    EXPECT_EQ(map->List()->item(5)->text(), "Frame 6");
    EXPECT_EQ(FrameList()->count(), 6);  // the preview's list follows
}

TEST_F(FrameOperationsTest, DroppedFilesOpenOrBecomeFrames)
{
    const QString hat = QString::fromStdString((TestDataDir() / "pictures" / "hat.bmp").string());
    TMapForm* map = window->OpenMap();
    map->AddDropped({hat, hat}, 1);  // two pictures dropped on the second entry
    EXPECT_EQ(project->FrameCount(), 7);
    EXPECT_EQ(DocumentFrame(1).Width(), DocumentFrame(2).Width());
    EXPECT_NE(DocumentFrame(1).Width(), 8);
    EXPECT_EQ(Order(*project->Document())[3], 1);  // the old second frame moved on

    // On the main window: "Save changes?" first; No opens the dropped file.
    prompts.answers.push_back(PromptAnswer::No);
    window->OpenDropped(hat);
    EXPECT_EQ(prompts.shown.back().text, "Save changes?");
    EXPECT_EQ(project->FrameCount(), 1);
    EXPECT_TRUE(project->FileName().endsWith("hat.bmp"));
}

} // namespace
} // namespace animora::test
