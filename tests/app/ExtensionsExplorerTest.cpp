// The extensions explorer: what the tree and the list show for each kind of
// block, and each edit as giflib finds it in the saved file.
#include "EditorFixture.h"

#include <gif_lib.h>

#include <algorithm>

#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "GifBlocks.h"
#include "app/MdiWindows.h"
#include "app/extensions/EditPropertyForm.h"
#include "app/extensions/ExtensionsForm.h"
#include "app/optimize/PaletteGrid.h"
#include "gif/AppExtension.h"
#include "gif/GraphicControl.h"
#include "gif/TextExtension.h"

namespace animora::test {
namespace {

const std::vector<QColor> kTwoColors = {Qt::black, Qt::white};
using Rows = QList<QPair<QString, QString>>;

class ExtensionsExplorerTest : public EditorTest {
protected:
    // Opens the file through the editor and the explorer through its menu item.
    void OpenWith(const std::vector<TestFrame>& frames)
    {
        WriteBytes(TempPath("in.gif"), MakeGif(kTwoColors, frames));
        commands::OpenProject(*project, TempPath("in.gif"));
        if (!explorer) {
            window->Action(ActionId::Extensions1)->trigger();
            explorer = window->Windows().Find<TExtensionsForm>(WindowKind::Extensions);
        }
        ASSERT_NE(explorer, nullptr);
    }
    QStringList Nodes(int frame) const
    {
        QStringList texts;
        const QTreeWidgetItem* node = explorer->Tree().topLevelItem(frame);
        for (int i = 0; node && i < node->childCount(); ++i)
            texts << QStringLiteral("%1 #%2").arg(node->child(i)->text(0)).arg(node->child(i)->data(0, Qt::UserRole).toInt());
        return texts;
    }
    QStringList FrameNodes() const
    {
        QStringList texts;
        for (int i = 0; i < explorer->Tree().topLevelItemCount(); ++i)
            texts << explorer->Tree().topLevelItem(i)->text(0);
        return texts;
    }
    // Edits a row through the property dialog.
    void EditRow(int row, const QString& answer)
    {
        explorer->List().selectRow(row);
        prompts.Answer<EditPropertyQuestion>(answer);
        explorer->EditpropertyClick();
    }
    ReadGif SaveAndRead()
    {
        project->SetFileName(TempPath("saved.gif"));
        EXPECT_TRUE(commands::Save(*project));
        ReadGif read = ReadWithGiflib(TempPath("saved.gif"));
        EXPECT_EQ(read.error, "");
        return read;
    }
    bool SaveEnabled() const { return explorer->Button("SaveButton").isEnabled(); }

