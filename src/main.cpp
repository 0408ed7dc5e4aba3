// Entry point of the viewer. Beyond the original design, which took no arguments: the
// command line (--help, --version, --volume, --data-root, --at with --scale, --record) and geo: links,
// whose place a second start hands to the running copy.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "app/screens.h"
#include "core/command_line.h"
#include "core/demonstrations.h"
#include "platform/files.h"

// A folder as an absolute path, so that changing the working directory leaves it meaning the same.
static std::string Absolute(const std::string& dir) {
    if (dir.empty() || dir[0] == '/') return dir;
    return CurrentDirectory() + "/" + dir;
}

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(argc, argv, &line, &error)) {
        fprintf(stderr, "mundora: %s\n", error.c_str());
        return 2;
    }
    if (line.showHelp) {
        fputs(UsageText(), stdout);
        return 0;
    }
    if (line.showVersion) {
        printf("mundora %s\n", MUNDORA_VERSION);
        return 0;
    }
    if (!line.recordFile.empty()) ArmRecorder(Absolute(line.recordFile).c_str());
    if (!line.volumeDir.empty()) UseVolumeDirectory(Absolute(line.volumeDir).c_str());
    if (!line.dataRootDir.empty()) {
        if (!MakeDirectories(line.dataRootDir.c_str()) || !ChangeDirectory(line.dataRootDir.c_str())) {
            fprintf(stderr, "mundora: --data-root %s: the folder cannot be made or entered\n", line.dataRootDir.c_str());
            return 2;
        }
    }
    if (!PlatformInit(argc, argv)) return 1;
    std::string handOver = line.hasPlace ? FormatPlaceMessage(line.place) : "";
    if (AnotherInstanceRunning("KestuMainWClass", handOver.c_str())) return 0;
    if (!InitInstance()) {
        PlatformShutdown();
        return 0;
    }
    if (line.hasPlace) OpenMapAtPlace(line.place.latitude, line.place.longitude, line.place.scale);
    int code = RunMessageLoop();
    Shutdown();
    PlatformShutdown();
    return code;
}
