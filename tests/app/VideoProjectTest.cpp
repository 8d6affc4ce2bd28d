// Videos in the editor: a video opens as the GIF written beside it, the
// project saves as a video, both under a progress window whose Cancel (like
// the overwrite question's, or a damaged video) leaves everything as it was.
#include <QFile>
#include <QFileInfo>

#include "app/EditorFixture.h"
#include "app/History.h"
#include "formats/FormatsTestSupport.h"
#include "gif/AppExtension.h"
#include "gif/GraphicControl.h"

namespace animora::test {
namespace {

class VideoProjectTest : public EditorTest {
protected:
    static void SetUpTestSuite()
    {
        if (!HaveProgram("ffmpeg") || !HaveProgram("ffprobe"))
            GTEST_SKIP() << "ffmpeg and ffprobe are needed";
    }
    QString MakeVideo(const char* name, int rate)
    {
        RunShell("ffmpeg -v error -y -f lavfi -i testsrc2=size=160x120:rate=" + std::to_string(rate) + " -t 1 '" +
                 TempPath(name).toStdString() + "'");
        return TempPath(name);
    }
    void Trigger(ActionId id, const QString& fileName)
    {
        prompts.fileNames.push_back(fileName);
        window->Action(id)->trigger();
    }
    void Write(const char* name, const QByteArray& bytes)
    {
        QFile file(TempPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    std::string Text(const char* name) const { return ReadFileText(TempPath(name).toStdString()); }
};

TEST_F(VideoProjectTest, AVideoOpensAsTheGifBesideItAndTheProjectSavesAsVideo)
{
    Trigger(ActionId::Open1, MakeVideo("clip.mp4", 10));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(project->FileName(), TempPath("clip.gif"));
    EXPECT_EQ(window->windowTitle(), "Zelqo Animora Pro: clip.gif");
    ASSERT_EQ(FrameListItems(), Numbers(10));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(DocumentFrame(i).GraphicControl()->Delay(), 10);
    EXPECT_NE(dynamic_cast<const TGIFAppExtNSLoop*>(DocumentFrame(0).Extensions().Extension(0)), nullptr);
    EXPECT_EQ(prompts.progressShown.at(0).caption, "Open video");
    EXPECT_EQ(prompts.progressPercents.back(), 100);
    // As AVI and MP4 it plays at the GIF's speed, and opens again alike.
    for (const char* name : {"out.avi", "out.mp4"}) {
        Trigger(ActionId::Saveas1, TempPath(name));
        EXPECT_EQ(prompts.progressShown.back().caption, "Save video");
        auto probed = ProbeVideo(TempPath(name).toStdString());
        EXPECT_EQ(probed["nb_read_frames"] + " " + probed["width"] + "x" + probed["height"] + " " +
                      probed["r_frame_rate"], "10 160x120 10/1") << name;
    }
    EXPECT_TRUE(prompts.shown.empty());
    commands::OpenProject(*project, TempPath("out.avi"));
    ASSERT_EQ(project->FrameCount(), 10);
    EXPECT_EQ(DocumentFrame(9).GraphicControl()->Delay(), 10);
    EXPECT_EQ(prompts.progressWindowsUp, 0);
}

TEST_F(VideoProjectTest, CancelOrADamagedVideoLeavesTheProjectAndTheFilesAsTheyWere)
{
    const QString video = MakeVideo("clip.mp4", 25);
    commands::OpenProject(*project, Corpus("animated-red-blue.gif"));
    const std::vector<uint8_t> before = THistory::Encode(*project->Document());
    const QString fileName = project->FileName(), caption = window->windowTitle();
    Write("clip.gif", "old");
    Write("old.webm", "old");
    Trigger(ActionId::Open1, video);  // "File exist. Overwrite" answered Cancel
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text + "|" + prompts.shown[0].caption, "File exist. Overwrite|Attention");
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::OkCancel);
    EXPECT_TRUE(prompts.progressShown.empty());

    // Cancel half-way through the import and through an export over an old
    // file; meanwhile neither closing nor changing the project gets through.
    prompts.shown.clear();
    prompts.cancelAtPercent = 50;
    prompts.duringProgress = [&] {
        EXPECT_FALSE(window->close());
        prompts.Answer<CreateGifQuestion>(CreateGifFields{"1", "8", "8"});
        window->Action(ActionId::Create1)->trigger();
    };
    prompts.answers.push_back(PromptAnswer::Ok);
    Trigger(ActionId::Open1, video);
    EXPECT_EQ(project->FileName() + window->windowTitle(), fileName + caption);
    Trigger(ActionId::Saveas1, TempPath("old.webm"));
    ASSERT_EQ(prompts.progressShown.size(), 2u);
    EXPECT_LT(prompts.progressPercents.back(), 100);
    EXPECT_EQ(Text("clip.gif") + Text("old.webm"), "oldold");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);  // no temporary file left
    EXPECT_EQ(prompts.TakeTexts().last(), kProjectHeld);
    prompts.duringProgress = nullptr;

    // A damaged video and one cut short give their message and write nothing.
    QFile::remove(TempPath("clip.gif"));
    Write("damaged.mp4", "no video at all");
    Write("cut.mp4", QByteArray::fromStdString(Text("clip.mp4")).left(int(QFileInfo(video).size() / 2)));
    for (const char* name : {"damaged.mp4", "cut.mp4"}) {
        Trigger(ActionId::Open1, TempPath(name));
        EXPECT_EQ(prompts.TakeTexts(), QStringList{"Failed to open AVI file"}) << name;
    }
    EXPECT_EQ(QDir(dir.path()).entryList({"*.gif"}, QDir::Files).size(), 0);
    EXPECT_EQ(THistory::Encode(*project->Document()), before);
    EXPECT_EQ(prompts.progressWindowsUp, 0);
}

} // namespace
} // namespace animora::test
