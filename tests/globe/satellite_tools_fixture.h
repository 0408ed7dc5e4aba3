// The search and dish-aiming tests' data root, empty volume, UTC zone, cue files and dialog
// scripts.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "core/core.h"
#include "globe/satellite_tools.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "platform/test_double.h"
#include "globe_test_support.h"
#include "satellite_test_files.h"
#include "support/test_volume.h"

inline std::string Format(const char* format, double v) {
    char text[32];
    snprintf(text, sizeof text, format, v);
    return text;
}

// An item and the text a script types into it.
struct FieldText {
    int id;
    const char* text;
};

inline std::function<void(Dialog*)> TypeAndClick(std::vector<FieldText> fields, int button = IDOK) {
    return [fields, button](Dialog* d) {
        for (const FieldText& f : fields) SetItemText(d, f.id, f.text);
        TestDialogCommand(d, button);
    };
}

struct SatelliteToolsTest : ::testing::Test {
    TempFolder root, volume;
    std::string savedCwd, savedZone;
    int hadZone = 0;
    char savedRoot[256], savedTemp[256];
    OptionsRecord savedOptions = options;

    void SetUp() override {
        memcpy(savedRoot, dataRoot, sizeof dataRoot);
        memcpy(savedTemp, tempDir, sizeof tempDir);
        snprintf(dataRoot, sizeof dataRoot, "%s", root.path.c_str());
        snprintf(tempDir, sizeof tempDir, "%s", (root.path + "\\tmp").c_str());
        ASSERT_TRUE(MakeDirectories(tempDir));
        savedCwd = CurrentDirectory();
        ChangeDirectory(volume.path.c_str());   // bare names resolve on this empty volume
        if (const char* tz = getenv("TZ")) savedZone = tz, hadZone = 1;
        SetZone("UTC0");
        SetLayoutRectangles();
        options.soundsOn = 1;
        ASSERT_TRUE(WriteTestFile(root / "error.wav", SilentWave()));
        ASSERT_TRUE(WriteTestFile(root / "process.wav", SilentWave()));
        TestClearShown();
        TestClearSounds();
    }
    void TearDown() override {
        ChangeDirectory(savedCwd.c_str());
        memcpy(dataRoot, savedRoot, sizeof dataRoot);
        memcpy(tempDir, savedTemp, sizeof tempDir);
        if (hadZone) setenv("TZ", savedZone.c_str(), 1);
        else unsetenv("TZ");
        tzset();
        options = savedOptions;
        TestClearShown();
        TestClearSounds();
    }
    static void SetZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    // A file under a volume-style name ("sats\\kepler.tle") in the data root.
    void WriteRoot(const std::string& name, const std::string& text) { ASSERT_TRUE(WriteTestText(root / SlashPath(name), text)); }
    // Each row's field is refused while every earlier field holds a good value, even when every
    // later field is wrong too; then each field left empty on its own.
    struct BadField {
        int id;
        const char* bad;
        const char* message;
    };
    void ExpectChecksInOrder(const std::vector<BadField>& rows, const std::function<void()>& open) {
        for (size_t k = 0; k < rows.size(); k++) {
            std::vector<FieldText> typed;
            for (size_t j = k; j < rows.size(); j++) typed.push_back({rows[j].id, rows[j].bad});
            TestClearShown();
            TestClearSounds();
            TestPushDialogScript(TypeAndClick(typed));
            open();
            EXPECT_EQ(ShownTexts(), std::vector<std::string>{rows[k].message});
            EXPECT_EQ(PlayedCues(), std::vector<std::string>{"error"}) << rows[k].message;
        }
        for (const BadField& row : rows) {
            TestClearShown();
            TestPushDialogScript(TypeAndClick({{row.id, ""}}));
            open();
            EXPECT_EQ(ShownTexts(), std::vector<std::string>{"All fields must be filled in"}) << row.id;
        }
    }
    // Which cue files played, in order: "error", "process".
    static std::vector<std::string> PlayedCues() {
        std::vector<std::string> cues;
        for (const std::string& s : TestPlayedSounds()) {
            if (s.find("error.wav") != std::string::npos) cues.push_back("error");
            else if (s.find("process.wav") != std::string::npos) cues.push_back("process");
            else cues.push_back(s);
        }
        return cues;
    }
};
