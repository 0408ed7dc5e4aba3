// The trivia step: checks the quiz's question file (content/manual/trivia.txt), writes it to
// the volume as manual\trivia.txt in Windows-1252, and tests every fact its companion
// (trivia_checks.txt) claims against the volume's data. A fault of either file fails the step;
// a fact the data contradicts is flagged in the report and on the terminal for its author.
#include <string>
#include <vector>

#include "platform/files.h"
#include "trivia.h"

static int ReadText(const std::string& path, std::string* text) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path.c_str(), &bytes, 4u << 20)) return 0;
    text->assign(bytes.begin(), bytes.end());
    return 1;
}

int BuildTrivia(BuildContext& ctx) {
    std::string from = RecipeValue(ctx, "content", MUNDORA_CONTENT_DIR);
    std::string questionsPath = RecipeValue(ctx, "trivia", (from + "/manual/trivia.txt").c_str());
    std::string checksPath = RecipeValue(ctx, "trivia_checks", (from + "/manual/trivia_checks.txt").c_str());
    std::string text, checks;
    if (!ReadText(questionsPath, &text)) {
        BuildError("Cannot read the trivia questions %s", questionsPath.c_str());
        return 0;
    }
    TriviaFile file;
    std::vector<std::string> faults;
    int ok = ParseTriviaFile(text, &file, &faults);
    for (const std::string& f : faults) {
        BuildError("%s: %s", questionsPath.c_str(), f.c_str());
        ReportLine(ctx, "trivia: %s: %s", questionsPath.c_str(), f.c_str());
    }
    if (!ok) {
        ReportLine(ctx, "trivia: %zu faults in the question file; manual\\trivia.txt not written", faults.size());
        return 0;
    }
    if (!WriteVolumeFile(ctx, "manual\\trivia.txt", file.volumeText.data(), file.volumeText.size())) return 0;
    int counts[4] = {};
    for (const TriviaQuestion& q : file.questions) counts[q.correct]++;
    ReportLine(ctx, "trivia: %zu questions written to manual\\trivia.txt; right answers A %d, B %d, C %d, D %d",
               file.questions.size(), counts[0], counts[1], counts[2], counts[3]);
    ReportLine(ctx, "trivia: longest line %zu characters (of %d), widest text %.0f pixels (of %d)", file.longest,
               kTriviaLineChars, file.widest, kTriviaTextRight - kTriviaTextLeft);

    if (!ReadText(checksPath, &checks)) {
        ReportLine(ctx, "trivia: no check file %s: no question checked", checksPath.c_str());
        return 1;
    }
    TriviaCheckOutcome outcome;
    faults.clear();
    ok = RunTriviaChecks(ctx, file, checks, &outcome, &faults);
    for (const std::string& line : outcome.lines) ReportLine(ctx, "%s", line.c_str());
    for (const std::string& f : faults) {
        BuildError("%s: %s", checksPath.c_str(), f.c_str());
        ReportLine(ctx, "trivia: %s: %s", checksPath.c_str(), f.c_str());
    }
    ReportLine(ctx, "trivia: %d checks passed, %d flagged, %d not checked (data missing); %d of %zu questions confirmed",
               outcome.passed, outcome.flagged, outcome.unchecked, outcome.questionsChecked, file.questions.size());
    if (!outcome.flags.empty()) {
        fprintf(stderr, "\n*** %d trivia facts disagree with the volume's data: fix the question or its check ***\n",
                outcome.flagged);
        for (const std::string& f : outcome.flags) fprintf(stderr, "%s\n", f.c_str());
        fprintf(stderr, "\n");
        ReportLine(ctx, "trivia: *** %d facts disagree with the volume's data (lines \"says ... but\" above) ***",
                   outcome.flagged);
    }
    fprintf(stderr, "trivia: %zu questions, %d checks passed, %d flagged, %d not checked\n", file.questions.size(),
            outcome.passed, outcome.flagged, outcome.unchecked);
    return ok;
}
