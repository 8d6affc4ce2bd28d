// Saving by extension, the question before the editor closes, warnings
// while loading, and the recent projects.
#include <QFile>
#include <QFileInfo>

#include "app/CommandGuard.h"
#include "app/EditorFixture.h"
#include "app/FrameRendering.h"
#include "platform/Bitmap.h"
#include "platform/Stream.h"

#include "formats/JPEGImage.h"

namespace animora::test {
namespace {

// Saves the open project as `path` through Save as.
QString SaveAsIn(ScriptedPrompts& prompts, Project& project, const QString& path)
{
    prompts.fileNames.push_back(path);
    commands::SaveAs(project);
    return path;
}

TEST_F(EditorTest, SaveAsGifWritesTheProjectAndReadsBackEqual)
{
    commands::OpenProject(*project, Corpus("animated-red-blue.gif"));
    const QString path = SaveAsIn(prompts, *project, TempPath("copy.gif"));
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: copy.gif");
    EXPECT_EQ(project->FileName(), path);
    EXPECT_EQ(prompts.fileRequests.back().filter, commands::kSaveFilter);

    TGIFImage reread;
    reread.LoadFromFile(path.toStdString());
    ASSERT_EQ(reread.Images().Count(), project->FrameCount());
    for (int i = 0; i < reread.Images().Count(); ++i)
        EXPECT_EQ(RenderFrameImage(*reread.Images().SubImage(i)), RenderFrameImage(DocumentFrame(i))) << i;

    // A project opened from a file saves back to it in its own format.
    commands::OpenProject(*project, path);
    commands::DeleteFrame(*project);  // cancelled: nothing queued
    ASSERT_TRUE(commands::Save(*project));
    TGIFImage again;
    again.LoadFromFile(path.toStdString());
    EXPECT_EQ(again.Images().Count(), reread.Images().Count());
}

TEST_F(EditorTest, SaveAsBitmapWritesTheFirstFrameOnTheScreen)
{
    Create(2, 24, 16);
    const QString path = SaveAsIn(prompts, *project, TempPath("picture.bmp"));
    TBitmap bitmap;
    bitmap.LoadFromFile(path.toStdString());
    EXPECT_EQ(bitmap.Width(), 24);
    EXPECT_EQ(bitmap.Height(), 16);
    EXPECT_EQ(bitmap.PixelColor(23, 15) & 0xFFFFFF, 0xFFFFFFu);

    commands::OpenProject(*project, Corpus("animated-red-blue.gif"));
    SaveAsIn(prompts, *project, path);
    bitmap.LoadFromFile(path.toStdString());
    const TBitmap& shown = *project->PreviewCopy()->FirstFrameBitmap();
    ASSERT_EQ(bitmap.Width(), shown.Width());
    ASSERT_EQ(bitmap.Height(), shown.Height());
    for (int y = 0; y < shown.Height(); ++y)
        for (int x = 0; x < shown.Width(); ++x)
            ASSERT_EQ(bitmap.PixelColor(x, y) & 0xFFFFFF, shown.PixelColor(x, y) & 0xFFFFFF) << x << "," << y;
    EXPECT_EQ(bitmap.Width(), project->Document()->GetWidth());
}

TEST_F(EditorTest, SaveAsJpegAsksForOptionsAndCancelWritesNothing)
{
    Create(1, 32, 24);
    const QString path = TempPath("picture.jpg");
    prompts.fileNames.push_back(path);
    prompts.Answer<JpegOptionsQuestion>(std::nullopt);
    commands::SaveAs(*project);
    EXPECT_FALSE(QFileInfo::exists(path));

    prompts.Answer<JpegOptionsQuestion>(JpegSaveOptions{75, false, false});
    ASSERT_TRUE(commands::Save(*project));
    const auto bytes = ReadFileBytes(path.toStdString());
    const TBitmap decoded = DecodeJPEG(bytes.data(), bytes.size());
    EXPECT_EQ(decoded.Width(), 32);
    EXPECT_EQ(decoded.Height(), 24);
    EXPECT_GT(decoded.PixelColor(16, 12) & 0xFF, 240u);  // white stays (nearly) white

    // Reopened, the JPEG is a one-frame project that saves back as JPEG.
    commands::OpenProject(*project, path);
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: picture.jpg");
    ASSERT_EQ(project->FrameCount(), 1);
    EXPECT_EQ(DocumentFrame(0).Width(), 32);
    QFile::remove(path);
    prompts.Answer<JpegOptionsQuestion>(JpegSaveOptions{10, true, true});
    ASSERT_TRUE(commands::Save(*project));
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST_F(EditorTest, ClosingAsksSaveChanges)
{
    struct Case {
        const char* name;
        bool named;
        PromptAnswer answer;
        bool saveDialogCancelled;
        bool closes;
        bool written;
    } cases[] = {
        {"yes", true, PromptAnswer::Yes, false, true, true},
        {"no", true, PromptAnswer::No, false, true, false},
        {"cancel", true, PromptAnswer::Cancel, false, false, false},
        {"yes unnamed, dialog cancelled", false, PromptAnswer::Yes, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Create(2, 8, 8);
        const QString path = TempPath("closing.gif");
        if (c.named) {
            SaveAsIn(prompts, *project, path);
            QFile::remove(path);
        }
        prompts.shown.clear();
        prompts.answers.push_back(c.answer);
        if (c.saveDialogCancelled)
            prompts.fileNames.push_back(std::nullopt);
        EXPECT_EQ(window->close(), c.closes);
        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_EQ(prompts.shown[0].text, "Save changes?");
        EXPECT_EQ(prompts.shown[0].caption, "Confirm");
        EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::YesNoCancel);
        EXPECT_EQ(QFileInfo::exists(path), c.written);
        EXPECT_EQ(window->isVisible(), !c.closes);
        QFile::remove(path);
    }
}

TEST_F(EditorTest, ClosingWithoutAProjectAsksNothingAndWritesTheRecentList)
{
    commands::OpenProject(*project, Corpus("hat.gif"));
    commands::CloseProject(*project);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(ReadFileText(TempPath("File.dat").toStdString()),
              QFileInfo(Corpus("hat.gif")).absoluteFilePath().toStdString() + "\n");
}

// A GIF whose frame descriptor says width 0: the reader warns and takes
// the screen's size.
QString WriteGifWithZeroWidthFrame(const QString& path)
{
    TGIFImage image;
    image.Add(BlankBitmap(4, 4));
    TMemoryStream stream;
    image.SaveToStream(stream);
    std::vector<uint8_t> bytes(stream.Size());
    stream.SetPosition(0);
    stream.Read(bytes.data(), bytes.size());
    const auto descriptor = std::find(bytes.begin() + 13, bytes.end(), uint8_t{0x2C});
    EXPECT_NE(descriptor, bytes.end());
    descriptor[5] = 0;  // width 0
    descriptor[6] = 0;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

TEST_F(EditorTest, AWarningAnsweredAbortEndsTheLoad)
{
    const QString path = WriteGifWithZeroWidthFrame(TempPath("zero-width.gif"));
    struct Case {
        PromptAnswer answer;
        bool aborted;
    } cases[] = {{PromptAnswer::Abort, true}, {PromptAnswer::All, true}, {PromptAnswer::Ignore, false}};
    for (const Case& c : cases) {
        prompts.shown.clear();
        for (int i = 0; i < 4; ++i)
            prompts.answers.push_back(c.answer);
        prompts.fileNames.push_back(path);
        window->Action(ActionId::Open1)->trigger();
        ASSERT_GE(prompts.shown.size(), 1u);
        const ShownMessage& warning = prompts.shown.front();
        EXPECT_TRUE(warning.text.startsWith("GIF Message:\nSeverity: Warning\nMessage:  ")) << warning.text.toStdString();
        EXPECT_EQ(warning.caption, "Warning");
        EXPECT_EQ(warning.buttons, PromptButtons::AbortIgnoreAll);
        const ShownMessage& last = prompts.shown.back();
        if (c.aborted) {
            EXPECT_EQ(last.text, "GIF file aborted");
            EXPECT_EQ(last.caption, "Animora Pro");
        } else {
            EXPECT_EQ(last.buttons, PromptButtons::AbortIgnoreAll);
            EXPECT_EQ(project->FrameCount(), 1);
        }
        // Either way the project is open and the frame list matches the image.
        EXPECT_TRUE(project->IsOpen());
        EXPECT_EQ(FrameListItems(), Numbers(project->FrameCount()));
        EXPECT_EQ(project->PreviewCopy()->Images().Count(), project->FrameCount());
        prompts.answers.clear();
    }
}

TEST_F(EditorTest, AMissingRecentFileSaysFileNotFoundAndKeepsTheProject)
{
    Create(2, 8, 8);
    commands::OpenRecent(*project, TempPath("gone.gif"));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "File not found.");
    EXPECT_EQ(prompts.shown[0].caption, "Error!");
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: New Gif");
    EXPECT_EQ(project->FrameCount(), 2);
}

TEST_F(EditorTest, FailuresBecomeAMessageAndTheEditorGoesOn)
{
    EXPECT_FALSE(RunGuarded(prompts, [] { throw std::runtime_error("Something broke"); }));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Something broke");
    EXPECT_EQ(prompts.shown[0].caption, "Animora Pro");
}

} // namespace
} // namespace animora::test
