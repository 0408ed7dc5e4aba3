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
