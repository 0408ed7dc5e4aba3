// Files and system facts on POSIX. Names from the data volume are written with backslashes
// and in any letter case; ResolvePath finds the real file.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

static int IsDirectoryPath(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

static int PathExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// Finds the entry of `dir` whose name equals `component` without regard to case; "" if none.
static std::string MatchComponent(const std::string& dir, const std::string& component) {
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::string();
    std::string found;
    while (struct dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, component.c_str()) == 0) {
            found = e->d_name;
            if (found == component) break;  // an exact match wins over a case variant
        }
    }
    closedir(d);
    return found;
}

std::string ResolvePath(const char* name) {
    std::string path(name ? name : "");
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty()) return path;
    if (PathExists(path)) return path;
    std::string result;
    size_t pos = 0;
    if (path[0] == '/') {
        result = "/";
        pos = 1;
    }
    int lost = 0;  // once a component is missing, the rest is kept as given
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos) slash = path.size();
        std::string component = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (component.empty()) continue;
        std::string dir = result.empty() ? std::string(".") : result;
        std::string match;
        if (!lost && component != "." && component != "..") match = MatchComponent(dir, component);
        if (match.empty()) {
            match = component;
            lost = component != "." && component != "..";
        }
        if (!result.empty() && result.back() != '/') result += '/';
        result += match;
    }
    return result;
}

FILE* OpenFile(const char* name, const char* mode) {
    std::string path = ResolvePath(name);
    if (path.empty()) return nullptr;
    if (mode[0] == 'r' && IsDirectoryPath(path)) return nullptr;
    return fopen(path.c_str(), mode);
}

int FileExists(const char* name) {
    struct stat st;
    std::string path = ResolvePath(name);
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int DirectoryExists(const char* name) { return IsDirectoryPath(ResolvePath(name)); }

int RemoveFile(const char* name) {
    std::string path = ResolvePath(name);
    return !path.empty() && unlink(path.c_str()) == 0;
}

int MakeDirectories(const char* name) {
    std::string path = ResolvePath(name);
    if (path.empty()) return 0;
    for (size_t i = 1; i <= path.size(); i++) {
        if (i == path.size() || path[i] == '/') {
            std::string part = path.substr(0, i);
            if (!IsDirectoryPath(part) && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return 0;
        }
    }
    return IsDirectoryPath(path);
}

int64_t OpenFileLength(FILE* f) {
    if (!f) return -1;
    long here = ftell(f);
    if (here < 0 || fseek(f, 0, SEEK_END) != 0) return -1;
    long length = ftell(f);
    fseek(f, here, SEEK_SET);
    return length;
}

int ReadWholeFile(const char* name, std::vector<uint8_t>* out, size_t maxBytes) {
    FILE* f = OpenFile(name, "rb");
    if (!f) return 0;
    int64_t length = OpenFileLength(f);
    if (length < 0 || (uint64_t)length > maxBytes) {
        fclose(f);
        return 0;
    }
    out->resize((size_t)length);
    size_t got = length ? fread(out->data(), 1, (size_t)length, f) : 0;
    fclose(f);
    if (got != (size_t)length) return 0;
    return 1;
}

int WriteFileAtomically(const char* name, const void* data, size_t size) {
    std::string path = ResolvePath(name);
    if (path.empty()) return 0;
    std::string temporary = path + ".part";
    FILE* f = fopen(temporary.c_str(), "wb");
    if (!f) return 0;
    int ok = size == 0 || fwrite(data, 1, size, f) == size;
    ok = fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    ok = fclose(f) == 0 && ok;
    if (!ok || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return 0;
    }
    // The rename itself reaches the disk only with its directory.
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return 1;
}

std::string CurrentDirectory() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

int ChangeDirectory(const char* path) { return chdir(ResolvePath(path).c_str()) == 0; }

int64_t FreeDiskBytes(const char* path) {
    struct statvfs st;
    if (statvfs(ResolvePath(path).c_str(), &st) != 0) return -1;
    return (int64_t)st.f_bavail * (int64_t)st.f_frsize;
}

int64_t AvailableMemoryBytes() {
    std::ifstream in("/proc/meminfo");
    if (!in) return -1;
    std::string key;
    int64_t value = 0, available = -1, swapFree = 0;
    std::string unit;
    while (in >> key >> value) {
        std::getline(in, unit);
        if (key == "MemAvailable:") available = value * 1024;
        if (key == "SwapFree:") swapFree = value * 1024;
    }
    return available < 0 ? -1 : available + swapFree;
}

// Octal escapes in /proc/mounts ("\040" for a blank) turned back into characters.
static std::string UnescapeMountField(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] == '\\' && i + 3 < s.size() + 0 && isdigit((unsigned char)s[i + 1])) {
            out += (char)strtol(s.substr(i + 1, 3).c_str(), nullptr, 8);
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

static struct {
    int overridden;
    std::vector<std::string> drives;
} volumeSearch;

void OverrideVolumeSearch(const std::vector<std::string>* drives) {
    volumeSearch.overridden = drives != nullptr;
    volumeSearch.drives = drives ? *drives : std::vector<std::string>();
}

std::vector<std::string> RemovableVolumes() {
    std::vector<std::string> found;
    if (volumeSearch.overridden) return found;
    std::ifstream in("/proc/mounts");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        fields >> device >> mountPoint >> type;
        mountPoint = UnescapeMountField(mountPoint);
        int optical = type == "iso9660" || type == "udf";
        int removable = mountPoint.rfind("/media/", 0) == 0 || mountPoint.rfind("/run/media/", 0) == 0 || mountPoint.rfind("/mnt/", 0) == 0;
        if (optical || removable) found.push_back(mountPoint);
    }
    return found;
}

std::vector<std::string> InstalledVolumeDirectories() {
    std::vector<std::string> dirs;
    if (volumeSearch.overridden) return volumeSearch.drives;
    const char* dataHome = getenv("XDG_DATA_HOME");
    const char* home = getenv("HOME");
    if (dataHome && *dataHome) dirs.push_back(std::string(dataHome) + "/mundora/volume");
    else if (home && *home) dirs.push_back(std::string(home) + "/.local/share/mundora/volume");
#ifdef MUNDORA_VOLUME_DIR
    dirs.push_back(MUNDORA_VOLUME_DIR);
#endif
    dirs.push_back("/usr/local/share/mundora/volume");
    dirs.push_back("/usr/share/mundora/volume");
    return dirs;
}
