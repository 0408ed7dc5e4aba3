// The manual viewer and the trivia quiz: what the screens call to show a help, "about",
// product or information text, and the room's quiz.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

// [SECTION] Manual viewer

enum : int {
    kManualFailed = 0,   // the text could not be opened
    kManualEnded = 1,    // closed, Escape, or a value link followed
    kManualMapLink = 3,  // a map link set the 2D map's window: the caller goes to the 2D map
};

// Opens `file` (under the data root first, then by the name given), draws its first page
// into the text area of the current screen mode and, unless drawOnly is set, runs the
// viewer's loop until it ends. A value link stores its two numbers in the outputs given.
// indexFile may be empty or null: the index button is then not offered.
int RunManualViewer(const char* file, int drawOnly, int* valueOut1, int* valueOut2, const char* indexFile);

// The screen behind the text: the backdrop picture when one is given (the room's pages),
// otherwise the current window with the buttons of the screen in `mode` dimmed, the text
// backdrop over the map area and the viewer's control panel. Shown and kept in hbmVirtual.
int PrepareManualBackdrop(int mode, const char* backdropFile);

// A screen's help or information button: switches to the viewer's own screen (mode 6) over
// the screen in `fromMode`, runs the viewer, and leaves screenMode at 6; the caller redraws
// its screen and sets its mode again. Returns the viewer's result.
int ShowManualScreen(int fromMode, const char* file, const char* indexFile, int* valueOut1, int* valueOut2);

// A page of the room (modes 9 to 12): the backdrop picture shown, the product page's button
// marked (modes 9 to 11), and the viewer run on the page's text in the picture's text panel.
// The caller shows the room again. Returns the viewer's result.
int ShowManualPageScreen(int mode, const char* backdropFile, const char* file);

// The one-line text entry of the viewer's search: digits, letters, space and the accented
// letters listed in the entry; Enter accepts (the text turned to upper case), Escape cancels.
// 1 when a non-empty text was accepted.
int EnterSearchText(char* buffer, int maxLength, const Rect& field, int restoreAfter);

// [SECTION] Printing (manual_print.cpp)

// Prints a whole text through the print dialog, every page a print job of its own.
int PrintManualFile(const char* file);
// The same onto a chosen printer; returns the number of pages (jobs) printed.
int PrintManualTextOn(Surface* printer, const std::vector<uint8_t>& text);
// Writes the text to a PDF file (every page) or a PNG file (the page shown) chosen in a
// save-file dialog.
int ExportManualText(const std::vector<uint8_t>& text, int shownPage);

// [SECTION] Trivia quiz

// The room's quiz: one question at a time from "manual\trivia.txt", until the leave button,
// Escape or Enter. The position of the next question is kept in "trivia.tmp".
void RunTrivia();

// The question file's lines are read into buffers of this size; longer lines are cut.
constexpr int kTriviaLineSize = 115;

// One question as the file holds it: the text, the answers A to D, and the judgement line
// (the correct answer as a digit 0-3, then the explanation).
struct TriviaQuestion {
    int number;  // its index in the file, 0-based
    char question[kTriviaLineSize];
    char answers[4][kTriviaLineSize];
    char judgement[kTriviaLineSize];
};

// Reads question *index from an open question file: the count N on the first line, the index
// wrapped into 0..N-1, then that question's six lines (empty where the file ends early).
// *index becomes the next question's, 0 after the last. Returns N; with no questions (N = 0)
// the question stays empty and *index becomes 0.
int ReadTriviaQuestion(FILE* f, int* index, TriviaQuestion* q);
// The index of the next question kept in "trivia.tmp" in the temporary folder; 0 without one.
int LoadTriviaIndex();
// 1 when the index was written.
int SaveTriviaIndex(int index);
// Draws question *index of "manual\trivia.txt" and its answers on `dc`, copies its judgement
// line into answerLine and advances *index. 0 (nothing drawn, the index unchanged) when the
// question file cannot be opened.
int ShowTriviaQuestion(Surface* dc, int* index, char answerLine[kTriviaLineSize]);
// RunTrivia in its three steps, for a caller that feeds the messages itself. Open draws the
// backdrop, loads the button images and shows the next question (0 when a picture is
// missing: the quiz ends); Handle takes one message (0 once the quiz ends); Close restores
// the window's text settings, brings back the room's picture, releases the images and stores
// the position.
int OpenTriviaScreen();
int HandleTriviaMessage(const Message& m);
void CloseTriviaScreen();
