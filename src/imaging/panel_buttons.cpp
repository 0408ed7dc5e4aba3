// The panel buttons: the table built from the shared layout, their bitmaps (rollover, hit and
// the normal looks of two-state buttons), the hit test that lights them under the pointer,
// and drawing them into the window and hbmVirtual.
#include <cstring>

#include "imaging/panel_buttons.h"

#include "core/core.h"
#include "core/layout_table.h"
#include "imaging/imaging.h"

PanelButton panelButtons[kPanelButtons];
int panelButtonsBuilt;
int satelliteDataLoaded, climateDataLoaded, textHasIndex, mapZoomedIn;

// Bitmaps of one button: r, h; two-state buttons r0, r1, h0, h1, n0, n1.
struct ButtonImages {
    Surface* image[6];
    int count;
    Surface* normal;  // the look under the hit image, kept while it is drawn in hbmVirtual
};

static struct {
    ButtonImages images[kPanelButtons];
    Surface* units[2];  // "menu\105a.bmp" (metric), "menu\105b.bmp" (imperial)
    int unitsFailed;
} panels;

// The buttons of the rotation cluster share button 39's images.
static int ImageOwner(int id) { return id >= 40 && id <= 42 ? 39 : id; }

void PanelBitmapNames(int id, std::string names[6], int* count) {
    *count = 0;
    const ButtonLayout* l = FindButtonLayout(id);
    if (!l || ImageOwner(id) != id) return;
    const char kinds[] = {'r', 'h', 'n'};
    char name[64];
    for (char kind : kinds)
        for (int state = l->twoState ? 0 : -1; state <= (l->twoState ? 1 : -1); state++)
            if (ButtonImageName(id, kind, state, name, sizeof name)) names[(*count)++] = name;
}

int PanelBitmapCount() {
    int total = 0;
    for (int id = 1; id <= kPanelButtons; id++) {
        std::string names[6];
        int n;
        PanelBitmapNames(id, names, &n);
        total += n;
    }
    return total;
}

void BuildButtonTable() {
    for (int i = 0; i < kPanelButtons; i++) {
        const ButtonLayout& l = kButtonLayout[i];
        PanelButton& b = panelButtons[i];
        b = PanelButton{};
        b.id = (int16_t)l.id;
        int x, y, w, h;
        ScaleButtonRect(l, smallLayout, &x, &y, &w, &h);
        b.x = (int16_t)x, b.y = (int16_t)y, b.w = (int16_t)w, b.h = (int16_t)h;
    }
}

void ReleasePanelButtons() {
    for (ButtonImages& b : panels.images) {
        for (int k = 0; k < b.count; k++) DeleteSurface(b.image[k]);
        if (b.normal) DeleteSurface(b.normal);
        b = ButtonImages{};
    }
    for (Surface*& u : panels.units) {
        if (u) DeleteSurface(u);
        u = nullptr;
    }
    panels.unitsFailed = 0;
    panelButtonsBuilt = 0;
}

int LoadPanelButtons() {
    ReleasePanelButtons();
    for (int id = 1; id <= kPanelButtons; id++) {
        std::string names[6];
        int n;
        PanelBitmapNames(id, names, &n);
        ButtonImages& images = panels.images[id - 1];
        for (int k = 0; k < n; k++) {
            if (!LoadBMPFromFile(names[k].c_str(), &images.image[k])) {
                ReleasePanelButtons();
                return 0;
            }
            images.count = k + 1;
        }
    }
    BuildButtonTable();
    panelButtonsBuilt = 1;
    return 1;
}

PanelButton* FindPanelButton(int id) { return id >= 1 && id <= kPanelButtons ? &panelButtons[id - 1] : nullptr; }

// The state of a two-state button: the help-prompt switch shows 1 while prompts are on.
static int TwoStateValue(int id) { return id == 8 ? (helpPromptsOn ? 1 : 0) : 0; }

