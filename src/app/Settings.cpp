#include "app/Settings.h"

#include <QSettings>

namespace animora {

namespace {

constexpr int kRowPitch = 26;
constexpr int kFirstRowTop = 2;

QSettings OpenSettings()
{
    return QSettings(QSettings::UserScope, Settings::kOrganization, Settings::kApplication);
}

} // namespace

int ToolbarPlace::Row() const
{
    return top < kFirstRowTop + kRowPitch / 2 ? 0 : (top - kFirstRowTop + kRowPitch / 2) / kRowPitch;
}

ToolbarPlace ToolbarPlace::ForRow(int row, int left)
{
    return {left, kFirstRowTop + row * kRowPitch};
}

int Settings::ReadInt(QSettings& settings, const char* key, int fallback)
{
    bool ok = false;
    const int value = settings.value(QLatin1String(key)).toString().toInt(&ok);
    return ok ? value : fallback;
}

void Settings::WriteInt(QSettings& settings, const char* key, int value)
{
    settings.setValue(QLatin1String(key), QString::number(value));
}

WindowSettings Settings::LoadWindow()
{
    QSettings settings = OpenSettings();
    settings.beginGroup(kGroup);
    WindowSettings s;
    s.geometrySaved = settings.contains(QStringLiteral("Width"));
    s.previewSaved = settings.contains(QStringLiteral("PreviewWidth"));
    s.normalGeometry = QRect(ReadInt(settings, "Left", 600), ReadInt(settings, "Top", 400),
                             ReadInt(settings, "Width", 600), ReadInt(settings, "Heigth", 400));
    s.windowState = ReadInt(settings, "WinState", 0);
    s.projectBar = {ReadInt(settings, "TB1Left", 12), ReadInt(settings, "TB1Top", 2)};
    s.drawingBar = {ReadInt(settings, "TB2Left", 360), ReadInt(settings, "TB2Top", 2)};
    s.gifBar = {ReadInt(settings, "TB3Left", 12), ReadInt(settings, "TB3Top", 28)};
    s.previewGeometry = QRect(ReadInt(settings, "PreviewLeft", 100), ReadInt(settings, "PreviewTop", 100),
                              ReadInt(settings, "PreviewWidth", 200), ReadInt(settings, "PreviewHeight", 200));
    return s;
}

void Settings::SaveWindow(const WindowSettingsToSave& toSave)
{
    QSettings settings = OpenSettings();
    settings.beginGroup(kGroup);
    const WindowSettings& s = toSave.values;
    if (toSave.mainWindowNormal) {
        WriteInt(settings, "Width", s.normalGeometry.width());
        WriteInt(settings, "Heigth", s.normalGeometry.height());  // the stored key's spelling
        WriteInt(settings, "Left", s.normalGeometry.left());
        WriteInt(settings, "Top", s.normalGeometry.top());
    }
    WriteInt(settings, "WinState", s.windowState);
    WriteInt(settings, "TB1Left", s.projectBar.left);
    WriteInt(settings, "TB1Top", s.projectBar.top);
    WriteInt(settings, "TB2Left", s.drawingBar.left);
    WriteInt(settings, "TB2Top", s.drawingBar.top);
    WriteInt(settings, "TB3Left", s.gifBar.left);
    WriteInt(settings, "TB3Top", s.gifBar.top);
    if (toSave.previewNormal) {
        WriteInt(settings, "PreviewLeft", s.previewGeometry.left());
        WriteInt(settings, "PreviewTop", s.previewGeometry.top());
        WriteInt(settings, "PreviewWidth", s.previewGeometry.width());
        WriteInt(settings, "PreviewHeight", s.previewGeometry.height());
    }
}

bool Settings::ShowOpenWiz()
{
    QSettings settings = OpenSettings();
    settings.beginGroup(kGroup);
    return ReadInt(settings, "ShowOpenWiz", 1) != 0;
}

void Settings::SetShowOpenWiz(bool show)
{
    QSettings settings = OpenSettings();
    settings.beginGroup(kGroup);
    WriteInt(settings, "ShowOpenWiz", show ? 1 : 0);
}

} // namespace animora
