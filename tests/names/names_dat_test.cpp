// The shipped names.dat read by its column rules: seven switches, then nineteen class lines
// whose fields stand at columns 0, 10, 13, 17 and 21.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/test_volume.h"

// A decimal integer at a column: blanks skipped, a minus sign accepted, no digits reads 0.
static long FieldAt(const std::string& line, size_t column) {
    size_t i = column;
    while (i < line.size() && line[i] == ' ') i++;
    int sign = 1;
    if (i < line.size() && line[i] == '-') sign = -1, i++;
    long v = 0;
    while (i < line.size() && isdigit((unsigned char)line[i])) v = v * 10 + (line[i++] - '0');
    return sign * v;
}

// The content folder the builder copies; the build names it.
static std::string ContentDir() {
#ifdef MUNDORA_CONTENT_DIR
    return MUNDORA_CONTENT_DIR;
#else
    return SourceDir() + "/content";
#endif
}

TEST(NamesDat, ShippedFileFollowsTheColumnLayout) {
    std::ifstream in(ContentDir() + "/names.dat");
    ASSERT_TRUE(in.good());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_GE(lines.size(), 26u);
    for (int i = 0; i < 7; i++) {
        long v = FieldAt(lines[i], 0);
        EXPECT_TRUE(v == 0 || v == 1) << lines[i];
    }
    const long worldScale = 110000000;  // the depth-0 window on a 21-inch monitor; larger on smaller ones
    std::vector<long> limit(19);
    for (int k = 0; k < 19; k++) {
        const std::string& line = lines[7 + k];
        ASSERT_LE(line.size(), 114u) << line;
        limit[k] = FieldAt(line, 0);
        long size = FieldAt(line, 10);
        EXPECT_GT(limit[k], 100000) << line;
        EXPECT_GE(size, 1) << line;
        EXPECT_LE(size, 16) << line;
        for (size_t column : {13, 17, 21}) {
            long c = FieldAt(line, column);
            EXPECT_GE(c, 0) << line;
            EXPECT_LE(c, 255) << line;
        }
        // The fields end before the next one starts, so no digits run across columns.
        for (size_t column : {9, 12, 16, 20}) EXPECT_EQ(line[column], ' ') << line;
    }
    // The world view shows the oceans; the largest places and capitals join at continental
    // scales (a continent fills the map near 1:30,000,000); ranks go down with size.
    EXPECT_GT(limit[4], worldScale);
    EXPECT_LT(limit[10], worldScale);
    EXPECT_GE(limit[10], 30000000);
    for (int k = 11; k <= 15; k++) EXPECT_LE(limit[k], limit[k - 1]) << k;
    EXPECT_GE(limit[0], limit[1]);
    EXPECT_GE(limit[1], limit[2]);
    EXPECT_GE(limit[8], limit[9]);
}
