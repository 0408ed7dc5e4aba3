// The vector layer files byte by byte, the cell numbering, the longitude shift of cells seen
// across the date line, and the world point grid.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "map2d/map2d.h"

static uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return (uint16_t)(b[at] | (b[at + 1] << 8)); }
static uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | ((uint32_t)U16(b, at + 2) << 16); }

static VectorCellRecord Record(int cell, std::vector<VectorPoint> points, uint16_t extent, int16_t refLon,
                               int16_t refLat) {
    VectorCellRecord r;
    r.cell = cell;
    r.points = points;
    r.record = {extent, (uint16_t)points.size(), refLon, refLat};
    return r;
}

TEST(VectorFiles, LayoutByteByByte) {
    int north = VectorCellNumber(45, 7), south = VectorCellNumber(-34, -58);
    // Given north first: the files must come out sorted by cell, records keeping their order.
    std::vector<VectorCellRecord> records = {
        Record(north, {{1, 2}, {-3, 32767}}, 300, 1, 2),
        Record(south, {{10000, 0}, {0, 10000}, {-32768, -1}}, 65535, -7, 8),
        Record(north, {{5, 6}}, 9, 5, 6),
    };
    std::vector<uint8_t> index, data;
    ASSERT_EQ(EncodeVectorLayer("BORDERS", records, &index, &data), 1);

    ASSERT_EQ(index.size(), 256u + 2 + 2 * 12);
    EXPECT_EQ(U16(index, 256), 2);
    EXPECT_EQ((int32_t)U32(index, 258), south);
    EXPECT_EQ((int32_t)U32(index, 262), 1);
    EXPECT_EQ(U32(index, 266), 256u);
    EXPECT_EQ((int32_t)U32(index, 270), north);
    EXPECT_EQ((int32_t)U32(index, 274), 2);
    EXPECT_EQ(U32(index, 278), 256u + 14 + 3 * 4);

    ASSERT_EQ(data.size(), 256u + (14 + 12) + (2 * 14 + 3 * 4));
    const uint8_t southBlock[14 + 12] = {
        0xFF, 0xFF, 3, 0, 0xF9, 0xFF, 8, 0, 0, 0, 0, 0, 0, 0,  // extent, count, reference point, 6 spare
        0x10, 0x27, 0, 0, 0, 0, 0x10, 0x27, 0x00, 0x80, 0xFF, 0xFF,
    };
    EXPECT_EQ(memcmp(data.data() + 256, southBlock, sizeof southBlock), 0);
    const uint8_t northBlock[2 * 14 + 3 * 4] = {
        0x2C, 0x01, 2, 0, 1, 0, 2, 0, 0, 0, 0, 0, 0, 0,
        9, 0, 1, 0, 5, 0, 6, 0, 0, 0, 0, 0, 0, 0,
        1, 0, 2, 0, 0xFD, 0xFF, 0xFF, 0x7F, 5, 0, 6, 0,  // points of both records, in record order
    };
    EXPECT_EQ(memcmp(data.data() + 256 + sizeof southBlock, northBlock, sizeof northBlock), 0);

    // And back through the readers.
    std::vector<VectorCellEntry> cells;
    ASSERT_EQ(ParseVectorIndex(index.data(), index.size(), &cells), 1);
    ASSERT_EQ(cells.size(), 2u);
    std::vector<VectorRecord> read;
    std::vector<VectorPoint> points;
    ASSERT_EQ(ParseVectorCell(data.data(), data.size(), cells[1], &read, &points), 1);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].extent, 300);
    EXPECT_EQ(read[1].nPoints, 1);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[1].dLon, -3);
    EXPECT_EQ(points[1].dLat, 32767);
    EXPECT_EQ(points[2].dLon, 5);
}

TEST(VectorFiles, RefusesWhatTheFormatCannotHold) {
    std::vector<uint8_t> index, data;
    EXPECT_EQ(EncodeVectorLayer("X", {Record(-1, {{0, 0}}, 0, 0, 0)}, &index, &data), 0);
    EXPECT_EQ(EncodeVectorLayer("X", {Record(180 * 360, {{0, 0}}, 0, 0, 0)}, &index, &data), 0);
    VectorCellRecord huge = Record(0, {}, 0, 0, 0);
    huge.points.resize(65536);
    EXPECT_EQ(EncodeVectorLayer("X", {huge}, &index, &data), 0);
    ASSERT_EQ(EncodeVectorLayer("EMPTY", {}, &index, &data), 1);
    EXPECT_EQ(index.size(), 258u);
    EXPECT_EQ(data.size(), 256u);
}

