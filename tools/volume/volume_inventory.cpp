// The inventory at the end of the build report: every file the volume holds, with its size.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "volume.h"

static void ListFiles(const std::string& root, const std::string& relative, std::vector<std::pair<std::string, long long>>* out) {
    std::string path = relative.empty() ? root : root + "/" + relative;
    DIR* d = opendir(path.c_str());
    if (!d) return;
    while (struct dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string child = relative.empty() ? name : relative + "/" + name;
        struct stat st;
        if (stat((root + "/" + child).c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) ListFiles(root, child, out);
        else out->push_back({child, (long long)st.st_size});
    }
    closedir(d);
}

std::string VolumeInventory(const BuildContext& ctx) {
    std::string text;
    std::vector<std::pair<std::string, long long>> files;
    ListFiles(ctx.outDir, "", &files);
    std::sort(files.begin(), files.end());
    long long total = 0;
    for (auto& f : files) total += f.second;
    char line[512];
    snprintf(line, sizeof line, "\nFiles in the volume: %zu, %.1f MB\n", files.size(), total / 1e6);
    text += line;
    for (auto& f : files) {
        if (f.first == "report.txt") continue;
        snprintf(line, sizeof line, "  %-48s %12lld\n", f.first.c_str(), f.second);
        text += line;
    }
    return text;
}

void VolumeFileTotals(const BuildContext& ctx, long long* count, long long* bytes) {
    std::vector<std::pair<std::string, long long>> files;
    ListFiles(ctx.outDir, "", &files);
    *count = 0, *bytes = 0;
    for (auto& f : files) {
        if (f.first == "report.txt") continue;
        (*count)++;
        *bytes += f.second;
    }
}
