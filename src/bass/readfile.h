// Reads a sound file whole, refusing anything that is not a plain file of a
// sensible size: a directory, a FIFO or a device is never opened for
// reading, so it can neither hang the game nor claim an absurd size.
#pragma once

#include <SDL.h>

#include <cstddef>

const int BASS_MAX_FILE = 16 << 20;  // 16 MiB: far more than any sound of the game

// The file's bytes in a block from malloc, or NULL with *why saying what is
// wrong in a few words.
Uint8 *ReadSoundFile(const char *path, size_t *size, const char **why);
