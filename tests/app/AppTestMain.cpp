// The editor's tests run on Qt's offscreen platform with the settings kept
// in a temporary folder, so they need no display and touch no user files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "app/QtGuiDispatcher.h"
#include "support/LeakSuppressions.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    animora::InstallQtGuiDispatcher();
    QTemporaryDir settingsDir;
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settingsDir.path());
    return RUN_ALL_TESTS();
}
