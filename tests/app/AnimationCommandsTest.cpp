// The Animation menu: each whole-animation command through the editor with
// scripted answers, checked on the frames, delays and size it leaves, one
// undo step each; refusals leave the document and the history as they were.
#include "EditorFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "app/QtPrompts.h"
#include "app/client/GifClientForm.h"
#include "app/commands/AnimationCommands.h"
#include "app/dialogs/AnimationForms.h"
#include "gif/GraphicControl.h"
#include "platform/Canvas.h"
#include "platform/Stream.h"

namespace animora::test {
namespace {

constexpr int kDelays[] = {10, 20, 30, 40, 50};

class AnimationCommandsTest : public EditorTest {
protected:
    // Five 8 x 8 frames, frame i (from 0) grey 51 * i, delay kDelays[i].
    void SetUp() override
    {
        EditorTest::SetUp();
        OpenGreys({0, 1, 2, 3, 4});
    }
    void OpenGreys(const std::vector<int>& levels)
    {
        project->Close();
        project->Open("greys", [&](TGIFImage& document) {
            for (size_t i = 0; i < levels.size(); ++i) {
                TBitmap picture(8, 8, PixelFormat::pf24bit);
                const auto grey = uint8_t(51 * levels[i]);
                TCanvas(picture).FillRect({0, 0, 8, 8}, MakeColor(grey, grey, grey));
                TGIFSubImage& frame = *document.Images().SubImage(document.Add(picture));
                auto control = std::make_unique<TGIFGraphicControlExtension>(frame);
                control->SetDelay(uint16_t(kDelays[i % 5]));
                frame.Extensions().Append(std::move(control));
            }
        });
    }
    // Each frame's grey level / 51, as composed in the document image.
    std::vector<int> Order() const
    {
        std::vector<int> order;
        for (int i = 0; i < project->FrameCount(); ++i)
            order.push_back(int(DocumentFrame(i).RenderedBitmap()->PixelColor(2, 2) & 0xFF) / 51);
        return order;
    }
    std::vector<int> Delays() const
    {
        std::vector<int> delays;
        for (int i = 0; i < project->FrameCount(); ++i)
            delays.push_back(DocumentFrame(i).GraphicControl() ? DocumentFrame(i).GraphicControl()->Delay() : -1);
        return delays;
    }
    std::vector<uint8_t> Saved() const
    {
        TMemoryStream stream;
        project->Document()->SaveToStream(stream);
        return stream.Bytes();
    }
    QSize Screen() const { return {project->Document()->GetWidth(), project->Document()->GetHeight()}; }
};

TEST_F(AnimationCommandsTest, EachCommandChangesTheAnimationAsOneUndoStep)
{
    struct Case {
        ActionId action;
        std::function<void(ScriptedPrompts&)> answer;
        std::vector<int> order;
        std::vector<int> delays;
        QSize screen;
    } cases[] = {
        {ActionId::Reverse1, {}, {4, 3, 2, 1, 0}, {50, 40, 30, 20, 10}, {8, 8}},
        {ActionId::PingPong1, {}, {0, 1, 2, 3, 4, 3, 2, 1}, {10, 20, 30, 40, 50, 40, 30, 20}, {8, 8}},
        {ActionId::SetDelay1, [](auto& p) { p.template Answer<SetDelayQuestion>(SetDelayFields{250, true, {}}); },
         {0, 1, 2, 3, 4}, {25, 25, 25, 25, 25}, {8, 8}},
        {ActionId::SetDelay1,
         [](auto& p) { p.template Answer<SetDelayQuestion>(SetDelayFields{70, false, {2, 3}}); },
         {0, 1, 2, 3, 4}, {10, 7, 7, 40, 50}, {8, 8}},
        {ActionId::ChangeSpeed1, [](auto& p) { p.template Answer<ChangeSpeedQuestion>(200); }, {0, 1, 2, 3, 4},
         {5, 10, 15, 20, 25}, {8, 8}},
        {ActionId::Resize1, [](auto& p) { p.template Answer<ResizeQuestion>(QSize(4, 6)); }, {0, 1, 2, 3, 4},
         {10, 20, 30, 40, 50}, {4, 6}},
        {ActionId::Crop1, [](auto& p) { p.template Answer<CropQuestion>(QRect(1, 2, 5, 3)); }, {0, 1, 2, 3, 4},
         {10, 20, 30, 40, 50}, {5, 3}},
        {ActionId::DeleteRange1, [](auto& p) { p.template Answer<DeleteRangeQuestion>(FrameRangeFields{2, 3}); },
         {0, 3, 4}, {10, 40, 50}, {8, 8}},
        {ActionId::KeepEvery1, [](auto& p) { p.template Answer<KeepEveryQuestion>(2); }, {0, 2, 4}, {30, 70, 50},
         {8, 8}},
    };
    EXPECT_TRUE(window->Menu(MenuId::Animation)->menuAction()->isEnabled());
    const std::vector<uint8_t> start = Saved();
    for (const Case& c : cases) {
        SCOPED_TRACE(Spec(c.action).objectName);
        if (c.answer)
            c.answer(prompts);
        window->Action(c.action)->trigger();
        EXPECT_TRUE(prompts.shown.empty()) << prompts.TakeTexts().join("|").toStdString();
        EXPECT_EQ(Order(), c.order);
        EXPECT_EQ(Delays(), c.delays);
        EXPECT_EQ(Screen(), c.screen);
        EXPECT_EQ(project->PreviewCopy()->Images().Count(), int(c.order.size()));
        const QString name = QString::fromLatin1(Spec(c.action).text).section('|', 0, 0);
        EXPECT_EQ(window->Action(ActionId::Undo1)->text(), "Undo " + name);
        window->Action(ActionId::Undo1)->trigger();
        EXPECT_EQ(Saved(), start);
        EXPECT_FALSE(project->CanUndo());
    }

    // Duplicates: the repeated frames go, their time with the frame before.
    OpenGreys({0, 0, 1, 1, 1});
    const std::vector<uint8_t> duplicated = Saved();
    window->Action(ActionId::Dedupe1)->trigger();
    EXPECT_EQ(Order(), (std::vector<int>{0, 1}));
    EXPECT_EQ(Delays(), (std::vector<int>{30, 120}));
    window->Action(ActionId::Undo1)->trigger();
    EXPECT_EQ(Saved(), duplicated);

    commands::CloseProject(*project);
    EXPECT_FALSE(window->Menu(MenuId::Animation)->menuAction()->isEnabled());
}

TEST_F(AnimationCommandsTest, RefusalsAndNoOpsChangeNothingAndRecordNoStep)
{
    struct Case {
        ActionId action;
        std::function<void(ScriptedPrompts&)> answer;
        QString text;
    } cases[] = {
        {ActionId::Crop1, [](auto& p) { p.template Answer<CropQuestion>(QRect(4, 4, 8, 8)); },
         "The rectangle 4,4 8 x 8 does not lie within the screen of 8 x 8. Nothing was changed."},
        {ActionId::DeleteRange1, [](auto& p) { p.template Answer<DeleteRangeQuestion>(FrameRangeFields{1, 5}); },
         "Deleting every frame would leave no animation. Nothing was changed."},
        {ActionId::SetDelay1,
         [](auto& p) { p.template Answer<SetDelayQuestion>(SetDelayFields{100, false, {4, 9}}); },
         "Frames 4 to 9 do not exist: the animation has 5 frames. Nothing was changed."},
        {ActionId::SetDelay1, [](auto& p) { p.template Answer<SetDelayQuestion>(SetDelayFields{-5, true, {}}); },
         "A delay must lie between 0 and 65535 hundredths of a second. Nothing was changed."},
        {ActionId::ChangeSpeed1, [](auto& p) { p.template Answer<ChangeSpeedQuestion>(0); },
         "A speed must lie between 1 and 10000 percent. Nothing was changed."},
        {ActionId::KeepEvery1, [](auto& p) { p.template Answer<KeepEveryQuestion>(0); },
         "Keep every n-th frame needs n of 1 or more. Nothing was changed."},
        {ActionId::Resize1, [](auto& p) { p.template Answer<ResizeQuestion>(QSize(0, 5)); }, ""},
        {ActionId::Dedupe1, {}, commands::kNoDuplicates},
        // Nothing to do, and nothing said: the same size, every frame kept.
        {ActionId::Resize1, [](auto& p) { p.template Answer<ResizeQuestion>(QSize(8, 8)); }, {}},
        {ActionId::KeepEvery1, [](auto& p) { p.template Answer<KeepEveryQuestion>(1); }, {}},
        // Cancel asks nothing more.
        {ActionId::Crop1, {}, {}},
    };
    const std::vector<uint8_t> start = Saved();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        if (c.answer)
            c.answer(prompts);
        window->Action(c.action)->trigger();
        if (c.text.isNull()) {
            EXPECT_TRUE(prompts.shown.empty());
        } else {
            ASSERT_EQ(prompts.shown.size(), 1u);
            if (!c.text.isEmpty()) {
                EXPECT_EQ(prompts.shown[0].text, c.text);
            }
            EXPECT_TRUE(prompts.shown[0].text.endsWith("nothing was changed.", Qt::CaseInsensitive))
                << prompts.shown[0].text.toStdString();
            EXPECT_EQ(prompts.shown[0].caption, QString::fromLatin1(Spec(c.action).text).section('|', 0, 0));
        }
        prompts.shown.clear();
        EXPECT_EQ(Saved(), start);
        EXPECT_FALSE(project->CanUndo());
    }
    OpenGreys({0, 1});
    window->Action(ActionId::PingPong1)->trigger();
    EXPECT_EQ(prompts.TakeTexts(), QStringList({commands::kPingPongTooFew}));
    EXPECT_EQ(project->FrameCount(), 2);
    EXPECT_FALSE(project->CanUndo());
}

TEST_F(AnimationCommandsTest, TheDocumentWindowGoesOnWithTheFrameAtItsIndex)
{
    project->SetCurrentFrame(1);
    TGifClientForm* client = window->OpenDocumentWindow();
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(client->FrameIndex(), 1);
    window->Action(ActionId::Reverse1)->trigger();
    EXPECT_EQ(client->FrameIndex(), 1);
    EXPECT_EQ(Order()[1], 3);
    EXPECT_EQ(project->CurrentFrame(), 1);
    // Its frame gone, the window has none to save into; the current frame
    // stays within the frames left.
    project->SetCurrentFrame(4);
    prompts.Answer<DeleteRangeQuestion>(FrameRangeFields{2, 5});
    window->Action(ActionId::DeleteRange1)->trigger();
    EXPECT_EQ(client->FrameIndex(), -1);
    EXPECT_EQ(project->CurrentFrame(), 0);
}

// The real dialogs: presets from the animation, and the linked size fields.
template <typename Question>
std::optional<typename Question::Answer> AskAndAct(QtPrompts& prompts, const Question& question,
                                                   const std::function<void(QDialog&)>& act)
{
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
        dialog->findChild<QPushButton*>("OkButton")->click();
    });
    return prompts.Ask(question);
}

