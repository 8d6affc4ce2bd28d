#include "app/CommandGuard.h"

#include <exception>
#include <new>

#include "app/Prompts.h"
#include "platform/Errors.h"

namespace animora {

void Prompts::ShowError(const QString& text)
{
    Message(text, QString::fromLatin1(kApplicationTitle), PromptIcon::Error, PromptButtons::Ok);
}

namespace {

class UnseenProgress : public ProgressWindow {
public:
    bool Advance(int, const QString&) override { return true; }
};

} // namespace

std::unique_ptr<ProgressWindow> Prompts::ShowProgress(const ProgressRequest&)
{
    return std::make_unique<UnseenProgress>();
}

bool RunGuarded(Prompts& prompts, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const EAbort&) {
        // The user stopped a run: nothing to say.
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
