// The country table and its lookups. The rows come from country_table.inc, which
// gen/make_country_table.py writes from the Factbook, ISO 3166, DCW and Natural Earth.
#include "countries.h"

#include <strings.h>

static const Country countryRows[] = {
#include "country_table.inc"
};
static const int nCountryRows = (int)(sizeof countryRows / sizeof countryRows[0]);

const Country* CountryTable(int* count) {
    *count = nCountryRows;
    return countryRows;
}

const Country* CountryByNumber(int number) {
    int lo = 0, hi = nCountryRows - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        if (countryRows[mid].number == number) return &countryRows[mid];
        if (countryRows[mid].number < number) lo = mid + 1;
        else hi = mid - 1;
    }
    return nullptr;
}

// The first row whose field (picked by the member pointer) equals text; empty never matches.
static const Country* FindBy(const char* Country::*field, const char* text) {
    if (!text || !*text) return nullptr;
    for (int i = 0; i < nCountryRows; i++)
        if (strcasecmp(countryRows[i].*field, text) == 0) return &countryRows[i];
    return nullptr;
}

const Country* CountryByIso2(const char* code) { return FindBy(&Country::iso2, code); }
const Country* CountryByIso3(const char* code) { return FindBy(&Country::iso3, code); }
const Country* CountryByDcw(const char* code) { return FindBy(&Country::dcw, code); }
const Country* CountryByFactbook(const char* key) { return FindBy(&Country::factbook, key); }
const Country* CountryByNaturalEarth(const char* name) { return FindBy(&Country::naturalEarth, name); }
const Country* CountryByName(const char* name) { return FindBy(&Country::name, name); }
