#include <gtest/gtest.h>

#include <random>

#include "gif/GIFException.h"
#include "gif/LZWDecoder.h"
#include "gif/LZWTestSupport.h"

using namespace animora;
using namespace animora::test;

namespace {

const std::string kPremature = "Premature end of data";
const std::string kUnderRun = "Decoder bit buffer under-run";

struct CodeStreamCase {
    const char* name;
    int minCodeSize;
    CodeList codes;
    int width;
    std::vector<uint8_t> expected;  // 0xEE is the fill value
};

} // namespace

// Hand-written code streams against the pixels they stand for.
TEST(LZWDecoder, CodeStreams)
{
    const CodeStreamCase cases[] = {
        // 6 = "1 0", 7 = "0 1"; 8 arrives while being defined: "1 0" + "1".
        {"KwKwK", 2, {{4, 3}, {1, 3}, {0, 3}, {6, 3}, {8, 4}, {5, 4}}, 7, {1, 0, 1, 0, 1, 0, 1}},
        {"no leading clear", 2, {{1, 3}, {0, 3}, {6, 3}, {8, 4}, {5, 4}}, 7, {1, 0, 1, 0, 1, 0, 1}},
        {"double clear", 2, {{4, 3}, {4, 3}, {3, 3}, {2, 3}, {5, 3}}, 2, {3, 2}},
        {"clear inside", 2, {{4, 3}, {1, 3}, {2, 3}, {4, 3}, {3, 3}, {5, 3}}, 3, {1, 2, 3}},
        {"end code early", 2, {{4, 3}, {1, 3}, {5, 3}}, 4, {1, 0xEE, 0xEE, 0xEE}},
        // An end code right after a clear code ends the data; it is no pixel.
        {"clear then end", 2, {{4, 3}, {1, 3}, {4, 3}, {5, 3}}, 3, {1, 0xEE, 0xEE}},
        {"one bit colours", 1, {{2, 2}, {1, 2}, {1, 2}, {4, 3}, {3, 3}}, 5, {1, 1, 1, 1, 0xEE}},
    };
    for (const auto& c : cases) {
        const auto data = PackCodes(c.minCodeSize, c.codes);
        const DecodedFrame frame = DecodeOurs(data, c.width, 1, false, 0xEE);
        EXPECT_EQ(frame.pixels, c.expected) << c.name;
        EXPECT_TRUE(frame.warnings.empty()) << c.name;
        EXPECT_EQ(frame.endPosition, static_cast<int64_t>(data.size())) << c.name << ": stops after the terminator";
    }
}

// Codes grow from 9 to 12 bits as the table passes 512, 1024 and 2048
// entries, stay at 12 bits once it is full, and a clear code read at 12 bits
// brings them back to 9.
TEST(LZWDecoder, CodeSizeGrowsAndPlateaus)
{
    CodeList codes{{256, 9}};
    std::vector<uint8_t> expected;
    int nextFree = 258;
    auto widthNow = [&] { return nextFree < 512 ? 9 : nextFree < 1024 ? 10 : nextFree < 2048 ? 11 : 12; };
    for (int k = 0; k < 5000; ++k) {
        codes.push_back({k % 256, widthNow()});
        expected.push_back(static_cast<uint8_t>(k % 256));
        if (k > 0 && nextFree < 4096)
            ++nextFree;
    }
    ASSERT_EQ(codes.back().second, 12);
    codes.push_back({256, 12});
    for (int k = 0; k < 10; ++k) {
        codes.push_back({200 + k, 9});
        expected.push_back(static_cast<uint8_t>(200 + k));
    }
    codes.push_back({257, 9});

    const auto data = PackCodes(8, codes);
    const DecodedFrame frame = DecodeOurs(data, static_cast<int>(expected.size()), 1);
    EXPECT_EQ(frame.pixels, expected);
    EXPECT_TRUE(frame.warnings.empty());
    EXPECT_EQ(frame.endPosition, static_cast<int64_t>(data.size()));
}

