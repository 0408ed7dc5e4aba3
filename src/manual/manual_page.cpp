// Drawing one page of a manual text: captions and pictures at their own places, text lines
// with their fonts, colours and links one line step apart, the video box, and the search
// text inverted wherever it appears. A page ends when the lines reach the text area's bottom.
#include "manual/manual_page.h"

#include <cstring>

#include "core/core.h"
#include "imaging/imaging.h"

static constexpr ColourRef kAmber = MakeColour(250, 185, 33);
static constexpr ColourRef kPaleYellow = MakeColour(255, 255, 204);
static constexpr ColourRef kSkyBlue = MakeColour(0, 204, 255);
static constexpr ColourRef kLightBlue = MakeColour(122, 208, 250);
static constexpr int kPictureWidth = 200, kPictureHeight = 133;

static FontSpec PageFont(int points, int weight, int underline, int dpi = 0) {
    FontSpec f;
    f.family = "Arial";
    f.points = points;
    f.dpi = dpi > 0 ? dpi : ScreenLogicalDpi();
    f.weight = weight;
    f.underline = underline;
    return f;
}

void ManualPageFonts(int small, ManualFonts* out) {
    out->caption = PageFont(28, 700, 0);
    out->heading[0] = PageFont(small ? 12 : 14, 700, 0);
    out->heading[1] = PageFont(small ? 10 : 12, 700, 0);
    out->heading[2] = PageFont(small ? 8 : 11, 700, 0);
    out->body = PageFont(small ? 8 : 11, 400, 0);
    out->link = PageFont(small ? 8 : 11, 400, 1);
}

void ManualPrintFonts(int dpi, ManualFonts* out) {
    out->caption = PageFont(20, 700, 0, dpi);
    out->heading[0] = PageFont(16, 700, 0, dpi);
    out->heading[1] = PageFont(13, 700, 0, dpi);
    out->heading[2] = PageFont(11, 700, 0, dpi);
    out->body = PageFont(7, 400, 0, dpi);
    out->link = PageFont(7, 400, 1, dpi);
}

static ColourRef Ink(const ManualPage* page, ColourRef colour) { return page->black ? MakeColour(0, 0, 0) : colour; }
static int Placed(const ManualPage* page, int v) { return page->placeScale > 0 ? (int)(v * page->placeScale) : v; }

int ManualLineStep(Surface* s, const ManualFonts& fonts) {
    DrawState saved = GetDrawState(s);
    SetFont(s, fonts.body);
    int step = TextExtent(s, "This is a test").y + 3;
    SetDrawState(s, saved);
    return step;
}

// Text at (x, baseline y) in the surface's font and colour, with every match of the search
// text inverted; returns its width.
static int DrawPageText(Surface* s, ManualPage* page, int x, int y, const char* text, int length) {
    if (length <= 0) return 0;
    TextOut(s, x, y, text, length);
    Point size = TextExtent(s, text, length);
    if (page->search && page->search[0]) {
        int positions[kManualLineBuffer];
        int found = FindManualMatches(text, length, page->search, positions, kManualLineBuffer);
        int n = (int)strlen(page->search);
        if (found) {
            page->matchFound = 1;
            DrawState saved = GetDrawState(s);
            SetRasterOp(s, ROP_INVERT);
            SetPen(s, PEN_NULL, 1, 0);
            SetSolidBrush(s, 0);
            for (int i = 0; i < found && i < kManualLineBuffer; i++) {
                int from = x + (positions[i] ? TextExtent(s, text, positions[i]).x : 0);
                int width = TextExtent(s, text + positions[i], n).x;
                RectangleShape(s, from, y - size.y, from + width, y);
            }
            SetDrawState(s, saved);
        }
    }
    return size.x;
}

static void AddLink(ManualPage* page, const ManualLink& link) {
    // The table holds 50; a later link takes the place of the last.
    int i = page->nLinks < kManualMaxLinks ? page->nLinks++ : kManualMaxLinks - 1;
    page->links[i] = link;
}

