// The project life cycle through the main window and the scripted prompts:
// create, open, step, add, delete, save and the question before closing.
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include "app/EditorFixture.h"
#include "app/FrameRendering.h"
#include "app/ProjectFiles.h"
#include "app/dialogs/CreateGIFForm.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace animora::test {
namespace {

TEST_F(EditorTest, CreateDialogCannotBeLeftWhileTheCountIsBelowOne)
{
    TCreateGIFForm form(prompts);
    auto* count = form.findChild<QLineEdit*>("FrameCountEdit");
    struct Case {
        const char* count;
        const char* message;  // null: the dialog closes
    } cases[] = {{"0", "Frame count<1."}, {"-3", "Frame count<1."}, {"x", "'x' is not a valid integer value"},
                 {"1", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        form.show();
        count->setText(c.count);
        form.reject();  // Cancel and the close box both end here
        if (c.message) {
            EXPECT_TRUE(form.isVisible());
            ASSERT_EQ(prompts.shown.size(), 1u);
            EXPECT_EQ(prompts.shown[0].text, c.message);
            EXPECT_EQ(prompts.shown[0].caption, QString(c.message[0] == 'F' ? "Error!" : "Animora Pro"));
        } else {
            EXPECT_FALSE(form.isVisible());
            EXPECT_TRUE(prompts.shown.empty());
        }
        prompts.shown.clear();
    }
}

TEST_F(EditorTest, CreateRefusesAZeroSizeAndKeepsTheProject)
{
    Create(2, 30, 20);
    for (const auto& fields : {CreateGifFields{"2", "0", "100"}, CreateGifFields{"2", "100", "0"},
                               CreateGifFields{"2", "abc", "100"}}) {
        prompts.Answer<CreateGifQuestion>(fields);
        commands::Create(*project);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].text, "One of parameter = 0.");
        EXPECT_EQ(prompts.shown[0].caption, "Error!");
        prompts.shown.clear();
        EXPECT_EQ(project->FrameCount(), 2);
        EXPECT_EQ(DocumentFrame(0).Width(), 30);
    }
}

TEST_F(EditorTest, CreateRefusesMoreFramesThanMemoryHoldsBeforeClosingTheProject)
{
    Create(2, 30, 20);
    prompts.Answer<CreateGifQuestion>(CreateGifFields{"100000", "4000", "4000"});
    window->Action(ActionId::Create1)->trigger();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.startsWith("The new project would need too much memory"));
    EXPECT_EQ(project->FrameCount(), 2);
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: New Gif");
}

TEST_F(EditorTest, CreateMakesBlankWhiteFrames)
{
    Create(3, 40, 30);
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: New Gif");
    EXPECT_EQ(FrameListItems(), Numbers(3));
    EXPECT_TRUE(project->IsOpen());
    EXPECT_TRUE(project->FileName().isEmpty());
    for (int i = 0; i < 3; ++i) {
        const QImage picture = RenderFrameImage(DocumentFrame(i));
        ASSERT_EQ(picture.size(), QSize(40, 30));
        EXPECT_EQ(picture.pixel(39, 29), qRgb(255, 255, 255));
    }
    EXPECT_NE(DocumentFrame(0).Data(), DocumentFrame(1).Data());
}

TEST_F(EditorTest, OpeningACorpusGifShowsItsFrames)
{
    const QString path = Corpus("muybridge.gif");
    QStringList progress;
    QObject::connect(project.get(), &Project::progress, [&](int, const QString& message) { progress << message; });
    commands::OpenProject(*project, path);
    EXPECT_TRUE(progress.contains("Loading...")) << progress.join(",").toStdString();
    EXPECT_EQ(window->StatusText(0), "Ready");
    EXPECT_EQ(window->findChild<QProgressBar*>("ProgressBar")->value(), 0);
    const int count = project->FrameCount();
    ASSERT_GT(count, 1);
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: muybridge.gif");
    EXPECT_EQ(FrameListItems(), Numbers(count));
    EXPECT_EQ(FrameList()->currentText(), "1");
    EXPECT_EQ(project->CurrentFrame(), 0);
    EXPECT_EQ(window->StatusText(1), QStringLiteral(" Frame 1 of %1").arg(count));
    EXPECT_EQ(project->PreviewCopy()->Images().Count(), count);
    EXPECT_TRUE(window->Action(ActionId::Save1)->isEnabled());
    EXPECT_TRUE(window->Action(ActionId::Exchange1)->isEnabled());
    EXPECT_EQ(project->Recent().Entries(), QStringList{QFileInfo(path).absoluteFilePath()});
    EXPECT_FALSE(window->findChild<QLabel*>("FrameImage")->pixmap().isNull());

    commands::CloseProject(*project);
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro");
    EXPECT_FALSE(window->Action(ActionId::Save1)->isEnabled());
}

