// What the globe screen's own files share: the loop's state, the commands of its buttons and
// keys, and its legend. Other folders use globe.h.
#pragma once

#include <string>

#include "globe/globe.h"

// [SECTION] The loop (globe_screen.cpp)

struct GlobeScreenState {
    int framesReady;     // the buffers exist: frames can be drawn
    int redrawAsked;     // something changed: draw a frame even when nothing turns
    int leaveCode;       // -1 while the screen runs, then the code it returns
    int handCursor;      // the pointer shows the hand
    int monthFrames;     // animated frames left before the overlay's next month
};
// An animated overlay shows each month for this many frames.
constexpr int kFramesPerMonth = 10;
extern GlobeScreenState globeScreen;

// The dial's tilt for a bearing in degrees (0 straight up, clockwise).
int TiltForBearing(double bearing);
// A click in the dial at (x, y): the new tilt, or -1 for the dial's centre.
int DialTiltAt(int x, int y);
// Whether frames follow one another without input: the globe turns or an overlay animates.
int GlobeAnimating();
// Repaints an area from hbmVirtual with the panel, units switch and legend; a frame follows.
void PaintGlobeScreen(const Rect& area);
// A message taken from the queue while the screen runs.
void HandleGlobeMessage(const Message& m);
// One step of the animation (month, centre longitude) and a frame when one is due.
void GlobeFrameStep();

// [SECTION] Commands (globe_commands.cpp)

// "globe\2160n.sha" while names are shown, else "globe\2160.sha".
const char* GlobeShadingFile();
// Layers and palette for an image type; load reads the files again, else only the palette is
// rebuilt. An overlay's palette and current month follow for type 4.
void LoadGlobeImageType(int imageType, int load, int overlayFloor);
// Size and tilt changes clear the picture and load the matching filter.
void SetGlobeSizeAndTilt(int size, int tilt);
// A button of the panel; leaves the screen by setting globeScreen.leaveCode.
void GlobeButton(int id);
// The screen's print button (toFile 0) or its export to a file (1).
void PrintGlobeView(int toFile);
// Key-down and character messages.
void GlobeKeyDown(uint32_t key);
// Beyond the original design: wheel turns (kWheelDelta a notch) step the globe's size.
void GlobeWheel(int delta);
void GlobeCharacter(uint32_t c);
// A confirmed entry of the data-type chooser.
void ApplyGlobeDataEntry(int entry);
// Whether the volume holds any month of an overlay.
int OverlayDataPresent(int overlay);

// [SECTION] Legend (globe_legend.cpp)

// The legend's value range in tenths for an overlay (kOverlayNone: the elevation markers).
void GlobeLegendRange(int overlay, int* low, int* high);
// "<dataRoot>\scales\globe%d.sca" for an overlay; the elevation scale for none.
std::string GlobeLegendScalePath(int overlay);
// The legend box of the globe's panel.
Rect GlobeLegendBox();
// Draws the legend on the window for the current image type and overlay.
void DrawGlobeLegend();
// The legend's elevation range while the screen runs, and the one before it restored.
void EnterGlobeLegendRange();
void RestoreGlobeLegendRange();
