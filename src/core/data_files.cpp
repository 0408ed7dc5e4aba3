// The data-file lookup: a file is looked for under the data root first, so that a user's copy
// overrides the volume's, and then by its relative name on the data volume.
#include "core/core.h"
#include "platform/files.h"

char dataRoot[256] = ".";
char tempDir[256] = "tmp";

std::string DataRootPath(const char* relative) { return std::string(dataRoot) + "\\" + relative; }
std::string TempPath(const char* name) { return std::string(tempDir) + "\\" + name; }

FILE* OpenDataFile(const char* relative, const char* mode) {
    if (FILE* f = OpenFile(DataRootPath(relative).c_str(), mode)) return f;
    return OpenFile(relative, mode);
}

std::string FindDataFile(const char* relative) {
    std::string underRoot = DataRootPath(relative);
    if (FileExists(underRoot.c_str())) return ResolvePath(underRoot.c_str());
    if (FileExists(relative)) return ResolvePath(relative);
    return std::string();
}
