#pragma once
// Prompts for the tests: every answer is queued beforehand and every message
// is recorded, so a flow's texts and captions can be checked exactly. A
// question without a queued answer is recorded and answered Cancel.
#include <deque>
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
    std::deque<std::optional<CreateGifFields>> createFields;
    std::deque<std::optional<JpegSaveOptions>> jpegOptions;
    std::deque<std::optional<QSize>> frameSizes;
    std::vector<QSize> frameSizeRequests;

    std::vector<ShownMessage> shown;
    std::vector<FileDialogRequest> fileRequests;

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
    std::optional<CreateGifFields> AskCreateGif() override
    {
        return Next(createFields, std::optional<CreateGifFields>{});
    }
    std::optional<QSize> AskFrameSize(QSize current) override
    {
        frameSizeRequests.push_back(current);
        return Next(frameSizes, std::optional<QSize>{});
    }
    std::optional<JpegSaveOptions> AskJpegOptions() override
    {
        return Next(jpegOptions, std::optional<JpegSaveOptions>{});
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

private:
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
