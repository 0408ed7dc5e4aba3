// The room (the front screen) with its entry animation, the product and information pages
// and the trivia quiz's backdrop: scenes whose hot objects sit exactly on their buttons.
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstring>

#include "art.h"
#include "core/layout_table.h"

static struct {
    QImage earth;  // the Earth seen through the room's window
    QImage logoGlobe;
} room;

static QRectF ButtonRect(int id) {
    const ButtonLayout* b = FindButtonLayout(id);
    return QRectF(b->x, b->y, b->w, b->h);
}

// A soft glow behind an object that the pointer is over or that is pressed.
static void DrawHotGlow(QPainter& p, const QRectF& r, ArtState state) {
    if (state == kArtNormal) return;
    p.save();
    QPainterPath path;
    path.addRoundedRect(r.adjusted(1, 1, -1, -1), 6, 6);
    p.fillPath(path, state == kArtRollover ? QColor(38, 190, 204, 55) : QColor(250, 185, 33, 70));
    p.setPen(QPen(state == kArtRollover ? art::Accent() : art::Amber(), 2));
    p.drawPath(path);
    p.restore();
}

static void DrawCaption(QPainter& p, const QRectF& r, const char* text, ArtState state) {
    QColor c = state == kArtNormal ? QColor(200, 214, 232) : QColor(255, 255, 255);
    DrawLabel(p, r, text, 11, true, c);
}

static void DrawWebObject(QPainter& p, ArtState s) {  // a laptop showing a web page
    QRectF r = ButtonRect(66);
    DrawHotGlow(p, r, s);
    QRectF screen(r.left() + 14, r.top() + 4, r.width() - 28, r.height() - 14);
    p.fillRect(screen.adjusted(-3, -3, 3, 3), QColor(40, 46, 58));
    QLinearGradient g(screen.topLeft(), screen.bottomRight());
    g.setColorAt(0, s == kArtNormal ? QColor(30, 90, 150) : QColor(50, 140, 200));
    g.setColorAt(1, QColor(16, 40, 80));
    p.fillRect(screen, g);
    p.fillRect(QRectF(screen.left(), screen.top(), screen.width(), 5), QColor(200, 210, 225));
    DrawLabel(p, screen.adjusted(0, 4, 0, 0), "www", 13, true, QColor(255, 255, 255));
    QPolygonF base;
    base << QPointF(r.left() + 6, r.bottom() - 6) << QPointF(r.right() - 6, r.bottom() - 6) << QPointF(r.right(), r.bottom() - 1)
         << QPointF(r.left(), r.bottom() - 1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 160, 176));
    p.drawPolygon(base);
}

static void DrawMailObject(QPainter& p, ArtState s) {  // a letter tray with an envelope
    QRectF r = ButtonRect(67);
    DrawHotGlow(p, r, s);
    QRectF env(r.left() + 12, r.top() + 6, r.width() - 24, r.height() - 18);
    p.setPen(QPen(QColor(120, 110, 90), 1));
    p.setBrush(s == kArtNormal ? QColor(236, 228, 208) : QColor(255, 248, 228));
    p.drawRect(env);
    p.drawLine(env.topLeft(), env.center());
    p.drawLine(env.topRight(), env.center());
    p.setBrush(QColor(200, 60, 50));
    p.setPen(Qt::NoPen);
    p.drawEllipse(env.center() + QPointF(0, 2), 3.5, 3.5);
    p.setBrush(QColor(70, 84, 104));
    p.drawRoundedRect(QRectF(r.left() + 4, r.bottom() - 13, r.width() - 8, 10), 2, 2);
    DrawLabel(p, QRectF(r.left() + 4, r.bottom() - 13, r.width() - 8, 10), "MAIL", 8, true, QColor(220, 230, 245));
}

static void DrawQuizObject(QPainter& p, ArtState s) {  // a glowing question cube
    QRectF r = ButtonRect(68);
    DrawHotGlow(p, r, s);
    QRectF cube(r.left() + 9, r.top() + 4, 40, 38);
    QLinearGradient g(cube.topLeft(), cube.bottomRight());
    g.setColorAt(0, s == kArtHit ? QColor(255, 210, 90) : QColor(250, 185, 33));
    g.setColorAt(1, QColor(190, 110, 20));
    p.setPen(QPen(QColor(255, 230, 150), 1));
    p.setBrush(g);
    p.drawRoundedRect(cube, 6, 6);
    DrawLabel(p, cube, "?", 28, true, QColor(60, 30, 0));
    DrawLabel(p, QRectF(r.left(), r.bottom() - 8, r.width(), 8), "QUIZ", 7.5, true, QColor(255, 230, 170));
}

