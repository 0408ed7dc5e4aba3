// The table of up to four variables for the countries of a region: drawn a page at a time in
// the map area, paged with the arrow and page keys, and copied whole to the clipboard as
// tab-separated text each time it is drawn.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "platform/files.h"
#include "stats/stats_screen.h"

// [SECTION] What the table shows

int ReadSelectionNames(std::vector<std::string>* names) {
    names->clear();
    FILE* f = OpenDataFile("table\\country.dat", "rb");
    if (!f) {
        ShowMessage("Cannot open file %s", "table\\country.dat");
        return 0;
    }
    for (int i = 0; i < statSelection.countryCount; i++) {
        char name[kCountryRecordNameBytes + 1] = {};
        int record = statSelection.countries[i] - 1;
        // A record the file does not hold has no name; its row stays in the table.
        if (record >= 0 && record < kCountryRecords && fseek(f, (long)CountryNameOffset(record), SEEK_SET) == 0)
            if (fread(name, 1, kCountryRecordNameBytes, f) == 0) name[0] = 0;
        names->push_back(name);
    }
    fclose(f);
    return 1;
}

// The line of vars.inf for a variable as read: cut at CR or LF; "" when missing.
static std::string RawVariableLine(int variable) {
    FILE* f = OpenDataFile("table\\vars.inf", "rb");
    if (!f) return "";
    std::string line;
    int number = 1, c;
    while ((c = fgetc(f)) != EOF && number <= variable) {
        if (c == '\n') {
            number++;
            continue;
        }
        if (number == variable) line += (char)c;
    }
    fclose(f);
    size_t cr = line.find('\r');
    if (cr != std::string::npos) line.resize(cr);
    return line;
}

