// The one layout table of every panel button: identifier, rectangle, label and the screens
// that show it. The viewer's button table and the builder's artwork both come from it, so
// the pictures and the hit tests cannot disagree.
#pragma once

#include <cstdint>

struct ButtonLayout {
    int id;
    int x, y, w, h;       // 800x600 window pixels; the 640x480 set scales them by 0.8
    const char* label;    // the text the artwork shows on the button ("" for pictures)
    uint32_t modes;       // bit m set: the button belongs to screen mode m
    const char* folder;   // "menu" or "room": where its r and h images live
    int twoState;         // 1: images in n/r/h pairs ending 0 and 1 ("menu\8r1.bmp")
};

constexpr int kButtonCount = 97;
// Records in identifier order: kButtonLayout[i].id == i + 1.
extern const ButtonLayout kButtonLayout[kButtonCount];
inline const ButtonLayout* FindButtonLayout(int id) { return id >= 1 && id <= kButtonCount ? &kButtonLayout[id - 1] : nullptr; }
constexpr uint32_t ModeBit(int mode) { return 1u << mode; }

// The rectangle of a button in the chosen layout: every coordinate times 0.8, truncated, in
// the 640x480 layout.
void ScaleButtonRect(const ButtonLayout& b, int smallLayout, int* x, int* y, int* w, int* h);
// The volume name of a button's image: kind 'r' (rollover), 'h' (hit) or 'n' (normal look of
// a two-state button); state 0 or 1 for two-state buttons, -1 otherwise. Returns 0 for a button
// without images of its own (no rectangle) or a kind or state it does not have. Buttons 40-42
// use button 39's images (the rotation cluster is one picture) and buttons 93-95 use
// "menu\b93r.bmp" and so on, since "menu\93r.bmp" to "menu\95r.bmp" are chooser panels.
int ButtonImageName(int id, char kind, int state, char* out, int size);
