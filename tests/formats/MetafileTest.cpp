// The metafile players: hand-built files for each record kind clip art uses,
// checked pixel by pixel, and hostile files.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "FormatsTestSupport.h"
#include "formats/Metafile.h"
#include "formats/MetafilePlayers.h"
#include "formats/Picture.h"
#include "platform/Canvas.h"

using namespace animora;
using namespace animora::test;

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;

// COLORREF: red in the low byte.
int16_t Low(uint32_t rgb) { return int16_t(((rgb >> 16) & 0xFF) | (rgb & 0xFF00)); }
int16_t High(uint32_t rgb) { return int16_t(rgb & 0xFF); }
uint32_t ColorRef(uint32_t rgb) { return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16); }

struct Probe {
    int x, y;
    uint32_t rgb;
    bool transparent;
};

void ExpectProbes(const TPicture& picture, const std::vector<Probe>& probes)
{
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << "pixel " << p.x << "," << p.y);
        EXPECT_EQ(PixelRgb(picture.Bitmap(), p.x, p.y), p.rgb);
        EXPECT_EQ(MaskBit(picture.Mask(), p.x, p.y), p.transparent);
    }
}

TPicture Load(const std::vector<uint8_t>& bytes, PictureKind kind)
{
    TPicture picture;
    picture.LoadFromBytes(bytes.data(), bytes.size(), kind);
    return picture;
}

int CountColor(const TBitmap& bitmap, uint32_t rgb, int left, int top, int right, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += PixelRgb(bitmap, x, y) == rgb;
    return count;
}

// WMF: one logical unit per pixel in a 100 x 100 placeable file.
WmfBuilder& SolidBrush(WmfBuilder& wmf, uint32_t rgb)
{
    return wmf.Record(0x02FC, {0, Low(rgb), High(rgb), 0});
}

TEST(Wmf, ShapesObjectsAndMapping)
{
    WmfBuilder wmf;
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {100, 100});
    wmf.Record(0x02FA, {5, 0, 0, 0, 0});  // null pen: slot 0
    wmf.Record(0x012D, {0});
    SolidBrush(wmf, kRed).Record(0x012D, {1});                           // slot 1
    wmf.Record(0x041B, {40, 40, 10, 10});                                 // rectangle 10,10-40,40
    SolidBrush(wmf, kGreen).Record(0x012D, {2});                         // slot 2
    wmf.Record(0x061C, {10, 10, 40, 90, 10, 50});                        // round rect 50,10-90,40
    wmf.Record(0x01F0, {1});                                             // frees slot 1 ...
    SolidBrush(wmf, kBlue).Record(0x012D, {1});                          // ... which is reused
    wmf.Record(0x0418, {90, 40, 50, 10});                                // ellipse 10,50-40,90
    SolidBrush(wmf, 0xFFFF00).Record(0x012D, {3});
    wmf.Record(0x081A, {50, 70, 70, 90, 90, 90, 50, 50});                // pie: top-right quarter
    wmf.Record(0x0325, {2, 0, 99, 99, 99});                              // polyline, null pen: nothing
    const TPicture picture = Load(wmf.Placeable(0, 0, 100, 100, 96), PictureKind::pkMetafile);
    ASSERT_EQ(picture.Width(), 100);
    ASSERT_EQ(picture.Height(), 100);
    ExpectProbes(picture, {{25, 25, kRed, false},
                           {70, 25, kGreen, false},
                           {50, 10, kWhite, true},   // outside the rounded corner
                           {25, 70, kBlue, false},
                           {11, 51, kWhite, true},   // outside the ellipse
                           {78, 62, 0xFFFF00, false},
                           {60, 80, kWhite, true},   // the pie's missing quarters
                           {5, 5, kWhite, true}});
}

TEST(Wmf, WindowMapsOntoThePicture)
{
    // Logical 0..1000 drawn into a 50 x 50 picture, window set by the file.
    WmfBuilder wmf;
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {1000, 1000});
    wmf.Record(0x02FA, {5, 0, 0, 0, 0}).Record(0x012D, {0});
    SolidBrush(wmf, kRed).Record(0x012D, {1});
    wmf.Record(0x0324, {4, 500, 0, 1000, 0, 1000, 1000, 500, 1000});  // right half
    const TPicture picture = Load(wmf.Placeable(0, 0, 1000, 1000, 1920), PictureKind::pkMetafile);
    ASSERT_EQ(picture.Width(), 50);
    ExpectProbes(picture, {{40, 25, kRed, false}, {10, 25, kWhite, true}});
}

