// Files and system facts: volume file names (backslashes, any letter case) resolved to real paths, atomic writes,
// free disk space, memory, mounted volumes. Plain POSIX; no toolkit needed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Resolves a name written the volume's way ("menu\26r.bmp", "Textures\Cactus.Bmp") to a real
// path: backslashes become slashes and every component that exists is matched without regard
// to letter case. Components that do not exist keep the spelling given (so new files can be
// created). Relative names stay relative to the current directory.
std::string ResolvePath(const char* name);

// fopen through ResolvePath; 0 when it fails.
FILE* OpenFile(const char* name, const char* mode);
int FileExists(const char* name);        // a regular file
int DirectoryExists(const char* name);
int RemoveFile(const char* name);        // 1 when a file was deleted
int MakeDirectories(const char* name);   // like mkdir -p; 1 when the directory exists afterwards
// Length of an open file, or -1; the position is left unchanged.
int64_t OpenFileLength(FILE* f);
// Reads a whole file (at most maxBytes); 0 when it cannot be opened or is larger.
int ReadWholeFile(const char* name, std::vector<uint8_t>* out, size_t maxBytes);
// Writes a file under a temporary name (the name with ".part" added), flushes it to the disk
// and renames it into place, so a reader, or the next start after a crash, never sees a
// half-written file; 1 on success.
int WriteFileAtomically(const char* name, const void* data, size_t size);

std::string CurrentDirectory();
int ChangeDirectory(const char* path);
int64_t FreeDiskBytes(const char* path);     // -1 when unknown
int64_t AvailableMemoryBytes();              // available memory plus free swap; -1 when unknown
// Mount points of optical discs and removable drives, in mount order.
std::vector<std::string> RemovableVolumes();
// Where an installed default data volume may live, in search order.
std::vector<std::string> InstalledVolumeDirectories();
// Tests replace the drives searched for the volume (removable and installed) with a list of
// their own; 0 restores the machine's.
void OverrideVolumeSearch(const std::vector<std::string>* drives);
