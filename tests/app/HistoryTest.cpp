// The project's history: Undo and Redo walk back and forth over mixed
// changes, the saved file matching each earlier state byte for byte, within
// a memory budget.
#include "EditorFixture.h"

#include "app/History.h"
#include "app/commands/FrameFileCommands.h"
#include "platform/Stream.h"

namespace animora::test {
namespace {

std::vector<uint8_t> SavedBytes(Project& project)
{
    TMemoryStream stream;
    project.PreviewCopy()->SaveToStream(stream);
    return stream.Bytes();
}

TEST_F(EditorTest, UndoAndRedoReturnTheFileToEachEarlierState)
{
    Create(3, 8, 8);
    std::vector<std::vector<uint8_t>> states{SavedBytes(*project)};
    const std::function<void()> changes[] = {
        [&] { commands::AddFrame(*project); },
        [&] { commands::MoveFrameTo(*project, 0, 2); },
        [&] {
            project->SetCurrentFrame(1);
            prompts.answers.push_back(PromptAnswer::Ok);
            commands::DeleteFrame(*project);
        },
        [&] {
            commands::ImportPicture(*project, 0,
                                    QString::fromStdString((TestDataDir() / "pictures" / "hat.bmp").string()));
        },
    };
    for (const auto& change : changes) {
        change();
        states.push_back(SavedBytes(*project));
    }
    EXPECT_EQ(window->Action(ActionId::Undo1)->text(), "Undo Import");
    EXPECT_TRUE(window->Action(ActionId::UndoButton)->isEnabled());

    for (size_t i = states.size() - 1; i > 0; --i) {
        SCOPED_TRACE(i);
        window->Action(ActionId::Undo1)->trigger();
        EXPECT_EQ(SavedBytes(*project), states[i - 1]);
    }
    EXPECT_FALSE(project->CanUndo());
    EXPECT_EQ(window->Action(ActionId::Redo1)->text(), "Redo Add frame");
    for (size_t i = 1; i < states.size(); ++i) {
        window->Action(ActionId::Redo1)->trigger();
        EXPECT_EQ(SavedBytes(*project), states[i]);
    }
    // A new change after an undo drops what could have been redone.
    window->Action(ActionId::Undo1)->trigger();
    commands::AddFrame(*project);
    EXPECT_FALSE(project->CanRedo());
}

TEST(History, TheBudgetDropsTheOldestSteps)
{
    THistory history;
    history.SetBudget(2500);
    for (int i = 0; i < 5; ++i)
        history.Record(QStringLiteral("step %1").arg(i), std::vector<uint8_t>(1000, uint8_t(i)));
    EXPECT_EQ(history.UndoCount(), 2u);
    EXPECT_LE(history.Bytes(), 2500u);
    EXPECT_EQ(history.UndoName(), "step 4");
    EXPECT_EQ(history.Undo(std::vector<uint8_t>(1000)).front(), 4);
    EXPECT_EQ(history.UndoName(), "step 3");
    // The last step always stays, however large.
    history.SetBudget(10);
    history.Record("big", std::vector<uint8_t>(5000));
    EXPECT_EQ(history.UndoCount(), 1u);
}

} // namespace
} // namespace animora::test
