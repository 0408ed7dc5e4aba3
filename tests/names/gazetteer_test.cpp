// The gazetteer keys, the order of the name index, prefix-table offsets and the best-match
// scan, on small gazetteers with accented names and against a naive reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "names/names.h"
#include "platform/le_bytes.h"

TEST(GazetteerKeys, NormalisationAndComparisonKeys) {
    struct { const char* in; const char* normalised; const char* compare; int special; } cases[] = {
        {"m\xfcnchen", "MUNCHEN", "M\xdcNCHEN", 1},
        {"K\xf6ln", "KOLN", "K\xd6LN", 1},
        {"stra\xdf" "e", "STRASE", "STRA\xdf" "E", 1},
        {"\xe9vreux", "EVREUX", "\xc9VREUX", 1},
        {"S\xe8te", "SETE", "S\xc8TE", 1},
        {"\xc4\x61r", "AAR", "\xc4\x41R", 1},
        {"c\xe1" "diz", "C\xc1" "DIZ", "C\xc1" "DIZ", 0},  // other accents are only upper-cased
        {"\xe5lesund", "\xc5LESUND", "\xc5LESUND", 0},
        {"par", "PAR", "PAR", 0},
    };
    for (auto& c : cases) {
        EXPECT_EQ(NormaliseSearchKey(c.in), c.normalised) << c.in;
        int special = -1;
        EXPECT_EQ(ComparisonKey(c.in, &special), c.compare) << c.in;
        EXPECT_EQ(special, c.special) << c.in;
    }
    EXPECT_EQ(FoldComparisonName("STRA\xdf" "E"), "STRASSE");
    EXPECT_EQ(UpperCase1252((unsigned char)0xF7), 0xF7);  // division sign has no case
    EXPECT_EQ(UpperCase1252((unsigned char)0xFF), 0x9F);
}

TEST(GazetteerKeys, PrefixEntries) {
    struct { const char* key; int max; int entry; } cases[] = {
        {"PAR", 2, 576},     // PA: 36 * (15 + 1) + 0, byte offset 2,304 of the .ix3 table
        {"A", 2, 0},       {"9", 2, 35},      {"AA", 2, 36},    {"99", 2, 1331},
        {"AAA", 4, 1332},  {"AAAA", 4, 47988}, {"9999", 4, 1727603},
        {"ZU", 2, 36 * 26 + 20},
        {"P-A", 4, 15},      // the prefix ends at the first character that is no symbol
        {"-PA", 2, -1}, {"", 4, -1}, {"\xc5L", 4, -1},
    };
    for (auto& c : cases) EXPECT_EQ(PrefixEntry(c.key, c.max), c.entry) << c.key;
    EXPECT_EQ(PrefixEntry(NormaliseSearchKey("Z\xfcrich"), 2), PrefixEntry("ZU", 2));
    // Every entry of the .ix4 table names exactly one prefix and back.
    for (int e = 0; e < kIx4Entries; e++) {
        std::string p = PrefixOfEntry(e);
        ASSERT_EQ(PrefixEntry(p, 4), e) << p;
    }
}

// The comparison of a name read in place against the plain one: fold both strings whenever
// either holds one of the six letters (anywhere in the name), then compare bytes.
static int FoldingReference(const std::string& name, const std::string& key) {
    int keySpecial = 0, nameSpecial = 0;
    std::string upperKey = ComparisonKey(key, &keySpecial);
    ComparisonKey(name, &nameSpecial);
    if (!keySpecial && !nameSpecial) return memcmp(name.data(), upperKey.data(), upperKey.size());
    std::string a = FoldComparisonName(name), b = FoldComparisonName(upperKey);
    int r = memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return r ? r : a.size() < b.size() ? -1 : 0;
}

