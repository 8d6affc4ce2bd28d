#pragma once
// The About box: program name, version, credits and the licences of the
// libraries the program uses. The scanner's About command shows it too.
#include <QString>

class QWidget;

namespace animora {

inline constexpr const char* kProgramVersion = "1.0";

// The box's text (rich text), kept apart so it can be checked.
QString AboutText();
void ShowAboutBox(QWidget* parent);

} // namespace animora
