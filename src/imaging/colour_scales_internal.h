// Shared by the colour-scale files of the imaging core only.
#pragma once

// While the chooser is open, the swatch under consideration stands in for the current
// elevation scale (it may lie beyond the list when the list is short). nullptr ends it.
void PreviewElevationScale(const char* name);
