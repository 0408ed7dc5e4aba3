// The manual's search: the one-line entry under the text, and the walk from the first page
// to the first one that shows the text entered, which the renderer marks inverted.
#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "manual/manual.h"
#include "manual/manual_viewer.h"

// Digits, letters, space and the accented letters and signs of the volume's code page.
static int SearchCharacter(uint32_t c) {
    static const unsigned char extra[] = {223, 167, 181, 246, 214, 228, 196, 252, 220, 233, 232, 200, 201, 231, 224, 178, 249, 163};
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ') return 1;
    for (unsigned char e : extra)
        if (c == e) return 1;
    return 0;
}

static void DrawEntry(const Rect& field, const char* text) {
    Surface* w = WindowSurface();
    if (!w) return;
    DrawState saved = GetDrawState(w);
    FillRect(w, field, MakeColour(255, 255, 255));
    ManualFonts fonts;
    ManualPageFonts(smallLayout, &fonts);
    SetFont(w, fonts.body);
    SetTextColour(w, 0);
    SetBackgroundMode(w, BK_TRANSPARENT);
    SetTextAlign(w, TA_LEFT | TA_TOP);
    SetClipRect(w, field);
    int height = TextExtent(w, "Mg").y;
    int y = field.top + (field.bottom - field.top - height) / 2;
    TextOut(w, field.left + 3, y, text);
    // The caret after the text.
    int x = field.left + 3 + (text[0] ? TextExtent(w, text).x : 0) + 1;
    FillRect(w, Rect{x, y, x + 1, y + height}, 0);
    ClearClip(w);
    SetDrawState(w, saved);
}

static void RestoreField(const Rect& field) {
    Surface* w = WindowSurface();
    int left = field.left - 5 < 0 ? 0 : field.left - 5;
    if (w && hbmVirtual) Blit(w, left, field.top, field.right - left, field.bottom - field.top, hbmVirtual, left, field.top);
}

int EnterSearchText(char* buffer, int maxLength, const Rect& field, int restoreAfter) {
    int n = 0;
    buffer[0] = 0;
    int accepted = -1;
    DrawEntry(field, buffer);
    while (accepted < 0) {
        Message m;
        if (!GetMessage(&m)) {
            PostQuitMessage((int)m.wParam);
            accepted = 0;
            break;
        }
        switch (m.kind) {
        case MSG_PAINT:
            PaintManualScreen(m.paintRect);
            DrawEntry(field, buffer);
            break;
        case MSG_KEYDOWN:
            if (m.wParam == VK_RETURN) accepted = 1;
            else if (m.wParam == VK_ESCAPE) accepted = 0;
            else if (m.wParam == VK_BACK) {
                if (n == 0) PlayCue(CUE_ERROR);
                else buffer[--n] = 0;
                DrawEntry(field, buffer);
            }
            break;
        case MSG_CHAR:
            if (SearchCharacter((uint32_t)m.wParam) && n < maxLength) {
                buffer[n++] = (char)m.wParam;
                buffer[n] = 0;
                DrawEntry(field, buffer);
            }
            break;
        case MSG_COMMAND:
            PostMessage(m.kind, m.wParam, m.lParam);
            accepted = 0;
            break;
        default: break;
        }
    }
    if (restoreAfter) RestoreField(field);
    if (!accepted) return 0;
    for (int i = 0; i < n; i++) buffer[i] = (char)ManualUpper((unsigned char)buffer[i]);
    return n > 0;
}

void SearchManualText() {
    Rect field = smallLayout ? Rect{146, 432, 308, 446} : Rect{183, 540, 386, 558};
    int before = manualViewer.page;
    manualViewer.search[0] = 0;
    char typed[kManualSearchMax + 1];
    if (!EnterSearchText(typed, kManualSearchMax, field, 1)) {
        ShowManualPage(before);
        return;
    }
    snprintf(manualViewer.search, sizeof manualViewer.search, "%s", typed);
    for (int page = 0;; page++) {
        int more = ShowManualPage(page);
        if (manualViewer.shown.matchFound) return;
        if (!more || page + 1 >= manualViewer.pageCount) break;
    }
    PlayCue(CUE_ERROR);
    char text[80];
    snprintf(text, sizeof text, "The text '%s' was not found", manualViewer.search);
    MessageBox(text, "", MB_OK);
    manualViewer.search[0] = 0;
    ShowManualPage(before);
}
