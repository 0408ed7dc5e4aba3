// Country polygons: rings across the date line, the point limit of a polygon, enclaves before
// the country around them, and the 24-byte index entries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/le_bytes.h"
#include "vector_build.h"

static GeoLine Circle(double lon, double lat, double radius, int n) {
    GeoLine ring;
    for (int i = 0; i < n; i++) {
        double a = 2 * M_PI * i / n;
        ring.push_back({lon + radius * std::cos(a), lat + radius * std::sin(a)});
    }
    return ring;
}

// Crossing number test, as a click on the map would use it.
static int Inside(const GeoLine& ring, double lon, double lat) {
    int in = 0;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        if ((ring[i].lat > lat) != (ring[j].lat > lat) &&
            lon < (ring[j].lon - ring[i].lon) * (lat - ring[i].lat) / (ring[j].lat - ring[i].lat) + ring[i].lon)
            in = !in;
    return in;
}

TEST(CountryPolygons, RingAcrossTheDateLineIsCutThere) {
    // As DCW prints eastern Russia: longitudes running on past 180.
    GeoLine ring{{175, 60}, {190, 60}, {190, 70}, {175, 70}, {175, 60}};
    std::vector<CountryPolygon> polygons;
    CountryRingsToPolygons(7, {ring}, 0.001, &polygons);
    ASSERT_EQ(polygons.size(), 2u);
    for (const CountryPolygon& p : polygons) {
        EXPECT_EQ(p.country, 7);
        EXPECT_GE(p.west, -180);
        EXPECT_LE(p.east, 180);
        EXPECT_DOUBLE_EQ(p.south, 60);
        EXPECT_DOUBLE_EQ(p.north, 70);
    }
    EXPECT_DOUBLE_EQ(polygons[0].west, 175);
    EXPECT_DOUBLE_EQ(polygons[0].east, 180);
    EXPECT_DOUBLE_EQ(polygons[1].west, -180);
    EXPECT_DOUBLE_EQ(polygons[1].east, -170);
    EXPECT_TRUE(Inside(polygons[0].points, 179, 65));
    EXPECT_TRUE(Inside(polygons[1].points, -175, 65));
    EXPECT_FALSE(Inside(polygons[1].points, -165, 65));
    // The same ring written as jumps between -180 and 180 gives the same two parts.
    GeoLine jumping{{175, 60}, {-170, 60}, {-170, 70}, {175, 70}};
    polygons.clear();
    CountryRingsToPolygons(7, {jumping}, 0.001, &polygons);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_DOUBLE_EQ(polygons[1].west, -180);
    // Wholly east of 180: moved into range, not cut.
    polygons.clear();
    CountryRingsToPolygons(7, {{{190, 0}, {200, 0}, {200, 5}}}, 0.001, &polygons);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_DOUBLE_EQ(polygons[0].west, -170);
}

TEST(CountryPolygons, LargeRingsAreSimplifiedUnderTheLimit) {
    std::vector<CountryPolygon> polygons;
    CountryRingsToPolygons(1, {Circle(0, 0, 20, 50000), Circle(50, 0, 1, 100), Circle(60, 0, 0.001, 30)}, 0.0,
                           &polygons);
    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_LE(polygons[0].points.size(), (size_t)kMaxCountryPolygonPoints);
    EXPECT_GT(polygons[0].points.size(), 1000u);
    EXPECT_TRUE(Inside(polygons[0].points, 19.9, 0));
    EXPECT_FALSE(Inside(polygons[0].points, 20.1, 0));
    EXPECT_EQ(polygons[1].points.size(), 100u);  // small enough to keep every point
    // A speck that simplifies away gives no polygon.
    polygons.clear();
    CountryRingsToPolygons(1, {Circle(0, 0, 0.001, 30)}, 0.005, &polygons);
    EXPECT_TRUE(polygons.empty());
}

TEST(CountryPolygons, EnclavesComeFirstAndEntriesAreLaidOutByteByByte) {
    std::vector<CountryPolygon> polygons;
    CountryRingsToPolygons(210, {Circle(25, -29, 6, 64)}, 0.0, &polygons);   // the country around
    CountryRingsToPolygons(124, {Circle(28, -29.5, 0.8, 16)}, 0.0, &polygons);  // the enclave
    std::vector<uint8_t> index, data;
    ASSERT_EQ(EncodeCountryPolygons(polygons, &index, &data), 1);
    ASSERT_EQ(index.size(), 48u);
    ASSERT_EQ(data.size(), (16u + 64u) * 8);
    ByteCursor c = MakeCursor(index.data(), index.size());
    float west = ReadF32LE(c), south = ReadF32LE(c), east = ReadF32LE(c), north = ReadF32LE(c);
    EXPECT_NEAR(west, 27.2, 1e-5);
    EXPECT_NEAR(south, -30.3, 1e-5);
    EXPECT_NEAR(east, 28.8, 1e-5);
    EXPECT_NEAR(north, -28.7, 1e-5);
    EXPECT_EQ(ReadI16LE(c), 16);
    EXPECT_EQ(ReadI16LE(c), 124);
    EXPECT_EQ(ReadU32LE(c), 0u);
    c.p += 16;
    EXPECT_EQ(ReadI16LE(c), 64);
    EXPECT_EQ(ReadI16LE(c), 210);
    EXPECT_EQ(ReadU32LE(c), 16u * 8);
    ByteCursor p = MakeCursor(data.data(), 8);
    EXPECT_NEAR(ReadF32LE(p), 28.8, 1e-5);  // the first point: longitude, then latitude
    EXPECT_NEAR(ReadF32LE(p), -29.5, 1e-5);

    CountryPolygon tooMany{1, 0, 0, 1, 1, GeoLine(8201, GeoPoint{0, 0})};
    std::vector<CountryPolygon> bad{tooMany};
    EXPECT_EQ(EncodeCountryPolygons(bad, &index, &data), 0);
}
