// The "manual" step: the manual's pages, written by hand in content/manual, copied into the
// volume's manual\ folder; about.txt completed with the sources of the data and a summary of
// this build; the pictures the pages show; and a check that every line of every page fits
// the text area it is drawn in, as the viewer does not wrap. A few dozen files, under a second.
#include <dirent.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "about_page.h"
#include "art.h"
#include "manual_pages.h"
#include "platform/files.h"
#include "volume.h"

// The pictures of the pages: 200 x 133 views of the screens the pages describe.
struct ManualPicture {
    const char* name;
    int mode;  // the screen drawn
};
static const ManualPicture kPictures[] = {
    {"manual\\m_2d.bmp", 3},
    {"manual\\m_globe.bmp", 5},
    {"manual\\m_3d.bmp", 4},
    {"manual\\m_flyby.bmp", 8},
};

// The map area of the 800 x 600 screens.
static const QRectF kMapArea(16, 39, 665, 499);

// A screen with the world in its map area, as the page's reader first meets it, scaled to a
// quarter (its upper 532 rows, which hold the map and the panel). The 3D view's and the
// flyby's pictures are their panels instead: the commands at the top beside the camera
// controls at the bottom, or beside the heading dial.
static QImage DrawPicture(int mode, const QImage& world) {
    QImage screen = RenderArt(800, 600, 0, [&](QPainter& p) {
        DrawViewScreen(p, mode, kArtNormal);
        if (mode == 3 && !world.isNull()) {
            double h = kMapArea.width() / 2;
            p.drawImage(QRectF(kMapArea.left(), kMapArea.top() + (kMapArea.height() - h) / 2, kMapArea.width(), h), world);
        }
        if (mode == 5 && !world.isNull()) {
            QImage globe = RenderGlobe(world, 440, 15, 20);
            p.drawImage(QPointF(kMapArea.center().x() - 220, kMapArea.center().y() - 220), globe);
        }
    });
    if (mode == 4 || mode == 8) {
        QImage panel(200, 133, QImage::Format_RGB32);
        QPainter p(&panel);
        p.drawImage(0, 0, screen.copy(693, 44, 100, 133));
        p.drawImage(100, 0, screen.copy(693, mode == 4 ? 410 : 150, 100, 133));
        return panel;
    }
    return screen.copy(0, 0, 800, 532).scaled(200, 133, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

static int WritePictures(BuildContext& ctx) {
    QImage world = LoadWorldImagery(ctx);
    int ok = !world.isNull();
    for (const ManualPicture& pic : kPictures) ok = WriteArt(ctx, pic.name, 0, DrawPicture(pic.mode, world)) && ok;
    return ok;
}

// [SECTION] about.txt: the sources and the build

static void AppendWrapped(std::string& page, const std::string& text, int width, const char* indent = "") {
    for (const std::string& line : WrapManualText(text, width)) page += indent + line + "\n";
}

// A web link whose text is too long for one line goes on as many lines as it needs, each a
// link to the same address.
static void AppendLink(std::string& page, const char* label, const char* url, const char* text, int width) {
    std::vector<std::string> first = WrapManualText(std::string(label) + " " + text, width);
    if (first.size() == 1) {
        page += std::string("{4}") + label + " {u \"" + url + "\" " + text + "}\n";
        return;
    }
    page += std::string("{4}") + label + "\n";
    for (const std::string& line : WrapManualText(text, width)) page += std::string("{u \"") + url + "\" " + line + "}\n";
}

static std::string StepsRun(const BuildContext& ctx) {
    std::string steps;
    for (const std::string& line : ctx.report) {
        if (line.compare(0, 5, "step ") != 0) continue;
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        if (!steps.empty()) steps += ", ";
        steps += line.substr(5, colon - 5);
        if (line.find("FAILED", colon) != std::string::npos) steps += " (failed)";
    }
    return steps.empty() ? "manual" : steps + ", manual";
}

static std::string AboutSources(const BuildContext& ctx, int width) {
    std::string page = "\n{2}Where the data come from{4}\n";
    AppendWrapped(page,
                  "Every file of this data volume was made by the builder, mundora-volume, from the open data below. "
                  "Each source is listed with its maker, the package it came in and its licence.",
                  width);
    for (const DataSource& s : VolumeDataSources()) {
        page += "\n";
        for (const std::string& line : WrapManualText(s.name, width, 3)) page += "{3}" + line + "{4}\n";
        AppendWrapped(page, std::string(s.gives) + ".", width);
        AppendWrapped(page, std::string("Maker: ") + s.maker + ". Package: " + s.package + ".", width);
        AppendLink(page, "Licence:", s.licenceUrl, s.licence, width);
        AppendLink(page, "Home page:", s.home, s.home, width);
    }
    page += "\n{2}This build{4}\n";
    time_t now = time(nullptr);
    struct tm utc;
    gmtime_r(&now, &utc);
    char date[64];
    strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", &utc);
    AppendWrapped(page, std::string("Built on ") + date + ". Steps run: " + StepsRun(ctx) + ".", width);
    long long count = 0, bytes = 0;
    VolumeFileTotals(ctx, &count, &bytes);
    char totals[160];
    snprintf(totals, sizeof totals, "The volume holds %lld files, %.1f MB in all.", count, bytes / 1e6);
    AppendWrapped(page, totals, width);
    const std::vector<std::string>& lacks = ctx.missing;
    if (lacks.empty()) {
        AppendWrapped(page, "The volume lacks none of the files the viewer reads.", width);
    } else {
        AppendWrapped(page, "The volume lacks these files, for the reasons given:", width);
        // "file: reason" lines, the files of one reason together.
        std::vector<std::pair<std::string, std::string>> byReason;
        for (const std::string& l : lacks) {
            size_t colon = l.find(": ");
            std::string file = l.substr(0, colon), reason = colon == std::string::npos ? "" : l.substr(colon + 2);
            auto same = std::find_if(byReason.begin(), byReason.end(), [&](const auto& r) { return r.first == reason; });
            if (same == byReason.end()) byReason.push_back({reason, file});
            else same->second += ", " + file;
        }
        for (const auto& r : byReason) AppendWrapped(page, r.first.empty() ? r.second : r.second + ": " + r.first, width - 16, "   ");
    }
    return page;
}

// [SECTION] The step

// The manual's pages in content/manual; the quiz's questions there belong to their own step.
static int ListPages(const std::string& folder, std::vector<std::string>* names) {
    DIR* d = opendir(folder.c_str());
    if (!d) return 0;
    while (struct dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name.size() < 5 || strcasecmp(name.c_str() + name.size() - 4, ".txt") != 0) continue;
        if (strncasecmp(name.c_str(), "trivia", 6) == 0) continue;
        names->push_back(name);
    }
    closedir(d);
    std::sort(names->begin(), names->end());
    return 1;
}

// The screens' demonstrations, recorded with the viewer's recorder: binary files copied byte
// for byte. Returns how many, or -1 when one cannot be read or written.
static int CopyRecordings(BuildContext& ctx, const std::string& folder) {
    DIR* d = opendir(folder.c_str());
    if (!d) return -1;
    std::vector<std::string> names;
    while (struct dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".rec") == 0) names.push_back(name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    int copied = 0;
    for (const std::string& name : names) {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile((folder + "/" + name).c_str(), &bytes, 16u << 20)) {
            BuildError("Cannot read %s/%s", folder.c_str(), name.c_str());
            return -1;
        }
        if (!WriteVolumeFile(ctx, ("manual\\" + name).c_str(), bytes)) return -1;
        copied++;
    }
    return copied;
}

