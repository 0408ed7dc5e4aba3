// Fixture volumes in the build tree, built once per test run, and copies of them.
#include "support/built_fixtures.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

static std::string FolderOf(const char* name) { return std::string(MUNDORA_FIXTURE_ROOT) + "/" + name; }

// Written last, so a fixture whose build failed or was interrupted is never taken as complete.
static std::string MarkerOf(const char* name) { return FolderOf(name) + ".complete"; }

int BuildFixture(const char* name, FixtureBuilder build) {
    std::error_code error;
    fs::remove(MarkerOf(name), error);
    fs::remove_all(FolderOf(name), error);
    if (!fs::create_directories(FolderOf(name), error)) {
        fprintf(stderr, "Cannot create %s: %s\n", FolderOf(name).c_str(), error.message().c_str());
        return 0;
    }
    if (!build(FolderOf(name))) {
        fprintf(stderr, "The fixture %s could not be built\n", name);
        return 0;
    }
    FILE* f = fopen(MarkerOf(name).c_str(), "w");
    if (!f) return 0;
    fclose(f);
    return 1;
}

std::string FixtureFolder(const char* name, FixtureBuilder build) {
    if (fs::exists(MarkerOf(name))) return FolderOf(name);
    fprintf(stderr, "The fixture %s is missing; building it now (the test run builds it first)\n", name);
    return BuildFixture(name, build) ? FolderOf(name) : std::string();
}

int CopyTree(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    if (error) {
        fprintf(stderr, "Cannot copy %s to %s: %s\n", from.c_str(), to.c_str(), error.message().c_str());
        return 0;
    }
    // The builder decides what is up to date by modification times, so the copy keeps them.
    for (auto it = fs::recursive_directory_iterator(from, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        fs::path target = fs::path(to) / it->path().lexically_relative(from);
        fs::last_write_time(target, fs::last_write_time(it->path()), error);
    }
    if (error) fprintf(stderr, "Cannot copy the times of %s: %s\n", from.c_str(), error.message().c_str());
    return !error;
}
