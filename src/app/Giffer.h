#pragma once
// The main window: one MDI frame holding the preview and, later, the
// document and tool windows; the menus, the three toolbars, the progress
// panel and the status bar; the project life cycle and the saved settings.
// It presents the Project and hands every action to a command.
#include <array>

#include <QMainWindow>

#include "app/Actions.h"
#include "app/Settings.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolBar;

namespace animora {

class Project;
class TGifClientForm;
class TGifPreview;
class TMapForm;
class TMdiWindows;
class TOpenWizForm;

class TGiffer : public QMainWindow {
    Q_OBJECT
public:
    TGiffer(Project& project, QWidget* parent = nullptr);
    ~TGiffer() override;

    // The show step of start-up: the command-line file (or no project), the
    // paste state, the recent list from File.dat, the chooser, the settings.
    void StartUp(const QString& firstParameter, bool showChooser = true);

    QAction* Action(ActionId id) const { return actions_[static_cast<std::size_t>(id)]; }
    QMenu* Menu(MenuId id) const { return menus_[static_cast<std::size_t>(id)]; }
    TGifPreview* Preview() const { return preview_; }
    QMdiSubWindow* PreviewWindow() const { return previewWindow_; }
    TMdiWindows& Windows() const { return *windows_; }
    TOpenWizForm* Chooser() const { return chooser_; }
    QString StatusText(int panel) const;

    // The document window, when it is open.
    TGifClientForm* Client() const;
    // Opens the document window on the preview's current frame, or brings
    // the open one forward (it goes on editing its own frame).
    TGifClientForm* OpenDocumentWindow();

    // A dropped file: "Save changes?" for the open project, then it opens.
    void OpenDropped(const QString& path);

    // The scanner: 1 when it left gif.dat in the start folder.
    uint8_t Scan();

    // Opens the map of the GIF, or brings it forward.
    TMapForm* OpenMap();

    // What the enabled states follow, as things stand now.
    ActionContext CurrentContext() const;
    // Every action and menu enabled as the context says. Called whenever the
    // context changes: the project opens or closes, another sub-window
    // becomes active, the clipboard or the recent list changes; windows call
    // it when their selection or undo state changes.
    void UpdateActions();
    void ApplyActionStates(const ActionContext& context);
    bool ClipboardHasBitmap() const { return clipboardHasBitmap_; }
    void ReleaseToolButtons();
    void LoadSettings();
    void SaveSettings();

protected:
    void closeEvent(QCloseEvent* event) override;
    // A picture or video dropped on the window opens as the project.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // --- building (GifferMenus.cpp, GifferBars.cpp) ---
    void BuildMenus();
    void BindMenuCommands();
    void BindDocumentCommands();
    // Runs `command` on the document window when there is one.
    void OnClient(ActionId id, void (TGifClientForm::*command)());
    void BuildToolbars();
    void BuildBottomPanel();
    void BuildStatusBar();
    QMenu* AddMenu(MenuId id);
    void AddItems(QMenu* menu, std::initializer_list<ActionId> ids);
    QToolBar* AddToolBar(const char* name, const char* title, std::initializer_list<ActionId> ids);
    QAction* MakeAction(ActionId id);
    void Run(const std::function<void()>& command);
    void Bind(ActionId id, void (*command)(Project&));
    void UpdateClipboardState();
    void NameHistorySteps();
    void RebuildRecentMenu();
    void ConnectProject();
    void ShowAbout();
    void ArrangeIcons();

    void PlaceToolbars(const WindowSettings& settings);
    WindowSettings CurrentWindowSettings() const;

    Project& project_;
    std::array<QAction*, kActionCount> actions_{};
    std::array<QMenu*, kMenuCount> menus_{};
    QMenu* recentMenu_ = nullptr;
    QToolBar* toolBar1_ = nullptr;
    QToolBar* toolBar4_ = nullptr;
    QToolBar* toolBar3_ = nullptr;
    QMdiArea* mdiArea_ = nullptr;
    TGifPreview* preview_ = nullptr;
    QMdiSubWindow* previewWindow_ = nullptr;
    TMdiWindows* windows_ = nullptr;
    TOpenWizForm* chooser_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    bool clipboardHasBitmap_ = false;
};

// The user guide that ships beside the program ("How to use").
QString UserGuidePath();

// Where the home page label, the help menu and the mail link lead.
inline constexpr const char* kHomePageUrl = "https://zelqo.example.org/animora/";
inline constexpr const char* kMailUrl = "mailto:animora@zelqo.example.org";

} // namespace animora
