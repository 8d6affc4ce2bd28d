#include "app/AnimoraApplication.h"

#include "app/CommandGuard.h"
#include "app/Icons.h"
#include "app/Prompts.h"
#include "app/Settings.h"

namespace animora {

AnimoraApplication::AnimoraApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(Settings::kApplication);
    setOrganizationName(Settings::kOrganization);
    setApplicationDisplayName(kApplicationTitle);
    Icons::SelectTheme();
}

bool AnimoraApplication::notify(QObject* receiver, QEvent* event)
{
    if (!prompts_)
        return QApplication::notify(receiver, event);
    bool handled = false;
    RunGuarded(*prompts_, [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace animora
