// The theme file the builder writes: its text, and the hand-chosen style of each map layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ThemeLayerStyle {
    int on;
    const char* name;          // file stem, or a grid ("~spacing") or tick ("*len  labels spacing") layer
    const char* description;   // at most 43 characters
    int red1, green1, blue1, red2, green2, blue2;
    int lineStyle, width1, width2;
    int32_t scaleA, scaleB;
    int scaleRule;             // 0 always, 1 S < A, 2 S > B, 3 A < S < B
};

// The layer rows of the default theme in drawing order; *count receives how many.
const ThemeLayerStyle* DefaultThemeLayers(int* count);
// The 53-character style block of a row, without its braces.
std::string ThemeStyleBlock(const ThemeLayerStyle& s);
// The rows listed only for layers whose files the volume holds (roads, railways, PO05).
const ThemeLayerStyle* VolumeThemeLayers(int* count);
// The whole of "theme1.dat", lines ended by CR LF, Windows-1252, with the rows of
// VolumeThemeLayers named in `inVolume`.
std::string ThemeFileText(const std::vector<std::string>& inVolume = {});
