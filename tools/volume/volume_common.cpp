// Shared helpers of the builder's steps: recipe values, volume paths, atomic writes,
// progress lines and the report.
#include <sys/stat.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/files.h"
#include "volume.h"

std::string RecipeValue(const BuildContext& ctx, const char* key, const char* fallback) {
    auto it = ctx.recipe.find(key);
    return it == ctx.recipe.end() || it->second.empty() ? std::string(fallback) : it->second;
}

std::string VolumePath(const BuildContext& ctx, const char* name) {
    std::string relative(name);
    for (char& c : relative)
        if (c == '\\') c = '/';
    return ResolvePath((ctx.outDir + "/" + relative).c_str());
}

int WriteVolumeFile(const BuildContext& ctx, const char* name, const void* data, size_t size) {
    std::string path = VolumePath(ctx, name);
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && !MakeDirectories(path.substr(0, slash).c_str())) {
        BuildError("Cannot create the directory of %s", path.c_str());
        return 0;
    }
    if (!WriteFileAtomically(path.c_str(), data, size)) {
        BuildError("Cannot write %s", path.c_str());
        return 0;
    }
    return 1;
}

int WriteVolumeFile(const BuildContext& ctx, const char* name, const std::vector<uint8_t>& data) {
    return WriteVolumeFile(ctx, name, data.data(), data.size());
}

static double ModifiedTime(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return -1;
    return (double)st.st_mtim.tv_sec + st.st_mtim.tv_nsec * 1e-9;
}

int VolumeFileUpToDate(const BuildContext& ctx, const char* name, const std::vector<std::string>& sources) {
    if (ctx.force) return 0;
    double built = ModifiedTime(VolumePath(ctx, name));
    if (built < 0) return 0;
    for (const std::string& s : sources)
        if (ModifiedTime(s) > built) return 0;
    return 1;
}

double NowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

static std::mutex progressLock;

static void ProgressPrint(const Progress& p, int final) {
    double elapsed = NowSeconds() - p.startSeconds;
    double left = p.done > 0 ? elapsed / p.done * (p.total - p.done) : 0;
    fprintf(stderr, "\r%s: %d/%d, %.0f s elapsed, about %.0f s left   %s", p.label.c_str(), p.done, p.total, elapsed, left,
            final ? "\n" : "");
    fflush(stderr);
}

void ProgressStart(Progress& p, const char* label, int total) {
    p.label = label;
    p.total = total;
    p.done = 0;
    p.startSeconds = NowSeconds();
    ProgressPrint(p, 0);
}

void ProgressStep(Progress& p, int count) {
    std::lock_guard<std::mutex> guard(progressLock);
    p.done += count;
    ProgressPrint(p, 0);
}

void ProgressEnd(Progress& p) {
    std::lock_guard<std::mutex> guard(progressLock);
    ProgressPrint(p, 1);
}

void ReportLine(BuildContext& ctx, const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    ctx.report.push_back(line);
    printf("%s\n", line);
}

void ReportMissing(BuildContext& ctx, const char* file, const char* reason) {
    ctx.missing.push_back(std::string(file) + ": " + reason);
}

void BuildError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    fprintf(stderr, "mundora-volume: ");
    vfprintf(stderr, format, args);
    fprintf(stderr, "\n");
    va_end(args);
}
