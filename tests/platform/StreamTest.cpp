#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Endian.h"
#include "platform/Errors.h"
#include "platform/Stream.h"
#include "support/TestData.h"

using namespace animora;

TEST(MemoryStream, ReadsWhatWasWrittenAndClampsSeeks)
{
    TMemoryStream stream;
    stream.WriteBuffer("abcdef", 6);
    EXPECT_EQ(stream.Seek(-10, SeekOrigin::Current), 0);
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 8), 6u);
    EXPECT_STREQ(buffer, "abcdef");
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    stream.SetPosition(4);
    EXPECT_THROW(stream.ReadBuffer(buffer, 3), EStreamError);
}

TEST(Endian, RoundTripsLittleEndianNumbers)
{
    uint8_t bytes[4];
    PutU32LE(bytes, 0x12345678u);
    EXPECT_EQ(bytes[0], 0x78);
    EXPECT_EQ(GetU32LE(bytes), 0x12345678u);
    PutU16LE(bytes, 0xFFFE);
    EXPECT_EQ(GetS16LE(bytes), -2);
}

TEST(WriteFileAtomically, AFailedWriteKeepsThePreviousFile)
{
    const auto dir = test::MakeTempDir("animora-stream");
    const std::string target = (dir / "picture.gif").string();
    WriteFileAtomically(target, [](TStream& s) { s.WriteBuffer("old", 3); });
    EXPECT_THROW(WriteFileAtomically(target,
                                     [](TStream& s) {
                                         s.WriteBuffer("new", 3);
                                         throw EStreamError("disk full");
                                     }),
                 EStreamError);
    EXPECT_EQ(test::ReadFileText(target), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "temporary file left behind";
    std::filesystem::remove_all(dir);
}

TEST(FileStream, MissingFileRaisesWithItsName)
{
    try {
        TFileStream stream("/nonexistent/x.gif", FileMode::OpenRead);
        FAIL();
    } catch (const EFOpenError& error) {
        EXPECT_NE(std::string(error.what()).find("/nonexistent/x.gif"), std::string::npos);
    }
}