int BuildManual(BuildContext& ctx) {
    std::string folder = RecipeValue(ctx, "content", MUNDORA_CONTENT_DIR) + "/manual";
    std::vector<std::string> names;
    if (!ListPages(folder, &names)) {
        BuildError("The manual's folder %s does not exist", folder.c_str());
        return 0;
    }
    int ok = WritePictures(ctx);
    std::vector<std::string> faults;
    int written = 0;
    for (const std::string& name : names) {
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile((folder + "/" + name).c_str(), &bytes, 1u << 20)) {
            BuildError("Cannot read %s/%s", folder.c_str(), name.c_str());
            ok = 0;
            continue;
        }
        std::string text(bytes.begin(), bytes.end());
        std::string target = "manual\\" + name;
        if (name == "about.txt") {
            if (!text.empty() && text.back() != '\n') text += "\n";
            text += AboutSources(ctx, ManualAreaFor("about.txt").right - ManualAreaFor("about.txt").left);
        }
        // A page with a line too wide is not written, so it cannot land in the volume.
        if (CheckManualPage(target.c_str(), text, &faults)) {
            ok = 0;
            continue;
        }
        if (!WriteVolumeFile(ctx, target.c_str(), text.data(), text.size())) ok = 0;
        written++;
    }
    int recordings = CopyRecordings(ctx, folder);
    if (recordings < 0) ok = 0;
    for (const std::string& f : faults) {
        BuildError("%s", f.c_str());
        ReportLine(ctx, "manual: %s", f.c_str());
    }
    ReportLine(ctx, "manual: %d pages and %zu pictures written, %zu lines that do not fit", written,
               sizeof kPictures / sizeof kPictures[0], faults.size());
    ReportLine(ctx, "manual: %d demonstration recordings copied (made with the viewer's recorder, mundora --record)",
               recordings < 0 ? 0 : recordings);
    return ok;
}
