#pragma once
// The editor's top-level handler: a failure of a command is shown as its
// text in a message box and the editor goes on. Commands run through
// RunGuarded; AnimoraApplication::notify catches whatever escapes an event.
#include <functional>

namespace animora {

class Prompts;

// Runs `command`; any exception becomes a message box. False when it failed.
bool RunGuarded(Prompts& prompts, const std::function<void()>& command);

} // namespace animora
