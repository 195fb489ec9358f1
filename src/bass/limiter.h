// The limiter at the end of the mix: whatever the music and the effects add
// up to, no value leaves it louder than BASS_CEILING. It looks BASS_LOOKAHEAD
// frames ahead, so its gain has already come down, smoothly, when a loud
// frame arrives, and comes back up over about 80 ms. Below the ceiling it
// passes every value unchanged, only later by BASS_DELAY frames.
#pragma once

#include <SDL.h>

const int BASS_LOOKAHEAD = 64;              // frames; a power of two
const int BASS_DELAY = BASS_LOOKAHEAD - 1;  // so every sound leaves the mixer this many frames late
const int BASS_CEILING = 29000;             // -1.07 dBFS
const int BASS_GAIN_ONE = 65536;            // the limiter's gains are in 1/65536ths
const int BASS_RELEASE_STEP = 19;           // gain regained per frame: all of it in 80 ms

struct BassLimiter {
    Sint32 delayed[BASS_LOOKAHEAD * 2];  // the sum, held back
    Uint32 smooth[BASS_LOOKAHEAD];       // the gain wanted, held and released, per frame
    Uint64 smoothSum;                    // their sum: the gain applied, times BASS_LOOKAHEAD
    // The frames of the window whose wanted gain may yet be the least, oldest
    // first, with those gains: the least of the window is the first.
    Uint32 queueFrame[BASS_LOOKAHEAD], queueGain[BASS_LOOKAHEAD];
    int queueHead, queueCount;
    Uint32 released;  // the newest frame's held gain after its release
    Uint32 frame;     // frames seen
};

void ResetLimiter(BassLimiter &l);

// Takes count frames of the sum (2 values a frame) and writes count frames,
// BASS_DELAY frames behind them, to out.
void Limit(BassLimiter &l, const Sint32 *sum, Sint16 *out, int count);
