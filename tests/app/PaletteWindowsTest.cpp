// The global palette window's grid and read-out, and the optimiser's steps.
#include "EditorFixture.h"

#include <QCheckBox>
#include <QRadioButton>

#include "GifBlocks.h"
#include "app/MdiWindows.h"
#include "app/dialogs/TextForm.h"
#include "app/optimize/FrameOptionForm.h"
#include "app/optimize/OptimizerForm.h"
#include "app/optimize/PaletteGrid.h"
#include "color/ColorTypes.h"
#include "color/ReduceColors.h"
#include "gif/GraphicControl.h"

namespace animora::test {
namespace {

TEST(PaletteGridLayout, CellsAreAsSquareAsTheCountAllowsAndCentred)
{
    struct Case {
        int count;
        QSize box;
        int rows, columns, cellWidth, cellHeight, xOffset, yOffset;
    } cases[] = {
        {16, {100, 100}, 4, 4, 25, 25, 0, 0},
        {17, {100, 100}, 4, 5, 20, 25, 0, 0},
        {2, {100, 100}, 1, 2, 50, 100, 0, 0},
        {256, {403, 148}, 16, 16, 25, 9, 1, 2},
        {0, {100, 100}, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        const TPaletteGridLayout layout = TPaletteGridLayout::For(c.count, c.box);
        EXPECT_EQ(layout.rows, c.rows);
        EXPECT_EQ(layout.columns, c.columns);
        EXPECT_EQ(layout.cellWidth, c.cellWidth);
        EXPECT_EQ(layout.cellHeight, c.cellHeight);
        EXPECT_EQ(layout.xOffset, c.xOffset);
        EXPECT_EQ(layout.yOffset, c.yOffset);
    }
    // Points map to entries; the margins and the 3 empty cells of 17 are none.
    const TPaletteGridLayout big = TPaletteGridLayout::For(256, {403, 148});
    const TPaletteGridLayout odd = TPaletteGridLayout::For(17, {100, 100});
    struct Point {
        const TPaletteGridLayout& layout;
        QPoint at;
        int entry;
    } points[] = {
        {big, {1, 2}, 0},    {big, {0, 2}, -1},   {big, {1, 1}, -1},    {big, {25, 10}, 0},
        {big, {26, 11}, 17}, {big, {400, 145}, 255}, {big, {401, 100}, -1}, {big, {200, 146}, -1},
        {odd, {99, 99}, -1}, {odd, {19, 99}, 15}, {odd, {39, 99}, 16},  {odd, {40, 99}, -1},
    };
    for (const Point& p : points)
        EXPECT_EQ(p.layout.EntryAt(p.at), p.entry) << p.at.x() << "," << p.at.y();
}

TEST(PaletteReadOut, NamesTheColourUnderTheMouse)
{
    using Texts = std::array<QString, 6>;
    EXPECT_EQ(TFrameOptionForm::ReadOut(5, QColor(255, 128, 0)),
              Texts({"Index:5", "Color:#FF8000", "Red:255", "Green:128", "Blue:0", "Hex:FF8000"}));
    EXPECT_EQ(TFrameOptionForm::ReadOut(0, QColor(255, 0, 0)),
              Texts({"Index:0", "Color:Red", "Red:255", "Green:0", "Blue:0", "Hex:FF0000"}));
    EXPECT_EQ(TFrameOptionForm::ReadOut(-1, QColor()), Texts({"Index:", "Color:", "Red:", "Green:", "Blue:", "Hex:"}));
}

class PaletteWindowsTest : public EditorTest {
protected:
    // Three 1 x 1 frames in red, green and blue of a 4-colour global table,
    // each 0.3 s long.
    void OpenColours()
    {
        std::vector<TestFrame> frames;
        for (uint8_t i = 0; i < 3; ++i)
            frames.push_back({GraphicControlBlock(30, 0, 0) + CommentBlock("c"), i, {}});
        WriteBytes(TempPath("in.gif"), MakeGif({Qt::red, Qt::green, Qt::blue, Qt::white}, frames));
        commands::OpenProject(*project, TempPath("in.gif"));
    }
    QColor FrameColor(int index) const
    {
        const TGIFSubImage& frame = DocumentFrame(index);
        const uint8_t* entry = frame.ActiveColorMap().Entries() + 3 * frame.Data()[0];
        return QColor(entry[0], entry[1], entry[2]);
    }
};

TEST_F(PaletteWindowsTest, ThePaletteWindowShowsAndChangesTheProjectsGlobalTable)
{
    OpenColours();
    window->Action(ActionId::GlobalOption)->trigger();
    auto* form = window->Windows().Find<TFrameOptionForm>(WindowKind::GlobalPalette);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Grid().Colors(), std::vector<QColor>({Qt::red, Qt::green, Qt::blue, Qt::white}));
    form->ShowEntry(2);
    EXPECT_EQ(form->PanelText(0), "Index:2");
    EXPECT_EQ(form->PanelText(1), "Color:Blue");
    form->ShowEntry(-1);
    EXPECT_EQ(form->PanelText(5), "Hex:");

    prompts.Answer<ColorQuestion>(QColor(10, 20, 30));
    form->ChangeEntry(1);
    EXPECT_EQ(prompts.Asked<ColorQuestion>().back().initial, QColor(Qt::green));
    EXPECT_EQ(form->Grid().Colors().at(1), QColor(10, 20, 30));
    EXPECT_EQ(FrameColor(1), QColor(10, 20, 30));
    project->SetFileName(TempPath("saved.gif"));
    commands::Save(*project);
    EXPECT_EQ(ReadWithGiflib(TempPath("saved.gif")).globalColors.at(1), QColor(10, 20, 30));

    // Closing empties the window; another project shows its own table.
    commands::CloseProject(*project);
    EXPECT_TRUE(form->Grid().Colors().empty());
    WriteBytes(TempPath("other.gif"), MakeGif({Qt::black, Qt::yellow}, {{{}, 0, {}}}));
    commands::OpenProject(*project, TempPath("other.gif"));
    EXPECT_EQ(form->Grid().Colors(), std::vector<QColor>({Qt::black, Qt::yellow}));
}

TEST_F(PaletteWindowsTest, MonochromeWithoutAllFramesChangesOnlyTheCurrentFrame)
{
    OpenColours();
    project->SetCurrentFrame(1);
    window->Action(ActionId::OptimizeButton)->trigger();
    auto* form = window->Windows().Find<TOptimizerForm>(WindowKind::Optimizer);
    ASSERT_NE(form, nullptr);
    form->findChild<QRadioButton*>("MonochromeColor")->setChecked(true);
    form->findChild<QCheckBox*>("AllFrameCb")->setChecked(false);
    form->OptimizeClick();
    EXPECT_EQ(prompts.TakeTexts(), QStringList({"GIF was be optimized."}));

    EXPECT_EQ(FrameColor(0), QColor(Qt::red));
    EXPECT_EQ(FrameColor(2), QColor(Qt::blue));
    EXPECT_TRUE(FrameColor(1) == QColor(Qt::black) || FrameColor(1) == QColor(Qt::white));
    EXPECT_EQ(project->Document()->ReductionMode(), crMonochrome);
    // The frame keeps its timing and its comment.
    ASSERT_NE(DocumentFrame(1).GraphicControl(), nullptr);
    EXPECT_EQ(DocumentFrame(1).GraphicControl()->Delay(), 30);
    EXPECT_EQ(DocumentFrame(1).Extensions().Count(), 2);
    EXPECT_EQ(project->CurrentFrame(), 1);
}

TEST_F(PaletteWindowsTest, TheOptimiserShowsTheImagesSettings)
{
    OpenColours();
    struct Case {
        uint8_t mode;
        int bits;
        uint8_t encoding;
        const char* checked;
        bool rle;
    } cases[] = {
        {crNetscape, 8, kEncodingLZW, "NetscapeColor", false},
        {crOptimized, 5, kEncodingRLE, "RadioButton7", true},
        // No colour-count button stands for 8 bits: the last choice stays.
        {crOptimized, 8, kEncodingLZW, "RadioButton7", false},
    };
    window->Action(ActionId::Optimizepalette1)->trigger();
    auto* form = window->Windows().Find<TOptimizerForm>(WindowKind::Optimizer);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->findChild<QRadioButton*>("NoneColor")->isChecked() ||
                project->Document()->ReductionMode() != crNone);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.checked);
        project->Document()->SetReductionMode(c.mode);
        project->Document()->SetReductionBits(c.bits);
        project->Document()->SetEncoding(c.encoding);
        form->ShowSettings();
        EXPECT_TRUE(form->findChild<QRadioButton*>(c.checked)->isChecked());
        EXPECT_EQ(form->findChild<QRadioButton*>("RadioButton14")->isChecked(), c.rle);
    }
}

