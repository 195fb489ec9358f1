// Fingerprints of everything a pass produces: the picture shown, the
// BackBuffer, every record of the game and the effects started. Two builds
// that give the same fingerprints pass after pass play the same game; the
// speed work is held to that.
#pragma once

#include <SDL.h>

#include <cstdint>

struct PassDigest {
    uint64_t screen;    // the video surface at its last SDL_Flip
    uint64_t back;      // the BackBuffer
    uint64_t records;   // every record and table of the game
    uint64_t sound;     // the effects started so far, in order, and the music state
};

PassDigest DigestNow();

// FNV-1a over 64-bit words: small, stable across machines, enough for a guard.
uint64_t Fnv(const void *data, size_t n, uint64_t h = 0xcbf29ce484222325ull);

// The headless programs reach SDL_Flip through the rig: it can fingerprint
// each picture as it is flipped, and skip the flip itself (benchmarks of a
// pass without the present's last step).
struct FlipHook {
    bool digest = false;    // take the fingerprint of each flipped screen
    bool skip = false;      // do not call SDL's own SDL_Flip
    uint64_t lastDigest = 0;
    long flips = 0;
};
extern FlipHook flipHook;

uint64_t SurfaceDigest(SDL_Surface *s);
