// Reading the manual's mark-up: one line at a time from the text in memory, then the
// caption and picture fields or the segments and tags of a text line. Nothing here draws;
// every read stays inside the line or the text it was given.
#include "manual/manual_markup.h"

#include <cstdlib>
#include <cstring>

// [SECTION] Lines

int ReadManualLine(ByteCursor& cursor, char line[kManualLineBuffer]) {
    line[0] = 0;
    if (CursorLeft(cursor) == 0) return 0;
    int n = 0;
    while (CursorLeft(cursor) > 0) {
        uint8_t c = ReadU8(cursor);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && CursorLeft(cursor) > 0 && *cursor.p == '\n') ReadU8(cursor);
            break;
        }
        line[n++] = c == '\t' ? ' ' : (char)c;
        if (n == kManualLineMax) {
            // A full line: its own end, when it follows at once, goes with it.
            if (CursorLeft(cursor) > 0 && (*cursor.p == '\r' || *cursor.p == '\n')) {
                uint8_t end = ReadU8(cursor);
                if (end == '\r' && CursorLeft(cursor) > 0 && *cursor.p == '\n') ReadU8(cursor);
            }
            break;
        }
    }
    line[n] = 0;
    return 1;
}

int ManualLineKind(const char* line) {
    if (strncmp(line, "{bigtext=", 9) == 0) return kLineCaption;
    if (strncmp(line, "{bitmap=", 8) == 0) return kLinePicture;
    return kLineText;
}

void ParsePlacedLine(const char* line, ManualPlaced* out) {
    out->x = out->y = 0;
    out->text[0] = 0;
    const char* equals = strchr(line, '=');
    if (!equals) return;
    out->x = atoi(equals + 1);
    const char* comma = strchr(line, ',');
    if (comma) out->y = atoi(comma + 1);
    const char* quote = strchr(line, '"');
    if (!quote) return;
    const char* from = quote + 1;
    size_t n = strcspn(from, "\"\r\n}");
    if (n > (size_t)kManualLineMax) n = kManualLineMax;
    memcpy(out->text, from, n);
    out->text[n] = 0;
}

// [SECTION] Segments and tags

int LineHasTags(const char* line) { return strchr(line, '{') || strchr(line, '}'); }

int SplitManualSegments(const char* line, ManualSegment out[kManualMaxSegments]) {
    int count = 0;
    int i = 0;
    int n = (int)strlen(line);
    while (i < n && count < kManualMaxSegments) {
        int end;
        if (line[i] == '{') {
            const char* close = strchr(line + i, '}');
            end = close ? (int)(close - line) + 1 : n;
        } else {
            const char* open = strchr(line + i, '{');
            end = open ? (int)(open - line) : n;
        }
        int length = end - i;
        if (length > 0 && line[end - 1] == '}') length--;
        out[count++] = ManualSegment{i, length};
        i = end;
    }
    return count;
}

// The four comma-separated numbers from the fifth character on, within the segment.
static void ReadFourNumbers(const char* segment, int length, double numbers[4]) {
    char copy[kManualLineBuffer];
    int n = length < kManualLineMax ? length : kManualLineMax;
    memcpy(copy, segment, (size_t)n);
    copy[n] = 0;
    const char* p = n > 4 ? copy + 4 : copy + n;
    for (int i = 0; i < 4; i++) {
        numbers[i] = atof(p);
        const char* comma = strchr(p, ',');
        if (!comma) break;
        p = comma + 1;
    }
}

void ParseManualTag(const char* segment, int length, ManualTag* out) {
    memset(out, 0, sizeof *out);
    out->kind = kTagText;
    if (length < 2 || segment[0] != '{') return;
    char c = segment[1];
    if (c >= '1' && c <= '4') {
        out->kind = kTagFont;
        out->font = c - '0';
        return;
    }
    switch (c) {
    case 'u': out->kind = kTagWebLink; break;
    case 'f': out->kind = kTagFileLink; break;
    case 's': out->kind = kTagValueLink; break;
    case 'z': out->kind = kTagMapLink; break;
    case 'v': out->kind = kTagVideo; break;
    default: return;
    }
    // The target: from the fifth character up to the next double quote, at most 78 characters.
    int i = 4, n = 0;
    while (i < length && segment[i] != '"' && n < kManualTargetMax) out->target[n++] = segment[i++];
    out->target[n] = 0;
    // The shown text (or the video's file): two characters after the first double quote from
    // the fifth character on.
    int quote = -1;
    for (int k = 4; k < length; k++)
        if (segment[k] == '"') {
            quote = k;
            break;
        }
    if (quote >= 0 && quote + 2 <= length) {
        int from = quote + 2, m = 0;
        while (from + m < length && m < kManualLineMax) {
            char ch = segment[from + m];
            if (out->kind == kTagVideo && (ch == '"' || ch == '}')) break;
            out->shown[m] = ch;
            m++;
        }
        out->shown[m] = 0;
    }
    if (out->kind == kTagMapLink || out->kind == kTagVideo) ReadFourNumbers(segment, length, out->numbers);
}

// [SECTION] Matching

unsigned char ManualUpper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return (unsigned char)(c - 32);
    switch (c) {
    case 246: return 214;  // ö
    case 228: return 196;  // ä
    case 252: return 220;  // ü
    case 233: return 201;  // é
    case 232: return 200;  // è
    default: return c;
    }
}

int FindManualMatches(const char* text, int length, const char* search, int positions[], int maxPositions) {
    int n = (int)strlen(search);
    if (n == 0) return 0;
    int found = 0;
    for (int i = 0; i + n <= length; i++) {
        int k = 0;
        while (k < n && ManualUpper((unsigned char)text[i + k]) == (unsigned char)search[k]) k++;
        if (k < n) continue;
        if (found < maxPositions) positions[found] = i;
        found++;
    }
    return found;
}
