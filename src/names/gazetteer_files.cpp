// The gazetteer files: the sorted name index, the location records, the prefix table that
// leads into the index, and the best-match scan the search runs over them. The largest
// gazetteer holds about 135,000 localities under some 120,000 distinct names.
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>

#include "names/names.h"
#include "platform/le_bytes.h"

void AppendGazetteerName(std::vector<uint8_t>& out, const GazetteerName& n) {
    size_t length = std::min<size_t>(n.name.size(), 255);
    size_t count = std::min<size_t>(n.locations.size(), 65535);
    WriteU8(out, (uint8_t)length);
    WriteBytes(out, n.name.data(), length);
    WriteU16LE(out, (uint16_t)count);
    for (size_t i = 0; i < count; i++) WriteU32LE(out, n.locations[i]);
}

int DecodeGazetteerName(const uint8_t* data, size_t size, uint32_t offset, GazetteerName* n, uint32_t* next) {
    if (offset >= size) return 0;
    ByteCursor c = MakeCursor(data + offset, size - offset);
    int length = ReadU8(c);
    const uint8_t* name;
    if (!CursorTake(c, length, &name)) return 0;
    n->name.assign((const char*)name, length);
    int count = ReadU16LE(c);
    if (c.bad || CursorLeft(c) < (size_t)count * 4) return 0;
    n->locations.resize(count);
    for (uint32_t& o : n->locations) o = ReadU32LE(c);
    if (next) *next = (uint32_t)(c.p - data);
    return 1;
}

void AppendGazetteerLocation(std::vector<uint8_t>& out, const GazetteerLocation& l) {
    size_t length = std::min<size_t>(l.name.size(), 255);
    WriteF32LE(out, l.lat);
    WriteF32LE(out, l.lon);
    WriteU8(out, (uint8_t)length);
    WriteBytes(out, l.name.data(), length);
    WriteU16LE(out, l.country);
}

int DecodeGazetteerLocation(const uint8_t* data, size_t size, uint32_t offset, GazetteerLocation* l) {
    if (offset >= size) return 0;
    ByteCursor c = MakeCursor(data + offset, size - offset);
    l->lat = ReadF32LE(c);
    l->lon = ReadF32LE(c);
    int length = ReadU8(c);
    const uint8_t* name;
    if (!CursorTake(c, length, &name)) return 0;
    l->name.assign((const char*)name, length);
    l->country = ReadU16LE(c);
    return !c.bad;
}

void BuildPrefixTable(const std::vector<std::string>& sortedNames, const std::vector<uint32_t>& offsets,
                      uint32_t endOffset, int maxSymbols, std::vector<uint32_t>* table) {
    int entries = maxSymbols >= 4 ? kIx4Entries : kIx3Entries;
    table->assign(entries, UINT32_MAX);
    // Entries of prefixes that names begin with: the first such name.
    for (size_t i = 0; i < sortedNames.size(); i++) {
        std::string key = NormaliseSearchKey(sortedNames[i]);
        for (int length = 1; length <= maxSymbols; length++) {
            if ((int)key.size() < length || SymbolCode((unsigned char)key[length - 1]) < 0) break;
            int e = PrefixEntry(key.substr(0, length), length);
            (*table)[e] = std::min((*table)[e], offsets[i]);
        }
    }
    // Prefixes no name begins with: the place where such a name would stand.
    std::vector<std::string> folded(sortedNames.size());
    for (size_t i = 0; i < sortedNames.size(); i++) folded[i] = FoldComparisonName(sortedNames[i]);
    for (int e = 0; e < entries; e++) {
        if ((*table)[e] != UINT32_MAX) continue;
        std::string prefix = PrefixOfEntry(e);
        size_t i = std::lower_bound(folded.begin(), folded.end(), prefix) - folded.begin();
        (*table)[e] = i < offsets.size() ? offsets[i] : endOffset;
    }
}

