// What the climate step's overlays share: the land mask, the twelve monthly files of one
// overlay from a land and a sea source, and the checks and notes around them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "climate_fields.h"
#include "volume.h"

// One overlay's twelve files: the land source on land cells and the sea source on sea cells
// (either may be absent), each with its byte coding; with fallback a cell whose own source has
// no value takes the other's.
struct OverlayPlan {
    const char* label = "";    // "temperature", for the progress line
    const char* pattern = "";  // "globe\\temp%02d.raw"
    const MonthlyField* land = nullptr;
    const MonthlyField* sea = nullptr;
    ByteCoding landCoding, seaCoding;
    int fallback = 0;
};

// Land where the elevation source's mean height over the cell is above sea level; empty when
// the elevation source cannot be read, and note says which (then every cell counts as land).
std::vector<uint8_t> LandMask(BuildContext& ctx, std::string* note);
// Writes the twelve files of the plan; land is empty when every cell counts as land. Returns
// the cells no source gives a value (written 0) over the twelve months; *ok drops to 0 when a
// file cannot be written.
long WriteMonths(BuildContext& ctx, const OverlayPlan& plan, const std::vector<uint8_t>& land, int* ok);
// 1 when all twelve files of the pattern are newer than every source.
int MonthFilesUpToDate(BuildContext& ctx, const char* pattern, const std::vector<std::string>& sources);
// "path: w x h cells of dx x dy degrees from west E, north N" for the report.
std::string FieldNote(const MonthlyField& f);

// The monthly near-surface air temperature over land: the recipe's "temperature" or the
// climate model's field the temperature overlay reads.
std::string LandTemperatureSource(const BuildContext& ctx);

// The overlays whose sources the recipe names: precipitation, sunshine and vegetation
// (climate_recipe_overlays.cpp). Returns 0 when a named source cannot be used.
int BuildRecipeOverlays(BuildContext& ctx);
