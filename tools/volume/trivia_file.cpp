// The quiz's question file as authored: the count, six lines a question, every line short
// enough for the quiz's 115-byte line buffer and for its text area on screen. About 150
// questions; the whole check takes a few milliseconds.
#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "art.h"
#include "names_build.h"
#include "trivia.h"

double TriviaTextWidth(const std::string& utf8) {
    EnsureArtApplication();
    // The viewer asks for "Arial" at 12 pixels; the desktop's fonts give it Liberation Sans.
    static QFont font = [] {
        QFont f("Liberation Sans");
        f.setPixelSize(12);
        f.setStyleStrategy(QFont::PreferAntialias);
        return f;
    }();
    static QFontMetricsF metrics(font);
    return metrics.horizontalAdvance(QString::fromUtf8(utf8.data(), (int)utf8.size()));
}

static void Fault(std::vector<std::string>* faults, int line, const char* format, const std::string& a = "",
                  long b = 0) {
    char text[512];
    snprintf(text, sizeof text, format, a.c_str(), b);
    faults->push_back("line " + std::to_string(line) + ": " + text);
}

// One line of text: it must exist in Windows-1252, fit the line buffer, and, when drawn, the
// text area (shown is the part the quiz draws: the judgement line without its digit).
static void CheckLine(const std::string& utf8, const std::string& shown, int line, std::vector<std::string>* faults,
                      std::string* cp1252, TriviaFile* file) {
    if (!Utf8ToCp1252(utf8, cp1252)) {
        Fault(faults, line, "a character has no Windows-1252 form (or the line is not UTF-8): %s", utf8);
        return;
    }
    for (char c : *cp1252)
        if ((unsigned char)c < 0x20) {
            Fault(faults, line, "a control character (a tab or carriage return?) in %s", utf8);
            return;
        }
    if (cp1252->size() > kTriviaLineChars)
        Fault(faults, line, "%s is %ld characters long, more than the quiz's line buffer holds (113)", utf8,
              (long)cp1252->size());
    double width = TriviaTextWidth(shown);
    file->widest = std::max(file->widest, width);
    file->longest = std::max(file->longest, cp1252->size());
    if (kTriviaTextLeft + width > kTriviaTextRight)
        Fault(faults, line, "%s is %ld pixels wide and runs out of the quiz's text area (554)", shown,
              (long)(width + 0.999));
}

int ParseTriviaFile(const std::string& text, TriviaFile* out, std::vector<std::string>* faults) {
    *out = TriviaFile();
    size_t faultsBefore = faults->size();
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (lines.empty()) {
        faults->push_back("line 1: the file is empty; it must start with the number of questions");
        return 0;
    }
    char* rest = nullptr;
    long count = strtol(lines[0].c_str(), &rest, 10);
    if (lines[0].empty() || *rest || count < 0) {
        Fault(faults, 1, "the first line must be the number of questions, not %s", lines[0]);
        return 0;
    }
    size_t body = lines.size() - 1;
    if (body % 6 != 0)
        faults->push_back("the file holds " + std::to_string(body) + " lines after the count, not six for every question");
    if ((long)(body / 6) != count)
        faults->push_back("line 1: the count says " + std::to_string(count) + " questions but the file holds " +
                          std::to_string(body / 6));
    out->volumeText = lines[0] + "\n";
    for (size_t q = 0; q + 6 <= body; q += 6) {
        TriviaQuestion t;
        int first = (int)q + 2;  // 1-based line number of the question
        std::string cp;
        t.question = lines[q + 1];
        for (int k = 0; k < 4; k++) t.answers[k] = lines[q + 2 + k];
        const std::string& judgement = lines[q + 6];
        for (int k = 0; k < 5; k++) {
            const std::string& s = k == 0 ? t.question : t.answers[k - 1];
            if (s.empty()) Fault(faults, first + k, "an empty %s", k == 0 ? "question" : "answer");
            CheckLine(s, s, first + k, faults, &cp, out);
            out->volumeText += cp + "\n";
        }
        if (judgement.empty() || judgement[0] < '0' || judgement[0] > '3') {
            Fault(faults, first + 5, "the judgement line must start with the right answer's digit 0-3: %s", judgement);
        } else {
            t.correct = judgement[0] - '0';
            t.explanation = judgement.substr(1);
            if (t.explanation.empty()) Fault(faults, first + 5, "the judgement line has no explanation%s");
        }
        CheckLine(judgement, t.explanation, first + 5, faults, &cp, out);
        out->volumeText += cp + "\n";
        out->questions.push_back(t);
    }
    return faults->size() == faultsBefore;
}
