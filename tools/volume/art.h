// The artwork builder's drawing kit: one palette, one font, panels, buttons and labels, and the
// writer that renders every picture for both screen layouts ("640\" at 0.8 scale).
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <functional>
#include <string>
#include <vector>

#include "volume.h"

// Looks of a control: normal, under the pointer, pressed, and marked as the current choice.
enum ArtState { kArtNormal, kArtRollover, kArtHit, kArtMarked };

namespace art {
// The palette: deep night-blue chrome, slate panels, a teal accent and warm amber highlights.
inline QColor Back() { return QColor(11, 18, 30); }
inline QColor BackLight() { return QColor(22, 34, 52); }
inline QColor Panel() { return QColor(24, 36, 54); }
inline QColor PanelEdge() { return QColor(52, 74, 102); }
inline QColor Well() { return QColor(6, 10, 17); }
inline QColor Text() { return QColor(222, 232, 244); }
inline QColor TextDim() { return QColor(138, 160, 186); }
inline QColor Accent() { return QColor(38, 190, 204); }
inline QColor AccentDeep() { return QColor(18, 120, 138); }
inline QColor Amber() { return QColor(250, 185, 33); }
}  // namespace art

using ArtDraw = std::function<void(QPainter&)>;

// Qt's text drawing needs an application object; the builder makes an offscreen one once.
void EnsureArtApplication();
QFont ArtFont(double pixels, bool bold = false);

// Renders a w x h picture of the 800x600 layout: full size, or scaled by 0.8 (truncated size)
// for the small layout. The painter works in 800x600 units either way.
QImage RenderArt(int w, int h, int small, const ArtDraw& draw);
// The part of a rendered picture at a rectangle of the 800x600 layout, scaled like the picture.
QImage CropArt(const QImage& picture, int small, int x, int y, int w, int h);
// Writes a picture as a 24-bit BMP volume file, under "640\" for the small layout.
int WriteArt(BuildContext& ctx, const char* name, int small, const QImage& image);
// Renders and writes a picture in both layouts.
int WriteArtBoth(BuildContext& ctx, const char* name, int w, int h, const ArtDraw& draw);
// Every bitmap name written so far (without "640\"), for the contact sheet and the checks.
const std::vector<std::string>& ArtWritten();

// [SECTION] Drawing vocabulary
void FillBackdrop(QPainter& p, const QRectF& r);
void DrawPanel(QPainter& p, const QRectF& r, const char* title = nullptr);
void DrawWell(QPainter& p, const QRectF& r, double radius = 3);
void DrawButtonFace(QPainter& p, const QRectF& r, const char* label, ArtState state, double fontPx = 11);
void DrawLabel(QPainter& p, const QRectF& r, const char* text, double px, bool bold, const QColor& colour,
               int flags = Qt::AlignCenter);
// Small vector glyphs used on buttons: "<" ">" "+" "-" arrows, "play", "close", "world" ...
void DrawGlyph(QPainter& p, const QRectF& r, const char* name, const QColor& colour);

// [SECTION] The Earth: equirectangular imagery and an orthographic globe drawn from it.
// Loads the volume's colour overview if it is there, else the recipe's imagery picture.
QImage LoadWorldImagery(BuildContext& ctx);
// A lit globe of the given diameter centred on (lon, lat), transparent outside the disc.
QImage RenderGlobe(const QImage& world, int diameter, double lon, double lat);
// The program's icon: the Earth from the world imagery inside an orbit ring, size x size with
// a transparent surround. WriteProgramIcons writes mundora-48.png, -128 and -256 into dir.
QImage DrawProgramIcon(const QImage& world, int size);
int WriteProgramIcons(BuildContext& ctx, const char* dir);
// A starfield with a faint nebula, deterministic.
void DrawStarfield(QPainter& p, const QRectF& r, unsigned seed);

// [SECTION] Screens (art_screens.cpp, art_room.cpp, art_panels.cpp)
// The background of view mode 3, 4, 5, 7 or 8 with every button of the mode in one state.
void DrawViewScreen(QPainter& p, int mode, ArtState state, int helpOn = 1);
int BuildViewArt(BuildContext& ctx);
int BuildRoomArt(BuildContext& ctx, const QImage& world);
int BuildPanelArt(BuildContext& ctx, const QImage& world);
int BuildTitleArt(BuildContext& ctx, const QImage& world);
int WriteContactSheet(BuildContext& ctx);
void SetArtWorld(const QImage* world);
void DrawUnitsSwitch(QPainter& p, double x, double y, int imperial);
