// The pointer over a chooser panel: which area lights up under it, which shows pressed, and
// when a press and a release on the same area make a click. Every chooser panel follows its
// pointer through this one routine, so that they all answer the mouse alike.
#include "imaging/imaging.h"

int TrackChooserPointer(ChooserPointer* p, const Message& m, int area) {
    switch (m.kind) {
    case MSG_MOUSEMOVE:
        if (area == p->hover) return kPointerNothing;
        p->hover = area;
        return kPointerRedraw;
    case MSG_LBUTTONDOWN:
        p->pressed = area;
        return area >= 0 ? kPointerRedraw : kPointerNothing;
    case MSG_LBUTTONUP: {
        int pressed = p->pressed;
        p->pressed = -1;
        return pressed >= 0 && area == pressed ? kPointerClicked : kPointerRedraw;
    }
    default: return kPointerNothing;
    }
}
