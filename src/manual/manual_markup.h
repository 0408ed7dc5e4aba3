// The mark-up of the manual's texts, read without drawing anything: lines, caption and
// picture lines, the segments of a text line and the tags that start them. The page
// renderer draws what these return; tests and the fuzz target call them directly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/le_bytes.h"

// [SECTION] Lines

// A line holds at most 194 characters; a longer one goes on as the next line.
constexpr int kManualLineBuffer = 195;
constexpr int kManualLineMax = kManualLineBuffer - 1;

// Reads the next line at the cursor into `line` (NUL-terminated, without its end). A tab
// becomes a space; CR, LF or the pair CR LF ends a line, and an end right after the 194th
// character belongs to that line. 0 when the cursor is at the end of the text.
int ReadManualLine(ByteCursor& cursor, char line[kManualLineBuffer]);

enum : int { kLineText = 0, kLineCaption = 1, kLinePicture = 2 };
int ManualLineKind(const char* line);

// A caption or picture line: "{bigtext=X,Y,"text"}" or "{bitmap=X,Y,"file"}". X is the integer
// right after the equals sign, Y the one after the first comma; the text runs from the first
// double quote to the next double quote, CR, LF or closing brace (empty without a quote).
struct ManualPlaced {
    int x, y;
    char text[kManualLineBuffer];
};
void ParsePlacedLine(const char* line, ManualPlaced* out);

// [SECTION] Segments and tags of a text line

constexpr int kManualMaxSegments = 30;
// A piece of a text line: it starts either with an opening brace and runs to its closing
// brace, or with anything else and runs to the next opening brace. A final closing brace is
// left out of the length.
struct ManualSegment {
    int start, length;
};
// Whether the line holds a brace at all: without one it is drawn as it stands.
int LineHasTags(const char* line);
// Cuts the line into at most 30 segments (the rest of a longer line is dropped); returns how many.
int SplitManualSegments(const char* line, ManualSegment out[kManualMaxSegments]);

enum : int {
    kTagText = 0,       // drawn as it stands in the current font and colour
    kTagFont = 1,       // {1} {2} {3} {4}: a heading font or the body font
    kTagWebLink = 2,    // {u "address" shown text}
    kTagFileLink = 3,   // {f "file" shown text}
    kTagValueLink = 4,  // {s "nn nn" shown text}
    kTagMapLink = 5,    // {z "west,north,south,east" shown text}
    kTagVideo = 6,      // {v "left,top,right,bottom" file}
};
constexpr int kManualTargetMax = 78;

struct ManualTag {
    int kind;
    int font;                            // 1-4 for kTagFont
    char target[kManualTargetMax + 1];   // links: from the fifth character to the next double quote
    char shown[kManualLineBuffer];       // links: the shown text; a video box: its file
    double numbers[4];                   // map link: west, north, south, east; video box: left, top, right, bottom
};
// Reads the tag a segment starts with; segments that are not tags give kTagText.
void ParseManualTag(const char* segment, int length, ManualTag* out);

// [SECTION] Matching for the search

// Upper case as the search sees it: ASCII letters and the accented small letters that have
// a capital in the volume's code page (ö ä ü é è).
unsigned char ManualUpper(unsigned char c);
// Every position of text[0..length) where the whole search text (already in upper case)
// matches, the first maxPositions of them stored in positions; returns how many matched.
int FindManualMatches(const char* text, int length, const char* search, int positions[], int maxPositions);
