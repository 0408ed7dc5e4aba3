// Lays a manual page's lines out as the viewer does, with the viewer's fonts, to find lines
// that would run past the text area (the viewer does not wrap), and wraps the text the builder
// writes itself. Pages are a few hundred lines; measuring them takes milliseconds.
#include "manual_pages.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <cstdio>
#include <cstring>

#include "art.h"

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

// The segments of a text line with braces: a segment from an opening brace runs to its closing
// brace, any other to the next opening brace; at most 30.
static std::vector<std::string> Segments(const std::string& line) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < line.size()) {
        size_t end;
        if (line[at] == '{') {
            end = line.find('}', at);
            end = end == std::string::npos ? line.size() : end + 1;
        } else {
            end = line.find('{', at);
            if (end == std::string::npos) end = line.size();
        }
        out.push_back(line.substr(at, end - at));
        at = end;
    }
    return out;
}

// The text a link segment shows: after the quoted target for u, f and s; between the quotes
// for z.
static std::string LinkText(const std::string& seg) {
    std::string body = seg.back() == '}' ? seg.substr(0, seg.size() - 1) : seg;
    if (body.size() < 5) return "";
    size_t quote = body.find('"', 4);
    if (quote == std::string::npos) return "";
    if (body[1] == 'z') {
        size_t close = body.find('"', quote + 1);
        return body.substr(quote + 1, close == std::string::npos ? std::string::npos : close - quote - 1);
    }
    return quote + 2 <= body.size() ? body.substr(quote + 2) : "";
}

static int CaptionInfo(const std::string& line, int* x, std::string* text) {
    if (line.compare(0, 9, "{bigtext=") != 0) return 0;
    *x = atoi(line.c_str() + 9);
    size_t q = line.find('"');
    if (q == std::string::npos) {
        *text = "";
        return 1;
    }
    size_t end = line.find_first_of("\"}", q + 1);
    *text = line.substr(q + 1, end == std::string::npos ? std::string::npos : end - q - 1);
    return 1;
}

int ManualLineWidth(const std::string& line, int* font) {
    int x;
    std::string caption;
    if (CaptionInfo(line, &x, &caption)) {
        *font = kHeading3;
        return x + TextWidth(kCaption, caption);
    }
    if (line.compare(0, 8, "{bitmap=") == 0) return 200 + atoi(line.c_str() + 8);
    if (line.find_first_of("{}") == std::string::npos) return TextWidth(*font, line);
    int width = 0;
    for (const std::string& seg : Segments(line)) {
        if (seg[0] != '{' || seg.size() < 2) {
            width += TextWidth(*font, seg.back() == '}' ? seg.substr(0, seg.size() - 1) : seg);
            continue;
        }
        char tag = seg[1];
        if (tag >= '1' && tag <= '4') *font = tag == '4' ? kBody : tag - '0';
        else if (tag == 'u' || tag == 'f' || tag == 's' || tag == 'z') width += TextWidth(kBody, LinkText(seg));
        else if (tag != 'v') width += TextWidth(*font, seg.substr(0, seg.size() - 1));
    }
    return width;
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
        int captionX;
        std::string caption;
        int isCaption = CaptionInfo(line, &captionX, &caption);
        int isPicture = line.compare(0, 8, "{bitmap=") == 0;
        int width = ManualLineWidth(line, &font);
        if (isCaption || isPicture) {
            int x = atoi(line.c_str() + (isCaption ? 9 : 8));
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
        if (line.find_first_of("{}") == std::string::npos) continue;
        std::vector<std::string> segs = Segments(line);
        if (segs.size() > 30) fault("more than 30 segments");
        for (const std::string& seg : segs) {
            if (seg.size() < 2 || seg[0] != '{' || !strchr("ufs", seg[1])) continue;
            size_t close = seg.find('"', 4);
            if (seg.size() < 5 || seg[3] != '"' || close == std::string::npos) fault("a link without its quoted target");
            else if (close - 4 > 78) fault("a link target longer than 78 characters");
        }
    }
    return count;
}

std::vector<std::string> WrapManualText(const std::string& text, int width, int headingFont) {
    int font = headingFont >= 1 && headingFont <= 3 ? headingFont : kBody;
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
        if (!line.empty() && TextWidth(font, longer) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}
