// The 34 statistics variables and the nine regions of the statistics screen. The member lists
// are in the order the table view lists them; 59 and 150 stand out of ascending order.
#include "stats/country_tables.h"

#include <array>

static const StatVariable variables[kCountryVariables] = {
    {"Arable Land (%)", 1},
    {"Permanent Crops (%)", 1},
    {"Meadows and Pastures (%)", 1},
    {"Forest (%)", 1},
    {"Age (0 to 14 years)", 0},
    {"Age (15 to 65 years)", 0},
    {"Age (over 65)", 0},
    {"Total Literacy (%)", 1},
    {"Male Literacy (%)", 1},
    {"Female Literacy (%)", 1},
    {"Total Area (sq. km)", 0},
    {"Land Area (sq. km)", 0},
    {"Irrigated Land (sq. km)", 0},
    {"Population", 0},
    {"Population Growth Rate (%)", 1},
    {"Birth Rate (births/1000)", 1},
    {"Death Rate (deaths/1000)", 1},
    {"Infant Mortality Rate (deaths/1000)", 1},
    {"Fertility Rate (children/woman)", 1},
    {"Migration Rate (migrants/1000)", 1},
    {"Life Expectancy (years)", 0},
    {"Male Expectancy (years)", 0},
    {"Female Expectancy (years)", 0},
    {"Labor Force (people)", 0},
    {"GDP", 0},
    {"GDP per capita", 0},
    {"GDP growth", 0},
    {"Exports", 0},
    {"Revenues", 0},
    {"Expenditures", 0},
    {"Imports", 0},
    {"External Debt", 0},
    {"Inflation", 1},
    {"Unemployment", 1},
};

static constexpr std::array<int, kCountryRecords> AllCountries() {
    std::array<int, kCountryRecords> all{};
    for (int i = 0; i < kCountryRecords; i++) all[i] = i + 1;
    return all;
}
static constexpr std::array<int, kCountryRecords> world = AllCountries();

static const int southAmerica[] = {8, 10, 12, 29, 33, 48, 53, 76, 82, 101, 170, 187, 188, 217, 222, 235, 247, 250};
static const int africa[] = {3,   6,   22,  26,  31,  32,  38,  40,  42,  44,  46,  47,  54,  55,  65,  69,
                             71,  72,  74,  75,  81,  84,  85,  89,  91,  99,  100, 103, 59,  124, 126, 136,
                             137, 138, 144, 145, 148, 153, 154, 155, 163, 164, 165, 174, 175, 195, 198, 199,
                             205, 207, 209, 210, 215, 216, 221, 224, 230, 236, 237, 242, 256, 259, 260, 261};
static const int westAsia[] = {1,   16,  18,  86,  112, 113, 115, 123, 125, 131, 132, 135,
                               180, 194, 206, 227, 229, 238, 239, 244, 248, 255, 258};
static const int australia[] = {4,   13,  14,  19,  36,  50,  52,  56,  57,  78,  83,  107, 111, 120,
                                122, 127, 128, 146, 151, 157, 166, 167, 171, 172, 176, 177, 182, 183,
                                185, 189, 190, 211, 214, 232, 233, 234, 241, 249, 253, 254, 257};
static const int europe[] = {2,   5,   11,  15,  23,  24,  30,  37,  60,  62,  63,  64,  73,  77,  79,  80,  87, 88,
                             90,  92,  98,  104, 108, 109, 114, 150, 116, 118, 121, 134, 139, 140, 141, 143, 149, 159,
                             160, 169, 179, 191, 192, 196, 204, 208, 212, 213, 218, 223, 225, 226, 243, 245};
static const int southAsia[] = {20, 28, 34, 39, 41, 110, 133, 147, 168, 181, 219, 220, 231, 251};
static const int northAsia[] = {49, 96, 106, 119, 129, 130, 142, 158, 161, 178, 186, 197, 228};
static const int northAmerica[] = {7,   9,   17,  21,  25,  27,  35,  43,  45,  51,  58,  61,
                                   66,  67,  68,  70,  93,  94,  95,  97,  102, 105, 117, 152,
                                   156, 162, 173, 184, 193, 200, 201, 202, 203, 240, 246, 252};

#define MEMBERS(list) list, (int)(sizeof list / sizeof list[0])
static const StatRegion regions[kStatRegions] = {
    {"table\\world.bmp", "table\\world3d.bmp", world.data(), kCountryRecords},
    {"table\\s_amer.bmp", "table\\s_amer3d.bmp", MEMBERS(southAmerica)},
    {"table\\africa.bmp", "table\\africa3d.bmp", MEMBERS(africa)},
    {"table\\w_asia.bmp", "table\\w_asia3d.bmp", MEMBERS(westAsia)},
    {"table\\austr.bmp", "table\\austr3d.bmp", MEMBERS(australia)},
    {"table\\europe.bmp", "table\\europe3d.bmp", MEMBERS(europe)},
    {"table\\s_asia.bmp", "table\\s_asia3d.bmp", MEMBERS(southAsia)},
    {"table\\n_asia.bmp", "table\\n_asia3d.bmp", MEMBERS(northAsia)},
    {"table\\n_amer.bmp", "table\\n_amer3d.bmp", MEMBERS(northAmerica)},
};
#undef MEMBERS

const StatVariable* StatVariableInfo(int variable) {
    return variable >= 1 && variable <= kCountryVariables ? &variables[variable - 1] : nullptr;
}

const StatRegion* StatRegionInfo(int region) { return region >= 0 && region < kStatRegions ? &regions[region] : nullptr; }
