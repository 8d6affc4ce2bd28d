#include "app/Actions.h"

#include "app/Icons.h"

namespace animora {

namespace {

using A = ActionId;
using R = ActionRule;
constexpr A kOwn = A::Count;

// Menu items: id, object name, caption, shortcut, rule, available.
constexpr ActionSpec Item(A id, const char* name, const char* caption, const char* shortcut, R rule,
                          bool available = true)
{
    return {id, name, caption, shortcut, rule, available, nullptr, kOwn};
}

// Tool buttons: id, object name, icon, "hint|status tip", rule, available,
// and the menu item they run.
constexpr ActionSpec Button(A id, const char* name, QIcon (*icon)(), const char* hint, R rule, bool available,
                            A triggers = kOwn)
{
    return {id, name, hint, "", rule, available, icon, triggers};
}

// Some captions keep the spelling users know them by: "Echange by places"
// and "Scaning frame" are the program's own texts, typos included.
constexpr std::array<ActionSpec, kActionCount> kActions = {{
    Item(A::Create1, "Create1", "Create", "", R::Always),
    Item(A::Open1, "Open1", "Open project", "Ctrl+O", R::Always),
    Item(A::Save1, "Save1", "Save project", "Ctrl+S", R::ProjectOpen),
    Item(A::Saveas1, "Saveas1", "Save as . . . ", "", R::ProjectOpen),
    Item(A::GIFWizard1, "GIFWizard1", "GIF Wizard", "", R::Always),
    Item(A::MapofGIF1, "MapofGIF1", "Import wizard", "", R::ProjectOpen, true),
    Item(A::Optimizepalette1, "Optimizepalette1", "Optimize", "", R::ProjectOpen),
    Item(A::Optimize1, "Optimize1", "Optimize color map", "", R::ProjectOpen),
    Item(A::Lastprojects1, "Lastprojects1", "Last projects", "", R::RecentProjects),
    Item(A::Close1, "Close1", "Exit", "Alt+F4", R::Always),

    Item(A::Undo1, "Undo1", "Undo", "Ctrl+Z", R::Undo, true),
    Item(A::Redo1, "Redo1", "Redo", "Shift+Ctrl+Z", R::Redo, true),
    Item(A::Cut1, "Cut1", "Cut", "Ctrl+X", R::DocumentWindow, true),
    Item(A::Copy1, "Copy1", "Copy", "Ctrl+Ins", R::DocumentWindow, true),
    Item(A::Paste1, "Paste1", "Paste", "Shift+Ins", R::Paste, true),
    Item(A::Delete2, "Delete2", "Delete", "", R::DocumentWindow, true),

    Item(A::Save2, "Save2", "Save current frame", "Alt+S", R::DocumentWindow),
    Item(A::Exchange1, "Exchange1", "Echange by places", "", R::ProjectOpen, true),
    Item(A::Addframe1, "Addframe1", "Add frame", "", R::ProjectOpen),
    Item(A::Edit1, "Edit1", "Edit preview frame", "Ctrl+E", R::ProjectOpen, true),
    Item(A::Delete1, "Delete1", "Delete preview frame", "Ctrl+D", R::ProjectOpen),
    Item(A::Moveframe1, "Moveframe1", "Move frame", "", R::ProjectOpen, true),
    Item(A::Frameoption1, "Frameoption1", "Frame option", "", R::ProjectOpen),

    // Whole-animation commands (src/edits), each one step of the history.
    Item(A::Reverse1, "Reverse1", "Reverse|Plays the frames in the opposite order.", "", R::ProjectOpen),
    Item(A::PingPong1, "PingPong1", "Ping-pong|Appends the frames backwards, so the animation plays forth and back.",
         "", R::ProjectOpen),
    Item(A::SetDelay1, "SetDelay1", "Set delay|Sets the delay of all frames or of a range of frames.", "",
         R::ProjectOpen),
    Item(A::ChangeSpeed1, "ChangeSpeed1", "Change speed|Plays the animation faster or slower by a percentage.", "",
         R::ProjectOpen),
    Item(A::Resize1, "Resize1", "Resize|Gives the whole animation a new size.", "", R::ProjectOpen),
    Item(A::Crop1, "Crop1", "Crop|Keeps a rectangle of the whole animation.", "", R::ProjectOpen),
    Item(A::DeleteRange1, "DeleteRange1", "Delete frames|Deletes a range of frames.", "", R::ProjectOpen),
    Item(A::KeepEvery1, "KeepEvery1",
         "Keep every n-th frame|Drops the frames between every n-th, keeping the animation's length.", "",
         R::ProjectOpen),
    Item(A::Dedupe1, "Dedupe1", "Drop duplicate frames|Drops frames that repeat the frame before them.", "",
         R::ProjectOpen),

    Item(A::Insertfromfile1, "Insertfromfile1", "Import", "", R::ProjectOpen, true),
    Item(A::Export1, "Export1", "Export", "", R::ProjectOpen, true),
    Item(A::Scan1, "Scan1", "Scaning frame", "", R::ProjectOpen, true),
    Item(A::Colorattribute1, "Colorattribute1", "Color attribute", "", R::ProjectOpen, false),
    // The text tool is reachable from the menu as well as from its button.
    Item(A::Text1, "Text1", "Draw text", "", R::DocumentWindow),

    Item(A::Extensions1, "Extensions1", "Extensions", "", R::ProjectOpen),
    Item(A::Globalpalette1, "Globalpalette1", "Global palette", "", R::ProjectOpen),

    // Menu items may carry a status tip too: "caption|status tip".
    Item(A::Fallwall1, "Fallwall1", "Fall wall|Transformations occurs as a put forward wall.", "", R::ProjectOpen),
    Item(A::Rain1, "Rain1", "Rain|Transformations occurs as strewed pixels.", "", R::ProjectOpen),
    Item(A::Moveapart1, "Moveapart1", "Move apart|Transformations occurs as move apart", "", R::ProjectOpen),
    Item(A::Lines1, "Lines1", "Lines", "", R::ProjectOpen),
    Item(A::Mosaic1, "Mosaic1", "Mosaic", "", R::ProjectOpen, false),

    Item(A::Scale50B, "Scale50B", "+ 50%", "Ctrl+PgDown", R::DocumentWindow, true),
    Item(A::Scale100B, "Scale100B", "+100%", "", R::DocumentWindow, true),
    Item(A::Scale50S, "Scale50S", "-50%", "Ctrl+PgUp", R::DocumentWindow, true),
    Item(A::Scale100S, "Scale100S", "-100%", "", R::DocumentWindow, true),
    Item(A::Realsize1, "Realsize1", "Real size", "Ctrl+Home", R::DocumentWindow, true),
    // The previous frame, faint, under the picture being painted.
    Item(A::OnionSkin1, "OnionSkin1", "Onion skin", "", R::DocumentWindow),

    Item(A::Cascade1, "Cascade1", "Cascade", "", R::Always),
    Item(A::Tile1, "Tile1", "Tile", "", R::Always),
    Item(A::ArrangeIcons1, "ArrangeIcons1", "Arrange to icons", "", R::Always),
    Item(A::Next1, "Next1", "Next", "Ctrl+F6", R::Always),
    Item(A::Previous1, "Previous1", "Previous", "Shift+Ctrl+F6", R::Always),

    Item(A::Help2, "Help2", "How to use", "", R::UserGuide),
    Item(A::Homepage1, "Homepage1", "Zelqo home page", "", R::Always),
    Item(A::About1, "About1", "About", "", R::Always),

    Button(A::CreateButton, "CreateButton", &Icons::Create, "Create new project file", R::Always, true, A::Create1),
    Button(A::OpenButton, "OpenButton", &Icons::Open, "Open exist project file", R::Always, true, A::Open1),
    Button(A::SaveButton, "SaveButton", &Icons::Save, "Save current project file", R::ProjectOpen, true, A::Save1),
    Button(A::WizardButton, "WizardButton", &Icons::Wizard, "GIF Wizard|Run GIF Wizard", R::Always, true,
           A::GIFWizard1),
    Button(A::ImportButton, "ImportButton", &Icons::ImportWizard, "Import Wizard|Easy import frame from file",
           R::ProjectOpen, true, A::MapofGIF1),
    Button(A::UndoButton, "UndoButton", &Icons::Undo, "Undo|Undo the last operation", R::Undo, true, A::Undo1),
    Button(A::RedoButton, "RedoButton", &Icons::Redo, "Redo|Redo last action", R::Redo, true, A::Redo1),
    Button(A::CutButton, "CutButton", &Icons::Cut, "Cut|Cut selected range", R::DocumentWindow, true, A::Cut1),
    Button(A::CopyButton, "CopyButton", &Icons::Copy, "Copy|Copy selected range", R::DocumentWindow, true, A::Copy1),
    Button(A::PasteButton, "PasteButton", &Icons::Paste, "Paste|Paste selected range", R::Paste, true, A::Paste1),
    Button(A::DeleteButton, "DeleteButton", &Icons::Delete, "Delete|Delete selected range", R::DocumentWindow, true,
           A::Delete2),
    Button(A::ToolButton2, "ToolButton2", &Icons::About, "About|About programm", R::Always, true, A::About1),
    Button(A::CloseButton, "CloseButton", &Icons::Exit, "Exit|Exit from Animora", R::Always, true, A::Close1),

    Button(A::CursorlButton, "CursorlButton", &Icons::Cursor, "Cursor|Cursor can't draw anything", R::DocumentWindow,
           true),
    // The select tool's hint is the one the program has always shown.
    Button(A::SelectButton, "SelectButton", &Icons::Select, "About programm", R::DocumentWindow, true),
    Button(A::GetColorButton, "GetColorButton", &Icons::GetColor, "Get color|Get color from the current pixel",
           R::DocumentWindow, true),
    Button(A::PenButton, "PenButton", &Icons::Pen, "Pen|When you fast draw a line, it may see broken line",
           R::DocumentWindow, true),
    Button(A::LongPenButton, "LongPenButton", &Icons::LongPen, "Long pen|Uninterruptedly pen draw", R::DocumentWindow,
           true),
    Button(A::LineButton, "LineButton", &Icons::Line, "Draw line|Draw line", R::DocumentWindow, true),
    Button(A::QuadButton, "QuadButton", &Icons::Rectangle, "Rectangle|Draw rectangle", R::DocumentWindow, true),
    Button(A::EllipseButton, "EllipseButton", &Icons::Ellipse, "Ellipse|Draw ellipse", R::DocumentWindow, true),
    Button(A::FillButton, "FillButton", &Icons::Fill, "Fill|Fill region", R::DocumentWindow, true),
    Button(A::TextButton, "TextButton", &Icons::Text, "Draw text|Draw text", R::DocumentWindow, true),

    Button(A::GlobalOption, "GlobalOption", &Icons::GlobalPalette, "Global palette|Global palette option",
           R::ProjectOpen, true, A::Globalpalette1),
    Button(A::ExtensButton, "ExtensButton", &Icons::Extensions, "View extensions|Show frame extensions explorer",
           R::ProjectOpen, true, A::Extensions1),
    Button(A::OptimizeButton, "OptimizeButton", &Icons::Optimize, "Optimize|Optimize the frames and colours",
           R::ProjectOpen, true, A::Optimizepalette1),
    Button(A::ImportFrameButton, "ImportFrameButton", &Icons::ImportFrame,
           "Import frame|Import picture from graphic file to frame", R::ProjectOpen, true, A::Insertfromfile1),
    Button(A::ExportFrameButton, "ExportFrameButton", &Icons::ExportFrame,
           "Export frame|Export picture from to graphic file", R::ProjectOpen, true, A::Export1),
    Button(A::ScanButton, "ScanButton", &Icons::Scan, "Scan frame|Scaning frame", R::ProjectOpen, true, A::Scan1),
}};

// The table is in the order of the enumeration, so an action is found by
// its number; a missing or misplaced entry stops the build.
constexpr bool TableFollowsEnumeration()
{
    for (std::size_t i = 0; i < kActions.size(); ++i)
        if (static_cast<std::size_t>(kActions[i].id) != i)
            return false;
    return true;
}
static_assert(TableFollowsEnumeration(), "kActions must list every ActionId in order");

constexpr std::array<MenuSpec, kMenuCount> kMenus = {{
    {MenuId::File, "File", R::Always},
    {MenuId::Edit, "Edit", R::DocumentWindow},
    {MenuId::Frame, "Frame", R::ProjectOpen},
    {MenuId::Animation, "Animation", R::ProjectOpen},
    {MenuId::Draw, "Draw", R::ProjectOpen},
    {MenuId::GIF, "GIF", R::ProjectOpen},
    {MenuId::Effect, "Effect", R::ProjectOpen},
    {MenuId::View, "View", R::ProjectOpen},
    {MenuId::Window, "Window", R::Always},
    {MenuId::Help, "Help", R::Always},
}};

constexpr bool MenusFollowEnumeration()
{
    for (std::size_t i = 0; i < kMenus.size(); ++i)
        if (static_cast<std::size_t>(kMenus[i].id) != i)
            return false;
    return true;
}
static_assert(MenusFollowEnumeration(), "kMenus must list every MenuId in order");

} // namespace

const ActionSpec& Spec(ActionId id)
{
    return kActions[static_cast<std::size_t>(id)];
}

const std::array<ActionSpec, kActionCount>& AllActions()
{
    return kActions;
}

const MenuSpec& Spec(MenuId id)
{
    return kMenus[static_cast<std::size_t>(id)];
}

bool RuleHolds(ActionRule rule, const ActionContext& context)
{
    switch (rule) {
    case R::Always: return true;
    case R::ProjectOpen: return context.projectOpen;
    case R::DocumentWindow: return context.documentWindowActive;
    case R::Paste: return context.documentWindowActive && context.clipboardHasImage;
    case R::Undo: return context.canUndo;
    case R::Redo: return context.canRedo;
    case R::RecentProjects: return context.hasRecentProjects;
    case R::UserGuide: return context.userGuidePresent;
    }
    return false;
}

} // namespace animora
