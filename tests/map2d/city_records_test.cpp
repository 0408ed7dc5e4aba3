// Byte layouts of the city-area files: index entries, boxes and polygons.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "map2d/city_areas.h"
#include "platform/le_bytes.h"

static float F32At(const uint8_t* b) {
    uint32_t u = PeekU32LE(b);
    float f;
    memcpy(&f, &u, 4);
    return f;
}

// Names and point lists are cut where the map cuts them, and every record reads back.
TEST(CityRecords, RoundTripsAndLimits) {
    CityPolygon p;
    p.name = std::string(130, 'n');
    for (int i = 0; i < 2100; i++) {
        p.points.push_back((float)i);
        p.points.push_back((float)-i);
    }
    std::vector<uint8_t> dat;
    AppendCityPolygon(dat, p);
    EXPECT_EQ(PeekI16LE(&dat[0]), 115);
    EXPECT_EQ(PeekI16LE(&dat[2 + 115 + 16 + 1]), 2000);
    EXPECT_EQ(dat.size(), 2u + 115 + 16 + 1 + 2 + 2000 * 8);
    CityPolygon back;
    ASSERT_TRUE(DecodeCityPolygon(dat.data(), dat.size(), 0, &back));
    EXPECT_EQ(back.points.size(), 4000u);
    EXPECT_EQ(back.points[3998], 1999.0f);
    EXPECT_FALSE(DecodeCityPolygon(dat.data(), dat.size() - 1, 0, &back));

    std::vector<uint8_t> ix2;
    EncodeCityBox(CityBox{2.1f, 2.6f, 48.7f, 49.0f, 1234}, ix2);
    ASSERT_EQ(ix2.size(), (size_t)kCityBoxSize);
    EXPECT_EQ(F32At(&ix2[4]), 2.6f);
    EXPECT_EQ(PeekU32LE(&ix2[16]), 1234u);
    std::vector<uint8_t> idx;
    for (int i = 0; i < kCityCells; i++) EncodeCityIndexEntry(CityIndexEntry{(uint32_t)(i % 3), (uint32_t)i * 20}, idx);
    EXPECT_EQ(idx.size(), 64800u * 8);
    CityIndexEntry e;
    ASSERT_TRUE(DecodeCityIndexEntry(idx.data(), idx.size(), 64799, &e));
    EXPECT_EQ(e.offset, 64799u * 20);
    EXPECT_FALSE(DecodeCityIndexEntry(idx.data(), idx.size(), 64800, &e));
}
