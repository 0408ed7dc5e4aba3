// The terrain colour table: 256 colours sampled from a scale file (one seek each rather than
// reading its 10,000 colours) into the colour table of the off-screen image's header, where
// the elevation, slope and aspect colourings look them up.
#include "imaging/imaging.h"
#include "terrain/terrain_set.h"

int LoadTerrainColourTable(const char* scalePath) {
    uint8_t* header = terrainBuffers.dtmInfoHdr;
    if (!header) {
        ShowMessage("dtmInfoHdr not allocated yet");
        return 0;
    }
    ColourRef colours[256];
    if (!PaletteFromScale(scalePath, 256, 0, colours)) return 0;
    for (int i = 0; i < 256; i++) {
        uint8_t* e = header + kTerrainInfoHeaderBytes + 4 * i;
        e[0] = (uint8_t)ColourBlue(colours[i]);
        e[1] = (uint8_t)ColourGreen(colours[i]);
        e[2] = (uint8_t)ColourRed(colours[i]);
        e[3] = 0;
    }
    return 1;
}

ColourRef TerrainColourEntry(int i) {
    const uint8_t* header = terrainBuffers.dtmInfoHdr;
    if (!header || i < 0 || i > 255) return 0;
    const uint8_t* e = header + kTerrainInfoHeaderBytes + 4 * i;
    return MakeColour(e[2], e[1], e[0]);
}
