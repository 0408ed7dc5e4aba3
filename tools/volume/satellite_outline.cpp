// The world outline of the visibility search's path view, "sats\worldmap.deg": the GSHHG
// shoreline at low resolution, islands of 100 km2 and more, as float pairs of degrees.
#include "platform/le_bytes.h"
#include "satellites.h"

std::vector<uint8_t> EncodeWorldOutline(const std::vector<GeoLine>& lines) {
    std::vector<uint8_t> out;
    for (const GeoLine& line : lines) {
        if (line.size() < 2) continue;
        WriteF32LE(out, -9999.0f);
        WriteF32LE(out, 0.0f);
        for (const GeoPoint& p : line) {
            double lon = p.lon > 180 ? p.lon - 360 : p.lon;
            WriteF32LE(out, (float)lon);
            WriteF32LE(out, (float)p.lat);
        }
    }
    return out;
}

int WriteWorldOutline(BuildContext& ctx) {
    std::vector<GeoLine> lines;
    if (!RunGmt(ctx, "coast -Rd -Dl -A100/1/1 -M -W", &lines)) {
        ReportMissing(ctx, "sats\\worldmap.deg", "gmt could not extract the GSHHG shoreline");
        return 0;
    }
    std::vector<uint8_t> bytes = EncodeWorldOutline(lines);
    if (!WriteVolumeFile(ctx, "sats\\worldmap.deg", bytes)) return 0;
    long points = (long)(bytes.size() / 8) - (long)lines.size();
    ReportLine(ctx,
               "satellites: sats\\worldmap.deg: %zu polylines, %ld points of the GSHHG low-resolution shoreline "
               "(islands of 100 km2 and more); float pairs, (-9999, 0) starts a polyline",
               lines.size(), points);
    return 1;
}
