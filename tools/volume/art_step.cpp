// The "artwork" step: every bitmap of the screens in both layouts, then the contact sheet that
// shows them at their places for review. The title page, the volume's marker, is written last.
#include <QImage>
#include <QPainter>
#include <cstring>
#include <string>
#include <vector>

#include "art.h"
#include "core/layout_table.h"
#include "core/panel_layout.h"
#include "imaging/imaging.h"
#include "platform/files.h"

std::string ContactSheetPath(const BuildContext& ctx) {
    std::string out = ctx.outDir;
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    size_t slash = out.rfind('/');
    std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : out.substr(0, slash);
    return RecipeValue(ctx, "contact-sheet", (parent + "/contact-sheet.png").c_str());
}

// Files checked to decide whether the artwork is up to date (the title page comes last).
static const char* kArtSentinels[] = {"menu\\2dmain.bmp", "menu\\flymain.bmp", "room\\frame16.bmp", "menu\\42.bmp",
                                      "menu\\151m2.bmp",  "640\\menu\\151m2.bmp", "640\\titlepg.bmp", "titlepg.bmp"};

static QImage ReadVolumeBmp(const BuildContext& ctx, const std::string& name) {
    std::vector<uint8_t> bytes;
    DecodedBmp bmp;
    if (!ReadWholeFile(VolumePath(ctx, name.c_str()).c_str(), &bytes, 8u << 20) || !DecodeBmp(bytes.data(), bytes.size(), &bmp)) return QImage();
    QImage image(bmp.width, bmp.height, QImage::Format_RGB32);
    for (int y = 0; y < bmp.height; y++) memcpy(image.scanLine(y), &bmp.pixels[(size_t)y * bmp.width], (size_t)bmp.width * 4);
    return image;
}

struct Placed {
    std::string name;
    int x, y;
};

