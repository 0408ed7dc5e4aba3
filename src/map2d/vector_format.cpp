// The vector layer files: cell numbering, the cell index, the cell blocks of records and
// points, and the world point files of the depth-0 view. Layers hold up to a few million
// points; readers check every block against the end of the bytes they were given.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "map2d/map2d.h"
#include "platform/le_bytes.h"

int VectorCellShift(const MapWindow& w, int cellWest, int* shift) {
    static const int shifts[3] = {0, -360, 360};
    double lambda = cellWest;
    for (int s : shifts)
        if (w.west <= lambda + s && lambda + s <= w.east) return *shift = s, 1;
    for (int s : shifts)
        if (w.west <= lambda + 1 + s && lambda + 1 + s <= w.east) return *shift = s, 1;
    for (int s : shifts)
        if (lambda + s <= w.west && w.east <= lambda + 1 + s) return *shift = s, 1;
    *shift = 0;
    return 0;
}

void DecodeVectorCellEntry(const uint8_t* b, VectorCellEntry* e) {
    e->cell = PeekI32LE(b);
    e->nRecords = PeekI32LE(b + 4);
    e->offset = PeekU32LE(b + 8);
}

void DecodeVectorRecord(const uint8_t* b, VectorRecord* r) {
    r->extent = PeekU16LE(b);
    r->nPoints = PeekU16LE(b + 2);
    r->refLon = PeekI16LE(b + 4);
    r->refLat = PeekI16LE(b + 6);
}

void DecodeVectorPoint(const uint8_t* b, VectorPoint* p) {
    p->dLon = PeekI16LE(b);
    p->dLat = PeekI16LE(b + 2);
}

int ParseVectorIndex(const uint8_t* data, size_t size, std::vector<VectorCellEntry>* cells) {
    cells->clear();
    if (size < (size_t)kVectorHeaderSize + 2) return 0;
    unsigned n = PeekU16LE(data + kVectorHeaderSize);
    if (size - kVectorHeaderSize - 2 < (size_t)n * kVectorCellEntrySize) return 0;
    cells->resize(n);
    for (unsigned i = 0; i < n; i++)
        DecodeVectorCellEntry(data + kVectorHeaderSize + 2 + (size_t)i * kVectorCellEntrySize, &(*cells)[i]);
    return 1;
}

int ParseVectorCell(const uint8_t* data, size_t size, const VectorCellEntry& cell,
                    std::vector<VectorRecord>* records, std::vector<VectorPoint>* points) {
    records->clear();
    points->clear();
    if (cell.nRecords < 0 || cell.offset > size) return 0;
    size_t left = size - cell.offset;
    if ((size_t)cell.nRecords > left / kVectorRecordSize) return 0;
    const uint8_t* p = data + cell.offset;
    records->resize((size_t)cell.nRecords);
    size_t nPoints = 0;
    for (int i = 0; i < cell.nRecords; i++) {
        DecodeVectorRecord(p + (size_t)i * kVectorRecordSize, &(*records)[i]);
        nPoints += (*records)[i].nPoints;
    }
    left -= (size_t)cell.nRecords * kVectorRecordSize;
    if (nPoints > left / kVectorPointSize) {
        records->clear();
        return 0;
    }
    p += (size_t)cell.nRecords * kVectorRecordSize;
    points->resize(nPoints);
    for (size_t i = 0; i < nPoints; i++) DecodeVectorPoint(p + i * kVectorPointSize, &(*points)[i]);
    return 1;
}

static void AppendHeader(const char* kind, const char* layerName, std::vector<uint8_t>* out) {
    char header[kVectorHeaderSize] = {0};
    snprintf(header, sizeof header, "Mundora vector %s %.32s", kind, layerName);
    out->insert(out->end(), header, header + sizeof header);
}

int EncodeVectorLayer(const char* layerName, const std::vector<VectorCellRecord>& records,
                      std::vector<uint8_t>* index, std::vector<uint8_t>* data) {
    index->clear();
    data->clear();
    std::vector<size_t> order(records.size());
    for (size_t i = 0; i < order.size(); i++) {
        if (!IsVectorCell(records[i].cell) || records[i].points.size() > 65535) return 0;
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return records[a].cell < records[b].cell; });
    AppendHeader("index", layerName, index);
    AppendHeader("data", layerName, data);
    size_t nCellsAt = index->size();
    WriteU16LE(*index, 0);
    int nCells = 0;
    for (size_t i = 0; i < order.size();) {
        size_t j = i;
        int cell = records[order[i]].cell;
        while (j < order.size() && records[order[j]].cell == cell) j++;
        if (data->size() > 0xFFFFFFFFu) return 0;
        WriteI32LE(*index, cell);
        WriteI32LE(*index, (int32_t)(j - i));
        WriteU32LE(*index, (uint32_t)data->size());
        for (size_t k = i; k < j; k++) {
            const VectorCellRecord& r = records[order[k]];
            WriteU16LE(*data, r.record.extent);
            WriteU16LE(*data, (uint16_t)r.points.size());
            WriteI16LE(*data, r.record.refLon);
            WriteI16LE(*data, r.record.refLat);
            for (int pad = 0; pad < 6; pad++) WriteU8(*data, 0);
        }
        for (size_t k = i; k < j; k++)
            for (const VectorPoint& p : records[order[k]].points) {
                WriteI16LE(*data, p.dLon);
                WriteI16LE(*data, p.dLat);
            }
        nCells++;
        i = j;
    }
    if (data->size() > 0xFFFFFFFFu) return 0;
    PokeU16LE(index->data() + nCellsAt, (uint16_t)nCells);
    return 1;
}

int WorldGridColumn(double longitude) {
    if (!std::isfinite(longitude)) return 0;
    double c = std::floor((longitude + 180.0) / 360.0 * kWorldGridColumns);
    return (int)std::clamp(c, 0.0, (double)kWorldGridColumns - 1);
}

// The viewer puts row j at trunc((599 - j) / 600 * H) below the top and latitude at
// trunc((135 - latitude) / 270 * H); the row chosen here lands on the same pixel.
int WorldGridRow(double latitude) {
    if (!std::isfinite(latitude)) return 0;
    double fromTop = std::floor((135.0 - latitude) / 270.0 * kWorldGridRows);
    return (int)std::clamp(kWorldGridRows - 1 - fromTop, 0.0, (double)kWorldGridRows - 1);
}

void EncodeWorldPoints(const std::vector<WorldPoint>& points, std::vector<uint8_t>* out) {
    out->clear();
    out->reserve(kWorldPointHeaderSize + points.size() * 4);
    WriteU32LE(*out, (uint32_t)points.size());  // the viewer ignores it; handy when looking at a file
    for (const WorldPoint& p : points) {
        WriteI16LE(*out, p.column);
        WriteI16LE(*out, p.row);
    }
}

int ParseWorldPoints(const uint8_t* data, size_t size, std::vector<WorldPoint>* points) {
    points->clear();
    if (size < (size_t)kWorldPointHeaderSize) return 0;
    size_t n = (size - kWorldPointHeaderSize) / 4;
    points->resize(n);
    for (size_t i = 0; i < n; i++) {
        const uint8_t* b = data + kWorldPointHeaderSize + i * 4;
        (*points)[i].column = PeekI16LE(b);
        (*points)[i].row = PeekI16LE(b + 2);
    }
    return 1;
}
