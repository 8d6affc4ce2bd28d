#pragma once
// A main window over a project in a temporary start folder, with scripted
// prompts, for driving the editor's flows headless.
#include <gtest/gtest.h>

#include <memory>

#include <QComboBox>
#include <QSettings>
#include <QTemporaryDir>

#include "app/Giffer.h"
#include "app/GifPreview.h"
#include "app/Project.h"
#include "app/Settings.h"
#include "app/commands/FileCommands.h"
#include "app/commands/FrameCommands.h"
#include "app/dialogs/CreateGIFForm.h"
#include "app/dialogs/OptionForm.h"
#include "app/dialogs/SaveJPEGForm.h"
#include "app/ScriptedPrompts.h"
#include "gif/GIFImage.h"
#include "gif/SubImage.h"
#include "support/TestData.h"

namespace animora::test {

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        project = std::make_unique<Project>(prompts, dir.path());
        window = std::make_unique<TGiffer>(*project);
        window->show();
    }
    void TearDown() override
    {
        window.reset();
        project.reset();
    }

    static void ClearSettings()
    {
        QSettings(QSettings::UserScope, Settings::kOrganization, Settings::kApplication).clear();
    }
    static QString SettingText(const char* key)
    {
        QSettings settings(QSettings::UserScope, Settings::kOrganization, Settings::kApplication);
        return settings.value(QStringLiteral("Option/%1").arg(QLatin1String(key))).toString();
    }
    static QString Corpus(const char* name)
    {
        return QString::fromStdString((TestDataDir() / "corpus" / name).string());
    }
    QString TempPath(const char* name) const { return dir.filePath(name); }

    QComboBox* FrameList() const { return window->findChild<QComboBox*>("FrameList"); }
    QStringList FrameListItems() const
    {
        QStringList items;
        for (int i = 0; i < FrameList()->count(); ++i)
            items << FrameList()->itemText(i);
        return items;
    }
    static QStringList Numbers(int count)
    {
        QStringList numbers;
        for (int i = 1; i <= count; ++i)
            numbers << QString::number(i);
        return numbers;
    }

    void Create(int count, int width, int height)
    {
        prompts.Answer<CreateGifQuestion>(
            CreateGifFields{QString::number(count), QString::number(width), QString::number(height)});
        commands::Create(*project);
    }
    const TGIFSubImage& DocumentFrame(int index) const { return *project->Document()->Images().SubImage(index); }
    std::vector<uint8_t> FramePixels(int index) const
    {
        const TGIFSubImage& frame = DocumentFrame(index);
        return {frame.Data(), frame.Data() + frame.DataSize()};
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<Project> project;
    std::unique_ptr<TGiffer> window;
};

} // namespace animora::test