TEST(GazetteerKeys, InPlaceComparisonAgreesWithFoldingBothStrings) {
    // ß lengthens the folded form, lower-case ö counts as special only once upper-cased, and
    // Ã, Ø and Å sort after every symbol without being folded.
    const char alphabet[] = "ASOEUZ9 -\xdf\xd6\xf6\xc4\xdc\xc9\xc8\xe9\xc3\xd8\xc5";
    std::mt19937 random(5);
    auto text = [&](int most) {
        std::string s;
        for (int n = 1 + random() % most; n > 0; n--) s.push_back(alphabet[random() % (sizeof alphabet - 1)]);
        return s;
    };
    auto sign = [](int r) { return (r > 0) - (r < 0); };
    int folded = 0;
    for (int trial = 0; trial < 200000; trial++) {
        std::string key = text(4), name = text(8);
        if (trial % 2) name = UpperCase1252(key.substr(0, random() % (key.size() + 1))) + name;  // shared beginnings
        int keySpecial = 0;
        std::string upperKey = ComparisonKey(key, &keySpecial);
        if (name.size() < upperKey.size()) continue;
        int r = CompareNameWithKey((const uint8_t*)name.data(), name.size(), upperKey, FoldComparisonName(upperKey),
                                   keySpecial);
        ASSERT_EQ(sign(r), sign(FoldingReference(name, key)))
            << ::testing::PrintToString(name) << " " << ::testing::PrintToString(key);
        folded += keySpecial || name.find_first_of("\xdf\xd6\xc4\xdc\xc9\xc8") != std::string::npos;
    }
    EXPECT_GT(folded, 50000);
    // The cases that decide between the branches, by hand.
    struct { const char* name; const char* key; int sign; } cases[] = {
        {"STRA\xdf" "E", "STRAS", 0},    // ß folds to SS before the key ends
        {"STRA\xdf" "E", "strat", -1},
        {"\xdf", "SS", 0},               // the one letter makes the folded name long enough
        {"SA\xdf", "SAS", 0},
        {"A\xc4", "AB", -1},              // Ä compares as A only when it is folded
        {"AB\xc4", "AB", 0},              // a special letter past the key's end changes nothing
        {"S\xc3O", "SZ", 1},              // Ã is compared by its code
        {"K\xf6LN", "K\xd6", 1},           // lower-case ö in an index name is not folded
    };
    for (auto& c : cases) {
        int keySpecial = 0;
        std::string upperKey = ComparisonKey(c.key, &keySpecial);
        int r = CompareNameWithKey((const uint8_t*)c.name, strlen(c.name), upperKey, FoldComparisonName(upperKey),
                                   keySpecial);
        EXPECT_EQ(sign(r), c.sign) << c.name << " " << c.key;
        EXPECT_EQ(sign(FoldingReference(c.name, c.key)), c.sign) << c.name << " " << c.key;
    }
}

static std::vector<GazetteerLocation> Locations(const std::vector<const char*>& names) {
    std::vector<GazetteerLocation> out;
    for (size_t i = 0; i < names.size(); i++) out.push_back(GazetteerLocation{(float)i, (float)-i, names[i], (uint16_t)(i + 1)});
    return out;
}

static std::vector<GazetteerName> IndexRecords(const GazetteerFiles& g, std::vector<uint32_t>* offsets) {
    std::vector<GazetteerName> out;
    uint32_t offset = 0, next = 0;
    GazetteerName n;
    while (offset < g.index.size() && DecodeGazetteerName(g.index.data(), g.index.size(), offset, &n, &next)) {
        out.push_back(n);
        if (offsets) offsets->push_back(offset);
        offset = next;
    }
    EXPECT_EQ(offset, g.index.size());
    return out;
}