TEST_F(EditorTest, FilesThatCannotOpenLeaveTheProjectAlone)
{
    Create(2, 8, 8);
    struct Case {
        const char* name;
        const char* messageStart;
    } cases[] = {{"missing.avi", "Failed to open AVI file"},
                 {"notes.txt", "Unknown picture file extension (.txt)"}};
    for (const Case& c : cases) {
        prompts.fileNames.push_back(TempPath(c.name));
        window->Action(ActionId::Open1)->trigger();
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_TRUE(prompts.shown[0].text.startsWith(c.messageStart)) << prompts.shown[0].text.toStdString();
        prompts.shown.clear();
        EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: New Gif");
        EXPECT_EQ(project->FrameCount(), 2);
        EXPECT_TRUE(project->FileName().isEmpty());
    }
}

TEST_F(EditorTest, OpeningPicturesMakesOneFrameProjects)
{
    struct Case {
        const char* file;
        int width;
        int height;
    } cases[] = {{"bmpsuite/pal8.bmp", 127, 64}, {"pictures/hat.jpeg", 0, 0}, {"pictures/hippopotamus.regular.ico", 36, 28}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = QString::fromStdString((TestDataDir() / c.file).string());
        commands::OpenProject(*project, path);
        EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: " + QFileInfo(path).fileName());
        ASSERT_EQ(project->FrameCount(), 1);
        EXPECT_EQ(FrameListItems(), Numbers(1));
        if (c.width > 0) {
            EXPECT_EQ(DocumentFrame(0).Width(), c.width);
            EXPECT_EQ(DocumentFrame(0).Height(), c.height);
        }
        EXPECT_FALSE(window->findChild<QLabel*>("FrameImage")->pixmap().isNull());
    }
}

TEST_F(EditorTest, ADamagedPictureIsReportedWithTheLoadersMessage)
{
    QFile file(TempPath("broken.bmp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM this is no bitmap");
    file.close();
    prompts.fileNames.push_back(file.fileName());
    window->Action(ActionId::Open1)->trigger();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Bitmap image is not valid");
}

TEST_F(EditorTest, NextAndPreviousWrapAround)
{
    Create(5, 8, 8);
    struct Case {
        int from;
        void (*step)(Project&);
        int to;
    } cases[] = {{4, commands::NextFrame, 0}, {0, commands::PreviousFrame, 4}, {2, commands::NextFrame, 3},
                 {2, commands::PreviousFrame, 1}};
    for (const Case& c : cases) {
        project->SetCurrentFrame(c.from);
        c.step(*project);
        EXPECT_EQ(project->CurrentFrame(), c.to);
        EXPECT_EQ(FrameList()->currentText(), QString::number(c.to + 1));
    }
}

TEST_F(EditorTest, DeleteStepsToTheNextFrame)
{
    commands::OpenProject(*project, Corpus("muybridge.gif"));
    const int count = project->FrameCount();
    ASSERT_GE(count, 5);
    struct Case {
        int current;
        int expectedOldIndex;  // the frame shown afterwards, by its index before the deletion
    } cases[] = {{2, 4}, {count - 2, 0}};
    for (const Case& c : cases) {
        commands::OpenProject(*project, Corpus("muybridge.gif"));
        const auto expected = FramePixels(c.expectedOldIndex);
        project->SetCurrentFrame(c.current);
        prompts.answers.push_back(PromptAnswer::Ok);
        commands::DeleteFrame(*project);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].text, "Are you sure that you want delete this frame?");
        EXPECT_EQ(prompts.shown[0].caption, "Warning");
        prompts.shown.clear();
        EXPECT_EQ(project->FrameCount(), count - 1);
        EXPECT_EQ(FrameListItems(), Numbers(count - 1));
        EXPECT_EQ(FramePixels(project->CurrentFrame()), expected);
        EXPECT_EQ(project->PreviewCopy()->Images().Count(), count - 1);
    }
}

TEST_F(EditorTest, DeleteAtTheEndShowsTheFirstFrameAndCancelKeepsAll)
{
    Create(3, 8, 8);
    project->SetCurrentFrame(1);
    prompts.answers.push_back(PromptAnswer::Cancel);
    commands::DeleteFrame(*project);
    EXPECT_EQ(project->FrameCount(), 3);

    project->SetCurrentFrame(2);
    prompts.answers.push_back(PromptAnswer::Ok);
    commands::DeleteFrame(*project);
    EXPECT_EQ(project->FrameCount(), 2);
    EXPECT_EQ(project->CurrentFrame(), 0);
}

