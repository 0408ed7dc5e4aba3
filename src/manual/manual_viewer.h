// The manual viewer's state, shared by its loop, its search and its tests: the open text,
// the page-start table, the return and index files and the page shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "manual/manual_page.h"

constexpr int kManualMaxPages = 99;
constexpr int kManualSearchMax = 25;

struct ManualViewer {
    std::vector<uint8_t> text;           // the open file
    std::string file, returnFile, indexFile;
    int page;                            // shown now
    int pageCount;                       // 99 until the end of the text has been met
    size_t pageStart[kManualMaxPages + 1];
    char search[kManualSearchMax + 1];   // upper case; empty when none
    int video;                           // the playing clip's device, 0 none
    ManualPage shown;                    // links and video box of the page shown
    int ended, result;
    int* valueOut1;
    int* valueOut2;
};
extern ManualViewer manualViewer;

// The text area of a screen mode: the viewer's own screen (6), the product pages (9-11) or
// an information page drawn over another screen.
Rect ManualTextArea(int mode);
// Reads a text into the viewer (data root first, then the name as given) and shows its first
// page; "Cannot open file %s" and 0 when it cannot be read.
int OpenManualText(const char* file);
// Shows a page: the video closed, the text area restored from hbmVirtual, the page drawn from
// its start, the next page's start recorded (the page count fixed at the end of the text) and
// the page's video started. Returns the renderer's result.
int ShowManualPage(int page);
// A paint message while the viewer runs: the area from hbmVirtual, the buttons and the page.
void PaintManualScreen(const Rect& area);
// Button 86: asks for a text and shows the first page, from page 0 on, that holds it.
void SearchManualText();

// [SECTION] Backdrop (manual_backdrop.cpp)

// A rectangle of the 800x600 design in the current layout: in the 640x480 layout each
// coordinate is held to the 800x600 screen, scaled by 0.8, truncated and held to 640x480.
Rect ManualDimRect(const Rect& r, int small);
// Greys out the pixels (0xFFRRGGBB) of r: red, green and blue each become (r + g + b) / 6.
void DimPixels(uint32_t* pixels, int stride, int width, int height, const Rect& r);
