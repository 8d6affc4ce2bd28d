// The editor's scan through libsane and SANE's own test backend: what the
// user is asked and shown, and what stands in the exchange folder after.
#include <gtest/gtest.h>

#include <QFile>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "app/ScriptedPrompts.h"
#include "app/scanner/ScanForm.h"
#include "app/scanner/Scanning.h"
#include "platform/Errors.h"
#include "support/SaneTestBackend.h"

namespace animora {
namespace {

using test::ConfigureSaneTestBackend;

class Scanning : public ::testing::Test {
protected:
    QTemporaryDir folder;
    test::ScriptedPrompts prompts;
    QWidget window;

    bool ExchangeFileExists() const { return QFile::exists(folder.filePath(kScanExchangeFile)); }
};

TEST_F(Scanning, WithoutScannersTellsTheUserAndAnswers0)
{
    ConfigureSaneTestBackend("", "");
    EXPECT_EQ(ScanToExchangeFile(prompts, &window, folder.path()), 0);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].caption, "Scaning frame");
    EXPECT_TRUE(prompts.shown[0].text.startsWith("No scanner was found")) << prompts.shown[0].text.toStdString();
    EXPECT_TRUE(prompts.Asked<ScanSettingsQuestion>().empty());
    EXPECT_FALSE(ExchangeFileExists());
}

TEST_F(Scanning, WritesTheChosenScannersPictureAtTheChosenResolution)
{
    ConfigureSaneTestBackend("test\n", "number_of_devices 2\n");
    prompts.Answer<ScanSettingsQuestion>(ScanChoice{1, 40});
    EXPECT_EQ(ScanToExchangeFile(prompts, &window, folder.path()), 1);
    const auto asked = prompts.Asked<ScanSettingsQuestion>();
    ASSERT_EQ(asked.size(), 1u);
    ASSERT_EQ(asked[0].devices.size(), 2u);
    EXPECT_EQ(asked[0].devices[1].device.name, "test:1");
    EXPECT_EQ(asked[0].devices[1].resolutions.current, 50);
    TBitmap written;
    written.LoadFromFile(folder.filePath(kScanExchangeFile).toStdString());
    EXPECT_EQ(QSize(written.Width(), written.Height()), QSize(125, 157));  // 80 x 100 mm at 40 dpi
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Scanning, CancelAnswers0AndWritesNothing)
{
    for (bool atProgress : {false, true}) {
        ConfigureSaneTestBackend("test\n", "read-limit true\nread-limit-size 100\n");
        // Cancel is pressed once all data is read (see the scanner's test).
        bool pressed = false;
        QTimer press;
        QObject::connect(&press, &QTimer::timeout, [&] {
            auto* progress = window.findChild<QProgressDialog*>("ScanProgress");
            if (progress && progress->value() == 100 && !pressed)
                progress->cancel(), pressed = true;
        });
        if (atProgress) {
            prompts.Answer<ScanSettingsQuestion>(ScanChoice{0, 100});
            press.start(0);
        }
        EXPECT_EQ(ScanToExchangeFile(prompts, &window, folder.path()), 0);
        EXPECT_EQ(pressed, atProgress);
        EXPECT_FALSE(ExchangeFileExists());
    }
}

TEST_F(Scanning, AFileThatCannotBeWrittenIsAnError)
{
    ConfigureSaneTestBackend("test\n", "");
    prompts.Answer<ScanSettingsQuestion>(ScanChoice{0, 10});
    EXPECT_THROW(ScanToExchangeFile(prompts, &window, folder.filePath("missing/folder")), EAnimoraError);
}

} // namespace
} // namespace animora