TEST(Wmf, PlainFileTakesItsSizeFromTheWindow)
{
    WmfBuilder wmf;
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {30, 60});  // 60 wide, 30 high
    SolidBrush(wmf, kBlue).Record(0x012D, {0});
    wmf.Record(0x041B, {30, 60, 0, 0});
    const TPicture picture = Load(wmf.Plain(), PictureKind::pkMetafile);
    EXPECT_EQ(picture.Width(), 60);
    EXPECT_EQ(picture.Height(), 30);
    ExpectProbes(picture, {{30, 15, kBlue, false}});
}

TEST(Wmf, TextAndPictures)
{
    WmfBuilder wmf;
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {100, 100});
    wmf.Record(0x0209, {Low(kBlack), High(kBlack)});
    wmf.Record(0x0102, {1});  // transparent background
    Bytes font;
    font.S16(-40).S16(0).S16(0).S16(0).S16(700).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0);
    for (char c : std::string("DejaVu Sans"))
        font.U8(uint8_t(c));
    font.U8(0);
    wmf.Record(0x02FB, font.Data()).Record(0x012D, {0});
    Bytes text;
    text.S16(2).U8('H').U8('I').S16(5).S16(5);  // count, "HI", y, x
    wmf.Record(0x0521, text.Data());
    // A 2 x 2 picture stretched over 40,60-80,100.
    Bytes blit;
    blit.U32(0x00CC0020).S16(0).S16(2).S16(2).S16(0).S16(0).S16(40).S16(40).S16(60).S16(40);
    blit.Append(PackedDib24(2, 2, {kRed, kGreen, kBlue, kBlack}));
    wmf.Record(0x0F43, blit.Data());
    const TPicture picture = Load(wmf.Placeable(0, 0, 100, 100, 96), PictureKind::pkMetafile);
    EXPECT_GT(CountColor(picture.Bitmap(), kBlack, 0, 0, 60, 55), 60);  // the letters
    ExpectProbes(picture, {{50, 70, kRed, false}, {70, 70, kGreen, false}, {50, 90, kBlue, false},
                           {70, 90, kBlack, false}, {90, 10, kWhite, true}});
}

TEST(Wmf, RegionsFillAndClip)
{
    // One scan from y 0 to 10 with two spans: 0..10 and 20..30.
    Bytes region;
    region.U16(0).U16(6).U32(0).U16(50).U16(1).U16(4).S16(0).S16(0).S16(30).S16(10);
    region.U16(4).S16(0).S16(10).S16(0).S16(10).S16(20).S16(30).U16(4);
    WmfBuilder wmf;
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {50, 50});
    wmf.Record(0x06FF, region.Data());                     // slot 0
    SolidBrush(wmf, kRed);                                 // slot 1
    wmf.Record(0x0228, {0, 1});                            // fill region 0 with brush 1
    SolidBrush(wmf, kBlue).Record(0x012D, {2});
    wmf.Record(0x012C, {0});                               // clip to the region
    wmf.Record(0x02FA, {5, 0, 0, 0, 0}).Record(0x012D, {3});
    wmf.Record(0x041B, {50, 50, 5, 0});                    // clipped to the spans' lower half
    const TPicture picture = Load(wmf.Placeable(0, 0, 50, 50, 96), PictureKind::pkMetafile);
    ExpectProbes(picture, {{5, 2, kRed, false}, {15, 2, kWhite, true}, {25, 2, kRed, false},
                           {5, 7, kBlue, false}, {25, 7, kBlue, false}, {15, 7, kWhite, true},
                           {5, 20, kWhite, true}});
}

// EMF: 96 x 96 picture, one logical unit per pixel unless a record maps.
Bytes Box(int l, int t, int r, int b)
{
    Bytes box;
    box.S32(l).S32(t).S32(r).S32(b);
    return box;
}

EmfBuilder& EmfBrush(EmfBuilder& emf, uint32_t slot, uint32_t rgb)
{
    emf.Record(39, {int32_t(slot), 0, int32_t(ColorRef(rgb)), 0});
    return emf.Record(37, {int32_t(slot)});
}

