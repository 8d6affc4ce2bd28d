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
              "Gif files (*.gif);;Jpg files (*.jpg *.jpeg);;Bmp files (*.bmp);;Video for windows (*.avi);;"
              "MP4 video (*.mp4);;WebM video (*.webm);;Animated WebP (*.webp);;Animated PNG (*.apng);;"
              "Matroska video (*.mkv);;QuickTime video (*.mov)");
    EXPECT_TRUE(QtFileFilter(commands::kOpenFilter)
                    .startsWith("All (*.gif *.avi *.mp4 *.mkv *.mov *.webm *.webp *.apng *.jpg *.jpeg *.bmp);;"
                                "Gif files (*.gif);;Video for windows (*.avi);;Videos (*.avi *.mp4 *.m4v *.mkv "));
    EXPECT_EQ(QtFileFilter("dangling"), "");
}

} // namespace
} // namespace animora::test
