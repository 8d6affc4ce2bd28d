// formats_tests runs headless: Qt draws metafile text on the offscreen
// platform.
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/LeakSuppressions.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
