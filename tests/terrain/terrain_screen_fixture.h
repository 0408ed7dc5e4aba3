// What the terrain view's tests share: a window with the panel buttons, the sets of grids 100
// and 150 in a folder that is both data root and temporary folder, the scales the view reads,
// the sound cues, and ways to press buttons inside or outside the view's loop.
#pragma once

#include <filesystem>

#include "app/window_fixture.h"
#include "platform/sound.h"
#include "terrain/terrain_renderer.h"
#include "terrain/terrain_screen.h"
#include "terrain_set_fixture.h"

inline std::vector<uint8_t> ShortWaveForCues() {
    std::vector<uint8_t> w;
    auto text = [&](const char* s) { w.insert(w.end(), s, s + 4); };
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; i++) w.push_back((uint8_t)(v >> (8 * i))); };
    auto u16 = [&](uint16_t v) { w.push_back((uint8_t)v); w.push_back((uint8_t)(v >> 8)); };
    text("RIFF"), u32(36 + 200), text("WAVE"), text("fmt "), u32(16), u16(1), u16(1), u32(8000), u32(16000), u16(2), u16(16);
    text("data"), u32(200);
    w.resize(w.size() + 200, 0);
    return w;
}

struct TerrainScreenTest : TerrainSetTest {
    WindowFixture window;
    OptionsRecord savedOptions;
    uint32_t savedUnits = 0, savedNames = 0;
    Rect savedLegend{};

    void SetUp() override {
        TerrainSetTest::SetUp();
        savedOptions = options;
        savedUnits = imperialUnits;
        savedNames = namesOn3D;
        window.Open();
        screenMode = 4;
        savedLegend = legendRect;
        for (const char* cue : {"error.wav", "slide2.wav", "panel.wav", "click.wav"}) WriteTestFile(root / cue, ShortWaveForCues());
        options.soundsOn = 1;
        TestSetNoAudioDevice(0);
        TestClearSounds();
        WriteSet(100);
        WriteSet(150);
        for (const char* name : {"ian1.sca", "aspect.sca", "slope.sca"})
            std::filesystem::copy_file(root / "scales/test.sca", root / (std::string("scales/") + name),
                                       std::filesystem::copy_options::overwrite_existing);
        imperialUnits = 0;
        namesOn3D = 0;
        terrainReliefLevel = 2;
        ResetTerrainCamera();
    }
    void TearDown() override {
        CloseTerrainView();
        FlushMessages(0, 0xFFFFFFFF);
        window.Close();
        options = savedOptions;
        imperialUnits = savedUnits;
        namesOn3D = savedNames;
        TerrainSetTest::TearDown();
    }

    static Point ButtonCentre(int id) {
        PanelButton* b = FindPanelButton(id);
        return Point{b->x + b->w / 2, b->y + b->h / 2};
    }
    // Handed straight to the view, outside its loop.
    static void Send(uint32_t kind, int x, int y) {
        Message m;
        m.kind = kind;
        m.lParam = MakeMouseParam(x, y);
        HandleTerrainMessage(m);
    }
    static void Press(int id) {
        Point p = ButtonCentre(id);
        Send(MSG_MOUSEMOVE, p.x, p.y);
        Send(MSG_LBUTTONDOWN, p.x, p.y);
    }
    static void Key(uint32_t key) { TestInjectKey(key); }
    static void Char(char c) { TestInjectMessage(MSG_CHAR, (uint8_t)c, 0); }
    int ErrorCues() const {
        int n = 0;
        for (const std::string& s : TestPlayedSounds()) n += s.size() >= 9 && s.compare(s.size() - 9, 9, "error.wav") == 0;
        return n;
    }
};
