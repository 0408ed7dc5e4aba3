// The platform layer: the one window, its message queue, drawing surfaces, message boxes,
// dialogs, cursors, time, clipboard, the browser, files and system facts.
// Everything above this layer speaks this vocabulary and never sees a toolkit type.
// Texts crossing this layer are 8-bit Windows-1252 strings, the encoding the data volume uses.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// [SECTION] Geometry and colour

struct Rect {
    int left, top, right, bottom;  // right and bottom are exclusive
};
struct Point {
    int x, y;
};

// A colour as 0x00BBGGRR, the layout the record files of the volume use.
using ColourRef = uint32_t;
constexpr ColourRef MakeColour(int r, int g, int b) {
    return (ColourRef)((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}
constexpr int ColourRed(ColourRef c) { return c & 255; }
constexpr int ColourGreen(ColourRef c) { return (c >> 8) & 255; }
constexpr int ColourBlue(ColourRef c) { return (c >> 16) & 255; }

// [SECTION] Messages
// Kinds keep their classic numbers so recorded demonstrations carry them unchanged.

enum : uint32_t {
    MSG_NULL = 0x0000,        // does nothing; wakes a loop that waits for the queue
    MSG_CREATE = 0x0001,
    MSG_DESTROY = 0x0002,
    MSG_PAINT = 0x000F,
    MSG_CLOSE = 0x0010,
    MSG_QUERYENDSESSION = 0x0011,
    MSG_QUIT = 0x0012,
    MSG_ENDSESSION = 0x0016,
    MSG_KEYDOWN = 0x0100,
    MSG_KEYUP = 0x0101,
    MSG_CHAR = 0x0102,
    MSG_SYSKEYDOWN = 0x0104,
    MSG_COMMAND = 0x0111,
    MSG_SYSCOMMAND = 0x0112,
    MSG_TIMER = 0x0113,
    MSG_MOUSEMOVE = 0x0200,
    MSG_LBUTTONDOWN = 0x0201,
    MSG_LBUTTONUP = 0x0202,
    MSG_RBUTTONDOWN = 0x0204,
    MSG_RBUTTONUP = 0x0205,
    MSG_MOUSEWHEEL = 0x020A,  // beyond the original design: the wheel, see MessageWheelDelta
    MSG_MCINOTIFY = 0x03B9,
    MSG_COPYDATA = 0x004A,  // a later start handed over a line: TakeInstanceMessage
    MSG_CANCELJOURNAL = 0x004B,  // the user cancelled an input replay with the cancel key
    MSG_USER = 0x0400,
};

// Commands the window's keys post (wParam of MSG_COMMAND), beyond the original design:
// Ctrl+P prints the current screen as its print button does, Ctrl+S exports it to a file.
enum : uint32_t { CMD_PRINT = 40008, CMD_EXPORT = 40009 };

// Modifier bits carried in wParam of mouse messages.
enum : uint32_t { MK_LBUTTON = 1, MK_RBUTTON = 2, MK_SHIFT = 4, MK_CONTROL = 8 };

// System commands (wParam of MSG_SYSCOMMAND).
enum : uint32_t { SC_MINIMIZE = 0xF020, SC_CLOSE = 0xF060, SC_RESTORE = 0xF120 };

// Virtual-key codes (wParam of key messages).
enum : uint32_t {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
    VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
    VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
    VK_DELETE = 0x2E, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_F1 = 0x70, VK_F4 = 0x73, VK_F5 = 0x74, VK_F12 = 0x7B,
    VK_OEM_PLUS = 0xBB, VK_OEM_MINUS = 0xBD,
};

struct Message {
    uint32_t kind = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;   // mouse: x in the low 16 bits, y in the next 16; paint: unused
    uint32_t time = 0;    // tick count when queued
    Rect paintRect{};     // MSG_PAINT: the area to repaint
    int replayed = 0;     // put in the queue by the input replay, not by the user
};

inline int MessageX(const Message& m) { return (int16_t)(m.lParam & 0xFFFF); }
inline int MessageY(const Message& m) { return (int16_t)((m.lParam >> 16) & 0xFFFF); }
// MSG_MOUSEWHEEL: the turn in the high word of wParam (kWheelDelta a notch, positive away from
// the user), the modifier bits in its low word, and the pointer in lParam like other mouse messages.
constexpr int kWheelDelta = 120;
inline int MessageWheelDelta(const Message& m) { return (int16_t)((m.wParam >> 16) & 0xFFFF); }
inline uint64_t MakeWheelParam(int delta, uint32_t keys) { return ((uint64_t)(uint16_t)delta << 16) | (keys & 0xFFFF); }
inline int64_t MakeMouseParam(int x, int y) { return (int64_t)(uint16_t)x | ((int64_t)(uint16_t)y << 16); }

using WindowProc = int64_t (*)(uint32_t kind, uint64_t wParam, int64_t lParam, const Message& msg);

// Sleeps until a message arrives (what was drawn is shown first); returns 0 for MSG_QUIT,
// else 1. Under the test double an empty queue reports a quit unless a window timer runs.
int GetMessage(Message* msg);
// The same with a deadline (a TickCount value, 0 for none): takes the next message and returns
// 1, quit included, or returns 0 once the deadline passes with the queue still empty. Under
// the test double an empty queue gives 0 at once unless a window timer runs.
int GetMessageUntil(Message* msg, uint32_t deadline);
// Lets the toolkit run, then takes (remove = 1) or looks at the first message; 0 when none.
int PeekMessage(Message* msg, int remove);
// The same for the first message whose kind lies in fromKind..toKind, passing over the others.
int PeekMessageInRange(Message* msg, uint32_t fromKind, uint32_t toKind, int remove);
void PostMessage(uint32_t kind, uint64_t wParam, int64_t lParam);
void PostQuitMessage(int exitCode);
int64_t DispatchMessage(const Message& msg);
// Queues a paint message for an area of the window (merged with one already queued).
void InvalidateWindow(const Rect* area);
// Drops every queued message of the kinds from..to inclusive.
void FlushMessages(uint32_t fromKind, uint32_t toKind);

// [SECTION] Input replay and recording
// Recorded input goes back into the same queue the user's input fills, so every loop sees it
// exactly as real input. The source of the events (a record file) lives above this layer.

// One input event as the record files store it: the message kind, two parameters (mouse:
// x and y in window pixels, the wheel's turn in the high word of the first; keys: the
// virtual-key code in the low byte of the first, bit 30 for an auto-repeated key, the
// toolkit's scan code in the second; characters: the code in the first), the time on the
// TickCount clock, and a window field that delivery ignores.
struct JournalEvent {
    uint32_t message = 0, paramL = 0, paramH = 0, time = 0, window = 0;
};

// What the replay calls, always on the interface thread between messages.
struct InputReplaySource {
    // The event to deliver next and the delay in milliseconds before it; 0 when there is none.
    // Asked again only after the program has taken the previous event from the queue and
    // comes back for more, as a program busy with a click holds back the next event.
    int (*nextEvent)(JournalEvent* event, int32_t* delayMs);
    // The program has taken the event handed out last: move on to the next one.
    void (*skip)();
    // A modal dialog or message box opens (1) or closes (0); events are held meanwhile.
    void (*systemModal)(int on);
    // Sees every message the program takes from the queue, replayed or not.
    void (*monitor)(const Message& msg);
};

// Installs the source and asks it for its first event at once. While a replay runs the
// user's mouse and keys are ignored, except the cancel key: Escape held down for a second,
// which stops asking the source and queues MSG_CANCELJOURNAL for the monitor. Replayed mouse
// messages get their MK_ bits from the replayed buttons and Shift and Ctrl keys (the records
// carry no modifier state), and move the real pointer along while the window is active.
int StartInputReplay(const InputReplaySource& source);
// Removes the source and the monitor; does nothing when no replay runs.
void StopInputReplay();
int InputReplayRunning();

// Beyond the original design: records the user's input (mouse, wheel, keys and characters,
// never replayed events) from now on. Pause ends a recording: it is not recorded and calls
// onStopKey, which takes the events with StopInputRecording.
void StartInputRecording(void (*onStopKey)());
std::vector<JournalEvent> StopInputRecording();
int InputRecordingRunning();

// [SECTION] The window

struct WindowOptions {
    const char* title;
    int clientWidth, clientHeight;
    int framed;  // 1: caption and frame with a fixed client size; 0: frameless, maximised
    // Beyond the original design: the window shows each of the program's pixels as a
    // scale x scale block (1 to 3; 0 means 1). The program, its hit tests and its files stay
    // in clientWidth x clientHeight pixels: pointer positions arrive divided back.
    int scale = 1;
};
// The screen that holds the pointer, as the window's scale is chosen from it: every size in
// device pixels.
struct ScreenScaleFacts {
    double devicePixelRatio = 1.0;
    int screenWidth = 0, screenHeight = 0;
    int availableWidth = 0, availableHeight = 0;  // without the desktop's panels
    int frameWidth = 0, frameHeight = 0;          // what a window's frame and caption add
};
ScreenScaleFacts ScreenFactsForScaling();
// Full screen (F11 switches it, beyond the original design): the window's image centred on
// black, at the same scale.
void SetFullScreen(int on);
int IsFullScreen();
int CreateMainWindow(const WindowOptions& options, WindowProc proc);
void DestroyMainWindow();
int MainWindowExists();
void ShowMainWindow();
void MinimiseMainWindow();
void RaiseMainWindow();
// Timers post MSG_TIMER with the id in wParam.
void SetWindowTimer(int id, int milliseconds);
void KillWindowTimer(int id);

// [SECTION] Surfaces: an image plus drawing state

struct Surface;

enum PenStyle { PEN_SOLID = 0, PEN_DASH = 1, PEN_DOT = 2, PEN_DASHDOTDOT = 3, PEN_DASHDOT = 4, PEN_NULL = 5 };
enum BrushKind { BRUSH_SOLID = 0, BRUSH_HATCHED = 1, BRUSH_NULL = 2 };
enum HatchStyle { HATCH_HORIZONTAL = 0, HATCH_VERTICAL = 1, HATCH_FDIAGONAL = 2, HATCH_BDIAGONAL = 3, HATCH_CROSS = 4, HATCH_DIAGCROSS = 5 };
enum RasterOp { ROP_COPY = 0, ROP_XOR = 1, ROP_INVERT = 2 };
enum BackgroundMode { BK_TRANSPARENT = 1, BK_OPAQUE = 2 };
// Text alignment: one horizontal and one vertical flag.
enum : int { TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24 };

struct FontSpec {
    std::string family = "Arial";
    int points = 8;         // at `dpi` dots per inch; the pixel height is points * dpi / 72, rounded
    int dpi = 96;
    int pixelHeight = 0;    // when non-zero, used instead of points
    int weight = 400;       // 400 normal, 700 bold
    int italic = 0;
    int underline = 0;
    int escapement = 0;     // text angle in tenths of a degree, counter-clockwise
};

struct DrawState {
    int penStyle = PEN_SOLID;
    int penWidth = 1;
    ColourRef penColour = 0;
    int brushKind = BRUSH_SOLID;
    int hatch = HATCH_CROSS;
    ColourRef brushColour = MakeColour(255, 255, 255);
    int rop = ROP_COPY;
    ColourRef textColour = 0;
    ColourRef backgroundColour = MakeColour(255, 255, 255);
    int backgroundMode = BK_OPAQUE;
    int textAlign = TA_LEFT | TA_TOP;
    FontSpec font;
    Point current{0, 0};
};

Surface* CreateSurface(int width, int height);  // cleared to black; 0 when memory runs out
void DeleteSurface(Surface* s);
int SurfaceWidth(const Surface* s);
int SurfaceHeight(const Surface* s);
// Direct pixel access: 32 bits a pixel as 0xFFRRGGBB, rows top first.
uint32_t* SurfacePixels(Surface* s);
int SurfaceStride(const Surface* s);  // in pixels
// The visible window image. Drawing into it shows on screen.
Surface* WindowSurface();

DrawState GetDrawState(const Surface* s);
void SetDrawState(Surface* s, const DrawState& state);
void SetPen(Surface* s, int style, int width, ColourRef colour);
void SetSolidBrush(Surface* s, ColourRef colour);
void SetHatchBrush(Surface* s, int hatch, ColourRef colour);
void SetNullBrush(Surface* s);
void SetRasterOp(Surface* s, int rop);
void SetTextColour(Surface* s, ColourRef colour);
void SetBackgroundColour(Surface* s, ColourRef colour);
void SetBackgroundMode(Surface* s, int mode);
void SetTextAlign(Surface* s, int align);
void SetFont(Surface* s, const FontSpec& font);
// Clipping: a rectangle, a polygonal region, or none.
void SetClipRect(Surface* s, const Rect& r);
void ClearClip(Surface* s);

void MoveTo(Surface* s, int x, int y);
void LineTo(Surface* s, int x, int y);
void Polyline(Surface* s, const Point* points, int count);
void PolygonShape(Surface* s, const Point* points, int count);  // outline with the pen, filled with the brush
void RectangleShape(Surface* s, int left, int top, int right, int bottom);
void EllipseShape(Surface* s, int left, int top, int right, int bottom);
void FillRect(Surface* s, const Rect& r, ColourRef colour);
void SetPixel(Surface* s, int x, int y, ColourRef colour);
ColourRef GetPixel(const Surface* s, int x, int y);
// Text at (x, y) by the alignment flags; the font's escapement rotates it.
void TextOut(Surface* s, int x, int y, const char* text, int length = -1);
// Width and height in pixels of a text in the current font.
Point TextExtent(Surface* s, const char* text, int length = -1);
int FontAscent(Surface* s);
// Copies a w x h block from src (sx, sy) to dst (x, y) with the surface's raster operation.
void Blit(Surface* dst, int x, int y, int w, int h, const Surface* src, int sx, int sy, int rop = ROP_COPY);
// Draws an 8-bit image (row-major, `stride` bytes a row, top row first) through a palette
// of 256 colours.
void DrawPaletteImage(Surface* dst, int x, int y, const uint8_t* pixels, int w, int h, int stride,
                      const ColourRef* palette);
// Draws 24-bit pixels in blue-green-red order, `stride` bytes a row, top row first.
void DrawBgrImage(Surface* dst, int x, int y, const uint8_t* pixels, int w, int h, int stride);
// Stretches the sw x sh block of src at (sx, sy) over w x h pixels of dst at (x, y), smoothly.
void StretchBlit(Surface* dst, int x, int y, int w, int h, const Surface* src, int sx, int sy, int sw, int sh);
// Saves the surface as a PNG file carrying the surface's resolution; 1 on success.
int SaveSurfacePng(const Surface* s, const char* path);
// Dots per inch a surface stands for: 96 for an image unless set, the printer's for a page.
void SurfaceResolution(const Surface* s, int* dpiX, int* dpiY);
void SetSurfaceResolution(Surface* s, int dpiX, int dpiY);
// Fonts given in points are drawn this many times larger (1 by default): names printed over a
// map keep their size against the map.
void SetFontMagnification(Surface* s, double factor);
double FontMagnification(const Surface* s);

// [SECTION] Printing
// A printer page is a surface: every drawing call above works on it at the printer's
// resolution (pens, fonts, text extents, images, clipping); it cannot be read back (Blit from
// it gives white, GetPixel white, SurfacePixels none). Its size is the printable area in
// printer pixels. A document is a print job; pages follow one another inside it.

int IsPrinterSurface(const Surface* s);
// The desktop's print dialog (printer choice including printing to a PDF file, one copy, no
// page range, no selection): a page surface for the chosen printer, or 0 when cancelled.
Surface* ShowPrintDialog();
// The desktop's page set-up dialog for the printer the print dialog offers first.
void ShowPageSetupDialog();
// A page surface writing a PDF file: A4 (or US Letter) at dpi dots per inch.
Surface* CreatePdfPrinter(const char* path, int dpi, int letter);
// Jobs and pages. On an image surface these do nothing and return 1, so a page can be drawn
// to an image through the same steps. 0 when the printer cannot start the document or page.
int StartDocument(Surface* printer, const char* title);
int StartPage(Surface* printer);
int EndPage(Surface* printer);
int EndDocument(Surface* printer);

// [SECTION] Joystick (read through SDL2, the one part of the platform that is not Qt)

enum JoystickStatus { JOY_OK = 0, JOY_NO_DRIVER = 1, JOY_UNPLUGGED = 2 };
struct JoystickReading {
    int x = 0, y = 0;        // raw axis positions 0 .. 65535, about 32767 at rest
    uint32_t buttons = 0;    // bit i: button i held
};
// One reading of the first joystick attached. JOY_NO_DRIVER when the joystick subsystem
// cannot start, JOY_UNPLUGGED when no joystick is attached; the reading is then left alone.
int ReadJoystick(JoystickReading* reading);

// [SECTION] Message boxes and dialogs

enum : int { MB_OK = 0, MB_OKCANCEL = 1, MB_YESNO = 4, MB_YESNOCANCEL = 3 };
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };
int MessageBox(const char* text, const char* caption, int buttons);
// printf-style message box without caption and with an OK button.
void ShowMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Beep();

enum DialogItemKind {
    DI_STATIC = 0, DI_EDIT = 1, DI_BUTTON = 2, DI_DEFBUTTON = 3, DI_CHECKBOX = 4,
    DI_RADIO = 5, DI_GROUPBOX = 6, DI_LISTBOX = 7,
};
enum : int { DS_MULTISELECT = 1, DS_TABSTOPS = 2, DS_GROUPSTART = 4, DS_READONLY = 8, DS_SORT = 16 };

struct DialogItem {
    int kind;
    int id;
    int x, y, w, h;       // pixels in the dialog's client area
    std::string text;
    int style = 0;
    int limit = 0;         // edits: maximum length, 0 none
};
struct DialogTemplate {
    std::string caption;
    int width, height;
    std::vector<DialogItem> items;
    std::vector<int> tabStops;  // list boxes with DS_TABSTOPS: stops in pixels
};

struct Dialog;
enum : int { DLG_INIT = 1, DLG_COMMAND = 2 };
enum : int { NOTIFY_CLICKED = 0, NOTIFY_CHANGED = 1, NOTIFY_SELCHANGE = 2, NOTIFY_DBLCLK = 3 };
// Returns 1 when the notification was handled.
using DialogProc = int (*)(Dialog* d, int event, int itemId, int notification, void* user);

// Runs a modal dialog; returns the value given to EndDialog (IDCANCEL when closed by the window manager).
int DialogBox(const DialogTemplate& t, DialogProc proc, void* user);
void EndDialog(Dialog* d, int result);
// Places an open dialog (call it from the init notification): its top-left corner at (x, y)
// in main-window coordinates, or centred horizontally on the screen.
void MoveDialog(Dialog* d, int x, int y);
void CentreDialogHorizontally(Dialog* d);
std::string GetItemText(Dialog* d, int id);
void SetItemText(Dialog* d, int id, const char* text);
int GetItemCheck(Dialog* d, int id);
void SetItemCheck(Dialog* d, int id, int checked);
void EnableItem(Dialog* d, int id, int enabled);
void FocusItem(Dialog* d, int id);
int ListAdd(Dialog* d, int id, const char* text);
void ListClear(Dialog* d, int id);
int ListCount(Dialog* d, int id);
std::vector<int> ListGetSelections(Dialog* d, int id);  // multiple selection
void ListSetSelected(Dialog* d, int id, int index, int selected);
std::string ListGetText(Dialog* d, int id, int index);

// [SECTION] Cursors

enum : int { CURSOR_ARROW = 32512, CURSOR_WAIT = 32514, CURSOR_CROSS = 32515, CURSOR_APPSTARTING = 32650 };
// No pointer at all: the terrain view's drag controls hide it while they are held.
constexpr int CURSOR_HIDDEN = 1;
// Sets the window cursor: one of the standard ones above or a program cursor (107, 130-133,
// 141, 144 and others drawn by the platform). Returns the previous one.
int SetCursorShape(int id);
int GetCursorShape();
void SetCursorPosition(int x, int y);
// The main window's caption, and the one set last (kept also without a window).
void SetWindowCaption(const char* text);
std::string WindowCaption();

// [SECTION] Time

uint32_t TickCount();  // milliseconds since start
// Shows what has been drawn, then waits `seconds` asleep while the window keeps repainting;
// input arriving meanwhile is queued for afterwards.
void Delay(double seconds);

// [SECTION] Clipboard, browser, printing helpers

// Empties the clipboard and puts the text on it (Windows-1252 bytes); 1 on success.
int SetClipboardText(const std::string& text);

// The desktop's save-file dialog; filters like "PDF document (*.pdf);;PNG image (*.png)".
// 1 with the chosen path, 0 when cancelled.
int PickSaveFile(const char* caption, const char* suggestedName, const char* filters, std::string* path);

// Hands an address ("https://...", "mailto:...") to the desktop's default opener.
int OpenAddress(const char* address);
// Opens the desktop's display settings where the desktop has such a tool.
void OpenDisplaySettings();

// [SECTION] Screen and fonts

int ScreenWidth();
int ScreenDepth();        // bits per pixel
int ScreenLogicalDpi();   // vertical dots per inch of the system font
int IsFontFamilyInstalled(const char* family);
// Registers a font file for this process; returns a handle (> 0) or 0.
int RegisterFontFile(const char* path);
void UnregisterFontFile(int handle);

// [SECTION] Single instance

// Returns 1 when another copy of the program runs: it has then been asked to come to the
// top, or, with a message (one line of text), been handed the message instead.
int AnotherInstanceRunning(const char* key, const char* message = nullptr);
// In the running copy each handed-over message posts MSG_COPYDATA; this takes the oldest
// one ("" when none is waiting).
std::string TakeInstanceMessage();

// [SECTION] Start-up of the toolkit

int PlatformInit(int argc, char** argv);
void PlatformShutdown();
