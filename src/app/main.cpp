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
    // Painter threads paint through the event loop.
    const std::shared_ptr<TQtGuiDispatcher> dispatcher = InstallQtGuiDispatcher();
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
        dispatcher->SetErrorHandler([&prompts](const QString& text) { prompts.ShowError(text); });
        splash.reset();

        giffer.show();
        const QStringList arguments = application.arguments();
        giffer.StartUp(arguments.size() > 1 ? arguments.at(1) : QString());
        result = application.exec();
        // No event loop runs any more: painters still going must not wait
        // for it, and errors have nobody left to show them.
        dispatcher->RequestQuit();
        dispatcher->SetErrorHandler(nullptr);
        // The handler's prompts end with this scope; the application outlives them.
        application.SetPrompts(nullptr);
    }
    return result;
}
