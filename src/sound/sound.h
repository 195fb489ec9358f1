// Music and sound effects over the audio back-end.
#pragma once

#include "bass/bass.h"

enum SoundEffect { SfxBang, SfxCollect, SfxHit, SfxJump, SfxMenu1, SfxMenu2, SfxShoot, SfxMdead, SFX_COUNT };

extern HSAMPLE EffectSamples[SFX_COUNT];
extern HMUSIC MusicModules[4];
extern int currentMusic;  // -1 until the first selection
extern int audioStarted;

extern const char *const EffectFiles[SFX_COUNT];
extern const char *const MusicFiles[4];

void PlayEffect(SoundEffect effect);
void SelectMusic(int index);
void UpdateMusic();
void StopMusic();
