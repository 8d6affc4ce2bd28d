#pragma once
// The About box: program name, version, credits and the licences of the
// libraries the program uses. The scanner's About command shows it too.
#include <QString>

#include "Version.h"  // kProgramVersion, from the build's one version number

class QWidget;

namespace animora {


// The box's text (rich text), kept apart so it can be checked.
QString AboutText();
void ShowAboutBox(QWidget* parent);

} // namespace animora
