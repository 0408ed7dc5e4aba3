// The command line and geo: links: the places they give and the messages for bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/command_line.h"

namespace {

struct ValidUri {
    const char* uri;
    double latitude, longitude, scale;
};

TEST(GeoUri, ValidLinksGiveTheirPlaceAndScale) {
    const ValidUri table[] = {
        {"geo:48.2082,16.3738", 48.2082, 16.3738, kDefaultOpeningScale},
        {"GEO:-33.8688,151.2093", -33.8688, 151.2093, kDefaultOpeningScale},
        {"geo:27.9881,86.9250,8848", 27.9881, 86.925, kDefaultOpeningScale},
        {"geo:0,0;u=35", 0, 0, kDefaultOpeningScale},
        {"geo:51.5,-0.12;crs=WGS84;u=12.5", 51.5, -0.12, kDefaultOpeningScale},
        {"geo:90,-180", 90, -180, kDefaultOpeningScale},
        {"geo:-90,180", -90, 180, kDefaultOpeningScale},
        {"geo:40.7%2C-74.0", 40.7, -74.0, kDefaultOpeningScale},
        {"geo:10,20?z=0", 10, 20, 559082264.028},
        {"geo:10,20;u=5?z=12", 10, 20, 559082264.028 / 4096},
        {"geo:10,20?q=cafe&z=3", 10, 20, 559082264.028 / 8},
        {"geo:+1.5,-.5", 1.5, -0.5, kDefaultOpeningScale},
    };
    for (const ValidUri& v : table) {
        OpeningPlace p;
        std::string error;
        ASSERT_EQ(ParseGeoUri(v.uri, &p, &error), 1) << v.uri << ": " << error;
        EXPECT_DOUBLE_EQ(p.latitude, v.latitude) << v.uri;
        EXPECT_DOUBLE_EQ(p.longitude, v.longitude) << v.uri;
        EXPECT_NEAR(p.scale, v.scale, 0.01) << v.uri;
    }
}

TEST(GeoUri, InvalidLinksSayWhatIsWrong) {
    const char* table[][2] = {
        {"geo:91,0", "geo:91,0: the latitude must lie between -90 and 90"},
        {"geo:-90.5,0", "geo:-90.5,0: the latitude must lie between -90 and 90"},
        {"geo:0,180.01", "geo:0,180.01: the longitude must lie between -180 and 180"},
        {"geo:48.2", "geo:48.2: expected a latitude and a longitude separated by a comma"},
        {"geo:1,2,3,4", "geo:1,2,3,4: expected a latitude and a longitude separated by a comma"},
        {"geo:", "geo:: expected a latitude and a longitude separated by a comma"},
        {"geo:north,0", "geo:north,0: the latitude is not a number"},
        {"geo:1,2e3", "geo:1,2e3: the longitude is not a number"},
        {"geo:1,2,high", "geo:1,2,high: the altitude is not a number"},
        {"geo:1, 2", "geo:1, 2: the longitude is not a number"},
        {"geo:1,2;crs=nad27", "geo:1,2;crs=nad27: the coordinate reference system \"nad27\" is not supported (only wgs84)"},
        {"geo:1,2?z=24", "geo:1,2?z=24: the zoom level z must be a whole number from 0 to 23"},
        {"geo:1,2?z=-1", "geo:1,2?z=-1: the zoom level z must be a whole number from 0 to 23"},
        {"geo:1,2?z=", "geo:1,2?z=: the zoom level z must be a whole number from 0 to 23"},
        {"geo:1%2", "geo:1%2: a percent sign is not followed by two hexadecimal digits"},
        {"geo:1%zz,2", "geo:1%zz,2: a percent sign is not followed by two hexadecimal digits"},
        {"https://example.org", "https://example.org: not a geo: link"},
    };
    for (auto& row : table) {
        OpeningPlace p;
        p.latitude = 7;
        std::string error;
        EXPECT_EQ(ParseGeoUri(row[0], &p, &error), 0) << row[0];
        EXPECT_EQ(error, row[1]);
        EXPECT_EQ(p.latitude, 7) << "a refused link leaves the place alone: " << row[0];
    }
}

// Runs the parser on "mundora" followed by the arguments.
static int Parse(std::vector<const char*> args, CommandLine* c, std::string* error) {
    args.insert(args.begin(), "mundora");
    return ParseCommandLine((int)args.size(), args.data(), c, error);
}

TEST(CommandLine, OptionsAndPlaces) {
    CommandLine c;
    std::string error;
    ASSERT_EQ(Parse({}, &c, &error), 1);
    EXPECT_FALSE(c.hasPlace || c.showHelp || c.showVersion);

    ASSERT_EQ(Parse({"--volume", "/media/atlas", "--data-root=/tmp/me", "--at", "-22.9,-43.2", "--scale", "1:250,000"}, &c, &error), 1) << error;
    EXPECT_EQ(c.volumeDir, "/media/atlas");
    EXPECT_EQ(c.dataRootDir, "/tmp/me");
    EXPECT_TRUE(c.hasPlace);
    EXPECT_DOUBLE_EQ(c.place.latitude, -22.9);
    EXPECT_DOUBLE_EQ(c.place.longitude, -43.2);
    EXPECT_DOUBLE_EQ(c.place.scale, 250000);
    EXPECT_EQ(c.recordFile, "");

    ASSERT_EQ(Parse({"--record", "demo.rec"}, &c, &error), 1) << error;
    EXPECT_EQ(c.recordFile, "demo.rec");
    EXPECT_FALSE(c.hasPlace);

    // --scale may come first and overrides a link's zoom level.
    ASSERT_EQ(Parse({"--scale", "1000000", "geo:1,2?z=5"}, &c, &error), 1) << error;
    EXPECT_DOUBLE_EQ(c.place.scale, 1000000);
    ASSERT_EQ(Parse({"geo:1,2?z=5"}, &c, &error), 1) << error;
    EXPECT_NEAR(c.place.scale, 559082264.028 / 32, 0.01);
    ASSERT_EQ(Parse({"--at=5,6"}, &c, &error), 1) << error;
    EXPECT_DOUBLE_EQ(c.place.scale, kDefaultOpeningScale);

    ASSERT_EQ(Parse({"-h"}, &c, &error), 1);
    EXPECT_TRUE(c.showHelp);
    ASSERT_EQ(Parse({"--version"}, &c, &error), 1);
    EXPECT_TRUE(c.showVersion);
}

TEST(CommandLine, BadArgumentsSayWhatIsWrong) {
    const std::vector<std::vector<const char*>> args = {
        {"--zoom"},
        {"-x"},
        {"atlas"},
        {"--volume"},
        {"--data-root"},
        {"--record"},
        {"--at"},
        {"--at="},
        {"--scale"},
        {"--at", "91,0"},
        {"--at", "10"},
        {"--at", "1,2", "--scale", "1:abc"},
        {"--at", "1,2", "--scale", "0"},
        {"--scale", "1:5000"},
        {"--at", "1,2", "geo:3,4"},
        {"geo:200,0"},
    };
    const char* messages[] = {
        "unknown option --zoom (see mundora --help)",
        "unknown option -x (see mundora --help)",
        "unexpected argument \"atlas\" (see mundora --help)",
        "--volume needs a folder",
        "--data-root needs a folder",
        "--record needs a file name",
        "--at needs a position such as 48.21,16.37",
        "--at needs a value",
        "--scale needs a scale such as 1:250000",
        "--at 91,0: the latitude must lie between -90 and 90",
        "--at 10: expected a latitude and a longitude separated by a comma",
        "--scale 1:abc: the scale must be written 1:N with N a whole number of at least 1",
        "--scale 0: the scale must be written 1:N with N a whole number of at least 1",
        "--scale needs a place: --at LAT,LON or a geo: link",
        "only one place can be given (--at or a geo: link)",
        "geo:200,0: the latitude must lie between -90 and 90",
    };
    for (size_t i = 0; i < args.size(); i++) {
        CommandLine c;
        std::string error;
        EXPECT_EQ(Parse(args[i], &c, &error), 0) << messages[i];
        EXPECT_EQ(error, messages[i]);
    }
}

TEST(CommandLine, PlaceMessageRoundTripsAndRefusesJunk) {
    OpeningPlace p{-41.2865, 174.7762, 125000};
    OpeningPlace back;
    ASSERT_EQ(ParsePlaceMessage(FormatPlaceMessage(p), &back), 1);
    EXPECT_DOUBLE_EQ(back.latitude, p.latitude);
    EXPECT_DOUBLE_EQ(back.longitude, p.longitude);
    EXPECT_DOUBLE_EQ(back.scale, p.scale);
    for (const char* junk : {"raise", "at 1 2", "at 95 0 1000", "at 1 2 3 extra", "at 1 2 0"})
        EXPECT_EQ(ParsePlaceMessage(junk, &back), 0) << junk;
}

}  // namespace
