// Fuzz target for what the statistics step reads: Factbook figure texts of every unit and the
// country polygon files. Any bytes parse without reading past the end; a figure found is a
// finite number, and polygons read back keep to the file's limits.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "statistics_build.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    for (int unit = kFigurePercent; unit <= kFigureDollars; unit++) {
        double v = 0;
        int older = 0;
        if (ParseFactbookFigure(text, (FactbookUnit)unit, &v, &older) && !std::isfinite(v)) abort();
    }
    double share = 0;
    if (ParseLandUseShare(text, "arable land", &share) && !std::isfinite(share)) abort();
    // The first part of the input as the index, the rest as the points.
    size_t split = size < 24 ? size : (size / 2) / 24 * 24;
    std::vector<uint8_t> index(data, data + split), points(data + split, data + size);
    std::vector<CountryPolygon> polygons;
    if (DecodeCountryPolygons(index, points, &polygons))
        for (const CountryPolygon& p : polygons)
            if (p.points.size() < 3 || p.points.size() > (size_t)kMaxCountryPolygonPoints) abort();
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    for (const char* s : {"$3.722 trillion (2014 est.) ++ $3.663 trillion (2013 est.)", "NA% (2014 est.) ++ 4.1% (2013 est.)",
                          "8.47 births/1,000 population (2015 est.)", "1.267 million sq km", "80,854,408 (July 2015 est.)",
                          "48% ++ arable land 34.1%; permanent crops 0.6%; permanent pasture 13.3%"})
        seeds.emplace_back(s, s + strlen(s));
    std::vector<CountryPolygon> polygons;
    CountryRingsToPolygons(14, {{{120, -33}, {145, -33}, {145, -18}, {120, -18}}}, 0.0, &polygons);
    std::vector<uint8_t> index, points;
    EncodeCountryPolygons(polygons, &index, &points);
    index.insert(index.end(), points.begin(), points.end());
    seeds.push_back(index);
    return seeds;
}
