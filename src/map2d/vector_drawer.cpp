// The polyline drawer of one vector layer and the world view's point files. Layers of a few
// million points stream from the volume through one caller-owned work buffer (30,000 bytes on
// the map): records in batches, points in chunks, features under a pixel as a single pixel.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/core.h"
#include "map2d/vector_layers.h"
#include "platform/le_bytes.h"

int drawAborted;

// Looking at the queue lets the toolkit run, which costs more than drawing a small cell, so
// within one drawer the queue is looked at every 10 ms at most.
static struct {
    int polled;
    uint32_t at;
} escape;

void RestartEscapePolling() { escape.polled = 0; }

int EscapePending() {
    uint32_t now = TickCount();
    if (escape.polled && now - escape.at < 10) return drawAborted;
    escape.polled = 1;
    escape.at = now;
    Message m;
    while (PeekMessageInRange(&m, MSG_KEYDOWN, MSG_CHAR, 1)) {
        if (m.kind == MSG_KEYDOWN && m.wParam == VK_ESCAPE) {
            drawAborted = 1;
            return 1;
        }
    }
    return 0;
}

static int ReadAt(FILE* f, uint64_t offset, uint8_t* out, size_t n) {
    if (fseeko(f, (off_t)offset, SEEK_SET) != 0) return 0;
    return fread(out, 1, n, f) == n;
}

// [SECTION] The polyline drawer

struct LayerFiles {
    FILE* data = nullptr;
    FILE* index = nullptr;
    ~LayerFiles() {
        if (data) fclose(data);
        if (index) fclose(index);
    }
};

struct CellPlacement {
    double west, south;  // of the cell after the longitude shift
};

// Pixel of a point given in ten-thousandths of a degree from the shifted cell corner.
static inline Point PointPixel(const MapWindow& w, const Rect& r, const CellPlacement& c, int dLon, int dLat) {
    int x, y;
    GeoToPixelIn(w, r, c.south + dLat / 10000.0, c.west + dLon / 10000.0, &x, &y);
    return Point{x, y};
}

// Draws the records of one cell. `pointsAt` is where the cell's points begin in the data file.
static int DrawCell(Surface* s, const MapWindow& w, const Rect& r, FILE* f, const VectorCellEntry& cell,
                    const CellPlacement& place, double threshold, uint8_t* buffer, int bufferSize,
                    ColourRef pointColour, std::vector<Point>& line) {
    const int maxBatch = std::min(600, bufferSize / 2 / kVectorRecordSize);
    if (maxBatch <= 0) return 0;
    uint64_t recordsAt = cell.offset;
    uint64_t pointsAt = (uint64_t)cell.offset + (uint64_t)cell.nRecords * kVectorRecordSize;
    for (int done = 0; done < cell.nRecords;) {
        int batch = std::min(maxBatch, cell.nRecords - done);
        if (!ReadAt(f, recordsAt, buffer, (size_t)batch * kVectorRecordSize)) return 0;
        recordsAt += (uint64_t)batch * kVectorRecordSize;
        uint8_t* pointArea = buffer + batch * kVectorRecordSize;
        int chunkPoints = (bufferSize - batch * kVectorRecordSize) / kVectorPointSize;
        for (int i = 0; i < batch; i++) {
            VectorRecord rec;
            DecodeVectorRecord(buffer + i * kVectorRecordSize, &rec);
            uint64_t next = pointsAt + (uint64_t)rec.nPoints * kVectorPointSize;
            if (rec.extent > threshold) {
                line.clear();
                for (int read = 0; read < rec.nPoints;) {
                    int n = std::min(chunkPoints, rec.nPoints - read);
                    if (!ReadAt(f, pointsAt + (uint64_t)read * kVectorPointSize, pointArea, (size_t)n * kVectorPointSize))
                        return 0;
                    for (int k = 0; k < n; k++) {
                        const uint8_t* b = pointArea + k * kVectorPointSize;
                        line.push_back(PointPixel(w, r, place, PeekI16LE(b), PeekI16LE(b + 2)));
                    }
                    read += n;
                }
                if (!line.empty()) {
                    MoveTo(s, line[0].x, line[0].y);
                    if (line.size() > 1) Polyline(s, line.data(), (int)line.size());
                    MoveTo(s, line.back().x, line.back().y);
                }
            } else {
                Point p = PointPixel(w, r, place, rec.refLon, rec.refLat);
                SetPixel(s, p.x, p.y, pointColour);
            }
            pointsAt = next;
        }
        done += batch;
    }
    return 1;
}

