// The manual step's checks of a page in the viewer's mark-up: every text line must fit the text
// area the viewer draws it in, measured with the same font the viewer uses (Liberation Sans,
// the metric twin of Arial, at the viewer's pixel sizes).
#pragma once

#include <string>
#include <vector>

// The text area a page is drawn in, in window pixels: a line of text starts at left and must
// end by right; a caption is drawn at its own x and must stay between the two as well.
struct ManualTextArea {
    int left, right;
};

// The manual's own screen for the help pages, the room's information pages (about.txt and
// pelandor.txt, shown in the room and from the map), and the product pages' panel.
ManualTextArea ManualAreaFor(const char* fileName);

// Width in pixels of one text line of a page as the viewer lays it out: segments, font tags,
// link texts; *font carries the font selected at the end of the line into the next one (0 the
// body, 1 to 3 the headings). A caption line gives its right end less the area's left.
int ManualLineWidth(const std::string& line, int* font);

// Checks every line of a page: width, at most 194 characters, at most 30 segments, link
// targets of at most 78 characters. Appends "file:line: what" for each fault; returns the
// number of faults.
int CheckManualPage(const char* fileName, const std::string& text, std::vector<std::string>* faults);

// Words wrapped into lines that fit width pixels, in the body font or heading font 1 to 3, and
// hold at most maxChars characters; a word longer than a line is cut.
std::vector<std::string> WrapManualText(const std::string& text, int width, int headingFont = 0, int maxChars = 194);
