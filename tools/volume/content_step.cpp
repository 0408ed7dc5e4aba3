// Copies what people wrote for the volume (content/) into it, keeping the folder layout, and
// writes the about page and the contact address.
#include <dirent.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "about_page.h"
#include "platform/files.h"
#include "volume.h"

static int CopyTree(BuildContext& ctx, const std::string& from, const std::string& relative, int* count) {
    DIR* d = opendir(from.c_str());
    if (!d) return 0;
    int ok = 1;
    while (struct dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == ".." || name == "README.md") continue;
        // The satellites step writes these texts itself, with the dates of its element sets; the
        // manual's pages go in with their pictures and checks through the manual step.
        if (relative.empty() && (name == "sats" || name == "manual")) continue;
        std::string source = from + "/" + name;
        std::string target = relative.empty() ? name : relative + "/" + name;
        struct stat st;
        if (stat(source.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            ok = CopyTree(ctx, source, target, count) && ok;
            continue;
        }
        if (VolumeFileUpToDate(ctx, target.c_str(), {source})) continue;
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(source.c_str(), &bytes, 64u << 20)) {
            BuildError("Cannot read %s", source.c_str());
            ok = 0;
            continue;
        }
        ok = WriteVolumeFile(ctx, target.c_str(), bytes) && ok;
        (*count)++;
    }
    closedir(d);
    return ok;
}

int BuildContent(BuildContext& ctx) {
    std::string from = RecipeValue(ctx, "content", MUNDORA_CONTENT_DIR);
    int count = 0;
    if (!DirectoryExists(from.c_str())) {
        BuildError("The content folder %s does not exist", from.c_str());
        return 0;
    }
    int ok = CopyTree(ctx, from, "", &count);
    ReportLine(ctx, "content: %d files copied from %s", count, from.c_str());
    ok = WriteAboutPage(ctx) && ok;
    return WriteContactFile(ctx) && ok;
}