std::vector<std::string> ColumnHeaderWords(int variable) {
    std::string text = RawVariableLine(variable);
    for (char& c : text)
        if (c == '\t' || c == '\b') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    std::vector<std::string> words;
    size_t at = text.find_first_not_of(' ');
    while (at != std::string::npos && at < text.size() && words.size() < 3) {
        size_t end = text.find(' ', at);
        std::string word = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        std::replace(word.begin(), word.end(), '_', ' ');
        if (!word.empty()) words.push_back(word);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return words;
}

static std::string ColumnName(int variable) {
    std::string name;
    for (const std::string& w : ColumnHeaderWords(variable)) name += (name.empty() ? "" : " ") + w;
    return name;
}

// [SECTION] Layout

static FontSpec TableFont(int dpi) {
    FontSpec f;
    f.family = "Arial";
    f.points = 9;
    f.dpi = dpi;
    return f;
}

TableLayout LayoutTable(Surface* s, const Rect& area, const std::vector<std::string>& names) {
    TableLayout t{};
    Point x = TextExtent(s, "X");
    t.x = x.x;
    t.h = x.y;
    for (const std::string& n : names) t.nameWidth = std::max(t.nameWidth, TextExtent(s, n.c_str()).x);
    int width = area.right - area.left;
    int start = area.left + t.nameWidth + 2 * t.x;
    int widest = TextExtent(s, " XXX.XXX Milliarden ").x;
    for (int k = 0; k < statSelection.variableCount && k < 4; k++) {
        int w = std::max((width - 2 * t.x - t.nameWidth) / 5, widest);
        for (const std::string& word : ColumnHeaderWords(statSelection.variables[k] + 1))
            w = std::max(w, TextExtent(s, word.c_str()).x);
        if (start + w + 2 * t.x > area.right) break;
        t.columnStart[k] = start;
        t.columnWidth[k] = w;
        t.columns = k + 1;
        start += w + 2 * t.x;
    }
    return t;
}

// [SECTION] Clipboard text

std::string TableClipboardText(const std::vector<std::string>& names, const int* variables, int columns,
                               const std::vector<std::vector<float>>& values) {
    std::string text = "Country";
    for (int k = 0; k < columns; k++) text += "\t" + ColumnName(variables[k]);
    text += "\n";
    char field[64];
    for (size_t i = 0; i < names.size(); i++) {
        text += names[i];
        for (int k = 0; k < columns; k++) {
            float v = values[(size_t)k][i];
            const StatVariable* info = StatVariableInfo(variables[k]);
            if (v + 1.0f < 0.001f && v + 1.0f > -0.001f) snprintf(field, sizeof field, "\t");
            else snprintf(field, sizeof field, info && info->decimals ? "\t%.1f" : "\t%.0f", (double)v);
            text += field;
        }
        text += "\n";
    }
    return text;
}

// Through a scratch file, as the clipboard has always been filled here; the file goes again.
static void ExportToClipboard(const std::string& text) {
    std::string path = TempPath("clpboard.tmp");
    FILE* f = OpenFile(path.c_str(), "wb");
    if (!f) return;
    int written = fwrite(text.data(), 1, text.size(), f) == text.size();
    written = fclose(f) == 0 && written;
    std::vector<uint8_t> bytes;
    if (written && ReadWholeFile(path.c_str(), &bytes, text.size() + 1))
        SetClipboardText(std::string(bytes.begin(), bytes.end()));
    RemoveFile(path.c_str());
}

// [SECTION] Drawing

// The table's columns for a page: the values of every table variable over the selection.
struct TableData {
    std::vector<std::string> names;
    int variables[4] = {};
    std::vector<std::vector<float>> values;
};

static int ReadTableData(TableData* d) {
    if (statSelection.countryCount <= 0 || statSelection.variableCount <= 0) return 0;
    if (!ReadSelectionNames(&d->names)) return 0;
    for (int k = 0; k < statSelection.variableCount && k < 4; k++) {
        d->variables[k] = statSelection.variables[k] + 1;
        float min = 1e8f, max = -1e8f;
        if (!ReadVariableRange(d->variables[k], &min, &max)) return 0;
        std::vector<float> column;
        for (int i = 0; i < statSelection.countryCount; i++) {
            int record = statSelection.countries[i] - 1;
            column.push_back(record >= 0 && record < kCountryRecords ? countryValues[record] : kStatNotAvailable);
        }
        d->values.push_back(column);
    }
    return 1;
}

// Draws the table over an area of a surface from a country offset in the surface's current
// pen and text colour; returns the rows drawn and the columns that fit.
static int DrawTableRows(Surface* w, const Rect& area, const TableData& d, int first, int dpi, TableLayout* layout) {
    SetFont(w, TableFont(dpi));
    SetBackgroundMode(w, BK_TRANSPARENT);
    TableLayout t = LayoutTable(w, area, d.names);
    int divider = area.left + t.nameWidth + 2 * t.x;
    MoveTo(w, divider, area.top);
    LineTo(w, divider, area.bottom);
    MoveTo(w, area.left, area.top + 3 * t.h);
    LineTo(w, area.right, area.top + 3 * t.h);
    for (int k = 0; k < t.columns; k++) {
        int start = t.columnStart[k];
        MoveTo(w, start, area.top);
        LineTo(w, start, area.bottom);
        std::vector<std::string> words = ColumnHeaderWords(d.variables[k]);
        SetTextAlign(w, TA_CENTER | TA_TOP);
        for (size_t j = 0; j < words.size(); j++) {
            int line = 3 - (int)words.size() + (int)j;
            TextOut(w, start + t.columnWidth[k] / 2 + t.x, area.top + line * t.h, words[j].c_str());
        }
    }
    SetTextAlign(w, TA_LEFT | TA_TOP);
    TextOut(w, area.left + t.x, area.top + 2 * t.h, "Country");
    int rows = 0, i = first;
    for (int y = area.top + 3 * t.h; i < statSelection.countryCount && y < area.bottom - t.h; i++, y += t.h, rows++) {
        SetTextAlign(w, TA_LEFT | TA_TOP);
        TextOut(w, area.left + t.x, y, d.names[(size_t)i].c_str());
        SetTextAlign(w, TA_CENTER | TA_TOP);
        for (int k = 0; k < t.columns; k++)
            TextOut(w, t.columnStart[k] + t.columnWidth[k] / 2, y,
                    FormatStatValue(d.values[(size_t)k][(size_t)i], d.variables[k]).c_str());
    }
    *layout = t;
    return rows;
}

int DrawStatisticsTable() {
    Surface* w = WindowSurface();
    TableData d;
    if (!w || !ReadTableData(&d)) return 0;
    Rect area = mapRect;
    DrawState saved = GetDrawState(w);
    FillRect(w, area, MakeColour(40, 80, 87));
    ColourRef ink = MakeColour(255, 255, 0);
    SetTextColour(w, ink);
    SetPen(w, PEN_SOLID, 1, ink);
    int first = statTablePages.start[statTablePages.page];
    if (first < 0) first = 0;
    TableLayout t;
    int rows = DrawTableRows(w, area, d, first, ScreenLogicalDpi(), &t);
    SetDrawState(w, saved);
    int result = first + rows >= statSelection.countryCount ? 0 : rows;
    if (result && statTablePages.page < 19) statTablePages.start[statTablePages.page + 1] = first + rows;
    if (hbmVirtual) Blit(hbmVirtual, area.left, area.top, area.right - area.left, area.bottom - area.top, w, area.left, area.top);
    ExportToClipboard(TableClipboardText(d.names, d.variables, t.columns, d.values));
    return result;
}

// Each page a print job of its own, in black over the whole printable area, until every
// country of the selection has been printed.
int PrintTableOn(Surface* printer) {
    TableData d;
    if (!printer || !ReadTableData(&d)) return 0;
    int dpiX, dpiY;
    SurfaceResolution(printer, &dpiX, &dpiY);
    Rect area{0, 0, SurfaceWidth(printer), SurfaceHeight(printer)};
    int jobs = 0;
    for (int first = 0; first < statSelection.countryCount;) {
        if (!StartDocument(printer, "Mundora")) break;
        if (!StartPage(printer)) {
            EndDocument(printer);
            break;
        }
        SetTextColour(printer, MakeColour(0, 0, 0));
        SetPen(printer, PEN_SOLID, 1, MakeColour(0, 0, 0));
        TableLayout t;
        int rows = DrawTableRows(printer, area, d, first, dpiY, &t);
        EndPage(printer);
        EndDocument(printer);
        jobs++;
        if (rows <= 0) break;  // a page too small for one row would never end
        first += rows;
    }
    return jobs;
}

int PrintStatisticsTable() {
    Surface* printer = ShowPrintDialog();
    if (!printer) return 0;
    int previous = SetCursorShape(CURSOR_WAIT);
    int jobs = PrintTableOn(printer);
    SetCursorShape(previous);
    DeleteSurface(printer);
    return jobs > 0;
}

void StepTablePage(int delta) {
    int page = statTablePages.page + delta;
    if (page < 0) {
        Beep();
        page = 0;
    } else if (page > 19) {
        Beep();
        page = 19;
    } else if (page >= 1 && statTablePages.start[page] < 0) {
        Beep();
        page--;
    }
    statTablePages.page = page;
    DrawStatisticsTable();
}
