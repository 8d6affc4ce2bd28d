#pragma once
// The icons of the toolbars and buttons. Each comes from the desktop icon
// theme when the theme has it; otherwise it is drawn here in the theme's
// manner (dark outline, one blue accent) so the bars keep one look.
#include <QIcon>

namespace animora::Icons {

// Picks the Adwaita theme when the desktop names none, so a bare X session
// (or xvfb) shows the same icons as a desktop.
void SelectTheme();

QIcon Create();
QIcon Open();
QIcon Save();
QIcon Wizard();
QIcon ImportWizard();
QIcon Undo();
QIcon Redo();
QIcon Cut();
QIcon Copy();
QIcon Paste();
QIcon Delete();
QIcon About();
QIcon Exit();

QIcon Cursor();
QIcon Select();
QIcon GetColor();
QIcon Pen();
QIcon LongPen();
QIcon Line();
QIcon Rectangle();
QIcon Ellipse();
QIcon Fill();
QIcon Text();

QIcon GlobalPalette();
QIcon Extensions();
QIcon Optimize();
QIcon ImportFrame();
QIcon ExportFrame();
QIcon Scan();

QIcon FirstFrame();
QIcon PreviousFrame();
QIcon NextFrame();
QIcon LastFrame();
QIcon Run();
QIcon Stop();
QIcon AddFrame();
QIcon EditFrame();
QIcon DeleteFrame();
QIcon FrameOption();

} // namespace animora::Icons
