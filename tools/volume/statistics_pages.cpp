// The country pages of the text viewer ("stats\<number>.txt") and their index
// ("stats\country.txt"), in the viewer's mark-up. The viewer breaks no lines itself, so the
// Factbook's background texts are wrapped here to the width of its text area (645 pixels
// of Arial 11 points) and to its line buffer (194 characters).
#include <algorithm>
#include <cstring>
#include <strings.h>

#include "manual_pages.h"
#include "statistics_build.h"

// The text area is 645 pixels wide; a few pixels are kept back for the viewer's own hinting.
static const int kPageWidth = 640;
static const int kLineChars = 190;
// The caption's baseline: the text area starts 20 pixels below the map area's top (39).
static const char* const kCaptionAt = "26,96";

// Width of a plain text in the body font, as the viewer draws it.
static int BodyWidth(const std::string& text) {
    int font = 0;
    return ManualLineWidth(text, &font);
}

// Braces would start a tag in the viewer; the Factbook's own brackets become round ones.
static std::string Plain(std::string s) {
    for (char& c : s) {
        if (c == '{') c = '(';
        else if (c == '}') c = ')';
        else if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return s;
}

static void AddLine(std::string* page, const std::string& line) { *page += line + "\r\n"; }

// The caption line, or for a name too wide for the caption font a first-level heading.
static void AddCaption(std::string* page, const std::string& title) {
    std::string caption = std::string("{bigtext=") + kCaptionAt + ",\"" + title + "\"}";
    int font = 0;
    if (ManualLineWidth(caption, &font) <= ManualAreaFor("stats\\country.txt").right) AddLine(page, caption);
    else AddLine(page, "{1}" + title);
}

static void AddSection(std::string* page, const char* heading, const std::vector<std::string>& paragraphs) {
    AddLine(page, std::string("{2}") + heading);
    for (size_t p = 0; p < paragraphs.size(); p++) {
        if (p > 0) AddLine(page, "");
        std::vector<std::string> lines = WrapManualText(Plain(paragraphs[p]), kPageWidth, 0, kLineChars);
        for (size_t i = 0; i < lines.size(); i++) AddLine(page, (i == 0 ? "{4}" : "") + lines[i]);
    }
    AddLine(page, "");
}

static std::string IndexLink() { return "{f \"stats\\country.txt\" All countries}"; }

std::string CountryPageText(const StatCountry& c, const char* edition) {
    std::string page;
    AddCaption(&page, c.name);
    if (!c.hasProfile) {
        AddSection(&page, "No profile", {"The World Factbook (" + std::string(edition) + ") has no profile of its own for " +
                                         c.name + ", so none of its figures are available."});
        AddLine(&page, IndexLink());
        return page;
    }
    if (!c.background.empty()) AddSection(&page, "Background", c.background);
    if (!c.capital.empty()) AddSection(&page, "Capital", {c.capital});
    if (!c.area.empty()) AddSection(&page, "Area", {c.area});
    if (!c.population.empty()) AddSection(&page, "Population", {c.population});
    AddLine(&page, "{4}From The World Factbook (" + std::string(edition) + ").");
    AddLine(&page, IndexLink());
    return page;
}

std::string CountryIndexText(const std::vector<StatCountry>& records, const char* edition) {
    std::vector<const StatCountry*> sorted;
    for (const StatCountry& c : records) sorted.push_back(&c);
    std::sort(sorted.begin(), sorted.end(),
              [](const StatCountry* a, const StatCountry* b) { return strcasecmp(a->name.c_str(), b->name.c_str()) < 0; });
    std::string page;
    AddCaption(&page, "Countries");
    std::vector<std::string> intro = WrapManualText(
        "Choose a country for its page. Its figures are on the statistics screen; the texts come from The World Factbook (" +
            std::string(edition) + ").",
        kPageWidth, 0, kLineChars);
    for (size_t i = 0; i < intro.size(); i++) AddLine(&page, (i == 0 ? "{4}" : "") + intro[i]);
    AddLine(&page, "");
    // Two links to a line, the second lined up at the middle of the text area with spaces, so
    // that a page holds well under the viewer's 50 links.
    const int column = 330, space = BodyWidth(" ");
    auto link = [](const StatCountry* c) { return "{f \"stats\\" + std::to_string(c->number) + ".txt\" " + c->name + "}"; };
    for (size_t i = 0; i < sorted.size();) {
        std::string line = link(sorted[i]);
        int w = BodyWidth(sorted[i]->name);
        if (i + 1 < sorted.size() && w + space <= column - 10 &&
            BodyWidth(sorted[i + 1]->name) <= kPageWidth - column) {
            int spaces = (column - w + space - 1) / space;
            std::string pair = line + std::string(spaces, ' ') + link(sorted[i + 1]);
            if ((int)pair.size() <= kLineChars) {
                AddLine(&page, pair);
                i += 2;
                continue;
            }
        }
        AddLine(&page, line);
        i++;
    }
    return page;
}
