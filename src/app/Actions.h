#pragma once
// Every menu item and tool button of the main window, by identity. One
// table gives each its object name (the name tests and people know it by),
// its caption or hint, shortcut, icon and the rule that enables it; the main
// window builds its menus and toolbars from the table and computes every
// enabled state in one place from the context.
#include <array>
#include <cstddef>

#include <QIcon>

namespace animora {

enum class ActionId {
    // File
    Create1, Open1, Save1, Saveas1, GIFWizard1, MapofGIF1, Optimizepalette1, Optimize1, Lastprojects1, Close1,
    // Edit
    Undo1, Redo1, Cut1, Copy1, Paste1, Delete2,
    // Frame
    Save2, Exchange1, Addframe1, Edit1, Delete1, Moveframe1, Frameoption1,
    // Animation: the whole animation at once
    Reverse1, PingPong1, SetDelay1, ChangeSpeed1, Resize1, Crop1, DeleteRange1, KeepEvery1, Dedupe1,
    // Draw
    Insertfromfile1, Export1, Scan1, Colorattribute1, Text1,
    // GIF
    Extensions1, Globalpalette1,
    // Effect
    Fallwall1, Rain1, Moveapart1, Lines1, Mosaic1,
    // View
    Scale50B, Scale100B, Scale50S, Scale100S, Realsize1, OnionSkin1,
    // Window
    Cascade1, Tile1, ArrangeIcons1, Next1, Previous1,
    // Help
    Help2, Homepage1, About1,
    // ToolBar1: the project bar
    CreateButton, OpenButton, SaveButton, WizardButton, ImportButton, UndoButton, RedoButton, CutButton,
    CopyButton, PasteButton, DeleteButton, ToolButton2, CloseButton,
    // ToolBar4: the drawing tools, one down at a time
    CursorlButton, SelectButton, GetColorButton, PenButton, LongPenButton, LineButton, QuadButton, EllipseButton,
    FillButton, TextButton,
    // ToolBar3: the GIF tools
    GlobalOption, ExtensButton, OptimizeButton, ImportFrameButton, ExportFrameButton, ScanButton,
    Count
};
inline constexpr std::size_t kActionCount = static_cast<std::size_t>(ActionId::Count);

enum class MenuId { File, Edit, Frame, Animation, Draw, GIF, Effect, View, Window, Help, Count };
inline constexpr std::size_t kMenuCount = static_cast<std::size_t>(MenuId::Count);

// When an action (or a menu) may be used.
enum class ActionRule {
    Always,
    ProjectOpen,      // a project is open
    DocumentWindow,   // the document window is the active window
    Paste,            // the document window is active and the clipboard holds a picture
    Undo,             // the active window has something to undo
    Redo,             // ... or to redo
    RecentProjects,   // the recent list has entries
    UserGuide,        // the user guide ships beside the program
};

// What the enabled states are computed from.
struct ActionContext {
    bool projectOpen = false;
    bool documentWindowActive = false;
    bool clipboardHasImage = false;
    bool canUndo = false;
    bool canRedo = false;
    bool hasRecentProjects = false;
    bool userGuidePresent = false;
};

struct ActionSpec {
    ActionId id;
    const char* objectName;
    // A menu item's "caption" or "caption|status tip"; a button's "hint|status tip".
    const char* text;
    const char* shortcut;
    ActionRule rule;
    // False while the command is not in this version: shown, never enabled.
    bool available;
    // Buttons only: the icon, and the menu item whose command the button
    // runs (ActionId::Count when it has its own).
    QIcon (*icon)();
    ActionId triggers;
};

const ActionSpec& Spec(ActionId id);
const std::array<ActionSpec, kActionCount>& AllActions();

struct MenuSpec {
    MenuId id;
    const char* title;
    ActionRule rule;
};
const MenuSpec& Spec(MenuId id);

bool RuleHolds(ActionRule rule, const ActionContext& context);
inline bool IsActionEnabled(const ActionSpec& spec, const ActionContext& context)
{
    return spec.available && RuleHolds(spec.rule, context);
}

} // namespace animora
