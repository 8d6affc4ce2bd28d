// Start-up: the splash, the application, the windows (main window first,
// then the preview and the dialogs), the splash freed, the message loop.
#include <QDir>

#include "app/AnimoraApplication.h"
#include "app/Giffer.h"
#include "app/Project.h"
#include "app/QtGuiDispatcher.h"
#include "app/QtPrompts.h"
#include "app/dialogs/LoadForm.h"

int main(int argc, char** argv)
{
    using namespace animora;
    AnimoraApplication application(argc, argv);
    InstallQtGuiDispatcher();  // painter threads paint through the event loop
    auto splash = std::make_unique<TLoadForm>();
    splash->show();
    splash->repaint();
    application.processEvents();

    int result = 0;
    {
        QtPrompts prompts;
        Project project(prompts, QDir::currentPath());
        TGiffer giffer(project);
        prompts.SetParentWindow(&giffer);
        application.SetPrompts(&prompts);
        splash.reset();

        giffer.show();
        const QStringList arguments = application.arguments();
        giffer.StartUp(arguments.size() > 1 ? arguments.at(1) : QString());
        result = application.exec();
        // The handler's prompts end with this scope; the application outlives them.
        application.SetPrompts(nullptr);
    }
    return result;
}
