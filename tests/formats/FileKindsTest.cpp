// The one extension dispatch: kinds by name, and what each opens and saves as
// (the editor refuses video with its own reason, the command line writes only
// what saves).
#include <gtest/gtest.h>

#include "formats/FileKinds.h"

using namespace animora;

TEST(FileKinds, NamesGiveKindsAndWhatTheyOpenAndSaveAs)
{
    struct Case {
        const char* name;
        TFileKind kind;
        bool opens, saves;
    };
    const Case cases[] = {
        {"a.gif", TFileKind::fkGIF, true, true},
        {"/some.dir/A.GIF", TFileKind::fkGIF, true, true},
        {"b.Bmp", TFileKind::fkBitmap, true, true},
        {"c.jpg", TFileKind::fkJPEG, true, true},
        {"c.JPEG", TFileKind::fkJPEG, true, true},
        {"d.ico", TFileKind::fkIcon, true, false},
        {"e.wmf", TFileKind::fkMetafile, true, false},
        {"f.EMF", TFileKind::fkEnhMetafile, true, false},
        {"g.avi", TFileKind::fkVideo, false, true},  // written by the video export, opened by the import
        {"h.png", TFileKind::fkUnknown, false, false},
        {"archive.gif.bak", TFileKind::fkUnknown, false, false},
        {"dir.gif/noextension", TFileKind::fkUnknown, false, false},
        {"trailingdot.", TFileKind::fkUnknown, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileKindOf(c.name), c.kind);
        EXPECT_EQ(FileKindInfo(c.kind).opens, c.opens);
        EXPECT_EQ(FileKindInfo(c.kind).saves, c.saves);
    }
    EXPECT_EQ(FileKindForExtension(".JpG"), TFileKind::fkJPEG);
    EXPECT_EQ(FileKindForExtension(""), TFileKind::fkUnknown);
}