// Damaged data: what is decoded stays, the rest keeps the fill value, and the
// warnings name the damage.
TEST(LZWDecoder, TruncatedData)
{
    std::mt19937 random(7);
    std::vector<uint8_t> pixels(64 * 64);
    for (auto& p : pixels)
        p = static_cast<uint8_t>(random() % 16);
    const auto data = EncodeOurs(0, 4, pixels, 64, 64);

    struct Cut {
        const char* name;
        std::vector<uint8_t> data;
        std::vector<std::string> warnings;
    };
    std::vector<uint8_t> midBlock(data.begin(), data.begin() + 200);
    std::vector<uint8_t> atBlockEnd(data.begin(), data.begin() + 257);
    std::vector<uint8_t> terminated = atBlockEnd;
    terminated.push_back(0);
    const Cut cuts[] = {
        {"inside a sub-block", midBlock, {kPremature}},
        {"after a sub-block", atBlockEnd, {}},
        {"terminator after a sub-block", terminated, {kUnderRun, kUnderRun}},
    };
    for (const auto& cut : cuts) {
        const DecodedFrame frame = DecodeOurs(cut.data, 64, 64, false, 0xEE);
        EXPECT_EQ(frame.warnings, cut.warnings) << cut.name;
        const auto firstFill = std::find(frame.pixels.begin(), frame.pixels.end(), 0xEE) - frame.pixels.begin();
        EXPECT_GT(firstFill, 100) << cut.name;
        EXPECT_LT(firstFill, 64 * 64) << cut.name;
        EXPECT_TRUE(std::equal(frame.pixels.begin(), frame.pixels.begin() + firstFill, pixels.begin())) << cut.name;
        EXPECT_TRUE(std::all_of(frame.pixels.begin() + firstFill, frame.pixels.end(), [](uint8_t p) { return p == 0xEE; }))
            << cut.name;
    }

    const DecodedFrame empty = DecodeOurs({}, 4, 4, false, 3);
    EXPECT_EQ(empty.pixels, std::vector<uint8_t>(16, 3)) << "no minimum code size: only the fill";
    EXPECT_TRUE(empty.warnings.empty());
}

// Sub-blocks of any size hold the same bit stream, even of one byte, where a
// 12-bit code spans three sub-blocks.
TEST(LZWDecoder, SmallSubBlocks)
{
    std::mt19937 random(11);
    std::vector<uint8_t> pixels(120 * 50);
    for (auto& p : pixels)
        p = static_cast<uint8_t>(random());
    const auto data = EncodeOurs(0, 8, pixels, 120, 50);
    for (size_t blockSize : {1, 2, 3, 7, 254}) {
        const auto reblocked = Reblock(data, blockSize);
        const DecodedFrame frame = DecodeOurs(reblocked, 120, 50);
        EXPECT_EQ(frame.pixels, pixels) << blockSize;
        EXPECT_TRUE(frame.warnings.empty()) << blockSize;
        EXPECT_EQ(frame.endPosition, static_cast<int64_t>(reblocked.size())) << blockSize;
    }
}

// The end code steps over the rest of the sub-blocks, and nothing after them
// is read, however early the end code comes.
TEST(LZWDecoder, StopsAfterTheTerminator)
{
    auto data = PackCodes(2, {{4, 3}, {1, 3}, {5, 3}, {0, 3}, {0, 3}, {0, 3}}, 1);
    const size_t terminatorEnd = data.size();
    data.insert(data.end(), {0x21, 0xF9, 0x04});
    TMemoryStream stream(data.data(), data.size());
    std::vector<uint8_t> pixels(4, 9);
    DecodeGIFPixels(stream, pixels.data(), 4, 1, false, nullptr);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{1, 9, 9, 9}));
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(terminatorEnd));
}

// A table whose prefix chain loops is an error, not an endless walk.
TEST(LZWDecoder, LoopingTablesRaise)
{
    struct Loop {
        const char* name;
        CodeList codes;
        const char* message;
    };
    const Loop loops[] = {
        // 7 arrives before the table holds it; the entry made next, 7, then
        // has itself as prefix.
        {"self", {{4, 3}, {0, 3}, {7, 3}, {0, 3}, {7, 4}, {5, 4}}, "Circular decoder table entry"},
        // The first code 7 becomes the prefix of entry 6, 6 that of 7.
        {"two entries", {{4, 3}, {7, 3}, {6, 3}, {0, 3}, {6, 4}, {5, 4}}, "Looping decoder table chain"},
    };
    for (const auto& loop : loops) {
        try {
            DecodeOurs(PackCodes(2, loop.codes), 100, 1);
            ADD_FAILURE() << loop.name;
        } catch (const GIFException& error) {
            EXPECT_STREQ(error.what(), loop.message) << loop.name;
        }
    }
}

TEST(LZWDecoder, RejectsCodeSizeAboveEleven)
{
    EXPECT_THROW(DecodeOurs(PackCodes(12, {{4096, 13}}), 2, 2), GIFException);
}

// Interlaced rows arrive in the order 0, 8, ...; 4, 12, ...; 2, 6, ...; 1, 3, ...
TEST(LZWDecoder, InterlacedRowOrder)
{
    const std::vector<std::vector<uint8_t>> arrivals = {{0}, {0, 1}, {0, 2, 1}, {0, 2, 1, 3}, {0, 4, 2, 1, 3},
                                                        {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}};
    for (const auto& arrival : arrivals) {
        const int height = static_cast<int>(arrival.size());
        const int width = 3;
        std::vector<uint8_t> sent;
        for (uint8_t row : arrival)
            sent.insert(sent.end(), width, row);
        const DecodedFrame frame = DecodeOurs(EncodeOurs(0, 4, sent, width, height), width, height, true);
        for (int row = 0; row < height; ++row)
            EXPECT_EQ(frame.pixels[static_cast<size_t>(row * width)], row) << "height " << height;
    }
}
