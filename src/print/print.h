// Printing and export of the current view: the print options kept between prints and their
// dialog, the page layout (title, framed image, notice, and on the 2D map the scale, surface
// area, scale bar, imagery credit and layer legend), and the printer and file targets.
#pragma once

#include <string>
#include <vector>

#include "map2d/map2d.h"
#include "platform/platform.h"

// [SECTION] Options (print_options.cpp)

constexpr int kPrintTitleMax = 110;
constexpr int kMaxLineThickness = 50;

struct PrintOptions {
    std::string title = "Mundora";
    int vectors = 1;          // render vectors on top of the image
    int thickness = 1;        // line thickness, 1..50
    int invert = 0;           // pure black printed as white
    int copyFromScreen = 0;
    int imagery = 1;          // draw background imagery
    int entireScreen = 0;
    int sameScale = 0;        // 0 same surface area, 1 same map scale; chosen anew every time
};
extern PrintOptions printOptions;
// Back to the initial options (tests).
void ResetPrintOptions();

// Dialog item ids.
enum : int {
    kPrintTitleEdit = 1201, kPrintVectorsBox = 1202, kPrintThicknessEdit = 1203, kPrintInvertBox = 1204,
    kPrintCopyBox = 1205, kPrintImageryBox = 1206, kPrintEntireBox = 1207, kPrintSameAreaRadio = 1208,
    kPrintSameScaleRadio = 1209, kPrintSetupButton = 1210, kPrintMapGroup = 1211, kPrintThicknessLabel = 1212,
};
// The print-options dialog; onMap: called from the 2D map, whose options are then enabled.
// 1 accepted; 0 cancelled, with the title and every option put back as they were.
int PrintOptionsDialog(int onMap);

// [SECTION] Page layout (page_layout.cpp): pure arithmetic, every length in printer pixels

struct PageLayout {
    int imageX, imageY, imageWidth, imageHeight;
    int available;            // the height left for the image under the title, above the notes
};
// P x Q page, the heights of the test text in the 7, 14 and 9 point fonts, the source size.
PageLayout LayoutPage(int pageWidth, int pageHeight, int h7, int h14, int h9, int sourceWidth, int sourceHeight);
// "1998" up to 1998, else "1998-" and the year.
std::string NoticeYearText(int year);
// The notice's baseline-free anchor: its bottom edge sits at this y.
int NoticeBottom(const PageLayout& layout, int pageWidth, int pageHeight, int h7);
// Metres across a printed image imageWidth pixels wide at dpi.
double PrintedWidthMetres(int imageWidth, int dpi);
// The scale denominator of a window groundMetres wide printed imageWidth pixels wide.
double PaperScale(double groundMetres, int imageWidth, int dpi);
// "Scale = 1:1,234,567 " of that scale.
std::string PaperScaleText(double groundMetres, int imageWidth, int dpi);
// f = w x S / G: the factor that keeps the screen's scale S on paper.
double SameScaleFactor(int imageWidth, int dpi, double screenScale, double groundMetres);
// Both spans multiplied by f about the window's centre.
MapWindow ScaleWindowAboutCentre(const MapWindow& w, double f);

struct LegendSlot {
    int x1, x2, y;            // the sample line
    int textX;                // the description, vertically centred on y
};
// The legend's rows in the box: the first at top + xHeight / 2, rows a description height
// apart, a new column when the next row would reach the box bottom minus that height.
std::vector<LegendSlot> LayoutLegend(const Rect& box, int imageWidth, int xWidth, int xHeight,
                                     const std::vector<Point>& descriptionSizes);

// [SECTION] Printing (print_view.cpp, map_page.cpp)

// The 2D map's print button: options dialog (vectors off at depth 0 first), printer choice,
// one page of the map area. 1 printed.
int PrintCurrentView(const Rect& source, const char* title);
// Every other screen's print button: a copy of the screen area. 1 printed.
int PrintScreenImage(const Rect& source, const char* title);
// The title of a 2D map print: the name of the background ("Satellite Imagery", ...).
const char* MapPrintTitle(int background);
// The print dialog; a printer page, or 0 when none was chosen.
Surface* PickPrinter();
void PrinterSetup();

// Export, beyond the original design: the same page written straight to a PDF or a PNG file
// (an A4 page at 300 dpi) chosen in a save-file dialog, with the options as they stand.
int ExportCurrentView(const Rect& source, const char* title);
int ExportScreenImage(const Rect& source, const char* title);
// The page of a view drawn onto any page surface (printer, PDF or image); 1 on success.
int DrawViewPage(Surface* page, const Rect& source, int onMap);
constexpr int kExportDpi = 300;
