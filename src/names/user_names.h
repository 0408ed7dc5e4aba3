// The user's own place names: the file "userdef.dat" in the temporary folder (checked, saved
// atomically with the previous version kept as "userdef.bak"), the editor the map's F12 key and
// its menu button open, and the drawing of the names over the map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

enum {
    kUserNameSpares = 50,     // records an editing session can add beyond those of the file
    kUserNameFree = 1,        // flags bit: a free slot, neither saved nor drawn
    kUserNameMarked = 2,      // flags bit: marked for deletion, drawn in red
    kUserNameUsedBytes = 69,  // of the 70-byte name field, the last stays zero
};

// One record of the editing table, laid out as the 80-byte name record.
struct UserNameRecord {
    float lat, lon;
    char name[70];
    uint8_t cls, flags;
};

// [SECTION] The file (user_names_file.cpp)

std::string UserNamesPath();        // "%s\userdef.dat" in the temporary folder
std::string UserNamesBackupPath();  // "%s\userdef.bak": the version before the last change

// 1 when the bytes are a sound userdef.dat: a whole number of 80-byte records, each name ended
// by a zero within its field, latitudes within -90..90 and longitudes within -180..180.
// Otherwise 0 with what is wrong in *problem ("record 3: its name has no end").
int CheckUserNamesBytes(const uint8_t* data, size_t size, std::string* problem);
void DecodeUserNameRecord(const uint8_t* in, UserNameRecord* r);
void EncodeUserNameRecord(const UserNameRecord& r, uint8_t* out);
// Reads userdef.dat. 1 with its bytes (none when the file does not exist); 0 when it cannot be
// read or is damaged, with the whole message for the user in *message. The file is never
// changed here.
int ReadUserNamesFile(std::vector<uint8_t>* out, std::string* message);
// Replaces userdef.dat by the bytes: the new version is written beside it, flushed to the disk
// and renamed over it, after the version it replaces (when different) has been kept as
// userdef.bak the same way. 0 when anything failed; the file is then as it was.
int WriteUserNamesFile(const std::vector<uint8_t>& bytes);

// [SECTION] The editor (user_names_editor.cpp)

extern int editingUserNames;  // edit mode: from F12 to X

enum UserNamesCommand {
    USER_NAMES_NONE = 0,
    USER_NAMES_START = 1,   // F12
    USER_NAMES_ADD = 2,     // A
    USER_NAMES_DELETE = 3,  // D
    USER_NAMES_FINISH = 4,  // X
};

// Each returns 1 when the map area must be repainted (the map's paint then draws the edited
// names last), 0 when nothing further is needed.
// F12: loads the file into a table of n + 50 records and turns edit mode on. A damaged file is
// left alone and edit mode stays off.
int StartEditingUserNames();
// A: asks for a name, lets the user click its place and stores it in the first free slot.
int AddUserName();
// D: the record nearest a clicked point within the map window, shown in red, is freed.
int DeleteUserName();
// X: offers to save; edit mode ends unless the save failed.
int EndEditingUserNames();
int RunUserNamesCommand(int command);
// Button 19: a small dialog offering what the keys do, and whether the saved names are shown
// on the map. Returns the command chosen (USER_NAMES_NONE for Close); *shownChanged is set
// when the name switch changed.
int UserNamesMenu(int* shownChanged);

// The edited names over the map, clipped to r: white, the marked ones red, each with a cyan
// pixel at its place. Nothing outside edit mode.
void DrawEditedUserNames(Surface* s, const Rect& r);
// The saved names in the user style for the name layer (switch 7, outside edit mode): pale red
// 9-point labels with a yellow pixel at the place. A missing file draws nothing; a damaged one
// draws nothing and says so once a run.
void DrawSavedUserNames(Surface* s, const Rect& r, long scale);

// The table while editing (tests and the menu's summary read it).
int UserNameTableSize();
const UserNameRecord* UserNameTable();
// Ends edit mode without saving and forgets the damaged-file notice; tests start from here.
void ResetUserNames();
