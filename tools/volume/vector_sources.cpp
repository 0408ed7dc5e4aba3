// Where the vector layers come from: the segment lists gmt prints for GSHHG and DCW, and line
// features of any OGR source the recipe names (roads and railways).
#include <ogrsf_frmts.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "vector_build.h"

int ParseGmtSegments(const std::string& text, std::vector<GeoLine>* lines, std::string* error,
                     std::vector<std::string>* headers) {
    lines->clear();
    if (headers) headers->clear();
    GeoLine current;
    std::string header;
    int lineNumber = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string row = text.substr(at, end - at);
        at = end + 1;
        lineNumber++;
        size_t first = row.find_first_not_of(" \t\r");
        if (first == std::string::npos || row[first] == '#') continue;
        if (row[first] == '>') {
            if (current.size() >= 2) {
                lines->push_back(current);
                if (headers) headers->push_back(header);
            }
            current.clear();
            header = row.substr(first + 1);
            continue;
        }
        const char* s = row.c_str() + first;
        char* after = nullptr;
        errno = 0;
        double lon = strtod(s, &after);
        int ok = after != s && errno == 0;
        s = after;
        double lat = ok ? strtod(s, &after) : 0;
        ok = ok && after != s && errno == 0;
        // Further numeric columns (a z value) are allowed, anything else is not.
        while (ok && *after) {
            s = after;
            while (*s == ' ' || *s == '\t' || *s == '\r') s++;
            if (!*s) break;
            strtod(s, &after);
            ok = after != s && (*after == 0 || strchr(" \t\r", *after));
        }
        if (!ok || lon < -540 || lon > 540 || lat < -90.001 || lat > 90.001) {
            char message[160];
            snprintf(message, sizeof message, "line %d is not a longitude and latitude: \"%.60s\"", lineNumber,
                     row.c_str());
            *error = message;
            lines->clear();
            if (headers) headers->clear();
            return 0;
        }
        current.push_back({lon, lat});
    }
    if (current.size() >= 2) {
        lines->push_back(current);
        if (headers) headers->push_back(header);
    }
    return 1;
}

// gmt writes a gmt.history file into its working folder whatever GMT_HISTORY says, unless
// GMT_TMPDIR names another folder. Each run gets a scratch folder of its own, so nothing lands in
// the caller's folder and parallel runs never read each other's history.
int RunGmtText(const BuildContext& ctx, const std::string& arguments, std::string* text) {
    text->clear();
    char scratch[] = "/tmp/mundora-gmt-XXXXXX";
    if (!mkdtemp(scratch)) {
        BuildError("Cannot create a scratch folder for gmt: %s", strerror(errno));
        return 0;
    }
    std::string command = std::string("GMT_TMPDIR=") + scratch + " " + RecipeValue(ctx, "gmt", "gmt") + " " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        BuildError("Cannot run %s", command.c_str());
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
        return 0;
    }
    char buffer[1 << 16];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text->append(buffer, n);
    int status = pclose(pipe);
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    if (status != 0) {
        BuildError("%s failed (exit status %d)", command.c_str(), WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        text->clear();
        return 0;
    }
    return 1;
}

int RunGmt(const BuildContext& ctx, const std::string& arguments, std::vector<GeoLine>* lines,
           std::vector<std::string>* headers) {
    std::string text, error;
    if (!RunGmtText(ctx, arguments, &text)) return 0;
    if (!ParseGmtSegments(text, lines, &error, headers)) {
        BuildError("gmt %s printed a malformed segment list: %s", arguments.c_str(), error.c_str());
        return 0;
    }
    return 1;
}

static void AddLineString(const OGRLineString* ls, std::vector<GeoLine>* into) {
    GeoLine line;
    for (int i = 0; i < ls->getNumPoints(); i++) line.push_back({ls->getX(i), ls->getY(i)});
    if (line.size() >= 2) into->push_back(std::move(line));
}

static void AddGeometry(const OGRGeometry* g, std::vector<GeoLine>* into) {
    if (!g) return;
    switch (wkbFlatten(g->getGeometryType())) {
    case wkbLineString:
    case wkbLinearRing:
        AddLineString(g->toLineString(), into);
        break;
    case wkbPolygon:
        for (const OGRLinearRing* ring : *g->toPolygon()) AddLineString(ring, into);
        break;
    case wkbMultiLineString:
    case wkbMultiPolygon:
    case wkbGeometryCollection:
        for (const OGRGeometry* part : *g->toGeometryCollection()) AddGeometry(part, into);
        break;
    default:
        break;
    }
}

int ReadOgrLinesByClass(const std::string& source, const std::string& classField,
                        std::vector<GeoLine> byClass[9], long* skipped) {
    GDALAllRegister();
    CPLPushErrorHandler(CPLQuietErrorHandler);
    GDALDataset* ds = (GDALDataset*)GDALOpenEx(source.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    CPLPopErrorHandler();
    if (!ds) {
        BuildError("Cannot open the vector source %s: %s", source.c_str(), CPLGetLastErrorMsg());
        return 0;
    }
    *skipped = 0;
    int foundField = 0, ok = 1;
    for (OGRLayer* layer : ds->GetLayers()) {
        int field = layer->GetLayerDefn()->GetFieldIndex(classField.c_str());
        if (field < 0) continue;
        foundField = 1;
        OGRSpatialReference wgs84;
        wgs84.SetWellKnownGeogCS("WGS84");
        wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        OGRCoordinateTransformation* toWgs84 = nullptr;
        const OGRSpatialReference* srs = layer->GetSpatialRef();
        if (srs && !srs->IsSame(&wgs84)) toWgs84 = OGRCreateCoordinateTransformation(srs, &wgs84);
        layer->ResetReading();
        CPLErrorReset();
        while (OGRFeature* f = layer->GetNextFeature()) {
            int cls = f->IsFieldSetAndNotNull(field) ? f->GetFieldAsInteger(field) : 0;
            OGRGeometry* g = f->GetGeometryRef();
            if (cls < 1 || cls > 8 || !g) {
                (*skipped)++;
            } else {
                if (toWgs84) g->transform(toWgs84);
                AddGeometry(g, &byClass[cls]);
            }
            OGRFeature::DestroyFeature(f);
        }
        if (CPLGetLastErrorType() >= CE_Failure) {
            BuildError("Cannot read the vector source %s: %s", source.c_str(), CPLGetLastErrorMsg());
            ok = 0;
        }
        if (toWgs84) OGRCoordinateTransformation::DestroyCT(toWgs84);
    }
    GDALClose(ds);
    if (ok && !foundField) {
        BuildError("The vector source %s has no attribute %s giving the class 1..8", source.c_str(), classField.c_str());
        ok = 0;
    }
    if (!ok)
        for (int i = 0; i < 9; i++) byClass[i].clear();
    return ok;
}
