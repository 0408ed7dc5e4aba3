// The volume's one country numbering: every file that names a country by number (gazetteers,
// country polygons, statistics tables, the theme file's country list) takes it from here.
// Numbers run from 1 to at most 261; a few numbers are unused (see CountryByNumber).
#pragma once

struct Country {
    int number;              // 1-based country number, the record number + 1 of the statistics tables
    const char* name;        // Windows-1252, at most 61 characters
    const char* iso2;        // ISO 3166-1 alpha-2, "" for places without a code of their own
    const char* iso3;        // ISO 3166-1 alpha-3, ""
    const char* dcw;         // what `gmt coast -E` takes for the country ("FR", "CN.HK"), "" when DCW has none
    const char* naturalEarth;  // the name in the Natural Earth 1:10m countries, "" when absent there
    const char* factbook;    // the World Factbook key (its file name, "gm" for Germany)
    int region;              // statistics region 1..8 whose fixed member list holds this number
};

enum { kMaxCountryNumber = 261 };

// All countries in increasing number; *count receives how many.
const Country* CountryTable(int* count);
// Lookups; each returns null when nothing matches. Codes compare without regard to case.
const Country* CountryByNumber(int number);
const Country* CountryByIso2(const char* code);
const Country* CountryByIso3(const char* code);
const Country* CountryByDcw(const char* code);
const Country* CountryByFactbook(const char* key);
const Country* CountryByNaturalEarth(const char* name);
const Country* CountryByName(const char* name);
