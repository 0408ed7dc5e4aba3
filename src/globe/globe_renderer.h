// What the renderer's own files share: the buffers, the loaders and the frame tell each other
// when the palette or the whole output image has changed. Not for other folders.
#pragma once

#include "globe/globe.h"

// Rewrites globeInfoHdr from the image sizes and paletteBuf (globe_buffers.cpp).
void SyncGlobeInfoHeader();
// The next frame transfers the whole output image, not only the globe's square (globe_frame.cpp).
void MarkGlobeImageCleared();
// Reads the imagery BMP: palette into paletteBuf, pixels into globeLayerA when loadFlag is
// set (globe_imagery.cpp); layerBytes and layerWidth follow the file. 0 after its message.
int LoadGlobeImagery(const char* name, int loadFlag);
