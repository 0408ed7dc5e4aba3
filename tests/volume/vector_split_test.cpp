// Cutting source lines into cell records: nothing lost or drawn twice, every point inside its
// cell, the date line and the poles; line simplification; the world point raster.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "vector_build.h"

static GeoPoint PointOf(const VectorCellRecord& r, size_t i) {
    return {VectorCellWest(r.cell) + r.points[i].dLon / 10000.0, VectorCellSouth(r.cell) + r.points[i].dLat / 10000.0};
}

static double Length(const GeoLine& l) {
    double sum = 0;
    for (size_t i = 1; i < l.size(); i++) sum += std::hypot(l[i].lon - l[i - 1].lon, l[i].lat - l[i - 1].lat);
    return sum;
}

// A random walk with long jumps, crossings of the date line and visits to the poles.
static GeoLine RandomLine(std::mt19937& random) {
    std::uniform_real_distribution<double> u(-1, 1);
    GeoLine line{{180 * u(random), 90 * u(random)}};
    int n = 2 + (int)(random() % 60);
    for (int i = 1; i < n; i++) {
        double step = (random() % 5 == 0) ? 12.0 : 0.4;
        GeoPoint p{line.back().lon + step * u(random), std::clamp(line.back().lat + step * u(random), -90.0, 90.0)};
        line.push_back(p);
    }
    return line;
}

TEST(VectorSplit, RecordsCoverTheLineInsideTheirCells) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 300; trial++) {
        GeoLine line = RandomLine(random);
        std::vector<VectorCellRecord> records;
        SplitLineIntoRecords(line, &records);
        std::vector<GeoLine> parts;
        NormaliseLine(line, &parts);
        double want = 0, got = 0;
        for (const GeoLine& p : parts) want += Length(p);
        for (size_t k = 0; k < records.size(); k++) {
            const VectorCellRecord& r = records[k];
            ASSERT_TRUE(IsVectorCell(r.cell));
            ASSERT_GE(r.points.size(), 2u);
            ASSERT_EQ(r.record.nPoints, r.points.size());
            int minX = 1 << 30, maxX = -(1 << 30), minY = 1 << 30, maxY = -(1 << 30), refFound = 0;
            GeoLine geo;
            for (size_t i = 0; i < r.points.size(); i++) {
                const VectorPoint& v = r.points[i];
                // Inside its own cell, so far within the 3.2767 degrees the format allows.
                ASSERT_GE(v.dLon, 0);
                ASSERT_LE(v.dLon, 10000);
                ASSERT_GE(v.dLat, 0);
                ASSERT_LE(v.dLat, 10000);
                minX = std::min(minX, (int)v.dLon), maxX = std::max(maxX, (int)v.dLon);
                minY = std::min(minY, (int)v.dLat), maxY = std::max(maxY, (int)v.dLat);
                refFound |= v.dLon == r.record.refLon && v.dLat == r.record.refLat;
                geo.push_back(PointOf(r, i));
            }
            EXPECT_EQ(r.record.extent, std::max(maxX - minX, maxY - minY));
            EXPECT_TRUE(refFound);
            got += Length(geo);
            // Consecutive records join up, except where the line leaves at one side of the
            // date line and comes back at the other.
            if (k > 0) {
                GeoPoint end = PointOf(records[k - 1], records[k - 1].points.size() - 1), start = PointOf(r, 0);
                if (std::fabs(end.lon) != 180 || std::fabs(start.lon) != 180) {
                    EXPECT_NEAR(end.lon, start.lon, 1e-4);
                    EXPECT_NEAR(end.lat, start.lat, 1e-4);
                }
            }
        }
        // Rounding to ten-thousandths moves each point by at most 0.00007 degrees.
        EXPECT_NEAR(got, want, 2e-4 * (double)(line.size() + records.size() * 4) + 1e-6) << "trial " << trial;
    }
}

TEST(VectorSplit, DateLineAndPoles) {
    std::vector<VectorCellRecord> records;
    // The short way from 170 E to 170 W crosses the date line, not the whole map.
    SplitLineIntoRecords({{170, 10}, {-170, 12}}, &records);
    ASSERT_EQ(records.size(), 20u);
    for (const VectorCellRecord& r : records) {
        int west = VectorCellWest(r.cell);
        EXPECT_TRUE(west >= 170 || west <= -171) << west;
    }
    GeoPoint east = PointOf(records[9], records[9].points.size() - 1), west = PointOf(records[10], 0);
    EXPECT_DOUBLE_EQ(east.lon, 180);
    EXPECT_DOUBLE_EQ(west.lon, -180);
    EXPECT_NEAR(east.lat, 11, 1e-4);
    EXPECT_NEAR(west.lat, 11, 1e-4);
    // Longitudes given as 0..360 (as DCW prints them) land where -180..180 would put them.
    records.clear();
    SplitLineIntoRecords({{242.5, 32.25}, {242.75, 32.5}}, &records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].cell, VectorCellNumber(32, -118));
    EXPECT_EQ(records[0].points[0].dLon, 5000);
    // The pole row and the east edge belong to the last cells.
    records.clear();
    SplitLineIntoRecords({{179.5, 90}, {180, 90}, {180, 89.5}}, &records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].cell, 64799);
    EXPECT_EQ(records[0].points[1].dLon, 10000);
    EXPECT_EQ(records[0].points[1].dLat, 10000);
    // A long straight border is cut on every meridian it crosses.
    records.clear();
    SplitLineIntoRecords({{0.5, 45.5}, {9.5, 45.5}}, &records);
    ASSERT_EQ(records.size(), 10u);
    for (size_t i = 0; i < records.size(); i++) EXPECT_EQ(records[i].cell, VectorCellNumber(45, (int)i));
    // A step from -180 to 180 stays on the date line: nothing is drawn across the map.
    records.clear();
    SplitLineIntoRecords({{170, 5}, {180, 5}, {-180, 6}, {-170, 6}}, &records);
    for (const VectorCellRecord& r : records) {
        int w = VectorCellWest(r.cell);
        EXPECT_TRUE(w >= 170 || w <= -171) << w;
    }
    EXPECT_EQ(records.size(), 20u);
    // Repeated points and a single point make no record.
    records.clear();
    EXPECT_EQ(SplitLineIntoRecords({{3, 3}, {3, 3}}, &records), 0);
    EXPECT_EQ(SplitLineIntoRecords({{3, 3}}, &records), 0);
}

