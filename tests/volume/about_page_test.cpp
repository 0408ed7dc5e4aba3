// The about page and the contact file of the content step: every source the builder reads is
// credited with a link to its home page and its licence, and --contact leaves exactly one
// address in the volume.
#include <gtest/gtest.h>

#include <dirent.h>

#include <regex>
#include <set>
#include <string>

#include "about_page.h"
#include "platform/files.h"
#include "support/test_volume.h"
#include "volume.h"
#include "volume_helpers.h"

namespace {

// Runs the content step on an empty content folder into a fresh volume.
struct ContentBuild {
    TempFolder content, volume;
    BuildContext ctx;
    ContentBuild() {
        ctx.outDir = volume.path;
        ctx.recipe["content"] = content.path;
    }
    int Run() { return BuildContent(ctx); }
    std::string Page() { return TextOf(volume / "about.html"); }
};

TEST(AboutPage, CreditsEverySourceWithItsHomePageAndLicence) {
    ContentBuild build;
    ASSERT_EQ(build.Run(), 1);
    std::string page = build.Page();
    ASSERT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("</html>"), std::string::npos);

    // The sources of the default volume, named here independently of the builder's table.
    const char* expected[][2] = {
        {"ETOPO5", "https://www.ncei.noaa.gov/products/etopo-global-relief-model"},
        {"Blue Marble", "https://visibleearth.nasa.gov/"},
        {"Black Marble", "https://earthobservatory.nasa.gov/features/NightLights"},
        {"GSHHG", "https://www.soest.hawaii.edu/pwessel/gshhg/"},
        {"DCW", "https://www.soest.hawaii.edu/pwessel/dcw/"},
        {"Natural Earth", "https://www.naturalearthdata.com/"},
        {"GeoNames", "https://www.geonames.org/"},
        {"OurAirports", "https://ourairports.com/"},
        {"World Factbook", "https://www.cia.gov/the-world-factbook/"},
        {"World Magnetic Model", "https://www.ncei.noaa.gov/products/world-magnetic-model"},
        {"Liberation Sans", "https://github.com/liberationfonts/liberation-fonts"},
    };
    for (auto& e : expected) {
        size_t link = page.find(std::string("<a href=\"") + e[1]);
        ASSERT_NE(link, std::string::npos) << e[0];
        size_t rowEnd = page.find("</tr>", link);
        EXPECT_NE(page.substr(link, rowEnd - link).find(e[0]), std::string::npos) << e[0];
    }

    // Every row of the table: the home page and the licence, each a link.
    int rows = 0;
    for (const DataSource& s : VolumeDataSources()) {
        std::string home = std::string("<a href=\"") + s.home + "\">";
        size_t at = page.find(home);
        ASSERT_NE(at, std::string::npos) << s.name;
        std::string row = page.substr(at, page.find("</tr>", at) - at);
        EXPECT_NE(row.find(std::string("<a href=\"") + s.licenceUrl + "\">" + s.licence + "</a>"), std::string::npos)
            << s.name;
        EXPECT_EQ(std::string(s.home).rfind("https://", 0), 0u) << s.name;
        EXPECT_EQ(std::string(s.licenceUrl).rfind("https://", 0), 0u) << s.name;
        rows++;
    }
    std::regex tableRow("<tr><td>");
    EXPECT_EQ(std::distance(std::sregex_iterator(page.begin(), page.end(), tableRow), std::sregex_iterator()), rows);
}

// Every package a step reads from node_modules is credited on the page, so a new source
// cannot slip into the volume without its licence.
TEST(AboutPage, CreditsEveryPackageTheBuilderReads) {
    std::string dir = SourceDir() + "/tools/volume";
    std::set<std::string> packages;
    std::regex npm("node_modules/([a-z0-9@._-]+)/|SourcePath\\(ctx, \"[^\"]+\", \"([a-z0-9@._-]+)/");
    DIR* d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr) << dir;
    while (struct dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name.size() < 4 || name.substr(name.size() - 4) != ".cpp") continue;
        std::string text = TextOf(dir + "/" + name);
        for (std::sregex_iterator m(text.begin(), text.end(), npm), end; m != end; ++m)
            packages.insert((*m)[1].matched ? (*m)[1].str() : (*m)[2].str());
    }
    closedir(d);
    EXPECT_GE(packages.size(), 5u);
    for (const std::string& p : packages) {
        int credited = 0;
        for (const DataSource& s : VolumeDataSources()) {
            std::string list = std::string(" ") + s.package + ",";
            credited |= list.find(" " + p + ",") != std::string::npos;
        }
        EXPECT_TRUE(credited) << "npm package " << p << " is read by the builder but not credited";
    }
}

TEST(AboutPage, ContactFileFollowsTheLastContentBuild) {
    ContentBuild build;
    build.ctx.contact = "atlas@example.net";
    ASSERT_EQ(build.Run(), 1);
    EXPECT_EQ(TextOf(build.volume / "contact.txt"), "atlas@example.net\n");
    EXPECT_NE(build.Page().find("<a href=\"mailto:atlas@example.net\">"), std::string::npos);

    build.ctx.contact.clear();
    ASSERT_EQ(build.Run(), 1);
    EXPECT_FALSE(FileExists((build.volume / "contact.txt").c_str()));
    EXPECT_EQ(build.Page().find("mailto:"), std::string::npos);
}

TEST(AboutPage, ContactAddressesThatCanStandInAMailLink) {
    struct Case {
        const char* address;
        int valid;
    } cases[] = {
        {"atlas@example.net", 1}, {"first.last+maps@mail.example.org", 1},
        {"", 0}, {"atlas", 0}, {"@example.net", 0}, {"atlas@", 0}, {"a@b@example.net", 0},
        {"atlas @example.net", 0}, {"atlas@example.net?cc=x@y.org", 0}, {"a&b@example.net", 0},
        {"atlas@example.net\n", 0}, {"<atlas@example.net>", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ValidContactAddress(c.address), c.valid) << c.address;
}

}  // namespace
