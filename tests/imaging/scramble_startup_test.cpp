// Coarse rows scrambled and read while the program is still starting: the initialisers of
// this file run before those of the codec's own file (test objects are linked ahead of the
// library), so a table built at start-up would still be zeros here and every 100th sample of
// a row, on a diagonal through the tile, would come out wrong.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/imaging.h"

namespace {

struct EarlyReading {
    uint8_t table[256];
    uint16_t rows[2][kCoarseSamples];  // scrambled as the builder writes them
};

// Rows 1155 and 0 of a tile: 17 scrambled samples each, at columns 55, 155, ... and 0, 100, ...
constexpr int kRows[2] = {1155, 0};

uint16_t Sample(int c, int r) { return (uint16_t)(c * 13 + r * 7 + 680); }

EarlyReading ReadWhileStarting() {
    EarlyReading e;
    memcpy(e.table, ScrambleTable(), sizeof e.table);
    for (int i = 0; i < 2; i++) {
        for (int c = 0; c < kCoarseSamples; c++) e.rows[i][c] = Sample(c, kRows[i]);
        UnscrambleCoarseRow(kRows[i], e.rows[i]);
    }
    return e;
}

const EarlyReading early = ReadWhileStarting();

}  // namespace

TEST(TileCodec, ScrambleTableReadyWhileTheProgramStarts) {
    EXPECT_EQ(memcmp(early.table, ScrambleTable(), sizeof early.table), 0);
    // A row scrambled during start-up and unscrambled now gives back every sample; with an
    // unbuilt table the 17 samples on the row's diagonal columns differ.
    for (int i = 0; i < 2; i++) {
        uint16_t row[kCoarseSamples];
        memcpy(row, early.rows[i], sizeof row);
        UnscrambleCoarseRow(kRows[i], row);
        int wrong = 0;
        for (int c = 0; c < kCoarseSamples; c++) wrong += row[c] != Sample(c, kRows[i]);
        EXPECT_EQ(wrong, 0) << "row " << kRows[i];
    }
}
