// Fuzz target for the element-set files the volume builder reads (the recipe's own files among
// them): any bytes must read without a fault, and every set kept must carry the columns the
// viewer reads, an epoch that is a real date, and one of the globe's groups at most 34 long.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "satellites.h"

static void Check(const ElementFile& f) {
    for (const ElementSet& s : f.sets) {
        if (s.line1.size() < 68 || s.line2.size() < 68 || s.catalogue.empty()) abort();
        if (EpochDate(s.epoch).size() != 10 || EpochDate(s.epoch).substr(5, 2) > "12") abort();
        if (s.name.find('\n') != std::string::npos || s.name.find('\r') != std::string::npos) abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    ElementFile lines, keyed;
    ParseElementText(text, &lines);
    ParseKeyedElements(text, &keyed);
    Check(lines);
    Check(keyed);
    std::multimap<std::string, std::string> categories;
    ParseCategoryList(text, "weather", &categories);
    std::vector<ElementSet> all = NewestPerObject({&lines, &keyed});
    std::vector<GroupSummary> summaries;
    for (const SatelliteGroup& g : SatelliteGroups()) {
        int matched = 0;
        std::vector<const ElementSet*> members = SelectGroup(g, all, categories, &matched);
        if (members.size() > (size_t)kGroupLimit || matched < (int)members.size()) abort();
        std::vector<ElementSet> copies;
        for (const ElementSet* s : members) copies.push_back(*s);
        summaries.push_back({&g, (int)members.size(), EpochRange(copies)});
        ThreeLineText(members);
    }
    FillEpochLines("@EPOCHS@\n" + text.substr(0, 200), "sats\\sats.txt", summaries);
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::string> texts = {
        "0 ISS (ZARYA)\r\n1 25544U 98067A   22053.51782528 -.00002182  00000-0 -11606-4 0  2927\r\n"
        "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537\r\n"
        "1    11U 59001A   22053.83197560  .00000847  00000-0  45179-3 0  9996\n"
        "2    11  32.8647 264.6509 1466352 126.0358 248.5175 11.85932318689790",
        "[41866]\nNAME=GOES 16 [+]\nTLE1=1 41866U 16071A   18020.51782528 -.00000182  00000-0  00000-0 0  9992\n"
        "TLE2=2 41866   0.0100 247.4627 0000703 130.5360 325.0288  1.00271391563537\n",
        "Weather\n41866\n00011\n",
    };
    std::vector<std::vector<uint8_t>> seeds;
    for (const std::string& t : texts) seeds.emplace_back(t.begin(), t.end());
    return seeds;
}
