// Metafiles written by a real program: small SVG drawings exported by
// Inkscape as EMF and WMF, played by us and compared with Inkscape's own PNG
// export of the same drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "FormatsTestSupport.h"
#include "formats/Picture.h"
#include "support/TestData.h"

using namespace animora;
using namespace animora::test;

namespace {

struct Drawing {
    const char* name;
    const char* body;  // SVG elements on a white 120 x 90 page
};

const Drawing kDrawings[] = {
    {"shapes",
     R"(<rect x="10" y="10" width="50" height="30" fill="#ff0000" stroke="#000080" stroke-width="3"/>
        <ellipse cx="85" cy="30" rx="25" ry="18" fill="#00c000"/>
        <polygon points="10,80 40,50 70,80" fill="#0000ff"/>)"},
    {"strokes",
     R"(<polyline points="5,5 60,40 115,5" fill="none" stroke="#202020" stroke-width="6"/>
        <path d="M 10 85 C 30 40, 90 40, 110 85" fill="none" stroke="#c00000" stroke-width="4"/>
        <circle cx="60" cy="60" r="12" fill="#ffcc00" stroke="#000000" stroke-width="2"/>)"},
    {"text",
     R"(<rect x="0" y="50" width="120" height="40" fill="#3060a0"/>
        <text x="8" y="38" font-family="DejaVu Sans" font-size="28" font-weight="bold" fill="#000000">Gif</text>
        <text x="60" y="80" font-family="DejaVu Sans" font-size="20" fill="#ffffff">Pro</text>)"},
};

// Mean channel difference allowed between our playback and Inkscape's PNG;
// measured 2.1 to 3.4 on these drawings.
constexpr double kBound = 5.0;

class InkscapeMetafiles : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveProgram("inkscape"))
            GTEST_SKIP() << "inkscape is not installed (scripts/install-deps.sh installs it)";
        dir_ = MakeTempDir("animora-inkscape");
    }
    void TearDown() override
    {
        if (!dir_.empty())
            std::filesystem::remove_all(dir_);
    }

    // Writes the drawing and exports it; answers the path without extension.
    std::string Export(const Drawing& drawing)
    {
        const std::string base = (dir_ / drawing.name).string();
        std::ofstream(base + ".svg") << R"(<svg xmlns="http://www.w3.org/2000/svg" width="120" height="90" )"
                                     << R"(viewBox="0 0 120 90"><rect width="120" height="90" fill="#ffffff"/>)"
                                     << drawing.body << "</svg>\n";
        const int status = RunShell("cd " + dir_.string() + " && inkscape " + drawing.name +
                               ".svg --export-type=emf,wmf,png --export-filename=" + drawing.name +
                               " > /dev/null 2>&1");
        EXPECT_EQ(status, 0);
        EXPECT_EQ(RunShell("convert " + base + ".png -background white -flatten -type TrueColor BMP3:" + base +
                      ".png.bmp"), 0);
        return base;
    }

    std::filesystem::path dir_;
};

TEST_F(InkscapeMetafiles, PlayLikeInkscapesOwnRendering)
{
    for (const Drawing& drawing : kDrawings) {
        SCOPED_TRACE(drawing.name);
        const std::string base = Export(drawing);
        TPicture reference;
        reference.LoadFromFile(base + ".png.bmp");
        // The bound below must tell a right picture from a blank one.
        TBitmap blank(reference.Width(), reference.Height());
        for (int y = 0; y < blank.Height(); ++y)
            std::fill_n(blank.ScanLine(y), blank.RowBytes(), uint8_t{0xFF});
        EXPECT_GT(MeanDifference(blank, reference.Bitmap()), 3 * kBound);
        for (const char* ext : {".emf", ".wmf"}) {
            SCOPED_TRACE(ext);
            TPicture played;
            played.LoadFromFile(base + ext);
            EXPECT_NEAR(played.Width(), 120, 1);
            EXPECT_NEAR(played.Height(), 90, 1);
            // Antialiasing differs (we draw like the old device contexts,
            // without); shapes, fills and text in the wrong place would not.
            const double difference = MeanDifference(played.Bitmap(), reference.Bitmap());
            RecordProperty(std::string(drawing.name) + ext, std::to_string(difference));
            EXPECT_LT(difference, kBound);
        }
    }
}

} // namespace
