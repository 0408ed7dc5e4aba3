// The symbol font "helv12.ttf" (family "Orvek", full name "Orvek Symbol"): Liberation Sans
// letters plus the map symbols, made by fontforge running make_symbol_font.py.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "volume.h"

extern char** environ;

static const char* kFontScript = MUNDORA_SOURCE_ROOT "/tools/volume/make_symbol_font.py";

// Runs a program with its arguments (no shell), its error output going to errorLog; returns
// its exit status, or -1.
static int RunProgram(const std::vector<std::string>& args, const std::string& errorLog) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // fontforge chatters on its standard output; only its errors matter here.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errorLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int BuildSymbolFont(BuildContext& ctx) {
    std::string source = RecipeValue(ctx, "font", "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf");
    std::string script = RecipeValue(ctx, "font-script", kFontScript);
    if (!FileExists(source.c_str())) {
        BuildError("Cannot open the letter font %s (Debian package fonts-liberation)", source.c_str());
        ReportMissing(ctx, "helv12.ttf", "no Liberation Sans to take the letters from");
        return 0;
    }
    if (VolumeFileUpToDate(ctx, "helv12.ttf", {source, script})) {
        ReportLine(ctx, "font: helv12.ttf is up to date");
        return 1;
    }
    std::string target = VolumePath(ctx, "helv12.ttf");
    std::string part = target + ".new.ttf";  // fontforge picks the format by the extension
    std::string log = target + ".log";
    int status = RunProgram({"fontforge", "-quiet", "-lang=py", "-script", script, source, part}, log);
    if (status != 0 || !FileExists(part.c_str())) {
        BuildError("fontforge could not build %s (exit status %d); is the Debian package fontforge installed?", target.c_str(), status);
        std::vector<uint8_t> text;
        if (ReadWholeFile(log.c_str(), &text, 1u << 20)) fprintf(stderr, "%.*s", (int)text.size(), (const char*)text.data());
        RemoveFile(part.c_str());
        RemoveFile(log.c_str());
        return 0;
    }
    RemoveFile(log.c_str());
    if (rename(part.c_str(), target.c_str()) != 0) {
        BuildError("Cannot move %s into place", part.c_str());
        RemoveFile(part.c_str());
        return 0;
    }
    ReportLine(ctx, "font: helv12.ttf built from %s", source.c_str());
    return 1;
}
