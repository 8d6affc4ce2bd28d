#pragma once
// Prompts for the tests: every answer is queued beforehand and every message
// is recorded, so a flow's texts and captions can be checked exactly. A
// question without a queued answer is recorded and answered Cancel.
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "app/Prompts.h"

namespace animora::test {

struct ShownMessage {
    QString text;
    QString caption;
    PromptButtons buttons;
};

class ScriptedPrompts : public Prompts {
public:
    std::deque<PromptAnswer> answers;
    std::deque<std::optional<QString>> fileNames;

    std::vector<ShownMessage> shown;
    std::vector<FileDialogRequest> fileRequests;

    // Progress windows: the requests shown, every percent reported, and how
    // many are up. The user presses Cancel once a run reports at least
    // `cancelAtPercent`; `duringProgress` runs at every report, as the
    // user's other clicks would while the window is up.
    std::vector<ProgressRequest> progressShown;
    std::vector<int> progressPercents;
    int progressWindowsUp = 0;
    std::optional<int> cancelAtPercent;
    std::function<void()> duringProgress;

    PromptAnswer Message(const QString& text, const QString& caption, PromptIcon, PromptButtons buttons) override
    {
        shown.push_back({text, caption, buttons});
        if (buttons == PromptButtons::Ok)
            return PromptAnswer::Ok;
        return Next(answers, PromptAnswer::Cancel);
    }
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override
    {
        fileRequests.push_back(request);
        return Next(fileNames, std::optional<QString>{});
    }
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override
    {
        fileRequests.push_back(request);
        return Next(fileNames, std::optional<QString>{});
    }

    std::unique_ptr<ProgressWindow> ShowProgress(const ProgressRequest& request) override
    {
        progressShown.push_back(request);
        return std::make_unique<Progress>(*this);
    }

    // Queues the answer to the next question of that feature's dialog;
    // nothing is Cancel. A question without a queued answer is Cancel too.
    template <typename Question>
    void Answer(std::optional<typename Question::Answer> answer)
    {
        dialogAnswers[typeid(Question)].push_back(answer ? std::any(*answer) : std::any());
    }
    // The questions of that kind asked so far.
    template <typename Question>
    std::vector<Question> Asked() const
    {
        std::vector<Question> asked;
        for (const std::any& question : questions)
            if (const auto* q = std::any_cast<Question>(&question))
                asked.push_back(*q);
        return asked;
    }

    // Texts of the messages shown so far, then forgets them.
    QStringList TakeTexts()
    {
        QStringList texts;
        for (const auto& message : shown)
            texts << message.text;
        shown.clear();
        return texts;
    }

protected:
    std::any AskDialog(const std::any& question, const DialogRunner&) override
    {
        questions.push_back(question);
        return Next(dialogAnswers[question.type()], std::any());
    }

private:
    class Progress : public ProgressWindow {
    public:
        explicit Progress(ScriptedPrompts& owner) : owner_(owner) { ++owner_.progressWindowsUp; }
        ~Progress() override { --owner_.progressWindowsUp; }
        bool Advance(int percent, const QString&) override
        {
            owner_.progressPercents.push_back(percent);
            if (owner_.duringProgress)
                owner_.duringProgress();
            return !(owner_.cancelAtPercent && percent >= *owner_.cancelAtPercent);
        }

    private:
        ScriptedPrompts& owner_;
    };

    std::map<std::type_index, std::deque<std::any>> dialogAnswers;
    std::vector<std::any> questions;

    // GCC 12 reports moving an engaged std::optional<QString> out of the queue
    // as "may be used uninitialized" at some optimisation levels; it is not.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
    template <typename T>
    static T Next(std::deque<T>& queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
#pragma GCC diagnostic pop
};

} // namespace animora::test
