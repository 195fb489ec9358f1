// WAV files read by the back-end itself, every field checked against the
// bytes that are really there: PCM of 8, 16, 24 or 32 bits and 32- or 64-bit
// float, plain or in the extensible header, one to eight channels, any rate
// from 1000 to 384000 Hz. Decoded once, at load time, to the output format.
#pragma once

#include <SDL.h>

#include <cstddef>

const int BASS_MAX_SOUND_SECONDS = 60;

// The sound as signed 16-bit stereo frames at `rate` in a block from malloc,
// with *frames set; or NULL with *why saying what is wrong in a few words.
// A mono sound is heard on both sides; more than two channels are folded
// down, the even ones to the left and the odd ones to the right.
Sint16 *DecodeWav(const Uint8 *data, size_t size, int rate, Uint32 *frames, const char **why);
