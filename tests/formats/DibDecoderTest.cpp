// The DIB decoder icons and metafiles share: every pixel depth, colour
// tables, bit fields, row order and the header forms, on a 3 x 2 picture
// whose colours are known.
#include <gtest/gtest.h>

#include "FormatsTestSupport.h"
#include "formats/DibDecoder.h"

using namespace animora;
using namespace animora::test;

namespace {

// The picture, top row first: red, green, blue / white, black, grey.
const QRgb kExpected[2][3] = {{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)},
                              {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(128, 128, 128)}};

struct DibCase {
    const char* name;
    int bits;
    uint32_t compression;
    bool topDown;
    bool core;  // the 12-byte header of OS/2 bitmaps
};

void AppendTable(Bytes& dib, bool core, int entries)
{
    const QRgb colors[6] = {kExpected[0][0], kExpected[0][1], kExpected[0][2],
                            kExpected[1][0], kExpected[1][1], kExpected[1][2]};
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < 6 ? colors[i] : qRgb(0, 0, 0);
        dib.U8(uint8_t(qBlue(c))).U8(uint8_t(qGreen(c))).U8(uint8_t(qRed(c)));
        if (!core)
            dib.U8(0);
    }
}

// Index of each pixel in the colour table (palette depths).
int IndexAt(int x, int y) { return y * 3 + x; }

void AppendRow(Bytes& dib, const DibCase& c, int y)
{
    Bytes row;
    if (c.bits == 1) {
        // Two colours only: the table is red/green; pixels alternate.
        row.U8(uint8_t(y == 0 ? 0b01000000 : 0b10100000));
    } else if (c.bits == 4) {
        row.U8(uint8_t((IndexAt(0, y) << 4) | IndexAt(1, y))).U8(uint8_t(IndexAt(2, y) << 4));
    } else if (c.bits == 8) {
        for (int x = 0; x < 3; ++x)
            row.U8(uint8_t(IndexAt(x, y)));
    } else {
        for (int x = 0; x < 3; ++x) {
            const QRgb p = kExpected[y][x];
            if (c.bits == 16)  // 5-6-5 with bit fields, 5-5-5 without
                row.U16(c.compression == 3 ? uint16_t(((qRed(p) >> 3) << 11) | ((qGreen(p) >> 2) << 5) | (qBlue(p) >> 3))
                                           : uint16_t(((qRed(p) >> 3) << 10) | ((qGreen(p) >> 3) << 5) | (qBlue(p) >> 3)));
            else if (c.bits == 24)
                row.U8(uint8_t(qBlue(p))).U8(uint8_t(qGreen(p))).U8(uint8_t(qRed(p)));
            else
                row.U8(uint8_t(qBlue(p))).U8(uint8_t(qGreen(p))).U8(uint8_t(qRed(p))).U8(0);
        }
    }
    std::vector<uint8_t> bytes = row.Data();
    while (bytes.size() % 4)
        bytes.push_back(0);
    dib.Append(bytes);
}

std::vector<uint8_t> MakeDib(const DibCase& c)
{
    Bytes dib;
    const int entries = c.bits <= 8 ? (c.bits == 1 ? 2 : 6) : 0;
    if (c.core) {
        dib.U32(12).U16(3).U16(2).U16(1).U16(uint16_t(c.bits));
        AppendTable(dib, true, c.bits <= 8 ? 1 << c.bits : 0);
    } else {
        dib.U32(40).S32(3).S32(c.topDown ? -2 : 2).U16(1).U16(uint16_t(c.bits)).U32(c.compression);
        dib.U32(0).U32(0).U32(0).U32(uint32_t(entries)).U32(0);
        if (c.compression == 3) {
            if (c.bits == 16)
                dib.U32(0xF800).U32(0x07E0).U32(0x001F);
            else
                dib.U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF);
        }
        AppendTable(dib, false, entries);
    }
    for (int i = 0; i < 2; ++i)
        AppendRow(dib, c, c.topDown ? i : 1 - i);
    return dib.Data();
}

QRgb Expected(const DibCase& c, int x, int y)
{
    if (c.bits == 1) {
        const int bit = y == 0 ? (x == 1) : (x != 1);
        return bit ? kExpected[0][1] : kExpected[0][0];
    }
    const QRgb p = kExpected[y][x];
    if (c.bits == 16) {  // the channels lose their low bits, then stretch back to 0..255
        const int gBits = c.compression == 3 ? 6 : 5;
        const int r = (qRed(p) >> 3) * 255 / 31, g = (qGreen(p) >> (8 - gBits)) * 255 / ((1 << gBits) - 1);
        return qRgb(r, g, (qBlue(p) >> 3) * 255 / 31);
    }
    return p;
}

TEST(DibDecoder, EveryDepthAndHeaderForm)
{
    const DibCase cases[] = {
        {"1 bit", 1, 0, false, false},           {"4 bits", 4, 0, false, false},
        {"8 bits", 8, 0, false, false},          {"8 bits top-down", 8, 0, true, false},
        {"8 bits core header", 8, 0, false, true}, {"16 bits 5-5-5", 16, 0, false, false},
        {"16 bits 5-6-5 fields", 16, 3, false, false}, {"24 bits", 24, 0, false, false},
        {"24 bits core header", 24, 0, false, true}, {"32 bits", 32, 0, false, false},
        {"32 bits fields", 32, 3, false, false},
    };
    for (const DibCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = MakeDib(c);
        const ByteReader reader(bytes.data(), bytes.size(), "bad");
        const DibInfo dib = ParseDibHeader(reader);
        ASSERT_EQ(dib.width, 3);
        ASSERT_EQ(dib.height, 2);
        const QImage image = DecodeDibPixels(dib, reader.Sub(dib.headerBytes, bytes.size() - dib.headerBytes));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(image.pixel(x, y), Expected(c, x, y)) << x << "," << y;
    }
}

TEST(DibDecoder, DamagedHeadersAndShortRowsAreRefused)
{
    const DibCase plain{"8 bits", 8, 0, false, false};
    auto withU32 = [&](size_t offset, uint32_t value) {
        std::vector<uint8_t> bytes = MakeDib(plain);
        bytes[offset] = uint8_t(value), bytes[offset + 1] = uint8_t(value >> 8);
        bytes[offset + 2] = uint8_t(value >> 16), bytes[offset + 3] = uint8_t(value >> 24);
        return bytes;
    };
    std::vector<uint8_t> shortRows = MakeDib(plain);
    shortRows.erase(shortRows.end() - 3, shortRows.end());  // resize(size - 3) trips -Wstringop-overflow at -O1
    const std::vector<std::vector<uint8_t>> cases = {
        withU32(0, 41 + 200),     // unknown header size
        withU32(4, 0),            // no width
        withU32(4, 0x7FFFFFFF),   // absurd width
        withU32(16, 1),           // run-length compression
        withU32(14, 7),           // 7 bits per pixel
        withU32(14, 2),           // 2 bits: BMP files have them, DIBs in files do not
        shortRows,
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const ByteReader reader(cases[i].data(), cases[i].size(), "bad");
        EXPECT_THROW(
            {
                const DibInfo dib = ParseDibHeader(reader);
                DecodeDibPixels(dib, reader.Sub(dib.headerBytes, cases[i].size() - dib.headerBytes));
            },
            EInvalidGraphic);
    }
}

} // namespace