static void DrawProductsObject(QPainter& p, ArtState s) {  // three boxes on a shelf
    QRectF r = ButtonRect(70);
    DrawHotGlow(p, r, s);
    QColor colours[3] = {QColor(40, 120, 200), QColor(30, 160, 120), QColor(200, 110, 40)};
    for (int i = 0; i < 3; i++) {
        QRectF box(r.left() + 8 + i * 38, r.top() + 4 + (i == 1 ? 0 : 3), 32, r.height() - 8 - (i == 1 ? 0 : 3));
        QLinearGradient g(box.topLeft(), box.topRight());
        g.setColorAt(0, colours[i].lighter(s == kArtNormal ? 100 : 130));
        g.setColorAt(1, colours[i].darker(150));
        p.setPen(QPen(colours[i].lighter(150), 1));
        p.setBrush(g);
        p.drawRect(box);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 180));
        p.drawEllipse(box.center(), 6, 6);
    }
}

static void DrawNameplate(QPainter& p, int id, const char* name, ArtState s) {
    QRectF r = ButtonRect(id);
    QRectF plate = r.adjusted(3, 3, -3, -3);
    QLinearGradient g(plate.topLeft(), plate.bottomLeft());
    g.setColorAt(0, s == kArtNormal ? QColor(214, 176, 96) : QColor(250, 214, 130));
    g.setColorAt(1, s == kArtHit ? QColor(200, 140, 40) : QColor(150, 112, 48));
    p.setPen(QPen(s == kArtNormal ? QColor(96, 70, 30) : art::Accent(), s == kArtNormal ? 1 : 2));
    p.setBrush(g);
    p.drawRoundedRect(plate, 4, 4);
    DrawLabel(p, plate, name, std::min(15.0, plate.height() * 0.62), true, QColor(54, 36, 10));
}

