// The platform's test double: while test mode is on, message boxes and dialogs do not wait
// for a person but are answered from a script, every text they show is recorded, addresses
// are recorded instead of opened, and tests inject input into the same queue the window feeds.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

struct ShownText {
    std::string caption;
    std::string text;
};

void TestModeEnable(int on);
int TestModeEnabled();

// Answers for the next message boxes, in order; when none is queued a box answers IDOK or IDYES.
void TestPushAnswer(int answer);
const std::vector<ShownText>& TestShownMessages();
void TestClearShown();
// The most recent text shown, or "".
std::string TestLastMessage();

// Scripts for the next dialogs, in order. A script runs after the dialog's init notification;
// it sets items and clicks buttons. A dialog still open after its script ends with IDCANCEL.
void TestPushDialogScript(std::function<void(Dialog*)> script);
// Sends the dialog procedure a command for an item, as a click would.
void TestDialogCommand(Dialog* d, int itemId, int notification = NOTIFY_CLICKED);
// Types text into an edit item one character at a time, as a user would: each character is
// appended (up to the item's length limit) and followed by the item's change notification.
void TestTypeItemText(Dialog* d, int itemId, const char* text);
// Whether a dialog item is enabled (0 for an item the dialog does not have).
int TestItemEnabled(Dialog* d, int itemId);
// Captions of the dialogs shown so far.
const std::vector<std::string>& TestShownDialogs();

void TestInjectMessage(uint32_t kind, uint64_t wParam, int64_t lParam);
void TestInjectClick(int x, int y);  // mouse move, left down and left up at (x, y)
// A pointer move to (x, y) and a wheel turn there (kWheelDelta a notch, positive away from the user).
void TestInjectWheel(int x, int y, int delta, uint32_t keys = 0);
void TestInjectKey(uint32_t virtualKey);
// A line handed over as a later start hands it through the single-instance channel: it
// waits for TakeInstanceMessage and MSG_COPYDATA is queued.
void TestHandOverLine(const char* line);
// Dispatches every queued message; returns how many.
int TestPumpMessages();

const std::vector<std::string>& TestOpenedAddresses();
// The text put on the clipboard last while in test mode (the desktop's clipboard is left alone).
const std::string& TestClipboardText();
// Pretends the screen has this size, depth and font resolution (0 for the real value).
void TestSetScreen(int width, int height, int depth, int dpi);
int TestBeepCount();
// While on, the program's pauses (the room's entry animation between its frames, button
// flashes) do not wait: each is recorded in milliseconds instead, so a test runs every frame at
// once and can still check the timing. The record is cleared with the shown texts.
void TestSkipPauses(int on);
int TestPausesSkipped();
void TestRecordPause(int milliseconds);
const std::vector<int>& TestRecordedPauses();
// Sends the window a pointer event of the toolkit at (x, y) in the toolkit's window
// coordinates (kind MSG_MOUSEMOVE, MSG_LBUTTONDOWN, MSG_LBUTTONUP, MSG_RBUTTONDOWN or
// MSG_RBUTTONUP), so that it takes the path real input takes, scaling included.
void TestSendPointer(uint32_t kind, double x, double y);
// Presses and releases a key of the toolkit (its key number, for example 0x0100003a for F11).
void TestSendKey(int toolkitKey);
// The width in device pixels of the program-drawn pointer shape the window shows (0 for one
// of the desktop's own shapes).
int TestCursorDeviceSize();
// What the window paints, as the desktop would show it: device pixels 0xFFRRGGBB, top row first.
struct ShownWindow {
    int windowWidth = 0, windowHeight = 0;  // in the toolkit's window coordinates
    double devicePixelRatio = 1.0;
    int width = 0, height = 0;              // in device pixels
    std::vector<uint32_t> pixels;
};
int TestGrabShownWindow(ShownWindow* shown);
// Saves what the window shows now as a PNG file.
int TestSaveWindowPng(const char* path);
// What ReadJoystick reports while test mode is on (JOY_UNPLUGGED until set).
void TestSetJoystick(int status, int x, int y, uint32_t buttons);

// The print dialog under test mode: each choice answers the next dialog, in order; with none
// queued the dialog is cancelled. A chosen printer writes PDF files: jobs are numbered from 1
// and "%d" in the path takes the job's number.
struct TestPrinterChoice {
    int accept = 1;
    std::string pdfPath;
    int dpi = 300;
    int letter = 0;      // 1 US Letter, 0 A4
};
void TestPushPrinterChoice(const TestPrinterChoice& choice);
struct TestPrintJob {
    std::string title;
    int pages;
    std::string path;   // the PDF written
};
// The print jobs ended while in test mode; cleared with the shown texts.
const std::vector<TestPrintJob>& TestPrintJobs();
void TestRecordPrintJob(const TestPrintJob& job);
int TestPageSetupsShown();
void TestRecordPageSetup();
// Answers for the next save-file dialogs: a path, or "" for cancel (also when none is queued).
void TestPushSaveFileAnswer(const std::string& path);
std::string TestTakeSaveFileAnswer(int* answered);

// Plays recorded input this many times faster than recorded (1, the default, plays it as
// recorded); lets tests run long demonstrations in a short time.
void TestSetReplaySpeed(int factor);
// The user presses (down = 1) or releases Escape at the window, as its key handler sees it:
// during a replay this is the cancel key, held for a second.
void TestUserEscape(int down);