TEST(Emf, ShapesPathsAndTransforms)
{
    EmfBuilder emf;
    emf.Record(37, {int32_t(0x80000008)});  // stock null pen
    EmfBrush(emf, 1, kRed).Record(43, Box(0, 0, 20, 20));
    EmfBrush(emf, 2, kGreen).Record(42, Box(24, 0, 44, 20));
    EmfBrush(emf, 1, kBlue);  // slot 1 replaced
    emf.Record(86, Bytes().Append(Box(0, 0, 0, 0).Data()).U32(3).S16(50).S16(0).S16(70).S16(0).S16(50).S16(20));
    // A path: square 0,30-20,50 filled yellow.
    EmfBrush(emf, 3, 0xFFFF00);
    emf.Record(59, {}).Record(27, {0, 30}).Record(54, {20, 30}).Record(54, {20, 50}).Record(54, {0, 50});
    emf.Record(61, {}).Record(60, {}).Record(62, Box(0, 0, 0, 0));
    // Saved state: a translation and a clip undone by the restore.
    emf.Record(33, {});
    Bytes xform;
    xform.F32(1).F32(0).F32(0).F32(1).F32(60).F32(30);
    emf.Record(35, xform);
    emf.Record(30, Box(0, 0, 10, 20));
    EmfBrush(emf, 4, kRed).Record(43, Box(0, 0, 20, 20));  // only 60,30-70,50 survives the clip
    emf.Record(34, {-1});
    // Anisotropic mapping: logical 0..10 onto 0..20 pixels, from 0,60.
    emf.Record(17, {8}).Record(9, {10, 10}).Record(11, {20, 20}).Record(12, {0, 60});
    EmfBrush(emf, 5, kGreen).Record(47, {0, 0, 10, 10, 10, 5, 5, 0});  // pie: top-right quarter
    const TPicture picture = Load(emf.Build(), PictureKind::pkEnhMetafile);
    ASSERT_EQ(picture.Width(), 96);
    ExpectProbes(picture, {{10, 10, kRed, false},
                           {34, 10, kGreen, false},
                           {25, 1, kWhite, true},
                           {55, 3, kBlue, false},
                           {10, 40, 0xFFFF00, false},
                           {65, 40, kRed, false},
                           {75, 40, kWhite, true},
                           {14, 66, kGreen, false},
                           {5, 75, kWhite, true}});
}

TEST(Emf, TextAndStretchedPictures)
{
    EmfBuilder emf;
    Bytes font;
    font.U32(1).S32(-30).S32(0).S32(0).S32(0).S32(700).U8(0).U8(0).U8(0).U8(0).U32(0);
    for (char c : std::string("DejaVu Sans"))
        font.U16(uint16_t(c));
    for (size_t i = std::string("DejaVu Sans").size(); i < 32; ++i)
        font.U16(0);
    emf.Record(82, font).Record(37, {1});
    emf.Record(24, {int32_t(ColorRef(kBlack))}).Record(18, {1});
    Bytes text;
    text.Append(Box(0, 0, 0, 0).Data()).U32(1).F32(1).F32(1);
    text.S32(4).S32(4).U32(2).U32(76).U32(0).Append(Box(0, 0, 0, 0).Data()).U32(0);  // EMRTEXT
    text.U16('H').U16('I');
    emf.Record(84, text);
    const std::vector<uint8_t> dib = PackedDib24(2, 2, {kRed, kGreen, kBlue, kBlack});
    Bytes stretch;
    stretch.Append(Box(0, 0, 0, 0).Data()).S32(40).S32(50).S32(0).S32(0).S32(2).S32(2);
    stretch.U32(80).U32(40).U32(120).U32(uint32_t(dib.size() - 40)).U32(0).U32(0x00CC0020).S32(40).S32(40);
    stretch.Append(dib);
    emf.Record(81, stretch);
    const TPicture picture = Load(emf.Build(), PictureKind::pkEnhMetafile);
    EXPECT_GT(CountColor(picture.Bitmap(), kBlack, 0, 0, 60, 45), 40);
    ExpectProbes(picture, {{50, 60, kRed, false}, {70, 60, kGreen, false}, {50, 80, kBlue, false},
                           {70, 80, kBlack, false}, {90, 10, kWhite, true}});
}

Bytes Region(std::initializer_list<std::array<int, 4>> rects)
{
    Bytes data;
    data.U32(32).U32(1).U32(uint32_t(rects.size())).U32(uint32_t(16 * rects.size())).Append(Box(0, 0, 96, 96).Data());
    for (const auto& r : rects)
        data.Append(Box(r[0], r[1], r[2], r[3]).Data());
    return data;
}