// A tag of a text line at (x, y): a font change, or a link or video box; returns the width drawn.
static int DrawTag(Surface* s, ManualPage* page, const ManualTag& tag, int x, int y) {
    switch (tag.kind) {
    case kTagFont:
        SetFont(s, tag.font == 4 ? page->fonts.body : page->fonts.heading[tag.font - 1]);
        SetTextColour(s, Ink(page, tag.font <= 2 ? kAmber : kPaleYellow));
        return 0;
    case kTagWebLink: case kTagFileLink: case kTagValueLink: case kTagMapLink: {
        DrawState saved = GetDrawState(s);
        SetFont(s, page->fonts.link);
        SetTextColour(s, Ink(page, kSkyBlue));
        int length = (int)strlen(tag.shown);
        int width = DrawPageText(s, page, x, y, tag.shown, length);
        int height = TextExtent(s, tag.shown, length).y;
        SetDrawState(s, saved);
        ManualLink link{};
        link.kind = tag.kind == kTagWebLink ? kLinkWeb : tag.kind == kTagFileLink ? kLinkFile : tag.kind == kTagValueLink ? kLinkValue : kLinkMap;
        memcpy(link.numbers, tag.numbers, sizeof link.numbers);
        memcpy(link.target, tag.target, sizeof link.target);
        link.hot = Rect{x, y - height, x + width, y};
        AddLink(page, link);
        return width;
    }
    case kTagVideo: {
        int l = (int)tag.numbers[0], t = (int)tag.numbers[1], r = (int)tag.numbers[2], b = (int)tag.numbers[3];
        page->hasVideo = 1;
        page->videoBox = Rect{l < r ? l : r, t < b ? t : b, l < r ? r : l, t < b ? b : t};
        snprintf(page->videoFile, sizeof page->videoFile, "%s", tag.shown);
        DrawState saved = GetDrawState(s);
        SetPen(s, PEN_SOLID, 1, 0);
        SetSolidBrush(s, 0);
        RectangleShape(s, page->videoBox.left, page->videoBox.top, page->videoBox.right, page->videoBox.bottom);
        SetDrawState(s, saved);
        return 0;
    }
    default: return 0;
    }
}

static void DrawTaggedLine(Surface* s, ManualPage* page, const char* line, int x, int y) {
    ManualSegment segments[kManualMaxSegments];
    int n = SplitManualSegments(line, segments);
    for (int i = 0; i < n; i++) {
        const char* text = line + segments[i].start;
        ManualTag tag;
        ParseManualTag(text, segments[i].length, &tag);
        if (tag.kind == kTagText) x += DrawPageText(s, page, x, y, text, segments[i].length);
        else x += DrawTag(s, page, tag, x, y);
    }
}

static void DrawPicture(Surface* s, const ManualPage* page, const ManualPlaced& placed) {
    Surface* picture = nullptr;
    if (!LoadBMPFromFile(placed.text, &picture)) return;
    int w = SurfaceWidth(picture) < kPictureWidth ? SurfaceWidth(picture) : kPictureWidth;
    int h = SurfaceHeight(picture) < kPictureHeight ? SurfaceHeight(picture) : kPictureHeight;
    if (page->placeScale > 0)
        StretchBlit(s, Placed(page, placed.x), Placed(page, placed.y), Placed(page, w), Placed(page, h), picture, 0, 0, w, h);
    else
        Blit(s, placed.x, placed.y, w, h, picture, 0, 0);
    DeleteSurface(picture);
}

int RenderManualPage(Surface* s, ByteCursor& cursor, ManualPage* page) {
    page->nLinks = 0;
    page->hasVideo = 0;
    page->videoFile[0] = 0;
    DrawState saved = GetDrawState(s);
    SetClipRect(s, page->area);
    SetBackgroundMode(s, BK_TRANSPARENT);
    SetTextAlign(s, TA_LEFT | TA_BOTTOM);
    SetFont(s, page->fonts.body);
    SetTextColour(s, Ink(page, kPaleYellow));
    int left = page->area.left + 10;
    int limit = page->area.bottom - 20;
    int y = page->area.top + 20;
    int more = 0;
    char line[kManualLineBuffer];
    while (ReadManualLine(cursor, line)) {
        int kind = ManualLineKind(line);
        if (kind == kLineCaption) {
            ManualPlaced placed;
            ParsePlacedLine(line, &placed);
            DrawState before = GetDrawState(s);
            SetFont(s, page->fonts.caption);
            SetTextColour(s, Ink(page, kLightBlue));
            DrawPageText(s, page, Placed(page, placed.x), Placed(page, placed.y), placed.text, (int)strlen(placed.text));
            SetDrawState(s, before);
            y = Placed(page, placed.y) + 2 * page->lineStep;
            SetFont(s, page->fonts.heading[2]);
            if (y >= limit) {
                more = 1;
                break;
            }
            continue;
        }
        if (kind == kLinePicture) {
            ManualPlaced placed;
            ParsePlacedLine(line, &placed);
            DrawPicture(s, page, placed);
            y += Placed(page, kPictureHeight + 10);
            continue;  // no bottom check: the next line is still drawn
        }
        if (LineHasTags(line)) {
            DrawTaggedLine(s, page, line, left, y);
        } else {
            SetTextColour(s, Ink(page, kPaleYellow));
            DrawPageText(s, page, left, y, line, (int)strlen(line));
        }
        y += page->lineStep;
        if (y >= limit) {
            more = 1;
            break;
        }
    }
    ClearClip(s);
    SetDrawState(s, saved);
    return more && CursorLeft(cursor) > 0;
}

int ManualLinkAt(const ManualPage& page, int x, int y) {
    for (int i = 0; i < page.nLinks; i++) {
        const Rect& r = page.links[i].hot;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
    }
    return -1;
}
