// The progress indicator of long operations: a green bar on a small panel at the bottom left,
// over the help-prompt line, which it restores first.
#include "core/core.h"
#include "imaging/imaging.h"
#include "platform/test_double.h"

static struct {
    Surface* panel;  // "menu\152.bmp", loaded on first use
    int failed;      // the panel could not be loaded; the bar is drawn on the bare window
} progress;

static Rect PanelRect() { return smallLayout ? Rect{10, 459, 150, 479} : Rect{13, 574, 189, 600}; }

int RestorePromptLine() {
    Surface* w = WindowSurface();
    if (!w || !hbmVirtual || !helpPromptsOn || screenMode == 6) return 0;
    Rect line = PromptLineRect();
    Blit(w, line.left, line.top, line.right - line.left, line.bottom - line.top, hbmVirtual, line.left, line.top);
    return 1;
}

void ProgressIndicator(int finished, int percent) {
    Surface* w = WindowSurface();
    if (screenMode == 1 || !w) return;
    Rect panel = PanelRect();
    if (finished) {
        if (hbmVirtual) Blit(w, panel.left, panel.top, panel.right - panel.left, panel.bottom - panel.top, hbmVirtual, panel.left, panel.top);
        PlayCue(CUE_PROCESS);
        return;
    }
    RestorePromptLine();
    if (!progress.panel && !progress.failed && !LoadBMPFromFile("menu\\152.bmp", &progress.panel)) progress.failed = 1;
    if (progress.panel) Blit(w, panel.left, panel.top, panel.right - panel.left, panel.bottom - panel.top, progress.panel, 0, 0);
    int p = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    Rect bar = smallLayout ? Rect{56, 462, (int)(0.8 * (72 + p)), 469} : Rect{71, 578, 72 + p, 587};
    FillRect(w, bar, MakeColour(0, 255, 0));
}
