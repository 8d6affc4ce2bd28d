#include <gtest/gtest.h>

#include "gif/GIFException.h"

using namespace animora;

TEST(GIFRoutines, BitsForColorsAndAlignedRows)
{
    const std::pair<int, int> bits[] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {16, 4}, {17, 5}, {129, 8}, {256, 8}};
    for (auto [colors, expected] : bits)
        EXPECT_EQ(BitsForColors(colors), expected) << colors;
    EXPECT_EQ(AlignedRowBytes(1, 1, 32), 4);
    EXPECT_EQ(AlignedRowBytes(3, 24, 32), 12);
    EXPECT_EQ(AlignedRowBytes(17, 1, 16), 4);
}

TEST(GIFRoutines, ReadExactRaisesPrematureEnd)
{
    TMemoryStream stream("ab", 2);
    char buffer[3];
    try {
        ReadExact(stream, buffer, 3);
        FAIL();
    } catch (const GIFException& error) {
        EXPECT_STREQ(error.what(), "Premature end of data");
    }
    EXPECT_EQ(ReadByte(stream), 0) << "ReadByte answers 0 at the end";
}