TEST(VectorFiles, TruncatedFilesAreRefusedNotOverread) {
    std::vector<uint8_t> index, data;
    ASSERT_EQ(EncodeVectorLayer("RIV01",
                                {Record(VectorCellNumber(0, 0), {{0, 0}, {1, 1}}, 1, 0, 0),
                                 Record(VectorCellNumber(1, 0), {{2, 2}, {3, 3}, {4, 4}}, 2, 0, 0)},
                                &index, &data),
              1);
    std::vector<VectorCellEntry> cells;
    for (size_t n = 0; n < index.size(); n++) {
        std::vector<uint8_t> cut(index.begin(), index.begin() + n);
        EXPECT_EQ(ParseVectorIndex(cut.data(), cut.size(), &cells), 0) << n;
    }
    ASSERT_EQ(ParseVectorIndex(index.data(), index.size(), &cells), 1);
    std::vector<VectorRecord> records;
    std::vector<VectorPoint> points;
    size_t lastEnd = data.size();
    for (size_t n = 0; n < lastEnd; n++) {
        std::vector<uint8_t> cut(data.begin(), data.begin() + n);
        EXPECT_EQ(ParseVectorCell(cut.data(), cut.size(), cells[1], &records, &points), 0) << n;
    }
    // A record count or offset that a hostile file makes huge.
    VectorCellEntry bad = cells[0];
    bad.nRecords = 0x7FFFFFFF;
    EXPECT_EQ(ParseVectorCell(data.data(), data.size(), bad, &records, &points), 0);
    bad = cells[0];
    bad.offset = 0xFFFFFFF0u;
    EXPECT_EQ(ParseVectorCell(data.data(), data.size(), bad, &records, &points), 0);
}

TEST(VectorFiles, CellNumbering) {
    struct {
        int south, west, cell;
    } cases[] = {
        {-90, -180, 0}, {-90, 179, 359}, {-89, -180, 360}, {0, 0, 90 * 360 + 180},
        {-1, -1, 89 * 360 + 179}, {89, 179, 64799}, {45, 7, 135 * 360 + 187},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VectorCellNumber(c.south, c.west), c.cell);
        EXPECT_EQ(VectorCellSouth(c.cell), c.south);
        EXPECT_EQ(VectorCellWest(c.cell), c.west);
    }
}

TEST(VectorFiles, LongitudeShiftAcrossTheDateLine) {
    struct {
        MapWindow window;
        int cellWest, visible, shift;
    } cases[] = {
        {{170, 190, -10, 10}, -180, 1, 360},   // east of the date line, drawn shifted
        {{170, 190, -10, 10}, -171, 1, 360},
        {{170, 190, -10, 10}, -170, 1, 360},   // its west edge is the window's east edge
        {{170, 190, -10, 10}, 175, 1, 0},
        {{170, 190, -10, 10}, 169, 1, 0},      // only its east edge touches the window
        {{170, 190, -10, 10}, -169, 0, 0},
        {{170, 190, -10, 10}, 0, 0, 0},
        {{-190, -170, -10, 10}, 179, 1, -360},
        {{-190, -170, -10, 10}, -175, 1, 0},
        {{10.2, 10.8, 0, 1}, 10, 1, 0},         // a window inside one cell
        {{-179.8, -179.2, 0, 1}, -180, 1, 0},
        {{-180, 180, -135, 135}, 179, 1, 0},
    };
    for (const auto& c : cases) {
        int shift = 99;
        EXPECT_EQ(VectorCellShift(c.window, c.cellWest, &shift), c.visible) << c.window.west << " " << c.cellWest;
        if (c.visible) { EXPECT_EQ(shift, c.shift) << c.window.west << " " << c.cellWest; }
    }
}

TEST(VectorFiles, WorldPointGrid) {
    EXPECT_EQ(WorldGridColumn(-180), 0);
    EXPECT_EQ(WorldGridColumn(180), 799);
    EXPECT_EQ(WorldGridColumn(0), 400);
    EXPECT_EQ(WorldGridRow(-135), 0);
    EXPECT_EQ(WorldGridRow(135), 599);
    // Row j is drawn at trunc((599 - j) / 600 * H) below the top; latitude at
    // trunc((135 - lat) / 270 * H). The grid row must land within a pixel of the latitude.
    for (int h : {499, 399, 600})
        for (double lat = -90; lat <= 90; lat += 0.37) {
            int j = WorldGridRow(lat);
            int y = (int)((599.0 - j) / 600 * h), want = (int)((135 - lat) / 270 * h);
            EXPECT_LE(std::abs(y - want), 1) << lat << " " << h;
        }
    std::vector<uint8_t> bytes;
    EncodeWorldPoints({}, &bytes);
    EXPECT_EQ(bytes.size(), 4u);  // draws nothing
    EncodeWorldPoints({{799, 0}, {-1, 600}}, &bytes);
    ASSERT_EQ(bytes.size(), 12u);
    const uint8_t pairs[8] = {0x1F, 0x03, 0, 0, 0xFF, 0xFF, 0x58, 0x02};
    EXPECT_EQ(memcmp(bytes.data() + 4, pairs, 8), 0);
    std::vector<WorldPoint> points;
    ASSERT_EQ(ParseWorldPoints(bytes.data(), 11, &points), 1);  // a trailing partial pair is ignored
    EXPECT_EQ(points.size(), 1u);
    EXPECT_EQ(ParseWorldPoints(bytes.data(), 3, &points), 0);
}