    TExtensionsForm* explorer = nullptr;
};

TEST_F(ExtensionsExplorerTest, TheTreeNamesEveryKindOfBlockAndTheLocalTable)
{
    OpenWith({{GraphicControlBlock(7, 0x09, 1) + CommentBlock("hi") + LoopBlock(2)
                   + ApplicationBlock("ACMEDATA1.0", {{1, 2, 3}}),
               0, {Qt::red, Qt::blue}},
              {{}, 1, {}},
              {{}, 0, {}}});
    EXPECT_EQ(FrameNodes(), QStringList({"Frame 0", "Frame 1", "Frame 2"}));
    EXPECT_EQ(Nodes(0), QStringList({"Graphic Control Extension #24", "Comment Extension #26",
                                     "Netscape Loop Extension #27", "Application Extension #28",
                                     "Local Palette #12"}));
    // Frames without blocks or a table of their own are bare nodes, and
    // show nothing that could be edited or deleted.
    EXPECT_TRUE(Nodes(1).isEmpty());
    explorer->Select(1);
    EXPECT_EQ(explorer->CurrentFrameIndex(), 1);
    EXPECT_EQ(explorer->List().rowCount(), 0);
    EXPECT_FALSE(explorer->Button("EditButton").isEnabled());
    EXPECT_FALSE(explorer->Button("DelButton").isEnabled());

    struct Case {
        int child;
        Rows rows;
        bool memo, grid;
        QString memoText;
    } cases[] = {
        {0, {{"Delay", "70"}, {"Transparent", "Yes"}, {"TransparentColor", "1"}, {"Prompt", "No"},
             {"Disposal", "Background"}}, false, false, ""},
        {1, {}, true, false, "hi"},
        {2, {{"Loops", "2"}}, false, false, ""},
        {3, {{"Identifier", "ACMEDATA"}, {"Authentication", "1.0"}, {"Data Blocks", "1"}}, true, false, ""},
        {4, {{"Count", "2"}, {"Optimized", "No"}, {"BitsPerPixel", "1 bits"}}, false, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.child);
        explorer->Select(0, c.child);
        EXPECT_EQ(explorer->Rows(), c.rows);
        EXPECT_EQ(explorer->Memo().isVisibleTo(explorer), c.memo);
        EXPECT_EQ(explorer->Grid().isVisibleTo(explorer), c.grid);
        if (!c.memoText.isEmpty()) {
            EXPECT_EQ(explorer->Memo().toPlainText(), c.memoText);
        }
        EXPECT_FALSE(SaveEnabled());  // filling the memo is no edit
        EXPECT_EQ(explorer->Button("EditButton").isEnabled(), !c.grid);
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ExtensionsExplorerTest, GraphicControlEditsReachTheSavedFileOnlyOnSave)
{
    // Disposal 5 is reserved: it shows as its number and survives saving
    // the other rows.
    OpenWith({{GraphicControlBlock(7, 5 << 2, 0), 0, {}}, {GraphicControlBlock(7, 0, 0), 1, {}}});
    explorer->Select(0, 0);
    EXPECT_EQ(explorer->Rows().at(4).second, "5");
    struct Case {
        int row;
        QString answer;
        QString shown;
    } edits[] = {
        {0, "75", "75"}, {1, "Yes", "Yes"}, {2, "1", "1"}, {3, "Yes", "Yes"},
    };
    for (const Case& e : edits) {
        EditRow(e.row, e.answer);
        EXPECT_EQ(explorer->Rows().at(e.row).second, e.shown);
    }
    EXPECT_TRUE(SaveEnabled());
    EXPECT_EQ(DocumentFrame(0).GraphicControl()->Delay(), 7);  // not before Save
    explorer->SaveButtonClick();
    EXPECT_FALSE(SaveEnabled());

    // 65 ms is 6.5 hundredths, which goes to the even 6; a named disposal
    // replaces the number.
    explorer->Select(1, 0);
    EditRow(0, "65");
    explorer->List().selectRow(4);
    prompts.Answer<EditPropertyQuestion>(QString("Previuos"));
    explorer->EditpropertyClick();
    EXPECT_EQ(prompts.Asked<EditPropertyQuestion>().back().value, "None specified");
    explorer->SaveButtonClick();

    const ReadGif read = SaveAndRead();
    ASSERT_EQ(read.frames.size(), 2u);
    EXPECT_EQ(ControlsOf(read.frames[0]), std::vector<ReadControl>({{8, 5, 1, 1}}));
    EXPECT_EQ(ControlsOf(read.frames[1]), std::vector<ReadControl>({{6, 3, 0, -1}}));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ExtensionsExplorerTest, ValuesTheFieldsCannotHoldAreRefused)
{
    OpenWith({{GraphicControlBlock(7, 0, 0) + LoopBlock(2), 0, {}}});
    struct Case {
        int child, row;
        QString answer;
        const char* refusal;
    } cases[] = {
        {0, 0, "655351", "655351 is out of range. The delay must be from 0 to 655350 milliseconds"},
        {0, 0, "-10", "-10 is out of range. The delay"},
        {0, 2, "256", "256 is out of range. The transparent color must be a color index from 0 to 255."},
        {0, 2, "-1", "-1 is out of range. The transparent color"},
        {1, 0, "65536", "65536 is out of range. The loop count must be from 0 to 65535."},
        {1, 0, "-1", "-1 is out of range. The loop count"},
        {1, 0, "99999999999999999999", "\"99999999999999999999\" is not a whole number."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        explorer->Select(0, c.child);
        const Rows before = explorer->Rows();
        EditRow(c.row, c.answer);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_TRUE(prompts.shown[0].text.startsWith(QLatin1String(c.refusal))) << prompts.shown[0].text.toStdString();
        EXPECT_EQ(prompts.shown[0].caption, "Error!");
        prompts.shown.clear();
        EXPECT_EQ(explorer->Rows(), before);
        EXPECT_FALSE(SaveEnabled());
    }
    // An index the frame's 2 colours do not have is refused on Save, and
    // the edit stays for correcting.
    explorer->Select(0, 0);
    EditRow(2, "5");
    explorer->SaveButtonClick();
    EXPECT_EQ(prompts.TakeTexts(),
              QStringList({"The transparent color must be an entry of the frame's color table, from 0 to 1."}));
    EXPECT_TRUE(SaveEnabled());
    EXPECT_EQ(DocumentFrame(0).GraphicControl()->TransparentColorIndex(), 0);
    EditRow(2, "1");

    // The largest values fit and come back as they were.
    EditRow(0, "655350");
    explorer->SaveButtonClick();
    explorer->Select(0, 1);
    EditRow(0, "65535");
    explorer->SaveButtonClick();
    const ReadGif read = SaveAndRead();
    EXPECT_EQ(ControlsOf(read.frames[0]).at(0).delay, 65535);
    EXPECT_EQ(ControlsOf(read.frames[0]).at(0).transparent, -1);  // the flag is off
    EXPECT_EQ(DocumentFrame(0).GraphicControl()->TransparentColorIndex(), 1);
    EXPECT_EQ(read.frames[0].at(1).more.at(0), Bytes({1, 0xFF, 0xFF}));
}

TEST_F(ExtensionsExplorerTest, AddAndDeleteRebuildTheTree)
{
    OpenWith({{GraphicControlBlock(7, 0x01, 1), 0, {}}, {CommentBlock("x"), 1, {}}});
    EXPECT_TRUE(DocumentFrame(0).Transparent());
    // Deleting the graphic control takes delay and transparency with it,
    // in the preview at once.
    explorer->Select(0, 0);
    prompts.answers.push_back(PromptAnswer::Ok);
    explorer->DelButtonClick();
    EXPECT_EQ(prompts.TakeTexts(), QStringList({"Are you sure that you want delete this extension?"}));
    EXPECT_TRUE(Nodes(0).isEmpty());
    EXPECT_EQ(DocumentFrame(0).GraphicControl(), nullptr);
    EXPECT_FALSE(DocumentFrame(0).Transparent());
    EXPECT_EQ(project->PreviewCopy()->Images().SubImage(0)->GraphicControl(), nullptr);

    // The looping block is offered for frame 0 only; after a rebuild the
    // frame of the last selection is the one Add works on.
    struct Case {
        int frame, child;
        NewExtensionKind kind;
        bool offered;
        QStringList nodes;
    } cases[] = {
        {1, 0, NewExtensionKind::NetscapeLoop, false, {"Comment Extension #26"}},
        {1, 0, NewExtensionKind::GraphicControl, false, {"Comment Extension #26", "Graphic Control Extension #24"}},
        {0, -1, NewExtensionKind::NetscapeLoop, true, {"Netscape Loop Extension #27"}},
    };
    for (const Case& c : cases) {
        explorer->Select(c.frame, c.child);
        prompts.Answer<ExtensionTypeQuestion>(c.kind);
        explorer->AddButtonClick();
        EXPECT_EQ(prompts.Asked<ExtensionTypeQuestion>().back().offerLoop, c.offered);
        EXPECT_EQ(Nodes(c.frame), c.nodes);
        // A rebuild after an add leaves no node selected.
        EXPECT_EQ(explorer->Tree().selectedItems().isEmpty(), c.offered || c.kind != NewExtensionKind::NetscapeLoop);
    }
    explorer->Select(0, 0);
    EditRow(0, "3");
    explorer->SaveButtonClick();

    const ReadGif read = SaveAndRead();
    ASSERT_EQ(read.frames.size(), 2u);
    ASSERT_EQ(read.frames[0].size(), 1u);
    EXPECT_EQ(read.frames[0][0].function, APPLICATION_EXT_FUNC_CODE);
    EXPECT_EQ(read.frames[0][0].first, Bytes({'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'}));
    EXPECT_EQ(read.frames[0][0].more.at(0), Bytes({1, 3, 0}));
    EXPECT_EQ(ControlsOf(read.frames[1]), std::vector<ReadControl>({{0, 0, 0, -1}}));
}

TEST_F(ExtensionsExplorerTest, CommentsAndTheUnsavedEditWarning)
{
    OpenWith({{CommentBlock("first") + CommentBlock("second") + GraphicControlBlock(7, 0, 0), 0, {}}});
    // Leaving an edited row warns and drops the edit.
    explorer->Select(0, 2);
    EditRow(0, "500");
    explorer->Select(0, 0);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Extension has not be saved");
    EXPECT_EQ(prompts.shown[0].caption, "Warning");
    prompts.shown.clear();
    EXPECT_FALSE(SaveEnabled());
    explorer->Select(0, 2);
    EXPECT_EQ(explorer->Rows().at(0).second, "70");

    // Edited text saves its lines; an emptied memo a comment of no lines.
    struct Case {
        int child;
        QString text;
        std::vector<std::string> lines;
    } cases[] = {{1, "one\ntwo\n", {"one", "two"}}, {0, "", {}}};
    for (const Case& c : cases) {
        explorer->Select(0, c.child);
        explorer->Memo().setPlainText(c.text);
        EXPECT_TRUE(SaveEnabled());
        explorer->SaveButtonClick();
        const auto* comment = dynamic_cast<const TGIFCommentExtension*>(DocumentFrame(0).Extensions().Extension(c.child));
        ASSERT_NE(comment, nullptr);
        EXPECT_EQ(comment->Lines(), c.lines);
        if (c.child == 1) {
            const ReadGif read = SaveAndRead();
            ASSERT_EQ(read.frames.size(), 1u);
            ASSERT_EQ(read.frames[0].size(), 3u);
            EXPECT_EQ(read.frames[0][1].function, COMMENT_EXT_FUNC_CODE);
            EXPECT_EQ(read.frames[0][1].first, Bytes({'o', 'n', 'e'}));
            EXPECT_EQ(read.frames[0][1].more, std::vector<Bytes>({{'t', 'w', 'o'}}));
        }
    }
    EXPECT_TRUE(prompts.shown.empty());
    // A comment without data is only its framing (giflib cannot read such a
    // block, so the bytes are looked at, and the file read back).
    project->SetFileName(TempPath("empty.gif"));
    commands::Save(*project);
    const Bytes saved = FileBytes(TempPath("empty.gif"));
    const Bytes emptyComment = {0x21, 0xFE, 0x00, 0x21, 0xFE, 0x03, 'o', 'n', 'e'};
    EXPECT_NE(std::search(saved.begin(), saved.end(), emptyComment.begin(), emptyComment.end()), saved.end());
    TGIFImage reread;
    reread.LoadFromFile(TempPath("empty.gif").toStdString());
    EXPECT_TRUE(dynamic_cast<const TGIFCommentExtension&>(*reread.Images().SubImage(0)->Extensions().Extension(0))
                    .Lines()
                    .empty());
}

TEST_F(ExtensionsExplorerTest, AnApplicationBlockIsDumpedSixteenBytesALine)
{
    Bytes first(20), second(3), third(16);
    for (int i = 0; i < 20; ++i)
        first[i] = uint8_t(0x41 + i);  // "ABCDEFGHIJKLMNOPQRST"
    second = {0x5B, 0x61, 0x7F};
    for (int i = 0; i < 16; ++i)
        third[i] = uint8_t(i * 17);
    OpenWith({{ApplicationBlock("ACMEDATA1.0", {first, second, third}), 0, {}}});
    explorer->Select(0, 0);
    const QStringList expected = {
        "Block: 00   Size: 020 bytes",
        QString(65, '-'),
        "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP",
        "51 52 53 54                                      QRST            ",
        "",
        "Block: 01   Size: 003 bytes",
        QString(65, '-'),
        "5B 61 7F                                         .a.             ",
        "",
        "Block: 02   Size: 016 bytes",
        QString(65, '-'),
        "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF  ..\"3DUfw........",
        "",
    };
    const QStringList shown = explorer->Memo().toPlainText().split('\n');
    ASSERT_EQ(shown.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(shown[i], expected[i]) << "line " << i;
        if (!shown[i].isEmpty() && !shown[i].startsWith("Block")) {
            EXPECT_EQ(shown[i].size(), 65) << "line " << i;
        }
    }
    EXPECT_EQ(explorer->Rows().at(2), qMakePair(QString("Data Blocks"), QString("3")));
}

TEST_F(ExtensionsExplorerTest, TheExplorerFollowsTheProject)
{
    OpenWith({{CommentBlock("a"), 0, {}}});
    explorer->Select(0, 0);
    commands::CloseProject(*project);
    EXPECT_EQ(explorer->Tree().topLevelItemCount(), 0);
    EXPECT_EQ(explorer->Memo().toPlainText(), "");
    EXPECT_FALSE(explorer->Memo().isVisibleTo(explorer));
    OpenWith({{LoopBlock(4), 0, {}}, {{}, 1, {}}});
    EXPECT_EQ(window->Windows().Find<TExtensionsForm>(WindowKind::Extensions), explorer);
    EXPECT_EQ(FrameNodes(), QStringList({"Frame 0", "Frame 1"}));
    EXPECT_EQ(Nodes(0), QStringList({"Netscape Loop Extension #27"}));
    // Another command's change of the frames shows too.
    commands::AddFrame(*project);
    EXPECT_EQ(FrameNodes(), QStringList({"Frame 0", "Frame 1", "Frame 2"}));
}

TEST(ExtensionsExplorerValues, DelaysRoundHalvesToEven)
{
    struct Case {
        int ms, hundredths;
    } cases[] = {{70, 7}, {75, 8}, {65, 6}, {64, 6}, {66, 7}, {5, 0}, {15, 2}, {655350, 65535}, {0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(DelayFromMilliseconds(c.ms), c.hundredths) << c.ms;
}

} // namespace
} // namespace animora::test

namespace animora::test {
namespace {

TEST(ExtensionsExplorerDialogs, EachRowGetsItsEditorPresetToTheRow)
{
    TEditPropertyForm form;
    struct Case {
        const char* property;
        const char* value;
        const char* editor;  // the one shown
        const char* answer;  // Ok without a change
    } cases[] = {
        {"Disposal", "Background", "DispComboBox", "Background"},
        {"Disposal", "5", "DispComboBox", ""},  // no name: the row keeps its number
        {"Prompt", "Yes", "ValueComboBox", "Yes"},
        {"Transparent", "No", "ValueComboBox", "No"},
        {"Delay", "70", "EditValue", "70"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.property + std::string(" ") + c.value);
        form.Present(c.property, c.value);
        for (const char* editor : {"DispComboBox", "ValueComboBox", "EditValue"})
            EXPECT_EQ(!form.findChild<QWidget*>(editor)->isHidden(), std::string(editor) == c.editor) << editor;
        EXPECT_EQ(form.Value(), c.answer);
    }
    EXPECT_EQ(EditorFor("Identifier"), PropertyEditor::None);

    TExtensType type;
    for (bool offered : {true, false}) {
        type.Present(offered);
        EXPECT_EQ(type.Kind(), NewExtensionKind::Comment);  // checked at every opening
        type.findChild<QRadioButton*>("NetscapeLoop")->setChecked(true);
        EXPECT_EQ(type.Kind(), offered ? NewExtensionKind::NetscapeLoop : NewExtensionKind::Comment);
        type.findChild<QRadioButton*>("GraphContrExt")->setChecked(true);
        EXPECT_EQ(type.Kind(), NewExtensionKind::GraphicControl);
    }
}

} // namespace
} // namespace animora::test