// The holographic panel over the pedestal: t from 0 (a spark) to 1 (the full panel).
static void DrawHologram(QPainter& p, double t, ArtState startState, ArtState exitState) {
    if (t <= 0) return;
    p.save();
    double cx = 212, base = 303;
    double top = base - 231 * std::min(1.0, t);
    double half = 14 + 99 * std::min(1.0, t);
    QPolygonF beam;
    beam << QPointF(cx - 40, base) << QPointF(cx + 40, base) << QPointF(cx + half, top) << QPointF(cx - half, top);
    QLinearGradient g(0, base, 0, top);
    g.setColorAt(0, QColor(90, 230, 255, 150));
    g.setColorAt(1, QColor(60, 180, 240, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPolygon(beam);
    if (t >= 0.75) {
        double a = std::min(1.0, (t - 0.75) / 0.25);
        QRectF panel(cx - half, top, 2 * half, base - 30 - top);
        QPainterPath path;
        path.addRoundedRect(panel, 10, 10);
        p.fillPath(path, QColor(10, 40, 70, (int)(170 * a)));
        p.setPen(QPen(QColor(120, 230, 255, (int)(220 * a)), 1.5));
        p.drawPath(path);
        p.setOpacity(a);
        if (!room.logoGlobe.isNull()) p.drawImage(QRectF(cx - 25, top + 6, 50, 50), room.logoGlobe);
        DrawLabel(p, QRectF(panel.left(), 180, panel.width(), 22), "Earth Atlas", 12, true, QColor(180, 230, 250));
        DrawButtonFace(p, ButtonRect(73).adjusted(4, 4, -4, -4), "START", startState, 17);
        DrawButtonFace(p, ButtonRect(74).adjusted(8, 12, -8, -8), "EXIT", exitState, 13);
        p.setOpacity(1);
    }
    QRadialGradient spark(QPointF(cx, base), 40);
    spark.setColorAt(0, QColor(200, 250, 255, 220));
    spark.setColorAt(1, QColor(60, 200, 255, 0));
    p.setBrush(spark);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(cx, base), 44, 12);
    p.restore();
}

// The room: wall, a window onto the Earth, the floor, furniture and the hot objects.
static void DrawRoomScene(QPainter& p, double holo, ArtState objects, ArtState startExit) {
    QLinearGradient wall(0, 0, 0, 330);
    wall.setColorAt(0, QColor(22, 30, 48));
    wall.setColorAt(1, QColor(36, 48, 70));
    p.fillRect(QRectF(0, 0, 800, 330), wall);
    QLinearGradient floor(0, 330, 0, 600);
    floor.setColorAt(0, QColor(44, 40, 44));
    floor.setColorAt(1, QColor(18, 16, 20));
    p.fillRect(QRectF(0, 330, 800, 270), floor);
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    for (int i = -10; i <= 20; i++) p.drawLine(QPointF(400 + i * 20, 330), QPointF(400 + i * 90, 600));
    for (int y = 345; y < 600; y += (y - 320) / 3) p.drawLine(QPointF(0, y), QPointF(800, y));
    // The window onto space with the Earth rising.
    QRectF window(346, 26, 430, 226);
    p.save();
    QPainterPath wp;
    wp.addRoundedRect(window, 14, 14);
    p.setClipPath(wp);
    DrawStarfield(p, window, 7);
    if (!room.earth.isNull()) p.drawImage(QPointF(window.center().x() - room.earth.width() / 2.0, window.top() + 120), room.earth);
    p.restore();
    p.setPen(QPen(QColor(90, 104, 128), 6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(window, 14, 14);
    p.setPen(QPen(QColor(90, 104, 128), 4));
    p.drawLine(QPointF(window.center().x(), window.top()), QPointF(window.center().x(), window.bottom()));
    // Skirting and ceiling light strip.
    p.fillRect(QRectF(0, 326, 800, 6), QColor(60, 70, 90));
    p.fillRect(QRectF(0, 0, 800, 6), QColor(120, 200, 255, 60));
    // Light on the floor: the window's glow and pools under the pedestal and the sideboard.
    p.setPen(Qt::NoPen);
    QLinearGradient spill(0, 332, 0, 470);
    spill.setColorAt(0, QColor(120, 170, 255, 40));
    spill.setColorAt(1, QColor(120, 170, 255, 0));
    QPolygonF glow;
    glow << QPointF(360, 332) << QPointF(770, 332) << QPointF(860, 470) << QPointF(300, 470);
    p.setBrush(spill);
    p.drawPolygon(glow);
    auto floorPool = [&](QPointF at, double radius, double squash, QColor colour) {
        QRadialGradient g(QPointF(0, 0), radius);
        g.setColorAt(0, colour);
        colour.setAlpha(0);
        g.setColorAt(1, colour);
        p.save();
        p.translate(at);
        p.scale(1, squash);
        p.setBrush(g);
        p.drawEllipse(QPointF(0, 0), radius, radius);
        p.restore();
    };
    floorPool(QPointF(212, 352), 150, 0.27, QColor(60, 200, 255, 70));
    floorPool(QPointF(655, 540), 180, 0.2, QColor(255, 190, 110, 40));
    // A plant between the desk and the quiz table.
    p.setBrush(QColor(70, 60, 60));
    p.drawRoundedRect(QRectF(300, 392, 40, 40), 5, 5);
    for (int i = 0; i < 9; i++) {
        double a = -1.25 + i * 0.31;
        p.save();
        p.translate(320, 394);
        p.rotate(a * 57.3);
        p.setBrush(i % 2 ? QColor(50, 130, 80) : QColor(70, 160, 90));
        p.drawEllipse(QRectF(-6, -58, 12, 58));
        p.restore();
    }
    // The pedestal under the hologram.
    p.setPen(Qt::NoPen);
    QLinearGradient ped(150, 0, 274, 0);
    ped.setColorAt(0, QColor(50, 58, 74));
    ped.setColorAt(0.5, QColor(96, 108, 130));
    ped.setColorAt(1, QColor(40, 46, 60));
    p.setBrush(ped);
    p.drawRect(QRectF(160, 306, 104, 44));
    p.drawEllipse(QRectF(160, 340, 104, 20));
    p.setBrush(QColor(120, 140, 170));
    p.drawEllipse(QRectF(158, 296, 108, 20));
    p.setBrush(QColor(60, 200, 255, 120));
    p.drawEllipse(QRectF(182, 300, 60, 10));
    // The desk at the left with the laptop and the letter tray.
    p.setBrush(QColor(86, 62, 44));
    p.drawRect(QRectF(0, 358, 190, 10));
    p.setBrush(QColor(64, 46, 34));
    p.drawRect(QRectF(4, 368, 12, 150));
    p.drawRect(QRectF(174, 368, 12, 150));
    p.setBrush(QColor(56, 40, 30));
    p.drawRect(QRectF(60, 400, 120, 70));
    p.fillRect(QRectF(60, 452, 120, 2), QColor(30, 20, 14));
    DrawWebObject(p, objects);
    DrawMailObject(p, objects);
    DrawCaption(p, QRectF(21, 372, 115, 16), "Web Site", objects);
    DrawCaption(p, QRectF(60, 470, 120, 16), "E-Mail", objects);
    // The quiz table.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 80, 100));
    p.drawEllipse(QRectF(392, 318, 86, 16));
    p.drawRect(QRectF(430, 326, 10, 80));
    p.drawEllipse(QRectF(410, 400, 50, 10));
    DrawQuizObject(p, objects);
    DrawCaption(p, QRectF(380, 338, 110, 16), "Trivia Quiz", objects);
    // The sideboard at the right: products on top, the two nameplates on its front.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(72, 52, 40));
    p.drawRect(QRectF(520, 419, 270, 8));
    p.setBrush(QColor(56, 40, 32));
    p.drawRect(QRectF(526, 427, 258, 100));
    p.fillRect(QRectF(526, 486, 258, 1), QColor(30, 20, 14));
    DrawProductsObject(p, objects);
    DrawCaption(p, QRectF(560, 364, 154, 16), "Other Products", objects);
    DrawNameplate(p, 71, "Orvek", objects);
    DrawNameplate(p, 72, "Pelandor", objects);
    DrawHologram(p, holo, startExit, startExit);
}

static const double kFrameStages[9] = {0.12, 0.25, 0.38, 0.5, 0.62, 0.74, 0.86, 0.93, 1.0};
static const int kFramePositions[9][2] = {{130, 263}, {123, 223}, {129, 199}, {126, 176}, {121, 143},
                                          {116, 110}, {101, 82},  {122, 98},  {99, 72}};
static const char* kFrameNames[9] = {"room\\a.bmp", "room\\b.bmp", "room\\c.bmp", "room\\d.bmp", "room\\e.bmp",
                                     "room\\f.bmp", "room\\g.bmp", "room\\1.bmp", "room\\1n.bmp"};

static int WriteRoom(BuildContext& ctx, int small) {
    int ok = 1;
    QImage lit = RenderArt(800, 600, small, [](QPainter& p) { DrawRoomScene(p, 0, kArtNormal, kArtNormal); });
    ok = WriteArt(ctx, "room\\frame01.bmp", small, lit) && ok;
    QImage dark = RenderArt(800, 600, small, [](QPainter& p) {
        DrawRoomScene(p, 0, kArtNormal, kArtNormal);
        p.fillRect(QRectF(0, 0, 800, 600), QColor(0, 0, 0, 225));
    });
    ok = WriteArt(ctx, "room\\dark.bmp", small, dark) && ok;
    QImage full[3];
    for (int s = 0; s < 3; s++)
        full[s] = RenderArt(800, 600, small, [&](QPainter& p) { DrawRoomScene(p, 1, (ArtState)s, (ArtState)s); });
    ok = WriteArt(ctx, "room\\frame16.bmp", small, full[0]) && ok;
    // Each entry frame covers the hologram's area, symmetric about the pedestal, down to its top.
    for (int i = 0; i < 9; i++) {
        int x = kFramePositions[i][0], y = kFramePositions[i][1];
        int w = 2 * (212 - x), h = 306 - y;
        QImage stage = i == 8 ? full[0] : RenderArt(800, 600, small, [&](QPainter& p) { DrawRoomScene(p, kFrameStages[i], kArtNormal, kArtNormal); });
        ok = WriteArt(ctx, kFrameNames[i], small, CropArt(stage, small, x, y, w, h)) && ok;
    }
    char name[32];
    for (const ButtonLayout& b : kButtonLayout) {
        if (!(b.modes & ModeBit(1)) || b.w <= 0) continue;
        for (int k = 1; k <= 2; k++)
            if (ButtonImageName(b.id, k == 1 ? 'r' : 'h', -1, name, sizeof name))
                ok = WriteArt(ctx, name, small, CropArt(full[k], small, b.x, b.y, b.w, b.h)) && ok;
    }
    return ok;
}

// [SECTION] Product and information pages

static void DrawProductCard(QPainter& p, int id, ArtState s) {
    const ButtonLayout* b = FindButtonLayout(id);
    QRectF r(b->x, b->y, b->w, b->h);
    QPainterPath path;
    path.addRoundedRect(r.adjusted(1, 1, -1, -1), 10, 10);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    QColor tint = id == 90 ? QColor(200, 110, 40) : id == 91 ? QColor(40, 120, 200) : QColor(30, 160, 120);
    g.setColorAt(0, tint.lighter(s == kArtNormal ? 100 : 125));
    g.setColorAt(1, tint.darker(260));
    p.fillPath(path, g);
    p.setPen(QPen(s == kArtNormal ? tint.lighter(140) : s == kArtRollover ? art::Accent() : art::Amber(), s == kArtNormal ? 1 : 3));
    p.drawPath(path);
    if (!room.logoGlobe.isNull()) p.drawImage(QRectF(r.center().x() - 36, r.top() + 18, 72, 72), room.logoGlobe);
    DrawLabel(p, QRectF(r.left(), r.top() + 98, r.width(), 24), b->label, 15, true, QColor(255, 255, 255));
    const char* line = id == 90 ? "The atlas viewer" : id == 91 ? "mundora-volume" : "Where it comes from";
    DrawLabel(p, QRectF(r.left(), r.top() + 120, r.width(), 18), line, 10.5, false, QColor(230, 236, 246));
}

static void DrawPageButtons(QPainter& p, ArtState s) {
    for (int id = 87; id <= 89; id++) {
        const ButtonLayout* b = FindButtonLayout(id);
        DrawButtonFace(p, QRectF(b->x, b->y, b->w, b->h), b->label, s, id == 87 ? 15 : 12);
    }
}

static void DrawPageBackdrop(QPainter& p, const char* title) {
    FillBackdrop(p, QRectF(0, 0, 800, 600));
    DrawStarfield(p, QRectF(0, 0, 800, 40), 11);
    p.fillRect(QRectF(0, 40, 800, 1), art::PanelEdge());
    DrawLabel(p, QRectF(24, 6, 500, 30), title, 20, true, art::Text(), Qt::AlignLeft | Qt::AlignVCenter);
}

static void DrawProductsPage(QPainter& p, ArtState s) {
    DrawPageBackdrop(p, "Other Products");
    for (int id = 90; id <= 92; id++) DrawProductCard(p, id, s);
    DrawWell(p, QRectF(36, 240, 728, 300), 8);
    DrawPageButtons(p, s);
}

static void DrawInfoPage(QPainter& p, const char* title, const char* mark, ArtState s) {
    DrawPageBackdrop(p, title);
    DrawWell(p, QRectF(30, 52, 610, 430), 8);
    DrawPanel(p, QRectF(652, 52, 122, 430));
    p.save();
    QRadialGradient g(QPointF(713, 140), 50);
    g.setColorAt(0, QColor(250, 214, 130));
    g.setColorAt(1, QColor(150, 100, 30));
    p.setBrush(g);
    p.setPen(QPen(QColor(255, 236, 180), 2));
    p.drawEllipse(QPointF(713, 140), 46, 46);
    p.restore();
    DrawLabel(p, QRectF(667, 100, 92, 80), mark, 44, true, QColor(70, 40, 0));
    DrawLabel(p, QRectF(652, 200, 122, 24), title + 6, 15, true, art::Text());
    DrawPageButtons(p, s);
}

static int WritePages(BuildContext& ctx, int small) {
    int ok = 1;
    QImage prods[3];
    for (int s = 0; s < 3; s++) prods[s] = RenderArt(800, 600, small, [&](QPainter& p) { DrawProductsPage(p, (ArtState)s); });
    ok = WriteArt(ctx, "room\\prods_a.bmp", small, prods[0]) && ok;
    ok = WriteArt(ctx, "room\\btorvek.bmp", small, RenderArt(800, 600, small, [](QPainter& p) { DrawInfoPage(p, "About Orvek", "O", kArtNormal); })) && ok;
    ok = WriteArt(ctx, "room\\btpelndr.bmp", small, RenderArt(800, 600, small, [](QPainter& p) { DrawInfoPage(p, "About Pelandor", "P", kArtNormal); })) && ok;
    char name[32];
    for (int id = 87; id <= 92; id++) {
        const ButtonLayout* b = FindButtonLayout(id);
        for (int k = 1; k <= 2; k++)
            if (ButtonImageName(id, k == 1 ? 'r' : 'h', -1, name, sizeof name))
                ok = WriteArt(ctx, name, small, CropArt(prods[k], small, b->x, b->y, b->w, b->h)) && ok;
    }
    return ok;
}

// [SECTION] Trivia

struct TriviaButton {
    const char* name;
    int left, top, right, bottom;
    const char* label;
};
static const TriviaButton kTrivia[7] = {
    {"137", 306, 309, 350, 353, "A"},           {"138", 356, 309, 400, 353, "B"},       {"139", 407, 309, 451, 353, "C"},
    {"140", 456, 309, 500, 353, "D"},           {"141", 266, 83, 392, 112, "Next Question"},
    {"142", 402, 83, 554, 113, "Explanation"}, {"134", 309, 552, 497, 591, "Back to Room"},
};

static void DrawTrivia(QPainter& p, ArtState s) {
    FillBackdrop(p, QRectF(0, 0, 800, 600));
    DrawStarfield(p, QRectF(0, 0, 800, 72), 23);
    p.fillRect(QRectF(0, 72, 800, 1), art::PanelEdge());
    DrawLabel(p, QRectF(0, 12, 800, 44), "Trivia Quiz", 30, true, art::Amber());
    DrawWell(p, QRectF(210, 151, 580, 390), 10);
    DrawLabel(p, QRectF(222, 320, 78, 22), "Your answer", 11, true, art::TextDim(), Qt::AlignRight | Qt::AlignVCenter);
    p.fillRect(QRectF(230, 392, 540, 1), QColor(60, 84, 114));
    if (!room.logoGlobe.isNull()) p.drawImage(QRectF(30, 190, 150, 150), room.logoGlobe);
    DrawLabel(p, QRectF(20, 350, 170, 60), "Test your\nknowledge\nof the Earth", 14, true, art::TextDim(), Qt::AlignHCenter | Qt::AlignTop);
    for (const TriviaButton& t : kTrivia)
        DrawButtonFace(p, QRectF(t.left, t.top, t.right - t.left, t.bottom - t.top), t.label, s, t.label[1] ? 14 : 22);
}

static int WriteTrivia(BuildContext& ctx, int small) {
    int ok = 1;
    QImage pics[3];
    for (int s = 0; s < 3; s++) pics[s] = RenderArt(800, 600, small, [&](QPainter& p) { DrawTrivia(p, (ArtState)s); });
    // The backdrop shows the question area empty: the quiz writes its texts over it.
    ok = WriteArt(ctx, "room\\triv_a.bmp", small, pics[0]) && ok;
    for (const TriviaButton& t : kTrivia) {
        for (int k = 1; k <= 2; k++) {
            char name[32];
            snprintf(name, sizeof name, "menu\\%s%c.bmp", t.name, k == 1 ? 'r' : 'h');
            ok = WriteArt(ctx, name, small, CropArt(pics[k], small, t.left, t.top, t.right - t.left, t.bottom - t.top)) && ok;
        }
    }
    return ok;
}

int BuildRoomArt(BuildContext& ctx, const QImage& world) {
    room.earth = RenderGlobe(world, 380, -30, 20);
    room.logoGlobe = RenderGlobe(world, 160, 10, 25);
    int ok = 1;
    for (int small = 0; small <= 1; small++) {
        ok = WriteRoom(ctx, small) && ok;
        ok = WritePages(ctx, small) && ok;
        ok = WriteTrivia(ctx, small) && ok;
    }
    return ok;
}
