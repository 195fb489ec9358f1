// The menu's noise field and the generator behind it.
#pragma once

#include <SDL.h>

// The C library's rand() as glibc makes it, never seeded: the same numbers
// in the same order, so the noise is the one the game has always shown, on
// every platform, without the library's lock around every call.
struct NoiseRandom {
    Uint32 recent[31];  // the last 31 sums, oldest first
    int seeded;
};

extern NoiseRandom noiseRandom;


// The field of 192x168 greys at (16, 16) of the BackBuffer, row by row from
// the top, one number per pixel.
void DrawNoise();
