// Lays a manual page's lines out as the viewer does, with the viewer's fonts, to find lines
// that would run past the text area (the viewer does not wrap), and wraps the text the builder
// writes itself. Pages are a few hundred lines; measuring them takes milliseconds.
#include "manual_pages.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <cstdio>
#include <cstring>
#include <functional>

#include "art.h"
#include "manual/manual_markup.h"

// The viewer's fonts at 96 dots per inch: Arial of 11 points (body, links, heading 3),
// 14 and 12 points (headings 1 and 2) and 28 points (captions), rounded to whole pixels.
enum { kBody = 0, kHeading1 = 1, kHeading2 = 2, kHeading3 = 3, kCaption = 4, kFontCount = 5 };
static const int kFontPixels[kFontCount] = {15, 19, 16, 15, 37};
static const int kFontBold[kFontCount] = {0, 1, 1, 1, 1};

static struct {
    QFontMetrics* metrics[kFontCount] = {};
} pages;

static const QFontMetrics& Metrics(int font) {
    if (!pages.metrics[font]) {
        EnsureArtApplication();
        QFont f("Liberation Sans");
        f.setPixelSize(kFontPixels[font]);
        f.setWeight(kFontBold[font] ? QFont::Bold : QFont::Normal);
        f.setStyleStrategy(QFont::PreferAntialias);
        pages.metrics[font] = new QFontMetrics(f);
    }
    return *pages.metrics[font];
}

static int TextWidth(int font, const std::string& text) {
    return Metrics(font).horizontalAdvance(QString::fromLatin1(text.data(), (int)text.size()));
}

ManualTextArea ManualAreaFor(const char* fileName) {
    const char* base = strrchr(fileName, '\\');
    base = base ? base + 1 : fileName;
    if (strcasecmp(base, "about.txt") == 0 || strcasecmp(base, "pelandor.txt") == 0) return {51, 622};
    if (strncasecmp(base, "prod", 4) == 0) return {50, 750};
    return {26, 671};
}

int ManualLineWidth(const std::string& text, int* font) {
    const char* line = text.c_str();
    int kind = ManualLineKind(line);
    if (kind != kLineText) {
        ManualPlaced placed;
        ParsePlacedLine(line, &placed);
        if (kind == kLinePicture) return placed.x + 200;
        *font = kHeading3;  // the viewer goes on in heading font 3 after a caption
        return placed.x + TextWidth(kCaption, placed.text);
    }
    if (!LineHasTags(line)) return TextWidth(*font, text);
    ManualSegment segments[kManualMaxSegments];
    int count = SplitManualSegments(line, segments);
    int width = 0;
    for (int i = 0; i < count; i++) {
        ManualTag tag;
        ParseManualTag(line + segments[i].start, segments[i].length, &tag);
        if (tag.kind == kTagFont) *font = tag.font == 4 ? kBody : tag.font;
        else if (tag.kind == kTagText) width += TextWidth(*font, std::string(line + segments[i].start, segments[i].length));
        else if (tag.kind != kTagVideo) width += TextWidth(kBody, tag.shown);  // links in the body size
    }
    return width;
}

// Faults of a tagged line the viewer would read differently from what its author meant: more
// than 30 segments, a link whose target is not quoted right after its tag, a target too long.
static void CheckTags(const char* line, const std::function<void(const char*)>& fault) {
    ManualSegment segments[kManualMaxSegments];
    int count = SplitManualSegments(line, segments);
    int length = (int)strlen(line);
    int end = count ? segments[count - 1].start + segments[count - 1].length : 0;
    if (end < length && line[end] == '}') end++;
    if (count == kManualMaxSegments && end < length) fault("more than 30 segments");
    for (int i = 0; i < count; i++) {
        const char* segment = line + segments[i].start;
        int size = segments[i].length;
        if (size < 2 || segment[0] != '{' || !strchr("ufsz", segment[1])) continue;
        const char* close = size > 4 ? (const char*)memchr(segment + 4, '"', size - 4) : nullptr;
        if (segment[3] != '"' || !close) fault("a link without its quoted target");
        else if (close - (segment + 4) > kManualTargetMax) fault("a link target longer than 78 characters");
    }
}

int CheckManualPage(const char* fileName, const std::string& text, std::vector<std::string>* faults) {
    ManualTextArea area = ManualAreaFor(fileName);
    int font = kBody, count = 0, number = 0;
    size_t at = 0;
    char message[320];
    auto fault = [&](const char* what) {
        snprintf(message, sizeof message, "%s:%d: %s", fileName, number, what);
        faults->push_back(message);
        count++;
    };
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        number++;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        for (char& c : line)
            if (c == '\t') c = ' ';
        char what[160];
        if (line.size() > 194) {
            snprintf(what, sizeof what, "%zu characters, a line holds at most 194", line.size());
            fault(what);
        }
        int kind = ManualLineKind(line.c_str());
        int width = ManualLineWidth(line, &font);
        if (kind != kLineText) {
            ManualPlaced placed;
            ParsePlacedLine(line.c_str(), &placed);
            int x = placed.x;
            if (x < area.left || width > area.right) {
                snprintf(what, sizeof what, "drawn from x %d to %d, outside the text area's %d to %d", x, width, area.left,
                         area.right);
                fault(what);
            }
            continue;
        }
        if (width > area.right - area.left) {
            snprintf(what, sizeof what, "%d px wide, the text area holds %d", width, area.right - area.left);
            fault(what);
        }
        if (LineHasTags(line.c_str())) CheckTags(line.c_str(), fault);
    }
    return count;
}

std::vector<std::string> WrapManualText(const std::string& text, int width, int headingFont, int maxChars) {
    int font = headingFont >= 1 && headingFont <= 3 ? headingFont : kBody;
    auto fits = [&](const std::string& s) { return (int)s.size() <= maxChars && TextWidth(font, s) <= width; };
    std::vector<std::string> lines;
    std::string line;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        std::string word = text.substr(at, end - at);
        at = end + 1;
        if (word.empty()) continue;
        std::string longer = line.empty() ? word : line + " " + word;
        if (fits(longer)) {
            line = longer;
            continue;
        }
        if (!line.empty()) lines.push_back(line);
        // A word wider than a line is cut where it stops fitting.
        while (!fits(word)) {
            size_t n = 1;
            while (n < word.size() && fits(word.substr(0, n + 1))) n++;
            lines.push_back(word.substr(0, n));
            word = word.substr(n);
        }
        line = word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}
