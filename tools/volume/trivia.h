// The quiz's questions: the question file checked against what the quiz can show, and the
// facts its questions state checked against the volume's own data and sources.
#pragma once

#include <string>
#include <vector>

#include "volume.h"

// The quiz reads each line into a 115-byte buffer with its line feed, and draws the texts at
// x 236 in Arial 9 pt up to 10 pixels short of the 800-pixel window.
constexpr int kTriviaLineChars = 113, kTriviaTextLeft = 236, kTriviaTextRight = 790;

struct TriviaQuestion {
    std::string question;        // UTF-8, as written
    std::string answers[4];
    int correct = 0;             // 0..3, answer A..D
    std::string explanation;     // the judgement line without its digit
};

struct TriviaFile {
    std::vector<TriviaQuestion> questions;
    std::string volumeText;      // the file as the volume holds it: Windows-1252, line feeds
    double widest = 0;           // the widest text drawn, in pixels
    size_t longest = 0;          // the longest line, in characters
};

// Reads a question file written in UTF-8: the count, then six lines a question. Every fault
// (count, judgement digit, a line too long in characters or in pixels, a character without a
// Windows-1252 form) is appended to *faults as "line L: ..."; 1 when there is none.
int ParseTriviaFile(const std::string& text, TriviaFile* out, std::vector<std::string>* faults);

// The width in pixels of a line as the quiz draws it (Liberation Sans, the metric twin of
// Arial, at 9 pt on a 96-dpi screen: 12 pixels).
double TriviaTextWidth(const std::string& utf8);

// The outcome of the checks of the companion file.
struct TriviaCheckOutcome {
    int passed = 0, flagged = 0, unchecked = 0;
    int questionsChecked = 0;          // questions with at least one check that passed
    std::vector<std::string> lines;    // one report line per check
    std::vector<std::string> flags;    // "trivia: question 17 says ... but the volume has ..."
};

// Runs every check line against the volume's height tiles (ctx.outDir), the Factbook and the
// GeoNames places (recipe keys "factbook" and "geonames", else the npm packages). A check
// whose data is missing is counted as not checked. Faults of the check file itself (unknown
// claim, bad question number, wrong arguments) go to *faults; 1 when there are none.
int RunTriviaChecks(BuildContext& ctx, const TriviaFile& file, const std::string& checksText,
                    TriviaCheckOutcome* out, std::vector<std::string>* faults);

// Forgets the sources read by earlier checks (tests change them between runs).
void ResetTriviaSources();
