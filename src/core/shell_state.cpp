// The state start-up establishes and every screen reads: the screen mode, the label
// switches of "names.dat", the off-screen image of the window and the generic font.
#include "core/core.h"

int screenMode;
uint8_t labelSwitches[8];
Surface* hbmVirtual;
FontSpec fhGeneric;
int fhGenericCreated;

void ResetCoreState() {
    screenMode = 0;
    for (int i = 0; i < 8; i++) labelSwitches[i] = 0;
    namesOn3D = helpPromptsOn = imperialUnits = 0;
    gammaTable.enabled = 0;
    soundsFailedThisRun = 0;
}