TEST_F(EditorTest, AddFrameCopiesTheLastOrMakesABlankOne)
{
    Create(1, 40, 30);
    commands::AddFrame(*project);
    EXPECT_EQ(project->FrameCount(), 2);
    EXPECT_EQ(project->CurrentFrame(), 1);
    EXPECT_EQ(DocumentFrame(1).Width(), 40);
    EXPECT_EQ(DocumentFrame(1).Height(), 30);
    EXPECT_EQ(FrameListItems(), Numbers(2));

    prompts.answers.push_back(PromptAnswer::Ok);
    commands::DeleteFrame(*project);
    ASSERT_EQ(project->FrameCount(), 1);  // the last frame stays
    // A project without frames (a GIF file may hold none) gets a blank one.
    project->Close();
    project->Open("empty", [](TGIFImage&) {});
    ASSERT_EQ(project->FrameCount(), 0);
    EXPECT_TRUE(FrameListItems().isEmpty());
    commands::AddFrame(*project);
    ASSERT_EQ(project->FrameCount(), 1);
    const QImage picture = RenderFrameImage(DocumentFrame(0));
    EXPECT_EQ(picture.size(), QSize(10, 10));
    EXPECT_EQ(picture.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(FrameListItems(), Numbers(1));
}

TEST_F(EditorTest, FrameOptionResizesThePreviewPictureOnly)
{
    Create(2, 40, 30);
    project->SetCurrentFrame(1);
    prompts.Answer<FrameSizeQuestion>(std::nullopt);
    prompts.Answer<FrameSizeQuestion>(QSize(20, 50));
    for (int i = 0; i < 2; ++i)
        window->Action(ActionId::Frameoption1)->trigger();
    const auto requests = prompts.Asked<FrameSizeQuestion>();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].current, QSize(40, 30));
    const TBitmap* picture = project->PreviewCopy()->Images().SubImage(1)->RenderedBitmap();
    EXPECT_EQ(picture->Width(), 20);
    EXPECT_EQ(picture->Height(), 50);
    EXPECT_EQ(window->findChild<QLabel*>("FrameImage")->pixmap().size(), QSize(20, 50));
    EXPECT_EQ(DocumentFrame(1).Width(), 40);  // the document keeps its frame

    commands::AddFrame(*project);  // a refresh of the preview copy drops the change
    EXPECT_EQ(project->PreviewCopy()->Images().SubImage(1)->RenderedBitmap()->Width(), 40);
}

TEST_F(EditorTest, AddFrameCopiesTheColoursOfACorpusFrame)
{
    commands::OpenProject(*project, Corpus("animated-red-blue.gif"));
    const int last = project->FrameCount() - 1;
    const QImage lastPicture = RenderFrameImage(DocumentFrame(last));
    commands::AddFrame(*project);
    const QImage added = RenderFrameImage(DocumentFrame(last + 1));
    ASSERT_EQ(added.size(), lastPicture.size());
    for (int y = 0; y < added.height(); y += 3) {
        for (int x = 0; x < added.width(); x += 3) {
            if (qAlpha(lastPicture.pixel(x, y)) != 0) {
                ASSERT_EQ(added.pixel(x, y), lastPicture.pixel(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(EditorTest, OptimizeColorMapGivesThePreviewCopyOneGlobalMapThatSaveWrites)
{
    // Two frames of different colours, each with a map of its own.
    TGIFImage source;
    for (TColor colour : {TColor{0x0000FF}, TColor{0xFF0000}}) {
        TBitmap picture = BlankBitmap(6, 4);
        TCanvas(picture).FillRect(Bounds(0, 0, 3, 4), colour);
        source.Add(picture);
    }
    const QString path = TempPath("two-maps.gif");
    source.SaveToFile(path.toStdString());

    window->Action(ActionId::Optimize1)->trigger();  // no project: nothing happens
    commands::OpenProject(*project, path);
    ASSERT_EQ(project->FrameCount(), 2);
    const QImage before = RenderFrameImage(*project->PreviewCopy()->Images().SubImage(1));
    window->Action(ActionId::Optimize1)->trigger();

    const TGIFImage& preview = *project->PreviewCopy();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(preview.Images().SubImage(i)->ColorMap().Count(), 0) << i;
    EXPECT_GE(preview.Header().ColorMap().Count(), 3);  // white, red, blue
    EXPECT_EQ(RenderFrameImage(*preview.Images().SubImage(1)), before);
    EXPECT_GT(DocumentFrame(1).ColorMap().Count(), 0);  // the document keeps its maps

    ASSERT_TRUE(commands::Save(*project));
    TGIFImage saved;
    saved.LoadFromFile(path.toStdString());
    EXPECT_EQ(saved.Images().SubImage(0)->ColorMap().Count(), 0);
    EXPECT_EQ(RenderFrameImage(*saved.Images().SubImage(1)), before);
}

} // namespace
} // namespace animora::test
