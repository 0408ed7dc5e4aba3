// A scratch folder for one benchmark program: "/tmp/mundora-bench-<name>-<pid>", made on the
// first call and removed with everything in it when the program ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/files.h"

inline const std::string& BenchScratchFolder(const char* name) {
    static std::string folder;
    if (folder.empty()) {
        folder = std::string("/tmp/mundora-bench-") + name + "-" + std::to_string(getpid());
        MakeDirectories(folder.c_str());
        atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
    }
    return folder;
}