TEST_F(AnimationCommandsTest, DialogsStartFromTheAnimation)
{
    QtPrompts real;
    real.SetParentWindow(window.get());
    const auto spin = [](QDialog& d, const char* name) { return d.findChild<QSpinBox*>(name); };

    auto size = AskAndAct(real, ResizeQuestion{QSize(200, 100)}, [&](QDialog& d) {
        spin(d, "WidthEdit")->setValue(100);
        EXPECT_EQ(spin(d, "HeightEdit")->value(), 50);
    });
    EXPECT_EQ(size, QSize(100, 50));
    size = AskAndAct(real, ResizeQuestion{QSize(200, 100)}, [&](QDialog& d) {
        EXPECT_EQ(spin(d, "WidthEdit")->value(), 200);  // the size now, each time
        d.findChild<QCheckBox*>("KeepAspectCheck")->setChecked(false);
        spin(d, "HeightEdit")->setValue(30);
        EXPECT_EQ(spin(d, "WidthEdit")->value(), 200);
    });
    EXPECT_EQ(size, QSize(200, 30));

    EXPECT_EQ(AskAndAct(real, CropQuestion{QSize(40, 30)}, [](QDialog&) {}), QRect(0, 0, 40, 30));
    const auto crop = AskAndAct(real, CropQuestion{QSize(40, 30)}, [&](QDialog& d) {
        spin(d, "LeftEdit")->setValue(10);  // the rectangle still ends inside the screen
        spin(d, "TopEdit")->setValue(25);
    });
    EXPECT_EQ(crop, QRect(10, 25, 30, 5));

    const auto delay = AskAndAct(real, SetDelayQuestion{5, 3, 120}, [&](QDialog& d) {
        EXPECT_FALSE(spin(d, "FirstEdit")->isEnabled());
        d.findChild<QRadioButton*>("RangeRadio")->setChecked(true);
        EXPECT_TRUE(spin(d, "FirstEdit")->isEnabled());
        spin(d, "LastEdit")->setValue(9);  // no further than the last frame
    });
    ASSERT_TRUE(delay);
    EXPECT_EQ(std::tuple(delay->milliseconds, delay->allFrames, delay->range.first, delay->range.last),
              std::tuple(120, false, 3, 5));
}

} // namespace
} // namespace animora::test
