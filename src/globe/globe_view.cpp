// The state of the globe screen: what it shows and how it turns. Size, tilt, image type and
// flooding start afresh with each visit; the month, the pause, the satellites and the names
// carry over from the previous one.
#include "globe/globe.h"

GlobeView globeView = {
    .size = 2,
    .tilt = 1,
    .centreLongitude = 0.0,
    .rotationSpeed = -1.0,
    .imageType = kGlobeImagery,
    .overlay = kOverlayNone,
    .overlayMonth = 0,
    .overlayFrozen = 0,
    .rotationPaused = 0,
    .satDisplayOn = 0,
    .floodMode = 0,
    .floodLevel = 0,
    .namesShown = 0,
    .overlayTitle = "",
};
