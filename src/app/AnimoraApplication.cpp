#include "app/AnimoraApplication.h"

#include <QScreen>

#include "app/CommandGuard.h"
#include "app/Icons.h"
#include "app/Prompts.h"
#include "app/Settings.h"
#include "gif/GIFCodec.h"

namespace animora {

AnimoraApplication::AnimoraApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(Settings::kApplication);
    setOrganizationName(Settings::kOrganization);
    setApplicationDisplayName(kApplicationTitle);
    Icons::SelectTheme();
    // Images set to dither automatically dither on a display of 256 colours or fewer.
    const QScreen* screen = primaryScreen();
    StartGIFCodec(screen ? screen->depth() : 24);
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
