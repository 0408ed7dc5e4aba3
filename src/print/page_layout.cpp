// The arithmetic of a printed page, kept apart from drawing so that it can be checked by hand:
// where the image goes, where the notice sits, the scale of the image on paper, the factor
// that keeps the screen's scale, and the rows and columns of the layer legend.
#include <algorithm>
#include <cstdio>

#include "print/print.h"

PageLayout LayoutPage(int P, int Q, int h7, int h14, int h9, int sourceWidth, int sourceHeight) {
    PageLayout l{};
    l.imageX = 0;
    l.imageY = (int)(1.1 * h14);
    l.imageWidth = P;
    l.imageHeight = sourceWidth > 0 ? (int)((double)sourceHeight / sourceWidth * P) : 0;
    l.available = Q - (int)(1.1 * h7) - (int)(1.1 * h14) - (int)(1.1 * h9);
    if (l.imageHeight > l.available && sourceHeight > 0) {
        l.imageHeight = l.available;
        l.imageWidth = (int)((double)sourceWidth / sourceHeight * l.imageHeight);
        l.imageX = (P - l.imageWidth) / 2;
    }
    return l;
}

std::string NoticeYearText(int year) {
    if (year <= 1998) return "1998";
    char text[16];
    snprintf(text, sizeof text, "1998-%d", year);
    return text;
}

// A landscape page has no room under the notes, so the notice sits on the very bottom.
int NoticeBottom(const PageLayout& layout, int pageWidth, int pageHeight, int h7) {
    return layout.available <= pageWidth ? pageHeight : pageHeight - h7;
}

double PrintedWidthMetres(int imageWidth, int dpi) { return dpi > 0 ? (double)imageWidth / dpi * 0.0254 : 0.0; }

double PaperScale(double groundMetres, int imageWidth, int dpi) {
    double w = PrintedWidthMetres(imageWidth, dpi);
    return w > 0 ? groundMetres / w : 0.0;
}

std::string PaperScaleText(double groundMetres, int imageWidth, int dpi) {
    return "Scale = 1:" + formatGrouped((double)(long long)PaperScale(groundMetres, imageWidth, dpi), 0) + " ";
}

double SameScaleFactor(int imageWidth, int dpi, double screenScale, double groundMetres) {
    return groundMetres > 0 ? PrintedWidthMetres(imageWidth, dpi) * screenScale / groundMetres : 1.0;
}

MapWindow ScaleWindowAboutCentre(const MapWindow& w, double f) {
    double cx = (w.west + w.east) / 2.0, cy = (w.south + w.north) / 2.0;
    double halfLon = (w.east - w.west) / 2.0 * f, halfLat = (w.north - w.south) / 2.0 * f;
    return MapWindow{cx - halfLon, cx + halfLon, cy - halfLat, cy + halfLat};
}

// A new column moves right past the sample line, the gap and the widest description, so that
// its lines start clear of the texts of the column before.
std::vector<LegendSlot> LayoutLegend(const Rect& box, int imageWidth, int X, int xHeight,
                                     const std::vector<Point>& sizes) {
    std::vector<LegendSlot> slots;
    int step = 0, widest = 0;
    for (const Point& p : sizes) {
        step = std::max(step, p.y);
        widest = std::max(widest, p.x);
    }
    int sample = imageWidth / 20;
    int firstY = box.top + xHeight / 2;
    int x1 = box.left + X, y = firstY;
    for (size_t i = 0; i < sizes.size(); i++) {
        if (i > 0) {
            y += step;
            if (y >= box.bottom - step) {
                y = firstY;
                x1 += sample + X + widest + 2 * X;
            }
        }
        slots.push_back(LegendSlot{x1, x1 + sample, y, x1 + sample + X});
    }
    return slots;
}
