// The texts labels show: upper-cased and spaced range names with their turn, peak heights in
// feet under imperial units, and the test that keeps labels of one file from overprinting.
#include <cstdio>
#include <cstdlib>

#include "names/labels.h"
#include "names/names.h"

std::string UpperCaseLabel(const std::string& name) { return UpperCase1252(name); }

std::string SpacedRangeName(const std::string& name) {
    std::string out;
    for (char c : UpperCaseLabel(name)) {
        if (!out.empty()) out += ' ';
        out += c;
    }
    return out;
}

int RangeAngle(int direction) {
    switch (direction) {
    case 0: return 90;
    case 30: return 60;
    case 45: return 45;
    case 60: return 30;
    case 90: return 0;
    case 120: return -30;
    case 135: return -45;
    case 150: return -60;
    case 180: return -90;
    default: return 0;
    }
}

std::string PeakNameInUnits(const std::string& name, int imperial) {
    size_t open = name.find('(');
    if (!imperial || open == std::string::npos) return name;
    double metres = atof(name.c_str() + open + 1);
    char text[64];
    snprintf(text, sizeof text, "(%.0f %s)", metres * 3.280839895013123, "ft");
    return name.substr(0, open) + text;
}

static int BoxesMeet(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

int LabelBoxCovered(const OverlapBoxes* placed, const Rect& box) {
    for (int i = 0; i < placed->count; i++)
        if (BoxesMeet(placed->boxes[i], box)) return 1;
    return 0;
}

int PlaceLabelBox(OverlapBoxes* placed, const Rect& box) {
    if (LabelBoxCovered(placed, box)) return 0;
    if (placed->count < kMaxOverlapBoxes) placed->boxes[placed->count++] = box;
    return 1;
}

int KeepBoxInside(const Rect& area, Rect* box) {
    int w = box->right - box->left, h = box->bottom - box->top;
    if (w > area.right - area.left || h > area.bottom - area.top) return 0;
    int dx = box->left < area.left ? area.left - box->left : box->right > area.right ? area.right - box->right : 0;
    int dy = box->top < area.top ? area.top - box->top : box->bottom > area.bottom ? area.bottom - box->bottom : 0;
    *box = Rect{box->left + dx, box->top + dy, box->right + dx, box->bottom + dy};
    return 1;
}
