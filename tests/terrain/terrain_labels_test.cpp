// The 104-byte name records of a terrain set and the label table chosen from them: search
// results first, then gazetteer names by class, a name never twice, at most twenty.
#include "terrain_set_fixture.h"

namespace {

TerrainNameRecord Name(const std::string& name, int nameClass, int found = 0) {
    TerrainNameRecord r;
    r.name = name;
    r.nameClass = nameClass;
    r.found = found;
    return r;
}

std::vector<std::string> Names(const TerrainNameRecord* labels, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; i++) names.push_back(labels[i].name);
    return names;
}

TEST_F(TerrainSetTest, NameRecordFieldByField) {
    // Built by hand at the record's offsets, every field with a value of its own.
    std::vector<uint8_t> bytes(104, 0);
    memcpy(bytes.data(), "Piz Bernina", 11);
    bytes[70] = 1;
    const double row = 123.625, column = -0.001953125;
    uint64_t u;
    memcpy(&u, &row, 8);
    for (int i = 0; i < 8; i++) bytes[72 + i] = (uint8_t)(u >> (8 * i));
    memcpy(&u, &column, 8);
    for (int i = 0; i < 8; i++) bytes[80 + i] = (uint8_t)(u >> (8 * i));
    PokeU32LE(&bytes[88], 0x01020304);

    TerrainNameRecord r;
    DecodeTerrainNameRecord(bytes.data(), &r);
    EXPECT_EQ(r.name, "Piz Bernina");
    EXPECT_EQ(r.found, 1);
    EXPECT_EQ(r.row, row);
    EXPECT_EQ(r.column, column);
    EXPECT_EQ(r.nameClass, 0x01020304);
    uint8_t encoded[104];
    memset(encoded, 0xEE, sizeof encoded);
    EncodeTerrainNameRecord(r, encoded);
    EXPECT_EQ(std::vector<uint8_t>(encoded, encoded + 104), bytes);

    // A search result's name fills all 69 bytes and is ended by byte 69; longer names are cut.
    TerrainNameRecord longest = Name(std::string(75, 'x'), 6, 1);
    EncodeTerrainNameRecord(longest, encoded);
    EXPECT_EQ(encoded[68], 'x');
    EXPECT_EQ(encoded[69], 0);
    EXPECT_EQ(encoded[71], 0);
    DecodeTerrainNameRecord(encoded, &r);
    EXPECT_EQ(r.name, std::string(69, 'x'));
    // A damaged record without its zero still gives 69 characters at most.
    memset(encoded, 'y', 70);
    DecodeTerrainNameRecord(encoded, &r);
    EXPECT_EQ(r.name, std::string(69, 'y'));

    // Whole records only.
    std::vector<uint8_t> file = EncodeTerrainNameFile({Name("A", 1), Name("B", 2)});
    ASSERT_EQ(file.size(), 208u);
    file.resize(207);
    std::vector<TerrainNameRecord> decoded;
    DecodeTerrainNameFile(file.data(), file.size(), &decoded);
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0].name, "A");
}

TEST_F(TerrainSetTest, LabelTableOrder) {
    TerrainNameRecord out[kTerrainMaxLabels];
    struct Case {
        const char* what;
        std::vector<TerrainNameRecord> found, gazetteer;
        std::vector<std::string> expected;
    } cases[] = {
        {"classes in turn, file order within each",
         {},
         {Name("c3", 3), Name("c1a", 1), Name("c6", 6), Name("c2", 2), Name("c1b", 1), Name("c5", 5)},
         {"c1a", "c1b", "c2", "c3", "c5", "c6"}},
        {"search results first, a name in both files taken once",
         {Name("Zermatt", 6, 1), Name("Sion", 6, 1)},
         {Name("Sion", 1), Name("Brig", 1), Name("Zermatt", 4)},
         {"Zermatt", "Sion", "Brig"}},
        {"a gazetteer name twice taken once, classes outside 1..6 never",
         {},
         {Name("Visp", 2), Name("Visp", 1), Name("Odd", 0), Name("Odder", 7), Name("Neg", -1)},
         {"Visp"}},
        {"nothing at all", {}, {}, {}},
    };
    for (const Case& k : cases) {
        int count = ChooseTerrainLabels(k.found, k.gazetteer, out);
        EXPECT_EQ(Names(out, count), k.expected) << k.what;
    }

    // Twenty at most: class 6 names only after all of classes 1..5.
    std::vector<TerrainNameRecord> gazetteer;
    for (int i = 0; i < 15; i++) gazetteer.push_back(Name("six" + std::to_string(i), 6));
    for (int i = 0; i < 15; i++) gazetteer.push_back(Name("five" + std::to_string(i), 5));
    int count = ChooseTerrainLabels({}, gazetteer, out);
    ASSERT_EQ(count, 20);
    EXPECT_EQ(out[14].name, "five14");
    EXPECT_EQ(out[15].name, "six0");
    EXPECT_EQ(out[19].name, "six4");
    std::vector<TerrainNameRecord> found(25, Name("hit", 6, 1));
    EXPECT_EQ(ChooseTerrainLabels(found, gazetteer, out), 20);
    EXPECT_EQ(out[19].found, 1);
}

TEST_F(TerrainSetTest, LabelTableFromTheSetFiles) {
    ASSERT_EQ(AllocateTerrainBuffers(350, 350, 665, 499), 1);
    WriteSet(150);
    TerrainNameRecord result = Name("Found Place", 6, 1);
    result.row = 12.5, result.column = 140.25;
    WriteNames(150, "n2", {result});
    WriteNames(150, "nam", {Name("Town", 3), Name("Found Place", 1), Name("City", 1)});
    ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), 150, 1), 1);
    EXPECT_EQ(Names(terrainSet.labels, terrainSet.labelCount), (std::vector<std::string>{"Found Place", "City", "Town"}));
    EXPECT_EQ(terrainSet.labels[0].row, 12.5);
    EXPECT_EQ(terrainSet.labels[0].column, 140.25);
    // With no search results on the map the ".n2" file is passed over.
    ASSERT_EQ(LoadTerrainSet(ScalePath().c_str(), 150, 0), 1);
    EXPECT_EQ(Names(terrainSet.labels, terrainSet.labelCount), (std::vector<std::string>{"Found Place", "City", "Town"}));
    EXPECT_EQ(terrainSet.labels[0].found, 0);
    EXPECT_TRUE(TestShownMessages().empty());
}

}  // namespace
