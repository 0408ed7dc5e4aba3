// Fuzz target: the gazetteer readers and the best-match scan. The input is split into a key,
// a prefix table and a name index, so damaged offsets, counts and lengths all get exercised.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "names/names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    size_t keyLength = data[0] % 16;
    int symbols = data[1] & 1 ? 4 : 2;
    data += 2;
    size -= 2;
    if (keyLength > size) keyLength = size;
    std::string key((const char*)data, keyLength);
    data += keyLength;
    size -= keyLength;
    size_t prefixSize = size / 2 & ~(size_t)3;
    const uint8_t* prefix = data;
    const uint8_t* index = data + prefixSize;
    size_t indexSize = size - prefixSize;

    std::vector<GazetteerMatch> matches;
    FindBestMatches(index, indexSize, prefix, prefixSize, symbols, key, 14, &matches);
    for (const GazetteerMatch& m : matches) {
        GazetteerName n;
        uint32_t next;
        if (!DecodeGazetteerName(index, indexSize, m.offset, &n, &next)) continue;
        for (uint32_t offset : n.locations) {
            GazetteerLocation l;
            DecodeGazetteerLocation(index, indexSize, offset, &l);
        }
    }
    std::string normalised = NormaliseSearchKey(key);
    int entry = PrefixEntry(normalised, symbols);
    if (entry >= 0 && PrefixEntry(PrefixOfEntry(entry), symbols) != entry) __builtin_trap();
    return 0;
}

// A seed: the key, then a small gazetteer's prefix table and index laid out as the target splits them.
static std::vector<uint8_t> Seed(const char* key, int symbols, const std::vector<const char*>& names) {
    std::vector<GazetteerLocation> locations;
    for (const char* n : names) locations.push_back(GazetteerLocation{1, 2, n, 3});
    GazetteerFiles g;
    BuildGazetteer(locations, symbols, &g);
    std::vector<uint8_t> out;
    out.push_back((uint8_t)strlen(key));
    out.push_back((uint8_t)(symbols == 4 ? 1 : 0));
    for (const char* k = key; *k; k++) out.push_back((uint8_t)*k);
    // The target takes half of what follows as the prefix table: cut or pad the index to match.
    std::vector<uint8_t> index = g.index;
    index.resize(g.prefix.size(), 0);
    out.insert(out.end(), g.prefix.begin(), g.prefix.end());
    out.insert(out.end(), index.begin(), index.end());
    return out;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    return {
        Seed("par", 2, {"Paris", "Parma", "Pavia", "San Remo"}),
        Seed("z\xfc", 2, {"Z\xfcrich", "Zug", "Zurzach", "Stra\xdf" "burg"}),
    };
}