// Images in load order: r, h (one-state); r0, r1, h0, h1, n0, n1 (two-state).
static Surface* ButtonImage(int id, char kind) {
    const ButtonLayout* l = FindButtonLayout(id);
    ButtonImages& images = panels.images[ImageOwner(id) - 1];
    if (!l || !images.count) return nullptr;
    if (!l->twoState) return kind == 'r' ? images.image[0] : kind == 'h' ? images.image[1] : nullptr;
    int base = kind == 'r' ? 0 : kind == 'h' ? 2 : 4;
    return images.image[base + TwoStateValue(id)];
}

int ButtonVisible(int id, int mode) {
    if ((id >= 1 && id <= 14) || id == 95) {
        if (mode == 1 || mode == 2 || (mode >= 9 && mode <= 12)) return 0;
        if (mode == 13) return id <= 6;
        if (mode == 6) return id == 12 || id == 13 || id == 95;
        return 1;
    }
    if ((id >= 15 && id <= 25) || id == 96) {
        if (mode != 3) return 0;
        return (id == 24 || id == 25) ? mapZoomedIn : 1;
    }
    if (id >= 26 && id <= 43) return mode == 4;
    if (id >= 44 && id <= 46) return mode == 8;
    if (id == 47) return mode == 8 || mode == 13;
    if ((id >= 48 && id <= 65) || id == 97) {
        if (mode != 5) return 0;
        if (id == 52 || id == 53 || id == 54 || id == 97) return satelliteDataLoaded;
        if (id == 65) return climateDataLoaded;
        return 1;
    }
    if (id >= 66 && id <= 74) return mode == 1;
    if ((id >= 75 && id <= 81) || id == 93 || id == 94) return mode == 7;
    if (id >= 82 && id <= 86) return mode == 6 && (id != 83 || textHasIndex);
    if (id >= 87 && id <= 92) return (mode >= 9 && mode <= 11) || (mode == 12 && id <= 89);
    return 0;
}

// The hover area of a button: 39-42 and 36-37 share one area each and light up together.
static Rect HoverArea(const PanelButton& b) {
    auto scaled = [](int l, int t, int r, int bottom, int sl, int st, int sr, int sb) {
        return smallLayout ? Rect{sl, st, sr + 1, sb + 1} : Rect{l, t, r + 1, bottom + 1};
    };
    if (b.id >= 39 && b.id <= 42) return scaled(750, 521, 786, 557, 600, 416, 628, 445);
    if (b.id == 36 || b.id == 37) return scaled(749, 491, 786, 511, 599, 392, 628, 408);
    return Rect{b.x, b.y, b.x + b.w, b.y + b.h};
}

static int Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

static void PutImage(Surface* target, const PanelButton& b, Surface* image) {
    if (!target || !image) return;
    int w = SurfaceWidth(image) < b.w ? SurfaceWidth(image) : b.w;
    int h = SurfaceHeight(image) < b.h ? SurfaceHeight(image) : b.h;
    Blit(target, b.x, b.y, w, h, image, 0, 0);
}

static void RestoreButtonArea(const PanelButton& b) {
    if (hbmVirtual && WindowSurface()) Blit(WindowSurface(), b.x, b.y, b.w, b.h, hbmVirtual, b.x, b.y);
}

void DrawHover(int id, int over) {
    PanelButton* b = FindPanelButton(id);
    if (!b || b->w <= 0 || b->h <= 0) return;
    if (over && !b->pressed) PutImage(WindowSurface(), *b, ButtonImage(id, 'r'));
    else RestoreButtonArea(*b);
}

// Keeps the normal look of a button before its hit image goes into hbmVirtual.
static void KeepNormalLook(int id, const PanelButton& b) {
    ButtonImages& images = panels.images[id - 1];
    if (images.normal || !hbmVirtual) return;
    images.normal = CreateSurface(b.w, b.h);
    if (images.normal) Blit(images.normal, 0, 0, b.w, b.h, hbmVirtual, b.x, b.y);
}

static void RestoreNormalLook(int id, const PanelButton& b) {
    ButtonImages& images = panels.images[id - 1];
    if (!images.normal) return;
    if (hbmVirtual) Blit(hbmVirtual, b.x, b.y, b.w, b.h, images.normal, 0, 0);
    DeleteSurface(images.normal);
    images.normal = nullptr;
}