int DrawOneVectorLayer(Surface* s, const MapWindow& w, int width, int height, int x, int y,
                       const char* dataPath, const char* indexPath, uint8_t* buffer, int bufferSize,
                       ColourRef pointColour) {
    LayerFiles files;
    files.data = OpenDataFile(dataPath, "rb");
    if (!files.data) {
        ShowMessage("Cannot open file %s", dataPath);
        return 0;
    }
    files.index = OpenDataFile(indexPath, "rb");
    if (!files.index) {
        ShowMessage("Cannot open file %s", indexPath);
        return 0;
    }
    uint8_t header[kVectorHeaderSize + 2];
    if (fread(header, 1, kVectorHeaderSize, files.data) != (size_t)kVectorHeaderSize ||
        fread(header, 1, sizeof header, files.index) != sizeof header) {
        ShowMessage("Cannot read data from file %s", indexPath);
        return 0;
    }
    int previousCursor = SetCursorShape(CURSOR_WAIT);
    RestartEscapePolling();
    int nCells = PeekU16LE(header + kVectorHeaderSize);
    const Rect r{x, y, x + width, y + height};
    const double threshold = 10000.0 * std::max(std::fabs(w.east - w.west) / width, std::fabs(w.north - w.south) / height);
    std::vector<Point> line;
    uint8_t entries[256 * kVectorCellEntrySize];
    int ok = 1;
    for (int i = 0; i < nCells && ok;) {
        int batch = std::min(256, nCells - i);
        size_t got = fread(entries, kVectorCellEntrySize, (size_t)batch, files.index);
        if (got == 0) break;  // an index shorter than its count: draw what it holds
        for (size_t k = 0; k < got; k++, i++) {
            if (EscapePending()) {
                ok = 0;
                break;
            }
            VectorCellEntry cell;
            DecodeVectorCellEntry(entries + k * kVectorCellEntrySize, &cell);
            if (cell.nRecords <= 0) continue;
            double south = VectorCellSouth(cell.cell);
            if (w.north < south) {
                ok = 0;  // cells are sorted by latitude: none further on can be seen
                break;
            }
            if (south + 1 < w.south) continue;
            int shift;
            if (!VectorCellShift(w, VectorCellWest(cell.cell), &shift)) continue;
            CellPlacement place{(double)VectorCellWest(cell.cell) + shift, south};
            if (!DrawCell(s, w, r, files.data, cell, place, threshold, buffer, bufferSize, pointColour, line)) {
                ok = 0;  // a truncated data file ends the layer where it breaks off
                break;
            }
        }
    }
    SetCursorShape(previousCursor);
    return 1;
}

// [SECTION] World point files

int DrawWorldPointFile(Surface* s, int width, int height, int x, int y, const char* path,
                       uint8_t* buffer, int bufferSize, ColourRef colour) {
    if (kWorldGridColumns > 1280 || kWorldGridRows > 1024) return 0;
    FILE* f = OpenDataFile(path, "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", path);
        return 0;
    }
    RestartEscapePolling();
    uint8_t header[kWorldPointHeaderSize];
    int chunk = bufferSize / 4 * 4;
    if (fread(header, 1, sizeof header, f) == sizeof header && chunk > 0) {
        size_t got;
        while ((got = fread(buffer, 1, (size_t)chunk, f)) >= 4) {
            for (size_t k = 0; k + 4 <= got; k += 4) {
                int column = PeekI16LE(buffer + k), row = PeekI16LE(buffer + k + 2);
                int px = x + (int)((double)column / kWorldGridColumns * width);
                int py = y + (int)((double)(kWorldGridRows - 1 - row) / kWorldGridRows * height);
                SetPixel(s, px, py, colour);
            }
            if (EscapePending()) break;
        }
    }
    fclose(f);
    return 1;
}
