// The audio back-end's inside: its fixed tables and the mixing function that
// SDL's audio callback runs. The game never includes this; the tests, the
// benchmarks and the render tools do, to mix offline without a running device.
#pragma once

#include <SDL.h>

#include "bass/bass.h"
#include "bass/limiter.h"

struct openmpt_module;

const int BASS_MAX_SAMPLES = 16;
const int BASS_MAX_MODULES = 8;
const int BASS_MAX_PLAYBACKS = 8;  // per sample; the game asks for 3
const int BASS_MAX_TAILS = 32;     // playbacks fading out after a replacement or a stop
const int BASS_LEVEL_BLOCK = 256;  // frames per entry of a sample's level table
const int BASS_BLOCK = 512;        // frames SDL asks for at a time (11.6 ms), and the mixer's slice
const int BASS_FADE = 220;         // frames of a fade-out: 5 ms
const int BASS_MAX_WAIT = 8192;    // the furthest ahead a start is placed (186 ms)
const int BASS_DEFAULT_RATE = 44100;
const int BASS_UNITY = 32768;      // gains are in 1/32768ths
const int BASS_MUSIC_GAIN = 32768;  // 0 dB: the music as the modules give it
const int BASS_EFFECT_GAIN = 20675;  // -4 dB: effects stand over the music, not on top of it
const int BASS_EFFECTS_LEVEL = 14600;  // -7 dBFS: the most the effects together are let reach

// One start of an effect. A start waits `wait` frames before its first frame
// sounds, which places it within the block at the moment it was asked for.
struct BassPlayback {
    int active;
    int heard;    // its first frame has been mixed
    Uint32 wait;  // frames still to wait
    Uint32 pos;   // next frame to mix
    Uint64 at;    // the mixer's frame count when its first frame sounds
};

// A playback cut short (by a fourth start or by BASS_Stop) fades out over
// BASS_FADE frames from where it stood instead of stopping dead.
struct BassTail {
    int sample;  // index in bass.samples
    Uint32 pos;
    int left;    // frames of fade left; 0 for a free entry
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
    int playing;  // heard while the output runs
    int fade;     // frames of fade-out left after a stop: heard though stopped
    int fresh;    // nothing of it mixed since it was loaded or rewound
    int rewind;   // starts from its beginning at its next BASS_MusicPlay
    int seeking;  // being rewound, outside the audio lock: not to be touched
    int wanted;   // played while being rewound: heard once it is done
};

// The gain that holds the effects together under BASS_EFFECTS_LEVEL.
struct BassEffectBus {
    Sint32 envelope;  // the effects' recent peak, falling slowly
    Sint32 gain;      // in 1/32768ths
};

struct BassState {
    int initialised;
    int deviceOpen;
    int running;  // BASS_Start lets the mix be heard; BASS_Stop silences it
    int rate;
    DWORD generation;  // tells the handles of one BASS_Init from another's
    Uint32 mixedAtMs;  // SDL_GetTicks when the mixer last ran: starts are placed from there
    Uint64 framesMixed;
    BassSample samples[BASS_MAX_SAMPLES];
    BassModule modules[BASS_MAX_MODULES];
    BassTail tails[BASS_MAX_TAILS];
    BassEffectBus effectBus;
    BassLimiter limiter;
};

extern BassState bass;

// The audio lock, taken only while the device is open: the callback runs
// under it, so what is changed inside is never seen half done.
void BassLock();
void BassUnlock();

// The callback's work: fills len bytes of signed 16-bit stereo. The caller
// holds SDL's audio lock (SDL takes it around the callback).
void BassMix(Uint8 *stream, int len);

// A loaded sample's table entry, or NULL for a bad handle.
BassSample *BassFindSample(HSAMPLE handle);

// A module's table entry, or NULL for a bad handle.
BassModule *BassFindModule(HMUSIC handle);

#ifdef KV_DEV_BUILD
// What the tests, the tools and the benchmarks use and the game never does.
// Only their build of the back-end (kvbass_dev) has it; the game's own is
// built without, and always plays live, names the files it cannot use and
// lets everything be heard.

// Set before BASS_Init: the device opens as usual but stays paused, so SDL's
// callback never runs and only BassRender mixes. Tests and tools use it to
// hear exactly the frames they ask for.
extern int bassOffline;
// Set to keep the back-end from naming on stderr the sound files it could
// not use (the fuzzer feeds it nothing else).
extern int bassQuiet;
// Tools set these to hear the music or the effects alone: what is left out
// still runs, silently, so the session stays the same.
extern int bassMuteMusic, bassMuteEffects;

// Mixes count frames into out (2 values a frame) under the audio lock, as the
// callback would at this moment of SDL_GetTicks.
void BassRender(Sint16 *out, int count);

// The playbacks of a sample that still sound; -1 for a bad handle.
int BassActivePlaybacks(HSAMPLE handle);

// The game frees everything at once with BASS_Free; the fuzzer loads and
// frees one file after another.
BOOL BASS_SampleFree(HSAMPLE handle);
BOOL BASS_MusicFree(HMUSIC handle);
#else
// Constants in the game's build, named in an enum so that not even an
// unoptimised build of it has a symbol by these names.
enum { bassOffline = 0, bassQuiet = 0, bassMuteMusic = 0, bassMuteEffects = 0 };
#endif
