#pragma once
// The persisted window settings: QSettings under "Zelqo"/"Animora", group
// "Option", every value a decimal string ("1"/"0" for the boolean).
#include <QPoint>
#include <QRect>
#include <QString>

class QSettings;

namespace animora {

// Toolbar places as stored: left and top on the toolbar area. Qt lays the
// toolbars out in rows; a top below 15 is the first row, below 41 the
// second, and so on (rows are 26 pixels apart), and left orders a row.
struct ToolbarPlace {
    int left = 0;
    int top = 0;
    int Row() const;
    static ToolbarPlace ForRow(int row, int left);
};

struct WindowSettings {
    // "Heigth" is the key's spelling in stored settings, kept so they load.
    QRect normalGeometry{600, 400, 600, 400};  // Left, Top, Width, Heigth
    int windowState = 0;                        // 0 normal, 1 minimised, 2 maximised
    ToolbarPlace projectBar{12, 2};             // ToolBar1
    ToolbarPlace drawingBar{360, 2};            // ToolBar4
    ToolbarPlace gifBar{12, 28};                // ToolBar3
    QRect previewGeometry{100, 100, 200, 200};
    // Whether the settings held the main window's and the preview's
    // geometry; a first start sizes the windows to the screen instead.
    bool geometrySaved = false;
    bool previewSaved = false;
};

// What closing the main window writes: geometries only where the window's
// state is normal.
struct WindowSettingsToSave {
    WindowSettings values;
    bool mainWindowNormal = true;
    bool previewNormal = true;
};

class Settings {
public:
    static constexpr const char* kOrganization = "Zelqo";
    static constexpr const char* kApplication = "Animora";
    static constexpr const char* kGroup = "Option";

    static WindowSettings LoadWindow();
    static void SaveWindow(const WindowSettingsToSave& settings);

    static bool ShowOpenWiz();
    static void SetShowOpenWiz(bool show);

private:
    static int ReadInt(QSettings& settings, const char* key, int fallback);
    static void WriteInt(QSettings& settings, const char* key, int value);
};

} // namespace animora
