#include <gtest/gtest.h>

#include <random>

#include "gif/Encoders.h"
#include "gif/GIFException.h"
#include "gif/GIFStream.h"
#include "gif/LZWTestSupport.h"
#include "support/GiflibFrame.h"

using namespace animora;
using namespace animora::test;

namespace {
constexpr uint8_t kLZW = 0;
constexpr uint8_t kRLE = 1;
} // namespace

TEST(Encoders, ByteExactSmallFrames)
{
    struct Case {
        const char* name;
        uint8_t encoding;
        int bitsPerPixel;
        std::vector<uint8_t> pixels;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        // codes 4, 0, 5 at 3 bits
        {"LZW 1x1", kLZW, 1, {0}, {0x02, 0x02, 0x44, 0x01, 0x00}},
        {"RLE 1x1", kRLE, 1, {0}, {0x02, 0x02, 0x44, 0x01, 0x00}},
        // codes 4, 0, 6, 0 at 3 bits, then the end code 5 at 4 bits
        {"LZW 4x1", kLZW, 1, {0, 0, 0, 0}, {0x02, 0x02, 0x84, 0x51, 0x00}},
        {"RLE 4x1", kRLE, 1, {0, 0, 0, 0}, {0x02, 0x02, 0x84, 0x51, 0x00}},
    };
    for (const auto& c : cases) {
        const int width = static_cast<int>(c.pixels.size());
        EXPECT_EQ(EncodeOurs(c.encoding, c.bitsPerPixel, c.pixels, width, 1), c.expected) << c.name;
    }
}

TEST(Encoders, MinimumCodeSize)
{
    const std::pair<int, int> sizes[] = {{0, 2}, {1, 2}, {2, 2}, {3, 3}, {8, 8}};
    for (auto [bits, expected] : sizes) {
        for (uint8_t encoding : {kLZW, kRLE})
            EXPECT_EQ(EncodeOurs(encoding, bits, {0, 0, 0}, 3, 1)[0], expected) << bits;
    }
}

TEST(Encoders, ColorNotInColorTable)
{
    for (uint8_t encoding : {kLZW, kRLE}) {
        TMemoryStream stream;
        const uint8_t pixels[] = {0, 1, 2, 5};
        try {
            EncodeGIFPixels(stream, encoding, 3, 5, pixels, false, 1, 4);
            ADD_FAILURE() << int(encoding);
        } catch (const GIFException& error) {
            EXPECT_STREQ(error.what(), "Color not in color table");
        }
    }
}

// Interlaced frames are sent in pass order: each row exactly once.
TEST(Encoders, InterlacedRowOrder)
{
    const std::vector<std::vector<uint8_t>> arrivals = {{0}, {0, 1}, {0, 2, 1}, {0, 2, 1, 3}, {0, 4, 2, 1, 3}};
    for (const auto& arrival : arrivals) {
        const int height = static_cast<int>(arrival.size());
        std::vector<uint8_t> rows;
        for (int row = 0; row < height; ++row)
            rows.insert(rows.end(), 2, static_cast<uint8_t>(row));
        for (uint8_t encoding : {kLZW, kRLE}) {
            const auto data = EncodeOurs(encoding, 3, rows, 2, height, true);
            const DecodedFrame sent = DecodeOurs(data, 2, height, false);
            for (int i = 0; i < height; ++i)
                EXPECT_EQ(sent.pixels[static_cast<size_t>(2 * i)], arrival[static_cast<size_t>(i)]) << height;
        }
    }
}

namespace {

struct Picture {
    const char* name;
    int bitsPerPixel;
    int width;
    int height;
    std::vector<uint8_t> pixels;
};

std::vector<Picture> Pictures()
{
    std::mt19937 random(2024);
    std::vector<Picture> pictures;
    auto make = [&](const char* name, int bits, int width, int height, auto pixelAt) {
        Picture picture{name, bits, width, height, {}};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.pixels.push_back(static_cast<uint8_t>(pixelAt(x, y)));
        pictures.push_back(std::move(picture));
    };
    make("noise 256", 8, 300, 300, [&](int, int) { return random() % 256; });
    make("noise 4", 2, 97, 61, [&](int, int) { return random() % 4; });
    make("one colour", 1, 100, 100, [](int, int) { return 1; });
    make("gradient", 8, 256, 64, [](int x, int y) { return (x + y / 8) % 256; });
    make("stripes", 4, 123, 45, [](int x, int y) { return (x / 7 + y / 3) % 16; });
    make("runs", 3, 500, 40, [&](int, int) {
        static int left = 0, colour = 0;
        if (left-- <= 0) {
            left = static_cast<int>(random() % 300);
            colour = static_cast<int>(random() % 8);
        }
        return colour;
    });
    make("single pixel", 8, 1, 1, [](int, int) { return 200; });
    make("long row", 5, 10000, 1, [](int x, int) { return (x / 1000) % 32; });
    return pictures;
}

} // namespace

