// Sound cues: the seven short wave files that mark refused actions, panels, sliders and
// finished computations. A failing sound switches sounds off for the rest of the run, so its
// message is shown once; the error cues then fall back to the default beep.
#include <cstdio>

#include "core/core.h"
#include "platform/files.h"
#include "platform/sound.h"

int soundsFailedThisRun;

static const char* const kCueFiles[] = {"panel.wav", "click.wav", "error2.wav", "error.wav", "slide2.wav", "process.wav", "touch.wav"};

int PlaySoundFile(const char* name) {
    if (!options.soundsOn) return 0;
    int wave = WaveOpen(name);
    if (!wave) {
        ShowMessage("Cannot open file %s", name);
        options.soundsOn = 0;
        soundsFailedThisRun = 1;
        return 0;
    }
    int played = WavePlay(wave);
    if (!played) {
        options.soundsOn = 0;
        soundsFailedThisRun = 1;
    }
    WaveClose(wave);
    return played;
}

void PlayCue(int cue) {
    if (cue < CUE_PANEL || cue > CUE_TOUCH) return;
    if (!options.soundsOn) {
        if (cue == CUE_ERROR2 || cue == CUE_ERROR) Beep();
        return;
    }
    // A cue is looked for in the data root first and then on the volume, which carries the
    // whole set; the original looked in the installation folder only, so a fresh install
    // without copies there stayed silent. Missing in both, the data root's name is reported.
    const char* file = kCueFiles[cue - 1];
    std::string underRoot = DataRootPath(file);
    std::string name = FileExists(underRoot.c_str()) || !FileExists(file) ? underRoot : std::string(file);
    PlaySoundFile(name.c_str());
}

void SetSoundsSetting(int on) {
    options.soundsOn = on ? 1 : 0;
    soundsFailedThisRun = 0;
}
