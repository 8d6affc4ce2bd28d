#pragma once
// The main window: one MDI frame holding the preview and, later, the
// document and tool windows; the menus, the three toolbars, the progress
// panel and the status bar; the project life cycle and the saved settings.
// It presents the Project and hands every action to a command.
#include <QHash>
#include <QMainWindow>
#include <QSet>

#include "app/Settings.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolBar;

namespace animora {

class Project;
class TGifPreview;
class TOpenWizForm;

class TGiffer : public QMainWindow {
    Q_OBJECT
public:
    TGiffer(Project& project, QWidget* parent = nullptr);
    ~TGiffer() override;

    // The show step of start-up: the command-line file (or no project), the
    // paste state, the recent list from File.dat, the chooser, the settings.
    void StartUp(const QString& firstParameter, bool showChooser = true);

    // The action (menu item or toolbar button) of that design name.
    QAction* Action(const QString& name) const { return actions_.value(name); }
    TGifPreview* Preview() const { return preview_; }
    QMdiSubWindow* PreviewWindow() const { return previewWindow_; }
    TOpenWizForm* Chooser() const { return chooser_; }
    QString StatusText(int panel) const;

    void EnableProjectCommands(bool on);
    void EnableEditTools(bool on);
    // Paste is enabled exactly when the clipboard holds a bitmap and there
    // is a document window to paste into.
    void UpdatePasteState();
    bool ClipboardHasBitmap() const { return clipboardHasBitmap_; }
    void ReleaseToolButtons();
    void LoadSettings();
    void SaveSettings();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // --- building (GifferMenus.cpp, GifferBars.cpp) ---
    void BuildMenus();
    void BuildFileMenu();
    void BuildEditAndFrameMenus();
    void BuildOtherMenus();
    void BuildToolbars();
    void BuildBottomPanel();
    void BuildStatusBar();
    QAction* AddAction(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut = {});
    QAction* AddButton(QToolBar* bar, const char* name, const QIcon& icon, const char* hint);
    // An item whose command a later version brings: present, never enabled.
    void MarkUnavailable(QAction* action);
    void SetAvailableEnabled(QAction* action, bool on);
    void Run(const std::function<void()>& command);
    void Connect(const char* name, void (*command)(Project&));
    void RebuildRecentMenu();
    void ConnectProject();
    void ShowAbout();
    void ArrangeIcons();

    void PlaceToolbars(const WindowSettings& settings);
    WindowSettings CurrentWindowSettings() const;

    Project& project_;
    QHash<QString, QAction*> actions_;
    QSet<QAction*> unavailable_;
    QHash<QString, QMenu*> menus_;
    QToolBar* toolBar1_ = nullptr;
    QToolBar* toolBar4_ = nullptr;
    QToolBar* toolBar3_ = nullptr;
    QMdiArea* mdiArea_ = nullptr;
    TGifPreview* preview_ = nullptr;
    QMdiSubWindow* previewWindow_ = nullptr;
    TOpenWizForm* chooser_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    bool editToolsOn_ = false;
    bool clipboardHasBitmap_ = false;
};

// The user guide that ships beside the program ("How to use").
QString UserGuidePath();

// Where the home page label, the help menu and the mail link lead.
inline constexpr const char* kHomePageUrl = "https://zelqo.example.org/animora/";
inline constexpr const char* kMailUrl = "mailto:animora@zelqo.example.org";

} // namespace animora
