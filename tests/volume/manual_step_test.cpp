// The manual step: the pages copied with their pictures, about.txt completed with the sources
// and the build, lines too wide for their text area refused; and the real pages' links,
// which must lead to files the volume holds and to places on the world.
#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "about_page.h"
#include "imaging/imaging.h"
#include "manual_pages.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "support/test_volume.h"
#include "volume.h"
#include "volume_helpers.h"

namespace {

std::vector<std::string> PagesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* d = opendir(folder.c_str());
    if (!d) return names;
    while (struct dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n.size() > 4 && n.compare(n.size() - 4, 4, ".txt") == 0 && n.compare(0, 6, "trivia") != 0) names.push_back(n);
    }
    closedir(d);
    return names;
}

// A page's lines, without their line ends.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// The real pages built into a fresh volume, once for the tests that read them.
struct RealManual {
    TempFolder volume;
    BuildContext ctx;
    int ok = 0;
    RealManual() {
        ctx.outDir = volume.path;
        ctx.recipe["content"] = SourceDir() + "/content";
        ctx.report.push_back("step artwork: done in 1.0 s");
        ctx.missing.push_back("names\\rivers.txt: no packaged source names rivers");
        ok = BuildManual(ctx);
    }
    static RealManual& Get() {
        static RealManual m;
        return m;
    }
};

TEST(ManualStep, CopiesEveryPageWithItsPicturesAndCompletesTheAboutPage) {
    RealManual& m = RealManual::Get();
    ASSERT_EQ(m.ok, 1);
    std::vector<std::string> pages = PagesIn(SourceDir() + "/content/manual");
    ASSERT_GE(pages.size(), 9u);
    for (const std::string& p : pages) {
        std::string copied = TextOf(m.volume / ("manual/" + p));
        std::string source = TextOf(SourceDir() + "/content/manual/" + p);
        ASSERT_FALSE(copied.empty()) << p;
        EXPECT_EQ(copied.compare(0, source.size(), source), 0) << p;  // about.txt goes on after the authored text
    }

    std::string about = TextOf(m.volume / "manual/about.txt");
    for (const DataSource& s : VolumeDataSources()) {
        EXPECT_NE(about.find(s.name), std::string::npos) << s.name;
        EXPECT_NE(about.find(std::string("{u \"") + s.licenceUrl + "\" "), std::string::npos) << s.name;
        EXPECT_NE(about.find(std::string("{u \"") + s.home + "\" "), std::string::npos) << s.name;
    }
    // The summary: the steps the report knows, the volume's files and what it lacks.
    EXPECT_NE(about.find("Steps run: artwork, manual."), std::string::npos);
    EXPECT_TRUE(std::regex_search(about, std::regex("The volume holds [0-9]+ files")));
    EXPECT_NE(about.find("names\\rivers.txt: no packaged source names rivers"), std::string::npos);
    for (const char* demo : {"2d.rec", "3d.rec", "globe.rec", "stats.rec", "flyby.rec"}) {
        EXPECT_EQ(about.find(std::string("manual\\") + demo + ":"), std::string::npos) << demo;  // copied, so not lacking
        EXPECT_EQ(ReadTestFile(m.volume / ("manual/" + std::string(demo))), ReadTestFile(SourceDir() + "/content/manual/" + demo)) << demo;
    }
    EXPECT_EQ(about.find("manual\\m_2d.txt:"), std::string::npos);  // written, so not lacking
    EXPECT_EQ(about.find("manual\\m_flyby.txt:"), std::string::npos);

    for (const char* pic : {"manual/m_2d.bmp", "manual/m_globe.bmp", "manual/m_3d.bmp", "manual/m_flyby.bmp"}) {
        std::vector<uint8_t> bytes = ReadTestFile(m.volume / pic);
        DecodedBmp bmp;
        ASSERT_EQ(DecodeBmp(bytes.data(), bytes.size(), &bmp), 1) << pic;
        EXPECT_EQ(bmp.width, 200) << pic;
        EXPECT_EQ(bmp.height, 133) << pic;
    }
}