// Refinement is on in every new image; the optimiser's box switches it, and
// off the frame gets exactly the octree's palette, on the refined one.
TEST_F(PaletteWindowsTest, RefinePaletteChoosesBetweenTheRefinedAndTheExactOctreeColours)
{
    const int savedBits = GIFImageDefaults().reductionBits;
    commands::OpenProject(*project, Corpus("hat.gif"));
    ASSERT_TRUE(project->Document()->RefinePalette());
    const TBitmap source(*DocumentFrame(0).RenderedBitmap());
    window->Action(ActionId::OptimizeButton)->trigger();
    auto* form = window->Windows().Find<TOptimizerForm>(WindowKind::Optimizer);
    ASSERT_NE(form, nullptr);
    auto* refine = form->findChild<QCheckBox*>("RefinePaletteCb");
    EXPECT_TRUE(refine->isChecked());
    form->findChild<QRadioButton*>("NetscapeColor")->click();
    EXPECT_FALSE(refine->isEnabled());  // a fixed palette has nothing to refine
    form->findChild<QRadioButton*>("RadioButton6")->click();  // 16 colours
    EXPECT_TRUE(refine->isEnabled());
    form->findChild<QCheckBox*>("AllFrameCb")->setChecked(false);

    std::vector<std::vector<TColor>> results;
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        refine->setChecked(on);
        form->OptimizeClick();
        EXPECT_EQ(project->Document()->RefinePalette(), on);
        TBitmap input(source);
        const auto expected = ReduceBitmapColors(input, crOptimized, dkNearest, nullptr, 4, on);
        const TBitmap& frame = *DocumentFrame(0).RenderedBitmap();
        std::vector<TColor> got, want;
        for (int y = 0; y < source.Height(); ++y)
            for (int x = 0; x < source.Width(); ++x) {
                got.push_back(frame.PixelColor(x, y));
                want.push_back(expected->PixelColor(x, y));
            }
        EXPECT_EQ(got, want);
        results.push_back(got);
        project->Undo();
    }
    EXPECT_NE(results[0], results[1]);
    GIFImageDefaults().reductionBits = savedBits;

    // A new image starts refined again, and the window says so.
    Create(1, 8, 8);
    EXPECT_TRUE(project->Document()->RefinePalette());
    EXPECT_TRUE(project->PreviewCopy()->RefinePalette());
    EXPECT_TRUE(refine->isChecked());
}

} // namespace
} // namespace animora::test
