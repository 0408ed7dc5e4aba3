// Fuzz target: the country tables' readers over damaged and hostile country.inf, vars.inf and
// country.dat files. The input's first byte picks the variable, the next two the length of the
// text that serves as country.inf and vars.inf; the rest is country.dat.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/core.h"
#include "platform/le_bytes.h"
#include "platform/test_double.h"
#include "stats/stats.h"

static void Check(bool ok) {
    if (!ok) abort();
}

static void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) abort();
    if (size) fwrite(data, 1, size, f);
    fclose(f);
}

static void CheckPalette(const ColourRef palette[256], const int heights[256]) {
    Check(palette[0] == MakeColour(0, 0, 0) && palette[254] == MakeColour(254, 254, 254) &&
          palette[255] == MakeColour(255, 255, 255));
    for (int i = 0; i < 256; i++) Check(heights[i] >= -1 && heights[i] <= 30);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string folder;
    if (folder.empty()) {
        TestModeEnable(1);
        char pattern[] = "/tmp/mundora-fuzz-country-XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "/tmp";
        snprintf(dataRoot, sizeof dataRoot, "%s", folder.c_str());
        mkdir((folder + "/table").c_str(), 0755);
        mkdir((folder + "/scales").c_str(), 0755);
        std::vector<uint8_t> scale(8 + 3 * 10000);
        for (size_t i = 8; i < scale.size(); i++) scale[i] = (uint8_t)(i * 7);
        WriteFile(folder + "/scales/choro01.sca", scale.data(), scale.size());
    }
    if (size < 3) return 0;
    int variable = (int8_t)data[0];
    size_t textSize = std::min((size_t)PeekU16LE(data + 1), size - 3);
    const uint8_t* text = data + 3;
    WriteFile(folder + "/table/country.inf", text, textSize);
    WriteFile(folder + "/table/vars.inf", text, textSize);
    WriteFile(folder + "/table/country.dat", text + textSize, size - 3 - textSize);
    TestClearShown();

    float min = 1e8f, max = -1e8f;
    int read = ReadVariableRange(variable, &min, &max);
    Check(read >= 0 && read <= kCountryRecords);
    Check((min == 1e8f && max == -1e8f) || (min <= max && std::isfinite(min) && std::isfinite(max)));

    int variables[4] = {variable, 0, (int8_t)data[1], 0};
    int count = SetSelectionForRegion(data[2] % 11, variables);
    Check(count >= 0 && count <= kCountryRecords);
    float selMin, selMax;
    Check(ReadSelectionRange(variable - 1, &selMin, &selMax) == statSelection.countryCount);

    std::string scale = ChoroplethScalePath(1);
    ColourRef palette[256];
    int heights[256];
    float byIndex[256];
    for (float& v : byIndex) v = -1;
    if (BuildChoroplethPalette(scale.c_str(), countryValues, min, max, palette, heights, byIndex)) CheckPalette(palette, heights);
    if (RecolourPalette(scale.c_str(), byIndex, min, max, palette, heights, nullptr)) CheckPalette(palette, heights);

    if (BuildHoverTable(variable)) {
        for (int p = 1; p <= 253; p++) {
            const StatHoverEntry* e = HoverEntry(p);
            Check(e != nullptr);
            size_t n = strnlen(e->name, sizeof e->name);
            Check(n <= (size_t)kCountryDisplayName && !strpbrk(e->name, "\r\n"));
            Check(n > 0 || e->value == -1.0f);
        }
    }
    ReleaseHoverTable();
    Check(HoverEntry(1) == nullptr);

    std::string name = ReadVariableName(variable);
    Check(name.size() < 115 && name.find_first_of("\r\n\t_") == std::string::npos);

    for (const ShownText& s : TestShownMessages()) {
        Check(s.text == "country id out of range" || s.text == "palette index out of range");
    }
    return 0;
}

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    std::string info =
        "1 0   1   Aland\r\n1 5   17  Bee\n0 7   20  Zero\n1 261 30  Beyond\n1 8   0   No index\n"
        "07 12  42  Seven\n1 2   253 Last\n1 3   300 Bad\n1 4   9   After\n" + std::string(130, 'x') + "\n1 1   2 \n";
    std::vector<uint8_t> data;
    for (int r = 0; r < 20; r++) {
        for (int k = 1; k <= kCountryVariables; k++) {
            float v = r % 5 == 0 ? -1.0f : (float)(r * 100 + k);
            uint32_t u;
            memcpy(&u, &v, 4);
            WriteU32LE(data, u);
        }
        data.resize(data.size() + kCountryRecordNameBytes, (uint8_t)('A' + r));
    }
    auto seed = [&](int variable, const std::string& text, size_t dataBytes) {
        std::string out = {(char)variable, (char)text.size(), (char)(text.size() >> 8)};
        out += text;
        out.append((const char*)data.data(), std::min(dataBytes, data.size()));
        return std::vector<uint8_t>(out.begin(), out.end());
    };
    return {seed(14, info, data.size()), seed(1, info, 397), seed(34, "Name_one\tx\r\nTwo\n", data.size()),
            seed(0, "", 0), seed(200, info, 1000)};
}