// Lines measured against the area of their page: the help pages' 645 pixels, the room's
// information pages' 571, captions by where they are drawn.
TEST(ManualStep, WidthCheckFindsLinesTooWideForTheirTextArea) {
    std::string wide(60, 'W');  // about 840 pixels of body text, in 60 characters
    std::string medium = wide.substr(0, 42);  // about 595 pixels
    struct Case {
        const char* file;
        std::string text;
        int faults;
    } cases[] = {
        {"manual\\m_2d.txt", "fits\n" + medium + "\n", 0},
        {"manual\\about.txt", "fits\n" + medium + "\n", 1},
        {"manual\\m_2d.txt", "fits\n" + wide + "\n", 1},
        {"manual\\m_2d.txt", "fits\n{f \"manual\\m_3d.txt\" " + wide.substr(0, 30) + "}" + "{4}" + wide.substr(0, 30) + "\n", 1},
        {"manual\\m_2d.txt", wide.substr(0, 44) + "\n", 0},  // fits in the body font, not in heading 2
        {"manual\\m_2d.txt", "fits\n{2}" + wide.substr(0, 44) + "{4}\n", 1},
        {"manual\\m_2d.txt", "{bigtext=26,80\"A caption\"}\n{bigtext=540,80\"A caption\"}\n", 1},
        {"manual\\m_2d.txt", "fits\n{4}" + std::string(192, 'i') + "\n", 1},  // narrow, but too long
        {"manual\\m_2d.txt", "fits\n{u \"https://example.org/" + std::string(60, 'a') + "\" link}\n", 1},
    };
    for (const Case& c : cases) {
        std::vector<std::string> faults;
        EXPECT_EQ(CheckManualPage(c.file, c.text, &faults), c.faults) << c.file << ": " << c.text;
        for (const std::string& f : faults) EXPECT_EQ(f.rfind(std::string(c.file) + ":2: ", 0), 0u) << f;
    }

    // Through the step: the page with the wide line is refused and named in the report.
    TempFolder content, volume;
    ASSERT_EQ(MakeDirectories((content / "manual").c_str()), 1);
    ASSERT_EQ(WriteTestText(content / "manual/m_2d.txt", "fits\n" + wide + "\n"), 1);
    ASSERT_EQ(WriteTestText(content / "manual/m_3d.txt", "fits\n"), 1);
    BuildContext ctx;
    ctx.outDir = volume.path;
    ctx.recipe["content"] = content.path;
    EXPECT_EQ(BuildManual(ctx), 0);
    EXPECT_EQ(FileSize(volume / "manual/m_2d.txt"), -1);
    EXPECT_GT(FileSize(volume / "manual/m_3d.txt"), 0);
    int named = 0;
    for (const std::string& line : ctx.report) named += line.find("manual\\m_2d.txt:2: ") != std::string::npos && line.find(" px wide") != std::string::npos;
    EXPECT_EQ(named, 1);
}

// The real pages: every file link and picture leads to a file of the volume, every map link
// is a window on the world, every line is within the reader's 194 characters.
TEST(ManualStep, RealPagesLinkToFilesTheVolumeHoldsAndPlacesOnTheWorld) {
    RealManual& m = RealManual::Get();
    ASSERT_EQ(m.ok, 1);
    std::regex fileLink("\\{f \"([^\"]*)\""), picture("^\\{bitmap=[0-9]+,[0-9]+\"([^\"]*)\""),
        mapLink("\\{z \"([-0-9.]+),([-0-9.]+),([-0-9.]+),([-0-9.]+)\" ");
    int files = 0, maps = 0;
    for (const std::string& p : PagesIn(SourceDir() + "/content/manual")) {
        for (const std::string& line : LinesOf(TextOf(m.volume / ("manual/" + p)))) {
            EXPECT_LE(line.size(), 194u) << p;
            for (const std::regex* r : {&fileLink, &picture}) {
                for (std::sregex_iterator i(line.begin(), line.end(), *r), e; i != e; ++i) {
                    EXPECT_TRUE(FileExists(VolumePath(m.ctx, (*i)[1].str().c_str()).c_str())) << p << ": " << (*i)[1];
                    files++;
                }
            }
            for (std::sregex_iterator i(line.begin(), line.end(), mapLink), e; i != e; ++i) {
                double west = atof((*i)[1].str().c_str()), north = atof((*i)[2].str().c_str());
                double south = atof((*i)[3].str().c_str()), east = atof((*i)[4].str().c_str());
                EXPECT_TRUE(-180 <= west && west < east && east <= 180) << p << ": " << (*i)[0];
                EXPECT_TRUE(-90 <= south && south < north && north <= 90) << p << ": " << (*i)[0];
                maps++;
            }
        }
    }
    EXPECT_GT(files, 20);
    EXPECT_GT(maps, 10);
}

// The builder measures with its own fonts; the viewer draws through the platform's. Both must
// give every line of the real pages the same width, or the check would pass lines the viewer
// cuts off.
TEST(ManualStep, MeasuresLinesAsTheViewerDrawsThem) {
    Surface* s = CreateSurface(8, 8);
    ASSERT_NE(s, nullptr);
    struct Font {
        const char* tag;
        int points, weight;
    } fonts[] = {{"", 11, 400}, {"{1}", 14, 700}, {"{2}", 12, 700}, {"{3}", 11, 700}};
    int lines = 0;
    for (const std::string& p : PagesIn(SourceDir() + "/content/manual")) {
        for (const std::string& line : LinesOf(TextOf(SourceDir() + "/content/manual/" + p))) {
            if (line.empty() || line.find_first_of("{}") != std::string::npos) continue;
            for (const Font& f : fonts) {
                FontSpec drawn;
                drawn.family = "Arial", drawn.points = f.points, drawn.dpi = 96, drawn.weight = f.weight;
                SetFont(s, drawn);
                int font = 0;
                EXPECT_EQ(ManualLineWidth(std::string(f.tag) + line, &font), TextExtent(s, line.c_str(), (int)line.size()).x)
                    << p << " " << f.tag << line;
            }
            lines++;
        }
    }
    DeleteSurface(s);
    EXPECT_GT(lines, 100);
}

}  // namespace