TEST(Gazetteer, SortsAccentedNamesUnderTheNormalisation) {
    GazetteerFiles g;
    BuildGazetteer(Locations({"Zug", "Z\xfcrich", "Zuoz", "Zabrze", "Zurich", "\xc4rzen", "Aachen", "Azul",
                              "Stra\xdf" "burg", "Strasbourg", "Stralsund", "Paris", "paris", "C\xe1" "diz", "Czersk"}),
                   2, &g);
    std::vector<std::string> order;
    for (const GazetteerName& n : IndexRecords(g, nullptr)) order.push_back(n.name);
    std::vector<std::string> expected = {
        "AACHEN", "\xc4RZEN", "AZUL", "CZERSK", "C\xc1" "DIZ", "PARIS", "STRALSUND", "STRASBOURG",
        "STRA\xdf" "BURG", "ZABRZE", "ZUG", "ZUOZ", "ZURICH", "Z\xdcRICH",
    };
    EXPECT_EQ(order, expected);
    EXPECT_EQ(g.names, 14);
    // "Paris" and "paris" share one index record with both locations, in the order given.
    std::vector<GazetteerName> records = IndexRecords(g, nullptr);
    ASSERT_EQ(records[5].locations.size(), 2u);
    GazetteerLocation l;
    ASSERT_TRUE(DecodeGazetteerLocation(g.data.data(), g.data.size(), records[5].locations[1], &l));
    EXPECT_EQ(l.name, "paris");
    EXPECT_EQ(l.country, 13);
    EXPECT_EQ(g.prefix.size(), (size_t)kIx3Entries * 4);
}

// The first record whose normalised name begins with the prefix, found by walking the index.
static uint32_t NaivePrefixOffset(const std::vector<GazetteerName>& records, const std::vector<uint32_t>& offsets,
                                  uint32_t end, const std::string& prefix) {
    for (size_t i = 0; i < records.size(); i++)
        if (NormaliseSearchKey(records[i].name).compare(0, prefix.size(), prefix) == 0) return offsets[i];
    for (size_t i = 0; i < records.size(); i++)
        if (FoldComparisonName(records[i].name) >= prefix) return offsets[i];
    return end;
}

TEST(Gazetteer, PrefixTablesMatchANaiveWalk) {
    std::mt19937 random(7);
    const char alphabet[] = "ABEORSUZ09 -'\xc4\xd6\xdc\xdf\xe9\xe8\xc5";
    std::vector<std::string> names;
    for (int i = 0; i < 400; i++) {
        std::string s;
        int n = 1 + random() % 7;
        for (int k = 0; k < n; k++) s.push_back(alphabet[random() % (sizeof alphabet - 1)]);
        names.push_back(s);
    }
    std::vector<const char*> pointers;
    for (auto& s : names) pointers.push_back(s.c_str());
    for (int symbols : {2, 4}) {
        GazetteerFiles g;
        BuildGazetteer(Locations(pointers), symbols, &g);
        std::vector<uint32_t> offsets;
        std::vector<GazetteerName> records = IndexRecords(g, &offsets);
        int entries = symbols == 2 ? kIx3Entries : kIx4Entries;
        ASSERT_EQ(g.prefix.size(), (size_t)entries * 4);
        for (int e = 0; e < entries; e += (symbols == 2 ? 1 : 97)) {
            uint32_t expected = NaivePrefixOffset(records, offsets, (uint32_t)g.index.size(), PrefixOfEntry(e));
            ASSERT_EQ(PeekU32LE(&g.prefix[(size_t)e * 4]), expected) << PrefixOfEntry(e);
        }
        // Also the entries of every prefix that occurs.
        for (const GazetteerName& r : records) {
            std::string key = NormaliseSearchKey(r.name);
            int e = PrefixEntry(key, symbols);
            if (e < 0) continue;
            uint32_t expected = NaivePrefixOffset(records, offsets, (uint32_t)g.index.size(), PrefixOfEntry(e));
            ASSERT_EQ(PeekU32LE(&g.prefix[(size_t)e * 4]), expected) << r.name;
        }
    }
}

static std::vector<std::string> Search(const GazetteerFiles& g, int symbols, const char* key, long* position = nullptr) {
    std::vector<GazetteerMatch> matches;
    long p = FindBestMatches(g.index.data(), g.index.size(), g.prefix.data(), g.prefix.size(), symbols, key, 14, &matches);
    if (position) *position = p;
    std::vector<std::string> out;
    for (auto& m : matches) out.push_back(m.name);
    return out;
}

