// The manual's page renderer, for the viewer and its tests: fonts, the link table and the
// video box one page leaves behind, and the drawing of one page from a position in the text.
#pragma once

#include "manual/manual_markup.h"
#include "platform/platform.h"

// The link kinds of the link table.
enum : int { kLinkWeb = 1, kLinkMap = 2, kLinkFile = 3, kLinkValue = 4 };
constexpr int kManualMaxLinks = 50;

struct ManualLink {
    int kind;
    double numbers[4];                   // map link: west, north, south, east
    char target[kManualTargetMax + 1];
    Rect hot;                            // the shown text: its left, baseline - height, its width, baseline
};

struct ManualFonts {
    FontSpec caption, heading[3], body, link;
};
// The fonts of the 800x600 or the 640x480 layout at the screen's vertical resolution.
void ManualPageFonts(int small, ManualFonts* out);
// The fonts of a printed page: 20 (caption), 16, 13, 11 (headings) and 7 points (body and
// links) at the printer's vertical resolution.
void ManualPrintFonts(int dpi, ManualFonts* out);
// The height of "This is a test" in the body font, plus 3.
int ManualLineStep(Surface* s, const ManualFonts& fonts);

// Where a page is drawn and what it holds once drawn.
struct ManualPage {
    Rect area;                           // the text area: text from left + 10, top + 20 to bottom - 20
    ManualFonts fonts;
    int lineStep;
    const char* search;                  // upper case, or empty: no highlighting
    ManualLink links[kManualMaxLinks];
    int nLinks;
    int hasVideo;
    Rect videoBox;
    char videoFile[kManualLineBuffer];
    int matchFound;
    // Paper: every text in black, and the placed captions and pictures at positions (and
    // pictures at sizes) of the screen multiplied by placeScale. Zero on screen.
    int black;
    double placeScale;
};

// Draws one page from the cursor's position onto s, clipped to the text area (the clip is
// cleared afterwards), and fills the page's links and video box. 1 when text remains after
// the page, 0 when the end of the text was met.
int RenderManualPage(Surface* s, ByteCursor& cursor, ManualPage* page);
// The link under a point, or -1.
int ManualLinkAt(const ManualPage& page, int x, int y);