// A screen with pictures drawn over it at their places, outlined so that misfits show.
static QImage ComposeScreen(const BuildContext& ctx, const std::string& background, const std::vector<Placed>& over) {
    QImage screen = ReadVolumeBmp(ctx, background);
    if (screen.isNull()) return screen;
    QPainter p(&screen);
    for (const Placed& o : over) {
        QImage im = ReadVolumeBmp(ctx, o.name);
        if (im.isNull()) continue;
        p.drawImage(o.x, o.y, im);
        p.setPen(QPen(QColor(255, 0, 255, 160), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(o.x, o.y, im.width() - 1, im.height() - 1));
    }
    return screen;
}

static std::vector<Placed> RolloversOf(int mode) {
    std::vector<Placed> out;
    char name[48];
    for (const ButtonLayout& b : kButtonLayout) {
        if (!(b.modes & ModeBit(mode)) || b.w <= 0) continue;
        if (mode != 6 && b.id >= 82 && b.id <= 86) continue;
        if (ButtonImageName(b.id, 'r', b.twoState ? 1 : -1, name, sizeof name)) out.push_back({name, b.x, b.y});
    }
    return out;
}

int WriteContactSheet(BuildContext& ctx) {
    struct Tile {
        const char* title;
        std::string background;
        std::vector<Placed> over;
    };
    std::vector<Tile> tiles;
    tiles.push_back({"title page", "titlepg.bmp", {}});
    tiles.push_back({"room", "room\\frame16.bmp", {}});
    tiles.push_back({"room, rollovers", "room\\frame16.bmp", RolloversOf(1)});
    tiles.push_back({"room entry: dark", "room\\dark.bmp", {}});
    const char* frames[9] = {"a", "b", "c", "d", "e", "f", "g", "1", "1n"};
    const int framePos[9][2] = {{130, 263}, {123, 223}, {129, 199}, {126, 176}, {121, 143}, {116, 110}, {101, 82}, {122, 98}, {99, 72}};
    for (int i : {2, 5, 7}) tiles.push_back({"room entry frame", "room\\frame01.bmp", {{std::string("room\\") + frames[i] + ".bmp", framePos[i][0], framePos[i][1]}}});
    struct { int mode; const char* bg; const char* title; } views[] = {
        {3, "menu\\2dmain.bmp", "2D map"}, {4, "menu\\3dmain.bmp", "3D terrain"}, {5, "menu\\glbmain.bmp", "globe"},
        {7, "menu\\statmain.bmp", "statistics"}, {8, "menu\\flymain.bmp", "flyby"},
    };
    for (auto& v : views) {
        tiles.push_back({v.title, v.bg, {}});
        std::vector<Placed> over = RolloversOf(v.mode);
        if (v.mode == 3) over.push_back({"menu\\105a.bmp", 705, 178}), over.push_back({"menu\\152.bmp", 13, 574}), over.push_back({"menu\\42.bmp", 546, 45});
        if (v.mode == 4) over.push_back({"menu\\105b.bmp", 705, 178}), over.push_back({"menu\\106.bmp", 699, 210}), over.push_back({"menu\\42r.bmp", 546, 45});
        if (v.mode == 5) {
            over.push_back({"menu\\105b.bmp", 706, 131});
            over.push_back({"menu\\68.bmp", 546, 45});
            over.push_back({"menu\\71a.bmp", 546 + kDataChooserPreview.x, 45 + kDataChooserPreview.y});
            over.push_back({"menu\\124.bmp", 390, 45});
        }
        if (v.mode == 7) {
            over.push_back({"menu\\92.bmp", 545, 45});
            over.push_back({"menu\\97.bmp", 189, 252});
            over.push_back({"menu\\94r.bmp", 395, 45});
        }
        if (v.mode == 8) over.push_back({"menu\\144b.bmp", kStartMapX, kStartMapY}), over.push_back({"menu\\144a.bmp", 128, 447}), over.push_back({"menu\\145.bmp", 546, 45});
        tiles.push_back({v.title, v.bg, over});
    }
    std::vector<Placed> manual = {{"menu\\textbak.bmp", 16, 39}, {"menu\\125.bmp", 0, 504}};
    for (Placed& r : RolloversOf(6)) manual.push_back(r);
    tiles.push_back({"text viewer", "menu\\2dmain.bmp", manual});
    tiles.push_back({"other products", "room\\prods_a.bmp", RolloversOf(9)});
    tiles.push_back({"about Orvek", "room\\btorvek.bmp", {}});
    tiles.push_back({"about Pelandor", "room\\btpelndr.bmp", {}});
    std::vector<Placed> quiz = {{"menu\\137r.bmp", 306, 309}, {"menu\\139h.bmp", 407, 309}, {"menu\\141r.bmp", 266, 83},
                                {"menu\\142h.bmp", 402, 83},  {"menu\\134r.bmp", 309, 552}};
    tiles.push_back({"trivia", "room\\triv_a.bmp", {}});
    tiles.push_back({"trivia, rollovers", "room\\triv_a.bmp", quiz});
    tiles.push_back({"640x480 set: 2D map", "640\\menu\\2dmain.bmp", {}});
    tiles.push_back({"640x480 set: room", "640\\room\\frame16.bmp", {}});

    const int tw = 480, th = 360, cols = 4, label = 22;
    int rows = ((int)tiles.size() + cols - 1) / cols;
    // A strip of the data-type previews and choosers at the end.
    std::vector<std::string> strip = {"menu\\42.bmp", "menu\\42r.bmp", "menu\\42h.bmp", "menu\\42m.bmp", "menu\\68.bmp", "menu\\68h.bmp",
                                      "menu\\124.bmp", "menu\\93.bmp", "menu\\95h.bmp", "menu\\94.bmp", "menu\\92.bmp", "menu\\145.bmp"};
    QImage sheet(cols * tw, rows * (th + label) + 420 + 110, QImage::Format_RGB32);
    sheet.fill(QColor(40, 40, 44));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setFont(ArtFont(14, true));
    for (size_t i = 0; i < tiles.size(); i++) {
        int x = (int)(i % cols) * tw, y = (int)(i / cols) * (th + label);
        QImage screen = ComposeScreen(ctx, tiles[i].background, tiles[i].over);
        p.setPen(QColor(230, 230, 230));
        p.drawText(QRect(x + 6, y, tw - 12, label), Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(tiles[i].title));
        if (!screen.isNull()) p.drawImage(QRect(x + 2, y + label, tw - 4, th - 4), screen);
        else p.drawText(QRect(x, y + label, tw, th), Qt::AlignCenter, "missing " + QString::fromStdString(tiles[i].background));
    }
    int x = 6, y = rows * (th + label) + 10;
    for (const std::string& n : strip) {
        QImage im = ReadVolumeBmp(ctx, n);
        if (im.isNull()) continue;
        if (x + im.width() > sheet.width()) x = 6, y += 410;
        p.drawImage(x, y, im);
        x += im.width() + 12;
    }
    y = rows * (th + label) + 430;
    x = 6;
    for (char c = 'a'; c <= 'h'; c++) {
        QImage im = ReadVolumeBmp(ctx, std::string("menu\\71") + c + ".bmp");
        if (!im.isNull()) p.drawImage(x, y, im);
        x += 120;
    }
    for (const char* n : {"menu\\106.bmp", "menu\\152.bmp", "menu\\105a.bmp", "menu\\105b.bmp", "menu\\8n0.bmp", "menu\\8n1.bmp"}) {
        QImage im = ReadVolumeBmp(ctx, n);
        if (!im.isNull()) p.drawImage(x, y, im);
        x += im.width() + 16;
    }
    p.end();
    std::string path = ContactSheetPath(ctx);
    if (!sheet.save(QString::fromStdString(path), "PNG")) {
        BuildError("Cannot write the contact sheet %s", path.c_str());
        return 0;
    }
    ReportLine(ctx, "artwork: contact sheet %s", path.c_str());
    return 1;
}

int BuildArtwork(BuildContext& ctx) {
    EnsureArtApplication();
    std::string self = BuilderExecutablePath();
    std::vector<std::string> sources = {self, VolumePath(ctx, "raster\\rgb\\rgb2.top")};
    int upToDate = 1;
    for (const char* s : kArtSentinels) upToDate = upToDate && VolumeFileUpToDate(ctx, s, {self});
    // A colour overview written after the last artwork run means a new title globe.
    if (upToDate && FileExists(sources[1].c_str())) upToDate = VolumeFileUpToDate(ctx, "titlepg.bmp", sources);
    if (upToDate) {
        ReportLine(ctx, "artwork: up to date");
        return 1;
    }
    QImage world = LoadWorldImagery(ctx);
    if (world.isNull()) {
        ReportMissing(ctx, "titlepg.bmp", "no world imagery to draw the globes from");
        return 0;
    }
    SetArtWorld(&world);
    double t = NowSeconds();
    int ok = BuildViewArt(ctx);
    ok = BuildRoomArt(ctx, world) && ok;
    ok = BuildPanelArt(ctx, world) && ok;
    ok = ok && BuildTitleArt(ctx, world);
    SetArtWorld(nullptr);
    ReportLine(ctx, "artwork: %zu bitmaps in each of the two sets in %.1f s", ArtWritten().size(), NowSeconds() - t);
    if (ok) WriteContactSheet(ctx);
    return ok;
}
