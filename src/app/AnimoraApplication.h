#pragma once
// The application object: title, icon theme, and the last line of the
// top-level handler. Commands catch their own failures (RunGuarded); what
// still escapes an event handler is shown here and the editor goes on.
#include <QApplication>

namespace animora {

class Prompts;

class AnimoraApplication : public QApplication {
    Q_OBJECT
public:
    AnimoraApplication(int& argc, char** argv);

    void SetPrompts(Prompts* prompts) { prompts_ = prompts; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Prompts* prompts_ = nullptr;
};

} // namespace animora
