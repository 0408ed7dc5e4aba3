// The builder's side of the vector layers: turning source polylines into cell records and
// world points, reading them from gmt and OGR, and writing the layer files.
#pragma once

#include <string>
#include <vector>

#include "map2d/map2d.h"
#include "volume.h"

struct GeoPoint {
    double lon, lat;
};
using GeoLine = std::vector<GeoPoint>;

// Brings longitudes into -180..180 and cuts a line where it crosses the date line, ending one
// part on the meridian 180 and starting the next on -180 (or the other way round).
void NormaliseLine(const GeoLine& line, std::vector<GeoLine>* parts);
// Cuts one line into records, each lying inside its own one-degree cell (its points at most one
// degree from the cell's south-west corner); a line crossing a cell edge is cut on the edge,
// so consecutive records share that point. Appends to out; returns the number of records added.
int SplitLineIntoRecords(const GeoLine& line, std::vector<VectorCellRecord>* out);
// Douglas-Peucker: drops points that lie within tolerance degrees of the simplified line; the
// end points stay.
GeoLine SimplifyLine(const GeoLine& line, double tolerance);
// Marks every grid point of the 800 x 600 world grid that the lines pass through; the points
// come out once each, ordered by row and column.
void RasteriseWorldPoints(const std::vector<GeoLine>& lines, std::vector<WorldPoint>* out);

// Reads the text gmt prints with -M: segments begin at lines starting with ">", points are
// "longitude latitude". 0 with a message naming the first malformed line. headers, when given,
// receives the text after ">" of each segment kept (holes of polygons carry "-Ph").
int ParseGmtSegments(const std::string& text, std::vector<GeoLine>* lines, std::string* error,
                     std::vector<std::string>* headers = nullptr);
// Runs "<gmt> <arguments>" (the recipe key gmt names another program) and keeps what it prints;
// 0 after BuildError when it cannot be run or fails.
int RunGmtText(const BuildContext& ctx, const std::string& arguments, std::string* text);
// Runs "<gmt> <arguments>" and parses what it prints; 0 after BuildError when gmt fails or
// prints something that is not a list of segments.
int RunGmt(const BuildContext& ctx, const std::string& arguments, std::vector<GeoLine>* lines,
           std::vector<std::string>* headers = nullptr);
// Reads the line features of an OGR source (any format GDAL reads) whose integer attribute
// classField is 1..8, by class; polygons give their rings. 0 after BuildError when the source
// cannot be opened or read or has no such attribute. *skipped counts features of other classes.
int ReadOgrLinesByClass(const std::string& source, const std::string& classField,
                        std::vector<GeoLine> byClass[9], long* skipped);

struct LayerCounts {
    long sourceLines = 0, records = 0, points = 0, cells = 0, worldPoints = 0;
};
// Writes "v_index\<name>.idx", "v_data\<name>.dat" and "800_z0\<name>.top" from the lines;
// nothing is left half-written when it fails.
int WriteVectorLayer(BuildContext& ctx, const char* name, const std::vector<GeoLine>& lines, LayerCounts* counts);

// Country polygons: outer rings only, numbered from the country table, kept within -180..180
// (rings across the date line are cut there) and simplified to at most 8,200 points.
struct CountryPolygon {
    int country;
    double west, south, east, north;
    GeoLine points;
};
constexpr int kMaxCountryPolygonPoints = 8200;
// Turns the rings of one country into polygons (appended to out); holes must be left out first.
void CountryRingsToPolygons(int country, const std::vector<GeoLine>& rings, double tolerance,
                            std::vector<CountryPolygon>* out);
// Orders the polygons smallest box first, so a click finds an enclave before the country around
// it, and encodes "stats\cpoly.idx" (24-byte entries) and "stats\cpoly.dat".
int EncodeCountryPolygons(std::vector<CountryPolygon>& polygons, std::vector<uint8_t>* index,
                          std::vector<uint8_t>* data);
// The country polygons "stats\cpoly.idx" and "stats\cpoly.dat" from DCW.
int BuildCountryPolygons(BuildContext& ctx);
