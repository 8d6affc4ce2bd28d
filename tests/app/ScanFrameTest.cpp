// A real scan end to end: the editor's Scan command, and
// the map's Scan and Create&Scan, through libsane and SANE's own test backend
// (ScanningTest covers the scanner window alone). The scanned picture lands
// in the frame with the test pattern's size; a cancelled scan changes
// nothing.
#include "EditorFixture.h"

#include <QFile>
#include <QListWidget>
#include <QProgressDialog>
#include <QTimer>

#include "app/map/MapForm.h"
#include "app/scanner/ScanForm.h"
#include "app/scanner/Scanning.h"
#include "platform/Canvas.h"
#include "support/SaneTestBackend.h"

namespace animora::test {
namespace {

// The test backend's colour pattern covers 80 x 100 mm: 125 x 157 pixels at
// 40 dpi.
constexpr int kDpi = 40;
const QSize kPatternSize(125, 157);

class ScanFrameTest : public EditorTest {
protected:
    // Three 8 x 8 frames of different greys.
    void SetUp() override
    {
        EditorTest::SetUp();
        project->Close();
        project->Open("three", [](TGIFImage& document) {
            for (int i = 0; i < 3; ++i) {
                TBitmap picture(8, 8, PixelFormat::pf24bit);
                TCanvas(picture).FillRect({0, 0, 8, 8}, MakeColor(uint8_t(80 * i), uint8_t(80 * i), uint8_t(80 * i)));
                document.Add(picture);
            }
        });
        ConfigureSaneTestBackend("test\n");
    }

    QSize FrameSize(int index) const { return {DocumentFrame(index).Width(), DocumentFrame(index).Height()}; }
    std::vector<std::vector<uint8_t>> AllPixels() const
    {
        std::vector<std::vector<uint8_t>> pixels;
        for (int i = 0; i < project->FrameCount(); ++i)
            pixels.push_back(FramePixels(i));
        return pixels;
    }
    bool ExchangeFileExists() const { return QFile::exists(TempPath(kScanExchangeFile)); }
    void ExpectNoMessage() const
    {
        EXPECT_TRUE(prompts.shown.empty()) << (prompts.shown.empty() ? "" : prompts.shown[0].text.toStdString());
    }
};

TEST_F(ScanFrameTest, AScanLandsInTheCurrentFrame)
{
    project->SetCurrentFrame(1);
    const auto before = AllPixels();
    prompts.Answer<ScanSettingsQuestion>(ScanChoice{0, kDpi});
    window->Action(ActionId::Scan1)->trigger();
    ExpectNoMessage();
    ASSERT_EQ(prompts.Asked<ScanSettingsQuestion>().size(), 1u);
    EXPECT_EQ(FrameSize(1), kPatternSize);
    EXPECT_EQ(FramePixels(0), before[0]);
    EXPECT_EQ(FramePixels(2), before[2]);
    EXPECT_EQ(project->FrameCount(), 3);
    EXPECT_EQ(project->CurrentFrame(), 1);
    EXPECT_EQ(project->LastEditName(), "Scan");
    // The preview copy, which Save writes, has the scan too.
    const TGIFSubImage& shown = *project->PreviewCopy()->Images().SubImage(1);
    EXPECT_EQ(QSize(shown.Width(), shown.Height()), kPatternSize);
    EXPECT_TRUE(ExchangeFileExists());
}

TEST_F(ScanFrameTest, ACancelledScanChangesNothing)
{
    project->SetCurrentFrame(1);
    // A picture of an earlier scan stands in the folder: it must not be read.
    {
        TBitmap old(30, 30, PixelFormat::pf24bit);
        old.SaveToFile(TempPath(kScanExchangeFile).toStdString());
    }
    const auto before = AllPixels();
    const bool couldUndo = project->CanUndo();

    // Cancel in the scan dialog.
    window->Action(ActionId::Scan1)->trigger();
    EXPECT_EQ(prompts.Asked<ScanSettingsQuestion>().size(), 1u);

    // Cancel in the progress window, once the scanner has sent everything.
    ConfigureSaneTestBackend("test\n", "read-limit true\nread-limit-size 100\n");
    bool pressed = false;
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
        auto* progress = window->findChild<QProgressDialog*>("ScanProgress");
        if (progress && progress->value() == 100 && !pressed)
            progress->cancel(), pressed = true;
    });
    press.start(0);
    prompts.Answer<ScanSettingsQuestion>(ScanChoice{0, kDpi});
    window->Action(ActionId::Scan1)->trigger();
    EXPECT_TRUE(pressed);

    ExpectNoMessage();
    EXPECT_EQ(AllPixels(), before);
    EXPECT_EQ(FrameSize(1), QSize(8, 8));
    EXPECT_EQ(project->CanUndo(), couldUndo);
    EXPECT_EQ(project->CurrentFrame(), 1);
}

TEST_F(ScanFrameTest, TheMapScansIntoTheSelectedEntryAndScansNewFrames)
{
    TMapForm* map = window->OpenMap();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->List()->currentRow(), 1);
    const auto before = AllPixels();

    // Scan: into the selected entry's frame.
    map->List()->setCurrentRow(2);
    prompts.Answer<ScanSettingsQuestion>(ScanChoice{0, kDpi});
    map->ScanClick();
    ExpectNoMessage();
    EXPECT_EQ(FrameSize(2), kPatternSize);
    EXPECT_EQ(FramePixels(0), before[0]);
    EXPECT_EQ(FramePixels(1), before[1]);

    // Create&Scan: a new last frame; the second entry is selected again.
    prompts.Answer<ScanSettingsQuestion>(ScanChoice{0, kDpi});
    map->CreateScanClick();
    ExpectNoMessage();
    ASSERT_EQ(project->FrameCount(), 4);
    EXPECT_EQ(FrameSize(3), kPatternSize);
    EXPECT_EQ(map->List()->count(), 4);
    EXPECT_EQ(map->List()->item(3)->text(), "Frame 4");
    EXPECT_EQ(map->List()->currentRow(), 1);
    EXPECT_EQ(FrameList()->count(), 4);  // the preview's list follows

    // Cancelled, both change nothing.
    const auto after = AllPixels();
    map->ScanClick();
    map->CreateScanClick();
    EXPECT_EQ(prompts.Asked<ScanSettingsQuestion>().size(), 4u);
    EXPECT_EQ(AllPixels(), after);
    EXPECT_EQ(map->List()->count(), 4);
}

} // namespace
} // namespace animora::test