void BuildGazetteer(const std::vector<GazetteerLocation>& locations, int maxSymbols, GazetteerFiles* out) {
    out->data.clear();
    std::vector<uint32_t> offsets;
    offsets.reserve(locations.size());
    for (const GazetteerLocation& l : locations) {
        offsets.push_back((uint32_t)out->data.size());
        AppendGazetteerLocation(out->data, l);
    }
    BuildGazetteerIndex(locations, offsets, maxSymbols, out);
}

void BuildGazetteerIndex(const std::vector<GazetteerLocation>& locations, const std::vector<uint32_t>& offsets,
                         int maxSymbols, GazetteerFiles* out) {
    out->index.clear();
    std::map<std::string, std::vector<uint32_t>> byName;
    for (size_t i = 0; i < locations.size() && i < offsets.size(); i++) {
        const std::string& name = locations[i].name;
        byName[UpperCase1252(name.substr(0, std::min<size_t>(name.size(), 255)))].push_back(offsets[i]);
    }
    // Sorted once by folded form: folding inside the comparison would redo it a million times.
    std::vector<std::pair<std::string, const std::string*>> keyed;
    keyed.reserve(byName.size());
    for (auto& entry : byName) keyed.push_back({FoldComparisonName(entry.first), &entry.first});
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : *a.second < *b.second;
    });
    std::vector<std::string> sorted;
    std::vector<uint32_t> indexOffsets;
    for (const auto& k : keyed) {
        indexOffsets.push_back((uint32_t)out->index.size());
        sorted.push_back(*k.second);
        AppendGazetteerName(out->index, GazetteerName{*k.second, byName[*k.second]});
    }
    std::vector<uint32_t> table;
    BuildPrefixTable(sorted, indexOffsets, (uint32_t)out->index.size(), maxSymbols, &table);
    out->prefix.clear();
    out->prefix.reserve(table.size() * 4);
    for (uint32_t v : table) WriteU32LE(out->prefix, v);
    out->names = (int)sorted.size();
}

// The index record at offset without copying it: its name in place, its location count and
// where the next record starts. 0 where DecodeGazetteerName fails.
static int PeekGazetteerName(const uint8_t* data, size_t size, uint32_t offset, const uint8_t** name, int* length,
                             int* count, uint32_t* next) {
    if (offset >= size) return 0;
    ByteCursor c = MakeCursor(data + offset, size - offset);
    *length = ReadU8(c);
    if (!CursorTake(c, *length, name)) return 0;
    *count = ReadU16LE(c);
    const uint8_t* locations;
    if (c.bad || !CursorTake(c, (size_t)*count * 4, &locations)) return 0;
    *next = (uint32_t)(c.p - data);
    return 1;
}

// The names before the key are passed over in place: a crowded prefix block (all of "SAN" for
// "San J", all of "S" for "São") holds tens of thousands of them in a full-size gazetteer.
long FindBestMatches(const uint8_t* index, size_t indexSize, const uint8_t* prefix, size_t prefixSize, int maxSymbols,
                     const std::string& key, int maxResults, std::vector<GazetteerMatch>* out) {
    out->clear();
    if (key.empty()) return -1;
    std::string normalised = NormaliseSearchKey(key);
    int entry = PrefixEntry(normalised, maxSymbols);
    if (entry < 0 || (size_t)entry * 4 + 4 > prefixSize) return -1;
    uint32_t offset = PeekU32LE(prefix + (size_t)entry * 4);
    int special = 0;
    std::string compareKey = ComparisonKey(key, &special);
    std::string foldedKey = FoldComparisonName(compareKey);
    int following = 0;
    long first = -1;
    const uint8_t* name;
    int length, count;
    uint32_t next = 0;
    while ((int)out->size() < maxResults && PeekGazetteerName(index, indexSize, offset, &name, &length, &count, &next)) {
        uint32_t here = offset;
        offset = next;
        if ((size_t)length < compareKey.size()) continue;
        if (!following) {
            int r = CompareNameWithKey(name, length, compareKey, foldedKey, special);
            if (r > 0) following = 1;
            else if (r < 0) continue;
            else if (special && memcmp(name, compareKey.data(), compareKey.size()) != 0) continue;
        }
        if (first < 0) first = here;
        out->push_back(GazetteerMatch{here, std::string((const char*)name, length), count});
    }
    return first;
}