static double DistanceToSegment(GeoPoint p, GeoPoint a, GeoPoint b) {
    double dx = b.lon - a.lon, dy = b.lat - a.lat, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? std::clamp(((p.lon - a.lon) * dx + (p.lat - a.lat) * dy) / len2, 0.0, 1.0) : 0;
    return std::hypot(p.lon - (a.lon + t * dx), p.lat - (a.lat + t * dy));
}

TEST(VectorSplit, SimplifiedLineStaysWithinTolerance) {
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0, 0.01);
    for (int trial = 0; trial < 50; trial++) {
        GeoLine line;
        for (int i = 0; i < 500; i++) line.push_back({i * 0.01, std::sin(i * 0.05) + noise(random)});
        double tolerance = 0.005 * (1 + trial % 5);
        GeoLine simple = SimplifyLine(line, tolerance);
        ASSERT_GE(simple.size(), 2u);
        EXPECT_LT(simple.size(), line.size());
        EXPECT_EQ(simple.front().lon, line.front().lon);
        EXPECT_EQ(simple.back().lon, line.back().lon);
        // Every dropped point lies within tolerance of the simplified segment spanning it.
        size_t k = 0;
        for (const GeoPoint& p : line) {
            while (k + 1 < simple.size() && simple[k + 1].lon < p.lon) k++;
            double d = k + 1 < simple.size() ? DistanceToSegment(p, simple[k], simple[k + 1]) : 0;
            EXPECT_LE(d, tolerance + 1e-12);
        }
    }
}

TEST(VectorSplit, WorldPointsAreMarkedOnceInRowOrder) {
    std::vector<WorldPoint> points;
    RasteriseWorldPoints({{{-180, 0}, {0, 0}, {180, 0}}, {{-180, 0}, {0, 0}}}, &points);
    ASSERT_EQ(points.size(), 800u);
    for (size_t i = 0; i < points.size(); i++) {
        EXPECT_EQ(points[i].column, (int)i);
        EXPECT_EQ(points[i].row, WorldGridRow(0));
    }
    // Across the date line only the two short ends are marked.
    RasteriseWorldPoints({{{179, 50}, {-179, 50}}}, &points);
    for (const WorldPoint& p : points) EXPECT_TRUE(p.column <= 2 || p.column >= 797) << p.column;
    // A steep line marks one point per row, ordered by row.
    RasteriseWorldPoints({{{0, -45}, {0, 45}}}, &points);
    for (size_t i = 1; i < points.size(); i++) EXPECT_EQ(points[i].row, points[i - 1].row + 1);
}

TEST(VectorSplit, GmtSegmentLists) {
    std::vector<GeoLine> lines;
    std::vector<std::string> headers;
    std::string error;
    const char* text =
        "# comment\n"
        "> Shore Bin # 1, Level 1\n"
        "-88\t82.1\n"
        "-88.04 82.11\r\n"
        "> lone point\n"
        "1 1\n"
        "> -Ph South Africa Segment 4\n"
        "27.1 -29.5\n"
        "27.2 -29.6\n"
        "\n"
        "27.3 -29.4";
    ASSERT_EQ(ParseGmtSegments(text, &lines, &error, &headers), 1) << error;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 2u);
    EXPECT_DOUBLE_EQ(lines[0][1].lat, 82.11);
    EXPECT_EQ(lines[1].size(), 3u);
    EXPECT_NE(headers[1].find("-Ph"), std::string::npos);
    EXPECT_EQ(headers[0].find("-Ph"), std::string::npos);

    const char* damaged[] = {"> a\n1 2\n3 north\n", "> a\n1 2\n3\n", "1 2\n1e999 2\n", "1 2\n3 95\n", "1 2\n3 4 x\n"};
    for (const char* d : damaged) {
        EXPECT_EQ(ParseGmtSegments(d, &lines, &error), 0) << d;
        EXPECT_NE(error.find("line "), std::string::npos);
        EXPECT_TRUE(lines.empty());
    }
    ParseGmtSegments("> a\n1 2\n3 north\n", &lines, &error);
    EXPECT_EQ(error, "line 3 is not a longitude and latitude: \"3 north\"");
}
