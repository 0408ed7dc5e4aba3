// Volumes that several tests read, built once per test run. The test run's setup step calls
// BuildFixture into a folder of the build tree; the tests call FixtureFolder, which builds the
// fixture itself when it is not there (a test program run by hand). Tests that must see the
// builder run again work on a CopyTree of the fixture, never on the fixture.
#pragma once

#include <string>

// Builds into folder; 1 on success.
using FixtureBuilder = int (*)(const std::string& folder);

// Empties the fixture's folder, builds it and marks it complete; 1 on success.
int BuildFixture(const char* name, FixtureBuilder build);
// The folder of a complete fixture, built now if no complete one is there; "" when that fails.
std::string FixtureFolder(const char* name, FixtureBuilder build);
// Copies a folder tree, keeping every file's modification time; 1 on success.
int CopyTree(const std::string& from, const std::string& to);