TEST(Emf, RegionsPolyDrawAndSmallText)
{
    EmfBuilder emf;
    emf.Record(39, {1, 0, int32_t(ColorRef(kRed)), 0});
    const Bytes twoRects = Region({{0, 0, 10, 10}, {20, 0, 30, 10}});
    emf.Record(71, Bytes().Append(Box(0, 0, 30, 10).Data()).U32(uint32_t(twoRects.Size())).U32(1).Append(twoRects.Data()));
    EmfBrush(emf, 2, kBlue);
    const Bytes third = Region({{40, 0, 50, 10}});
    emf.Record(74, Bytes().Append(Box(0, 0, 0, 0).Data()).U32(uint32_t(third.Size())).Append(third.Data()));
    // PolyDraw: move, line, line, line closing the figure, as a path filled green.
    EmfBrush(emf, 3, kGreen);
    emf.Record(59, {});
    emf.Record(56, Bytes().Append(Box(0, 0, 0, 0).Data()).U32(4).S32(0).S32(20).S32(20).S32(20).S32(20).S32(40)
                       .S32(0).S32(40).U8(6).U8(2).U8(2).U8(3));
    emf.Record(60, {}).Record(62, Box(0, 0, 0, 0));
    // SmallTextOut, 8-bit characters, no clip box.
    emf.Record(24, {int32_t(ColorRef(kBlack))}).Record(18, {1});
    emf.Record(108, Bytes().S32(50).S32(50).U32(3).U32(0x300).U32(1).F32(1).F32(1).U8('W').U8('W').U8('W'));
    const TPicture picture = Load(emf.Build(), PictureKind::pkEnhMetafile);
    ExpectProbes(picture, {{5, 5, kRed, false}, {15, 5, kWhite, true}, {25, 5, kRed, false},
                           {45, 5, kBlue, false}, {10, 30, kGreen, false}, {30, 30, kWhite, true}});
    EXPECT_GT(CountColor(picture.Bitmap(), kBlack, 50, 50, 96, 80), 10);
}

TEST(Metafile, HostileFilesAreRefused)
{
    WmfBuilder shapes;
    shapes.Record(0x041B, {40, 40, 10, 10});
    std::vector<uint8_t> recordTooLong = shapes.Placeable(0, 0, 100, 100, 96);
    recordTooLong[22 + 18] = 0xFF;  // first record claims 255 words
    std::vector<uint8_t> recordTooShort = shapes.Placeable(0, 0, 100, 100, 96);
    recordTooShort[22 + 18] = 1;
    EmfBuilder emf;
    emf.Record(43, Box(0, 0, 10, 10));
    std::vector<uint8_t> emfBadSize = emf.Build();
    emfBadSize[88 + 4] = 3;  // record shorter than its own header
    std::vector<uint8_t> emfBadSignature = emf.Build();
    emfBadSignature[40] = 'X';
    EmfBuilder polygon;
    polygon.Record(3, {0, 0, 0, 0, 1000000});  // a million points promised, none given
    const std::pair<std::vector<uint8_t>, bool> cases[] = {
        {shapes.Placeable(0, 0, 30000, 30000, 1), false},  // picture far too large
        {shapes.Placeable(0, 0, 0, 100, 96), false},       // empty
        {recordTooLong, false},
        {recordTooShort, false},
        {shapes.Plain(), false},  // plain file with no window
        {emf.Build(0, 2540), true},
        {emfBadSize, true},
        {emfBadSignature, true},
        {polygon.Build(), true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const auto& [bytes, enhanced] = cases[i];
        try {
            Load(bytes, enhanced ? PictureKind::pkEnhMetafile : PictureKind::pkMetafile);
            ADD_FAILURE();
        } catch (const EInvalidGraphic& error) {
            EXPECT_STREQ(error.what(), "Metafile is not valid");
        }
    }
}

// Coordinates and transforms far outside the picture (fuzzing found a pixel
// at 3.7e9) draw nothing and break nothing.
TEST(Metafile, ExtremeCoordinatesAreHarmless)
{
    EmfBuilder emf;
    emf.Record(15, {2000000000, -2000000000, 0});                              // pixel
    Bytes huge;
    huge.F32(1e30f).F32(0).F32(0).F32(1e30f).F32(0).F32(0);
    emf.Record(35, huge);                                                       // world transform
    emf.Record(42, Box(-2000000000, -2000000000, 2000000000, 2000000000));     // ellipse
    emf.Record(15, {5, 5, 0});
    Bytes nan;
    nan.F32(std::nanf("")).F32(0).F32(0).F32(1).F32(0).F32(0);
    emf.Record(35, nan);
    emf.Record(43, Box(0, 0, 50, 50));
    emf.Record(84, Bytes().Append(Box(0, 0, 0, 0).Data()).U32(1).F32(1).F32(1).S32(1).S32(1).U32(1).U32(76)
                       .U32(0).Append(Box(0, 0, 0, 0).Data()).U32(0).U16('x').U16(0));
    const TPicture picture = Load(emf.Build(), PictureKind::pkEnhMetafile);
    ExpectProbes(picture, {{40, 40, kWhite, true}});
}

// A file that repaints its whole picture over and over is stopped by the work
// budget rather than keeping the program busy.
TEST(Metafile, DrawingWorkIsBounded)
{
    WmfBuilder wmf;
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {100, 100});
    SolidBrush(wmf, kRed).Record(0x012D, {0});
    wmf.Record(0x02FA, {5, 0, 0, 0, 0}).Record(0x012D, {1});  // no outlines: one fill per record
    for (int i = 0; i < 100; ++i)
        wmf.Record(0x041B, {100, 100, 0, 0});
    const std::vector<uint8_t> bytes = wmf.Placeable(0, 0, 100, 100, 96);
    TMetafileLimits limits;
    limits.maxPixelWork = 120 * 100 * 100;  // a little more than the file needs
    EXPECT_NO_THROW(RenderMetafile(bytes.data(), bytes.size(), false, limits));
    limits.maxPixelWork = 80 * 100 * 100;
    EXPECT_THROW(RenderMetafile(bytes.data(), bytes.size(), false, limits), EInvalidGraphic);
}

