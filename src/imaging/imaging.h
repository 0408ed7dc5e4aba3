// The imaging core: BMP files, window capture and the pixel buffer layer.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

// [SECTION] BMP files

// Loads a 24-bit BMP file of the data volume into a new surface (gamma applied). With the
// 640x480 layout the "640\" variant is tried first. Shows the failure and returns 0.
int LoadBMPFromFile(const char* name, Surface** out);
// Loads a BMP file over hbmVirtual from its top-left corner; the window is not repainted.
int LoadBMPToBackground(const char* name);

// An 8-bit BMP file drawn through the caller's palette; the file's own colour table is not used.
struct Bitmap8 {
    Surface* bitmap = nullptr;
    int width = 0, height = 0;         // heights of top-down files are reported positive
    const uint8_t* pixels = nullptr;   // into loadBuf: rows as stored in the file
    std::vector<uint8_t> loadBuf;      // the file after its 14-byte header; owned by the caller
};
int Load8BitBMP(const ColourRef palette[256], const char* name, Bitmap8* out);
void Release8BitBMP(Bitmap8* b);

// Decodes BMP bytes (a whole file) into rows of 32-bit pixels; no messages, for checks and tests.
// Returns 0 for anything that is not a well-formed 8- or 24-bit BMP.
struct DecodedBmp {
    int width = 0, height = 0, bitCount = 0;
    std::vector<uint32_t> pixels;  // 0xFFRRGGBB, top row first
};
int DecodeBmp(const uint8_t* data, size_t size, DecodedBmp* out);
// Encodes a 24-bit bottom-up BMP file from 0xFFRRGGBB pixels (top row first).
std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels, int width, int height, int stride);

// [SECTION] Window capture

constexpr int kCaptureWidth = 800, kCaptureHeight = 600;
// Captures the window (fromWindow = 1) or hbmVirtual as 800x600 24-bit rows, bottom row first;
// with blackToWhite every pure black pixel becomes white.
int CaptureWindow(int fromWindow, int blackToWhite, std::vector<uint8_t>* out);

// [SECTION] Pixel buffers: palette-indexed off-screen buffers for the flyby

constexpr int kMaxPixelBuffers = 32;
void PbInitialise();
void PbSetSurface(Surface* target);
int PbCreate(int width, int height);           // handle 0..31, or -1 when none is free
int PbActivate(int handle);                    // 0, -1 for a handle above 31, -2 for a free one
void PbOpen();
void PbSetPaletteIndexMode(int on);
uint8_t* PbAddress(int handle);                // 0 for a bad handle
int PbWidth(int handle);
int PbHeight(int handle);
void PbSetClip(int minX, int maxX, int minY, int maxY);
void PbMove(int x, int y);
void PbSetColour(uint8_t index);
void PbPoint(int x, int y);
void PbLineTo(int x, int y);
int PbNearestColour(int red, int green, int blue);
int PbLoadBMP(const char* name, int flags);
void PbGetImage(uint8_t* memory, int width, int height);
void PbPutImage(const uint8_t* memory, int width, int height);
void PbScaleImage(const uint8_t* source, uint8_t* target, int sourceWidth, int sourceHeight, int targetWidth, int targetHeight);
void PbCopyRegion(int fromHandle, int minX, int maxX, int minY, int maxY, int toHandle, int x, int y);
void PbPaste(int minX, int maxX, int minY, int maxY, int x, int y);
void PbSetPalette(const ColourRef palette[256]);
const ColourRef* PbCurrentPalette();
void PbFree(int handle);
void PbDeactivate();
