// The choice of music and the playing of effects. A module change rewinds
// all four modules and stops the whole output, so a module always starts
// from its beginning when it becomes current and is never restarted while
// it stays current.

#include "sound/sound.h"

HSAMPLE EffectSamples[SFX_COUNT];
HMUSIC MusicModules[4];
int currentMusic = -1;
int audioStarted;

const char *const EffectFiles[SFX_COUNT] = {
    "data/sfxbang.wav", "data/sfxcollect.wav", "data/sfxhit.wav",   "data/sfxjump.wav",
    "data/sfxmenu1.wav", "data/sfxmenu2.wav",  "data/sfxshoot.wav", "data/sfxmdead.wav",
};

const char *const MusicFiles[4] = {
    "data/menu.it", "data/level01.it", "data/level02.it", "data/level03.it",
};

void PlayEffect(SoundEffect effect)
{
    BASS_SamplePlay(EffectSamples[effect]);
}

void SelectMusic(int index)
{
    audioStarted = 0;
    if (currentMusic != index) {
        StopMusic();
        currentMusic = index;
    }
}

void UpdateMusic()
{
    if (audioStarted == 0) {
        BASS_Start();
        audioStarted = 1;
    }
    if (currentMusic >= 0 && currentMusic <= 3)
        BASS_MusicPlay(MusicModules[currentMusic]);
}

void StopMusic()
{
    for (int i = 0; i < 4; i++)
        BASS_ChannelSetPosition(MusicModules[i], 0);
    BASS_Stop();
}