TEST(Gazetteer, BestMatches) {
    std::vector<std::string> sanNames;
    for (int i = 0; i < 20; i++) sanNames.push_back("San " + std::string(1, (char)('A' + i)) + "lto");
    std::vector<const char*> names = {"Zug", "Z\xfcrich", "Zurzach", "Zuoz", "Zwolle", "Paris", "Parma", "Pasadena",
                                      "Pavia", "Stra\xdf" "burg", "Strasbourg", "Stralsund", "Stuttgart"};
    for (auto& s : sanNames) names.push_back(s.c_str());
    GazetteerFiles g;
    BuildGazetteer(Locations(names), 2, &g);

    long position = 0;
    EXPECT_EQ(Search(g, 2, "par", &position), (std::vector<std::string>{"PARIS", "PARMA", "PASADENA", "PAVIA", "SAN ALTO",
                                                                       "SAN BLTO", "SAN CLTO", "SAN DLTO", "SAN ELTO",
                                                                       "SAN FLTO", "SAN GLTO", "SAN HLTO", "SAN ILTO",
                                                                       "SAN JLTO"}));
    EXPECT_GE(position, 0);
    // A key with ü: prefix ZU, and Ü compares as U but only ZÜ... names equal the key.
    EXPECT_EQ(Search(g, 2, "z\xfcr")[0], "Z\xdcRICH");
    // A key without those letters finds them too: "\xDC" (Ü in Windows-1252) compares as U.
    EXPECT_EQ(Search(g, 2, "zur"), (std::vector<std::string>{"Z\xdcRICH", "ZURZACH", "ZWOLLE"}));
    // ß compares as SS.
    EXPECT_EQ(Search(g, 2, "stra\xdf")[0], "STRA\xdf" "BURG");
    // At most 14 of the twenty SAN names.
    EXPECT_EQ(Search(g, 2, "san").size(), 14u);
    // A key after every name of its block lists the names that follow it.
    EXPECT_EQ(Search(g, 2, "pz"), (std::vector<std::string>{"SAN ALTO", "SAN BLTO", "SAN CLTO", "SAN DLTO", "SAN ELTO",
                                                           "SAN FLTO", "SAN GLTO", "SAN HLTO", "SAN ILTO", "SAN JLTO",
                                                           "SAN KLTO", "SAN LLTO", "SAN MLTO", "SAN NLTO"}));
    // No search for an empty key or one that does not begin with a letter or digit.
    EXPECT_TRUE(Search(g, 2, "", &position).empty());
    EXPECT_EQ(position, -1);
    EXPECT_TRUE(Search(g, 2, "-x", &position).empty());
    EXPECT_EQ(position, -1);
    // The four-symbol table finds the same names; names shorter than the key are passed over.
    GazetteerFiles g4;
    BuildGazetteer(Locations(names), 4, &g4);
    EXPECT_EQ(Search(g4, 4, "stutt"), (std::vector<std::string>{"STUTTGART", "Z\xdcRICH", "ZURZACH", "ZWOLLE"}));
}

TEST(Gazetteer, DamagedRecordsAreRefused) {
    GazetteerFiles g;
    BuildGazetteer(Locations({"Bern", "Basel"}), 2, &g);
    GazetteerName n;
    uint32_t next;
    EXPECT_TRUE(DecodeGazetteerName(g.index.data(), g.index.size(), 0, &n, &next));
    EXPECT_FALSE(DecodeGazetteerName(g.index.data(), next - 1, 0, &n, &next));
    EXPECT_FALSE(DecodeGazetteerName(g.index.data(), g.index.size(), (uint32_t)g.index.size(), &n, &next));
    GazetteerLocation l;
    EXPECT_FALSE(DecodeGazetteerLocation(g.data.data(), 12, 0, &l));
    // A prefix table cut short gives no position rather than a read beyond it.
    std::vector<GazetteerMatch> matches;
    EXPECT_EQ(FindBestMatches(g.index.data(), g.index.size(), g.prefix.data(), 4 * 40, 2, "BE", 14, &matches), -1);
}
