// Checks made before the window opens, so that a missing or damaged data
// file ends start-up with one clear line instead of a crash.
#pragma once

#include <SDL.h>

#include <cstdio>

// Opens a data file for reading only if it is an ordinary file: a folder
// opens and reads as nothing, and a pipe would hold fopen for ever. On
// failure writes the fault into why and returns NULL.
FILE *OpenDataFile(const char *path, char *why, int whyLen);

// Returns 0 when the file is a BMP the game can use (8 bits per pixel,
// uncompressed, w x h, palette equal to GamePalette); otherwise writes the
// fault into why (at most whyLen bytes) and returns -1.
int CheckArtFile(const char *path, int w, int h, char *why, int whyLen);

// Stops the program with status 1 after one line on stderr naming the file.
[[noreturn]] void DataFault(const char *path, const char *why);

// Returns 0 when SDL loaded the picture as the check promised (8 bits, w x h,
// with a palette); otherwise writes the fault into why and returns -1.
int CheckLoadedSurface(SDL_Surface *s, int w, int h, char *why, int whyLen);
