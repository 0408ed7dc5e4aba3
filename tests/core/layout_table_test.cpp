// The shared button layout: identifier order, the rectangles the screens' hot spots depend
// on, the 640x480 scaling and the names of the button images.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "core/layout_table.h"

static bool Inside(const ButtonLayout& b, int x, int y) { return x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h; }
static bool Overlap(const ButtonLayout& a, const ButtonLayout& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

TEST(LayoutTable, RecordsInIdentifierOrderWithinTheWindow) {
    for (int i = 0; i < kButtonCount; i++) {
        const ButtonLayout& b = kButtonLayout[i];
        EXPECT_EQ(b.id, i + 1);
        EXPECT_EQ(FindButtonLayout(i + 1), &b);
        if (b.id == 69) continue;  // the room has no object for it
        EXPECT_GT(b.w, 0) << b.id;
        EXPECT_GT(b.h, 0) << b.id;
        EXPECT_GE(b.x, 0) << b.id;
        EXPECT_LE(b.x + b.w, 800) << b.id;
        EXPECT_LE(b.y + b.h, 600) << b.id;
        EXPECT_TRUE(!strcmp(b.folder, "menu") || !strcmp(b.folder, "room")) << b.id;
    }
    EXPECT_EQ(FindButtonLayout(0), nullptr);
    EXPECT_EQ(FindButtonLayout(98), nullptr);
}

// The bottom row of buttons stands in order along the window's foot, each clear of the next.
TEST(LayoutTable, BottomRowButtonsInOrder) {
    int bottomX[] = {249, 316, 365, 445, 515, 593, 650, 691, 760};
    for (int i = 0; i < 9; i++) {
        const ButtonLayout* b = FindButtonLayout(6 + i);
        EXPECT_EQ(b->x, bottomX[i]);
        EXPECT_EQ(b->y, 579);
        int next = i < 8 ? bottomX[i + 1] : 800;
        EXPECT_LE(b->x + b->w, next) << b->id;  // no overlap with the next button
        EXPECT_LE(b->y + b->h, 600);
    }
}

// Buttons of one screen never overlap, except where the layout makes them share an area.
TEST(LayoutTable, ButtonsOfOneScreenDoNotOverlap) {
    for (int mode = 1; mode <= 13; mode++) {
        for (int i = 0; i < kButtonCount; i++) {
            for (int j = i + 1; j < kButtonCount; j++) {
                const ButtonLayout &a = kButtonLayout[i], &b = kButtonLayout[j];
                if (!(a.modes & b.modes & ModeBit(mode)) || a.w == 0 || b.w == 0) continue;
                if (a.id >= 39 && a.id <= 42 && b.id >= 39 && b.id <= 42) continue;
                EXPECT_FALSE(Overlap(a, b)) << "mode " << mode << ": " << a.id << " and " << b.id;
            }
        }
    }
}

// The hot spots other screens fix must land on the right controls or on free panel space.
TEST(LayoutTable, HotSpotsOfTheScreens) {
    // Terrain drag controls: the cursor goes back to these points after a drag.
    EXPECT_TRUE(Inside(*FindButtonLayout(36), 768, 502) || Inside(*FindButtonLayout(37), 768, 502));
    EXPECT_TRUE(Inside(*FindButtonLayout(38), 724, 539));
    for (int id = 39; id <= 42; id++) {
        EXPECT_TRUE(Inside(*FindButtonLayout(id), 768, 539)) << id;
        const ButtonLayout* b = FindButtonLayout(id);  // within the shared hover area
        EXPECT_GE(b->x, 750);
        EXPECT_LE(b->x + b->w, 787);
        EXPECT_GE(b->y, 521);
        EXPECT_LE(b->y + b->h, 558);
    }
    for (int id = 36; id <= 37; id++) {
        const ButtonLayout* b = FindButtonLayout(id);
        EXPECT_GE(b->x, 749);
        EXPECT_LE(b->x + b->w, 787);
        EXPECT_GE(b->y, 491);
        EXPECT_LE(b->y + b->h, 512);
    }
    // Nothing of the terrain screen sits on the unit line, nothing of the globe on the tilt
    // dial or the units switch, nothing of the map on the units switch or the locator.
    struct { int mode, x0, y0, x1, y1; } freeAreas[] = {
        {4, 705, 178, 786, 189}, {5, 701, 455, 739, 532}, {5, 706, 131, 787, 142},
        {3, 705, 178, 786, 189}, {3, 695, 434, 796, 488}, {5, 699, 170, 793, 244},
    };
    for (auto& f : freeAreas) {
        ButtonLayout area{0, f.x0, f.y0, f.x1 - f.x0 + 1, f.y1 - f.y0 + 1, "", 0, "menu", 0};
        for (const ButtonLayout& b : kButtonLayout)
            if ((b.modes & ModeBit(f.mode)) && b.w > 0) {
                EXPECT_FALSE(Overlap(area, b)) << "mode " << f.mode << " button " << b.id;
            }
    }
}

TEST(LayoutTable, SmallLayoutScalesEveryCoordinate) {
    int x, y, w, h;
    ScaleButtonRect(*FindButtonLayout(87), 1, &x, &y, &w, &h);
    EXPECT_EQ(x, 247);  // 309 * 0.8 = 247.2
    EXPECT_EQ(y, 441);  // 552 * 0.8 = 441.6
    EXPECT_EQ(w, 150);  // 188 * 0.8 = 150.4
    EXPECT_EQ(h, 31);   // 39 * 0.8 = 31.2
    for (const ButtonLayout& b : kButtonLayout) {
        ScaleButtonRect(b, 1, &x, &y, &w, &h);
        EXPECT_EQ(x, (int)(b.x * 0.8));
        EXPECT_EQ(w, (int)(b.w * 0.8));
        ScaleButtonRect(b, 0, &x, &y, &w, &h);
        EXPECT_EQ(x, b.x);
        EXPECT_EQ(h, b.h);
    }
}

TEST(LayoutTable, ImageNames) {
    char name[64];
    struct { int id; char kind; int state; const char* expect; } cases[] = {
        {20, 'r', -1, "menu\\20r.bmp"}, {26, 'h', -1, "menu\\26h.bmp"}, {73, 'r', -1, "room\\73r.bmp"},
        {8, 'n', 1, "menu\\8n1.bmp"},   {8, 'r', 0, "menu\\8r0.bmp"},   {41, 'r', -1, "menu\\39r.bmp"},
        {42, 'h', -1, "menu\\39h.bmp"}, {95, 'r', -1, "menu\\b95r.bmp"}, {92, 'h', -1, "room\\92h.bmp"},
        {69, 'r', -1, nullptr},         {8, 'r', -1, nullptr},          {20, 'n', -1, nullptr},
        {20, 'r', 1, nullptr},          {8, 'h', 2, nullptr},           {98, 'r', -1, nullptr},
    };
    for (auto& c : cases) {
        int ok = ButtonImageName(c.id, c.kind, c.state, name, sizeof name);
        if (!c.expect) {
            EXPECT_EQ(ok, 0) << c.id << c.kind << c.state;
            continue;
        }
        ASSERT_EQ(ok, 1) << c.id;
        EXPECT_STREQ(name, c.expect);
    }
    EXPECT_EQ(ButtonImageName(20, 'r', -1, name, 8), 0);  // too small a buffer
    // No two buttons with images of their own share a file name.
    std::set<std::string> seen;
    for (const ButtonLayout& b : kButtonLayout) {
        if (b.id >= 40 && b.id <= 42) continue;
        if (ButtonImageName(b.id, 'r', b.twoState ? 0 : -1, name, sizeof name)) {
            EXPECT_TRUE(seen.insert(name).second) << name;
        }
    }
}