TEST(Metafile, UnknownRecordsAreSkipped)
{
    WmfBuilder wmf;
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {10, 10});
    wmf.Record(0x0626, {1, 2, 3, 4});  // escape
    wmf.Record(0x7777, {9});          // nobody's record
    SolidBrush(wmf, kRed).Record(0x012D, {0});
    wmf.Record(0x041B, {10, 10, 0, 0});
    const TPicture picture = Load(wmf.Placeable(0, 0, 10, 10, 96), PictureKind::pkMetafile);
    ExpectProbes(picture, {{5, 5, kRed, false}});
}

} // namespace

namespace {

TEST(Metafile, AnsiTextUsesTheWesternCodePage)
{
    const uint8_t bytes[] = {'A', 0x80, 0x93, 0x94, 0x81, 0xE9, 0x96};
    EXPECT_EQ(AnsiText(bytes, sizeof bytes), QString::fromUtf8("A\u20AC\u201C\u201D\u0081\u00E9\u2013"));
}

// The picture's graphic plays the records again at the size it is drawn, over
// what the canvas holds: a 100 x 100 file drawn at 50,50-250,250 paints its
// red square scaled and leaves the green around it alone.
TEST(Wmf, GraphicPlaysAtAnySizeOverTheCanvas)
{
    WmfBuilder wmf;
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {100, 100});
    wmf.Record(0x02FA, {5, 0, 0, 0, 0}).Record(0x012D, {0});
    SolidBrush(wmf, kRed).Record(0x012D, {1});
    wmf.Record(0x041B, {60, 60, 20, 20});  // rectangle 20,20-60,60
    const TPicture picture = Load(wmf.Placeable(0, 0, 100, 100, 96), PictureKind::pkMetafile);
    ASSERT_EQ(picture.Graphic()->ClassName(), "TMetafile");
    TBitmap target(300, 300, PixelFormat::pf24bit);
    TCanvas canvas(target);
    canvas.FillRect({0, 0, 300, 300}, MakeColor(0, 255, 0));
    picture.Graphic()->Draw(canvas, {50, 50, 250, 250});
    for (const Probe& p : std::vector<Probe>{{100, 100, kRed, false}, {160, 160, kRed, false},
                                             {80, 80, kGreen, false}, {200, 200, kGreen, false},
                                             {20, 20, kGreen, false}, {280, 150, kGreen, false}})
        EXPECT_EQ(PixelRgb(target, p.x, p.y), p.rgb) << p.x << "," << p.y;
}

} // namespace
