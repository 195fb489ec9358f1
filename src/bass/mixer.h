// The audio back-end's inside: its fixed tables and the mixing function that
// SDL's audio callback runs. The game never includes this; the tests, the
// benchmark and the render tool do, to mix offline without a running device.
#pragma once

#include <SDL.h>

#include "bass/bass.h"

struct openmpt_module;

enum {
    BASS_MAX_SAMPLES = 16,
    BASS_MAX_MODULES = 8,
    BASS_MAX_PLAYBACKS = 8,  // per sample; the game asks for 3
    BASS_LEVEL_BLOCK = 256,  // frames per entry of a sample's level table
    BASS_CHUNK = 1024,       // frames mixed at a time
    BASS_DEFAULT_RATE = 44100,
};

struct BassPlayback {
    int active;
    Uint32 pos;  // next frame to mix
};

// One loaded effect: its frames already in the output format (signed 16-bit
// stereo at the output rate), and for every block of frames the loudest
// value in it, so that the quietest playback can be found without looking
// at the sound itself.
struct BassSample {
    int loaded;
    Sint16 *frames;  // 2 values a frame
    Uint32 length;   // in frames
    Uint16 *levels;  // one per BASS_LEVEL_BLOCK frames
    int maxPlaybacks;
    int replaceQuietest;
    BassPlayback playbacks[BASS_MAX_PLAYBACKS];
};

struct BassModule {
    openmpt_module *mod;
    int playing;
};

struct BassState {
    int initialised;
    int deviceOpen;
    int running;  // BASS_Start lets the mix be heard; BASS_Stop silences it
    int rate;
    DWORD generation;  // tells the handles of one BASS_Init from another's
    BassSample samples[BASS_MAX_SAMPLES];
    BassModule modules[BASS_MAX_MODULES];
};

extern BassState bass;

// Set before BASS_Init: the device opens as usual but stays paused, so SDL's
// callback never runs and only BassRender mixes. Tests and tools use it to
// hear exactly the frames they ask for.
extern int bassOffline;

// The callback's work: fills len bytes of signed 16-bit stereo. The caller
// holds SDL's audio lock (SDL takes it around the callback).
void BassMix(Uint8 *stream, int len);

// Mixes count frames into out (2 values a frame) under the audio lock.
void BassRender(Sint16 *out, int count);

// The playbacks of a sample that still sound, for tests; -1 for a bad handle.
int BassActivePlaybacks(HSAMPLE handle);

// A module's table entry, or NULL for a bad handle.
BassModule *BassFindModule(HMUSIC handle);
