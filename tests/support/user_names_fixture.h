// A window over a data root of the test's own for the user's place names: the file's paths,
// clicks at places, the name typed into the naming dialog and what was saved.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/window_fixture.h"
#include "names/names.h"
#include "names/user_names.h"
#include "platform/files.h"

struct UserNamesFixture : ::testing::Test {
    TempFolder folder;
    WindowFixture window;
    char savedRoot[256], savedTemp[256];
    void SetUp() override {
        window.Open();
        strcpy(savedRoot, dataRoot);
        strcpy(savedTemp, tempDir);
        strcpy(dataRoot, folder.path.c_str());
        strcpy(tempDir, (folder / "tmp").c_str());
        MakeDirectories(tempDir);
        zoomHistory[1] = MapWindow{0, 20, 40, 55};
        zoomDepth = 1;
        ResetUserNames();
        TestClearShown();
    }
    void TearDown() override {
        FlushMessages(0, 0xFFFFFFFF);
        ResetUserNames();
        memset(labelSwitches, 0, sizeof labelSwitches);
        strcpy(dataRoot, savedRoot);
        strcpy(tempDir, savedTemp);
        window.Close();
    }
    std::string File() { return folder / "tmp/userdef.dat"; }
    std::string Backup() { return folder / "tmp/userdef.bak"; }
    std::vector<NameRecord> SavedNames() {
        std::vector<uint8_t> bytes = ReadTestFile(File());
        std::vector<NameRecord> out;
        DecodeNameFile(bytes.data(), bytes.size(), &out);
        return out;
    }
    Point At(double lat, double lon) {
        int x, y;
        GeoToPixel(lat, lon, &x, &y);
        return Point{x, y};
    }
    void Click(Point p) {
        TestInjectMessage(MSG_LBUTTONDOWN, 0, MakeMouseParam(p.x, p.y));
        TestInjectMessage(MSG_LBUTTONUP, 0, MakeMouseParam(p.x, p.y));
    }
    // The naming dialog's script: the name typed and confirmed.
    void TypeName(const std::string& name) {
        TestPushDialogScript([name](Dialog* d) {
            SetItemText(d, 1040, name.c_str());
            TestDialogCommand(d, IDOK);
        });
    }
    int Shown(const std::string& text) {
        int n = 0;
        for (const ShownText& t : TestShownMessages()) n += t.text == text;
        return n;
    }
};
