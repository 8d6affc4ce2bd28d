// The file filters as the menus list them, turned into Qt's form.
#include <gtest/gtest.h>

#include "app/QtPrompts.h"
#include "app/commands/FileCommands.h"

namespace animora::test {
namespace {

TEST(QtFileFilter, PairsBecomeQtFilters)
{
    EXPECT_EQ(QtFileFilter("Gif files|*.gif"), "Gif files (*.gif)");
    EXPECT_EQ(QtFileFilter(commands::kSaveFilter),
              "Gif files (*.gif);;Jpg files (*.jpg *.jpeg);;Bmp files (*.bmp);;Video for windows (*.avi)");
    EXPECT_TRUE(QtFileFilter(commands::kOpenFilter).startsWith("All (*.gif *.avi *.jpg *.jpeg *.bmp);;Gif files (*.gif);;"));
    EXPECT_EQ(QtFileFilter("dangling"), "");
}

} // namespace
} // namespace animora::test
