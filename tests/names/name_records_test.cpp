// Byte layouts of the name files and the world-feature index.
#include <gtest/gtest.h>

#include <cstring>

#include "names/names.h"
#include "platform/le_bytes.h"

static float F32At(const uint8_t* b) {
    uint32_t u = PeekU32LE(b);
    float f;
    memcpy(&f, &u, 4);
    return f;
}

TEST(NameRecords, NameRecordLayout) {
    NameRecord r;
    r.lat = 46.5f;
    r.lon = -7.25f;
    r.name = std::string(75, 'x');  // longer than the field
    r.cls = 2;
    r.flags = 0x81;
    uint8_t b[kNameRecordSize];
    memset(b, 0xAA, sizeof b);
    EncodeNameRecord(r, b);
    EXPECT_EQ(F32At(b), 46.5f);
    EXPECT_EQ(F32At(b + 4), -7.25f);
    EXPECT_EQ(b[8], 'x');
    EXPECT_EQ(b[8 + 68], 'x');
    EXPECT_EQ(b[8 + 69], 0);  // the name keeps its terminator inside its 70 bytes
    EXPECT_EQ(b[78], 2);
    EXPECT_EQ(b[79], 0x81);
    NameRecord back;
    DecodeNameRecord(b, &back);
    EXPECT_EQ(back.name, std::string(69, 'x'));
    EXPECT_EQ(back.cls, 2);

    // A short name is zero padded, so no stale bytes survive.
    r.name = "Zugspitze (2963)";
    EncodeNameRecord(r, b);
    for (int i = 8 + 16; i < 78; i++) ASSERT_EQ(b[i], 0) << i;
}

TEST(NameRecords, PlaceAndCountryLayouts) {
    PlaceRecord p;
    p.lat = 48.85f;
    p.lon = 2.35f;
    p.population = 2138551;
    p.geonameId = 2988507;
    p.name = "Paris";
    p.cls = 1;
    p.flags = kPlaceNationalCapital;
    uint8_t b[kNameRecordSize];
    EncodePlaceRecord(p, b);
    EXPECT_EQ(PeekU32LE(b + 8), 2138551u);
    EXPECT_EQ(PeekU32LE(b + 12), 2988507u);
    EXPECT_EQ(std::string((const char*)b + 16), "Paris");
    EXPECT_EQ(b[78], 1);
    EXPECT_EQ(b[79], 8);
    p.name = std::string(70, 'y');
    EncodePlaceRecord(p, b);
    EXPECT_EQ(b[16 + 61], 0);
    EXPECT_EQ(b[16 + 60], 'y');

    CountryNameRecord c;
    c.lat = 51;
    c.lon = 9;
    c.name = "Germany";
    uint8_t codes[7] = {2, 2, 1, 1, 1, 1, 1};
    memcpy(c.sizeCode, codes, 7);
    c.countryNumber = 81;
    uint8_t cb[kCountryNameRecordSize];
    EncodeCountryNameRecord(c, cb);
    EXPECT_EQ(F32At(cb), 51.0f);
    EXPECT_EQ(std::string((const char*)cb + 8), "Germany");
    EXPECT_EQ(0, memcmp(cb + 48, codes, 7));
    CountryNameRecord back;
    DecodeCountryNameRecord(cb, &back);
    EXPECT_EQ(back.countryNumber, 81);
    EXPECT_EQ(back.name, "Germany");

    // Whole files ignore a trailing partial record.
    std::vector<uint8_t> file = EncodePlaceFile({p, p});
    file.resize(file.size() + 30, 0);
    std::vector<PlaceRecord> places;
    DecodePlaceFile(file.data(), file.size(), &places);
    EXPECT_EQ(places.size(), 2u);
}

TEST(NameRecords, CountryScaleBands) {
    struct { long scale; int band; } cases[] = {
        {169465530, 0}, {42500000, 0}, {42499999, 1}, {25000000, 1}, {24999999, 2},
        {15000000, 2}, {9999999, 4}, {5000000, 4}, {2500000, 5}, {2499999, 6}, {1, 6},
    };
    for (auto& c : cases) EXPECT_EQ(CountryScaleBand(c.scale), c.band) << c.scale;
}

TEST(NameRecords, CellsAndWorldIndex) {
    // Cell numbers give back their south-west corner, including the last column and row.
    struct { double lat, lon; int cell, south, west; } cases[] = {
        {-90, -180, 0, -90, -180}, {0.5, 0.5, 90 * 360 + 180, 0, 0}, {-0.5, -0.5, 89 * 360 + 179, -1, -1},
        {89.9, 179.9, 64799, 89, 179}, {90, 180, 64799, 89, 179},
    };
    for (auto& c : cases) {
        int cell = CellOfPosition(c.lat, c.lon);
        EXPECT_EQ(cell, c.cell);
        EXPECT_EQ(CellSouth(cell), c.south);
        EXPECT_EQ(CellWest(cell), c.west);
    }

    std::vector<uint8_t> dat;
    WorldCell cell;
    cell.cell = (uint16_t)CellOfPosition(47.3, 8.5);
    WorldGroup g{3, 2, (uint32_t)dat.size(), 0};
    AppendWorldFeature(dat, WorldFeature{47.37f, 8.54f, "Z\xfcrich", 215});
    AppendWorldFeature(dat, WorldFeature{47.5f, 8.72f, "Winterthur", 215});
    cell.groups.push_back(g);
    std::vector<uint8_t> idx = EncodeWorldIndex({cell});
    // u16 count, u16 cell, u16 k, k*u16, k*u16 counts, k*u32 offsets, k*u32
    ASSERT_EQ(idx.size(), 2u + 2 + 2 + 2 + 2 + 4 + 4);
    EXPECT_EQ(PeekU16LE(&idx[0]), 1);
    EXPECT_EQ(PeekU16LE(&idx[2]), cell.cell);
    EXPECT_EQ(PeekU16LE(&idx[4]), 1);
    EXPECT_EQ(PeekU16LE(&idx[8]), 2);
    EXPECT_EQ(dat.size(), 2 * (4 + 4 + 1 + 2) + 6 + 10u);
    std::vector<WorldCell> cells;
    ASSERT_TRUE(DecodeWorldIndex(idx.data(), idx.size(), &cells));
    std::vector<WorldFeature> features;
    ASSERT_TRUE(DecodeWorldFeatures(dat.data(), dat.size(), cells[0].groups[0].offset, cells[0].groups[0].count, &features));
    EXPECT_EQ(features[1].name, "Winterthur");
    EXPECT_EQ(features[0].spare, 215);
    // A group that runs past the end of world.dat and a truncated index are refused.
    EXPECT_FALSE(DecodeWorldFeatures(dat.data(), dat.size() - 1, 0, 2, &features));
    EXPECT_FALSE(DecodeWorldIndex(idx.data(), idx.size() - 1, &cells));
}

TEST(NameRecords, RiverIndex) {
    std::vector<uint8_t> idx;
    EncodeRiverIndexEntry(RiverIndexEntry{10, -5, 50, 40, 4096}, idx);
    EncodeRiverIndexEntry(RiverIndexEntry{1, 0, 1, 0, 8}, idx);
    ASSERT_EQ(idx.size(), 40u);
    EXPECT_EQ(F32At(&idx[16]), 4096.0f);
    idx.resize(idx.size() + 7);
    std::vector<RiverIndexEntry> entries;
    DecodeRiverIndex(idx.data(), idx.size(), &entries);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].west, -5.0f);
}
