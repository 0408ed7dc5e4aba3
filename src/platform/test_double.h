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
// Saves what the window shows now as a PNG file.
int TestSaveWindowPng(const char* path);
// What ReadJoystick reports while test mode is on (JOY_UNPLUGGED until set).
void TestSetJoystick(int status, int x, int y, uint32_t buttons);
// Plays recorded input this many times faster than recorded (1, the default, plays it as
// recorded); lets tests run long demonstrations in a short time.
void TestSetReplaySpeed(int factor);
// The user presses (down = 1) or releases Escape at the window, as its key handler sees it:
// during a replay this is the cancel key, held for a second.
void TestUserEscape(int down);
