#include "app/CommandGuard.h"

#include <exception>
#include <new>

#include "app/Prompts.h"

namespace animora {

void Prompts::ShowError(const QString& text)
{
    Message(text, QString::fromLatin1(kApplicationTitle), PromptIcon::Error, PromptButtons::Ok);
}

bool RunGuarded(Prompts& prompts, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const std::bad_alloc&) {
        prompts.ShowError("Out of memory");
    } catch (const std::exception& error) {
        prompts.ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        prompts.ShowError("Unknown failure");
    }
    return false;
}

} // namespace animora