// Both encoders, plain and interlaced: giflib and our decoder get back the
// pixels. The large pictures fill the table, so clear codes are exercised.
TEST(Encoders, DecodedByGiflibAndOurs)
{
    for (const Picture& picture : Pictures()) {
        for (uint8_t encoding : {kLZW, kRLE}) {
            for (bool interlaced : {false, true}) {
                const std::string what = std::string(picture.name) + (encoding == kRLE ? " RLE" : " LZW") +
                                         (interlaced ? " interlaced" : "");
                const auto data =
                    EncodeOurs(encoding, picture.bitsPerPixel, picture.pixels, picture.width, picture.height, interlaced);
                const auto giflib = DecodeWithGiflib(WrapFrameInGIF(data, picture.width, picture.height, interlaced));
                ASSERT_TRUE(giflib.has_value()) << what;
                EXPECT_EQ(*giflib, picture.pixels) << what;
                const DecodedFrame ours = DecodeOurs(data, picture.width, picture.height, interlaced);
                EXPECT_EQ(ours.pixels, picture.pixels) << what;
                EXPECT_TRUE(ours.warnings.empty()) << what;
            }
        }
    }
}

// Runs cost few codes: 10000 equal pixels take a few hundred bytes, not 10000 codes.
TEST(Encoders, RunLengthCompressesRuns)
{
    const std::vector<uint8_t> pixels(10000, 3);
    const auto data = EncodeOurs(kRLE, 2, pixels, 100, 100);
    EXPECT_LT(data.size(), 400u);
    EXPECT_EQ(DecodeOurs(data, 100, 100).pixels, pixels);
}

TEST(GIFWriter, CutsSubBlocksOf255)
{
    for (size_t length : {1, 254, 255, 256, 510, 600}) {
        TMemoryStream target;
        std::vector<uint8_t> data(length, 0xAB);
        {
            TGIFWriter writer(target);
            writer.Write(data.data(), data.size());
            writer.Finish();
        }
        std::vector<uint8_t> expected;
        for (size_t i = 0; i < length; i += 255) {
            const size_t n = std::min<size_t>(255, length - i);
            expected.push_back(static_cast<uint8_t>(n));
            expected.insert(expected.end(), n, 0xAB);
        }
        EXPECT_EQ(target.Bytes(), expected) << length << ": no empty block after a full one";
    }
    TMemoryStream target;
    TGIFStream plain(target);
    uint8_t byte = 0;
    EXPECT_THROW(plain.Read(&byte, 1), EStreamError);
    EXPECT_THROW(plain.Write(&byte, 1), EStreamError);
    EXPECT_THROW(plain.Seek(0, SeekOrigin::Begin), EStreamError);
}

// The encoder's division-free start slot is the hash's start slot.
TEST(HashTable, StartSlotWithoutDivision)
{
    for (int prefix = 0; prefix < 4096; ++prefix)
        for (int pixel = 0; pixel < 256; ++pixel)
            ASSERT_EQ(THashTable::FirstSlot(prefix, pixel),
                      THashTable::FirstSlot(static_cast<uint32_t>(prefix * 256 + pixel)))
                << prefix << " " << pixel;
    THashTable table;
    table.Insert(0x12345, 300);
    table.Insert(0, 7);
    EXPECT_EQ(table.Lookup(0x12345), 300);
    EXPECT_EQ(table.Lookup(0), 7);
    EXPECT_EQ(table.Lookup(0x12346), -1);
}

namespace {

// Reads a code stream the way a decoder sizes its codes and answers, for
// every clear code after the first, how many table entries the decoder held.
std::vector<int> TableSizesAtClearCodes(const std::vector<uint8_t>& imageData)
{
    std::vector<uint8_t> bits;
    for (size_t i = 1; i < imageData.size() && imageData[i] != 0; i += imageData[i] + 1u)
        bits.insert(bits.end(), imageData.begin() + static_cast<long>(i + 1),
                    imageData.begin() + static_cast<long>(i + 1 + imageData[i]));
    const int minCodeSize = imageData[0];
    const int clear = 1 << minCodeSize;
    std::vector<int> sizes;
    int width = minCodeSize + 1, nextFree = clear + 2, codesSinceClear = 0;
    size_t position = 0;
    while (position + static_cast<size_t>(width) <= bits.size() * 8) {
        int code = 0;
        for (int b = 0; b < width; ++b, ++position)
            code |= ((bits[position / 8] >> (position % 8)) & 1) << b;
        if (code == clear + 1)
            break;
        if (code == clear) {
            if (position > static_cast<size_t>(width))
                sizes.push_back(nextFree);
            width = minCodeSize + 1;
            nextFree = clear + 2;
            codesSinceClear = 0;
            continue;
        }
        if (codesSinceClear++ > 0 && nextFree < 4096 && ++nextFree == (1 << width) && width < 12)
            ++width;
    }
    return sizes;
}

} // namespace

// The LZW encoder starts a new table before the next free code passes 4094,
// so code 4095 is never defined and codes never need 13 bits.
TEST(Encoders, LZWClearsBeforeTheTableOverflows)
{
    std::mt19937 random(3);
    std::vector<uint8_t> pixels(400 * 400);
    for (auto& p : pixels)
        p = static_cast<uint8_t>(random() % 64);
    const auto sizes = TableSizesAtClearCodes(EncodeOurs(kLZW, 6, pixels, 400, 400));
    ASSERT_GE(sizes.size(), 3u);
    for (int size : sizes)
        EXPECT_EQ(size, 4095);
}
