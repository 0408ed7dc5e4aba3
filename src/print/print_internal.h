// Shared between the files of the print folder: the page fonts and the 2D map's part of a page.
#pragma once

#include <string>

#include "print/print.h"

struct PageFonts {
    FontSpec f7, f14, f9;
    int h7, h14, h9;      // heights of "This is a test: jgXIi" in each
};
FontSpec PageFont(int points, int dpi);
// The three fonts at the page's vertical resolution; 0 after "Failed to create Font".
int MeasurePageFonts(Surface* page, PageFonts* fonts);
int CurrentYear();
void DrawPageText(Surface* page, const FontSpec& font, int align, int x, int y, const std::string& text, ColourRef colour);
// The window capture (fromWindow, or hbmVirtual) as an 800 x 600 surface, 0 after a message.
Surface* CaptureAsSurface(int fromWindow, int invert);

// [SECTION] The 2D map on paper (map_page.cpp)

// Widens or narrows the window at the current depth about its centre so that an image
// imageWidth printer pixels wide shows it at the screen's scale; with imagery the map is
// composed again for it (its cache discarded) into hbmVirtual.
void KeepScreenScale(int imageWidth, int dpiX);
// Puts the saved window back and, with imagery, composes the map again.
void RestoreScreenWindow(const MapWindow& saved);
// The map re-rendered into the image area: the captured background (with imagery on) or white,
// then the vector layers at the line thickness and the place names, at printer resolution.
int DrawRenderedMap(Surface* page, const PageLayout& l, const Surface* capture, const Rect& source, int dpi);
// Imagery credit, scale, surface area, scale bar and layer legend.
void DrawMapNotes(Surface* page, const PageFonts& f, const PageLayout& l, int dpiX, int dpiY);
