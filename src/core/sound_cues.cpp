// Sound cues: the seven short wave files in the data root that mark refused actions, panels,
// sliders and finished computations. A failing sound switches sounds off for the rest of the
// run, so its message is shown once; the error cues then fall back to the default beep.
#include <cstdio>

#include "core/core.h"
#include "platform/sound.h"

static const char* const kCueFiles[] = {"panel.wav", "click.wav", "error2.wav", "error.wav", "slide2.wav", "process.wav", "touch.wav"};

int PlaySoundFile(const char* name) {
    if (!options.soundsOn) return 0;
    int wave = WaveOpen(name);
    if (!wave) {
        ShowMessage("Cannot open file %s", name);
        options.soundsOn = 0;
        return 0;
    }
    int played = WavePlay(wave);
    if (!played) options.soundsOn = 0;
    WaveClose(wave);
    return played;
}

void PlayCue(int cue) {
    if (cue < CUE_PANEL || cue > CUE_TOUCH) return;
    if (!options.soundsOn) {
        if (cue == CUE_ERROR2 || cue == CUE_ERROR) Beep();
        return;
    }
    // The cues are looked for in the data root only, never on the volume.
    std::string name = DataRootPath(kCueFiles[cue - 1]);
    PlaySoundFile(name.c_str());
}