void DrawButton(int id, int pressed) {
    PanelButton* b = FindPanelButton(id);
    if (!b || b->w <= 0 || b->h <= 0) return;
    const ButtonLayout* l = FindButtonLayout(id);
    if (pressed) {
        KeepNormalLook(id, *b);
        b->pressed = 1;
        PutImage(hbmVirtual, *b, ButtonImage(id, 'h'));
        PutImage(WindowSurface(), *b, ButtonImage(id, 'h'));
        return;
    }
    b->pressed = 0;
    RestoreNormalLook(id, *b);
    if (l && l->twoState) PutImage(hbmVirtual, *b, ButtonImage(id, 'n'));
    RestoreButtonArea(*b);
    if (b->hover) PutImage(WindowSurface(), *b, ButtonImage(id, 'r'));
}

void FlashButton(int id) {
    DrawButton(id, 1);
    Delay(0.1);
    DrawButton(id, 0);
}

void RedrawButtons(int mode) {
    for (PanelButton& b : panelButtons) {
        if (!ButtonVisible(b.id, mode) || b.w <= 0 || b.h <= 0) continue;
        const ButtonLayout* l = FindButtonLayout(b.id);
        if (b.pressed) {
            PutImage(hbmVirtual, b, ButtonImage(b.id, 'h'));
            PutImage(WindowSurface(), b, ButtonImage(b.id, 'h'));
        } else if (l && l->twoState) {
            PutImage(hbmVirtual, b, ButtonImage(b.id, 'n'));
            PutImage(WindowSurface(), b, ButtonImage(b.id, 'n'));
        }
        if (b.hover && !b.pressed) PutImage(WindowSurface(), b, ButtonImage(b.id, 'r'));
    }
}

void ClearButtonStates() {
    for (PanelButton& b : panelButtons) {
        if (b.pressed) RestoreNormalLook(b.id, b);
        b.hover = 0;
        b.pressed = 0;
    }
}

int ButtonHitTest(int x, int y, int mode, int* id) {
    *id = 0;
    // Leaving first, so that a prompt erased on the way out never wipes the new one.
    for (PanelButton& b : panelButtons) {
        if (!b.hover) continue;
        if (ButtonVisible(b.id, mode) && b.w > 0 && b.h > 0 && Inside(HoverArea(b), x, y)) continue;
        b.hover = 0;
        DrawHover(b.id, 0);
        HelpPrompt(b.id, 1);
    }
    for (PanelButton& b : panelButtons) {
        if (!ButtonVisible(b.id, mode) || b.w <= 0 || b.h <= 0 || !Inside(HoverArea(b), x, y)) continue;
        if (!*id) *id = b.id;
        if (b.hover) continue;
        b.hover = 1;
        if (b.id == 73 || b.id == 74) {
            PanelButton* other = FindPanelButton(b.id == 73 ? 74 : 73);
            if (other->hover) {
                other->hover = 0;
                DrawHover(other->id, 0);
            }
        }
        DrawHover(b.id, 1);
        HelpPrompt(b.id, 0);
    }
    return *id != 0;
}

void DrawUnitsSwitch(int mode) {
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual) return;
    if (!panels.units[0] && !panels.unitsFailed) {
        if (!LoadBMPFromFile("menu\\105a.bmp", &panels.units[0]) || !LoadBMPFromFile("menu\\105b.bmp", &panels.units[1]))
            panels.unitsFailed = 1;
    }
    Surface* image = panels.units[imperialUnits ? 1 : 0];
    if (!image) return;
    int x = mode == 5 ? 706 : 705, y = mode == 5 ? 131 : 178, width = 82, height = 12;
    if (smallLayout) x = (int)(x * 0.8), y = (int)(y * 0.8), width = 65, height = 9;
    Blit(hbmVirtual, x, y, width, height, image, 0, 0);
    Blit(w, x, y, width, height, image, 0, 0);
}
