// Checks made before the window opens, so that a missing or damaged data
// file ends start-up with one clear line instead of a crash.
#pragma once

#include <SDL.h>

// Returns 0 when the file is a BMP the game can use (8 bits per pixel,
// uncompressed, w x h, palette equal to GamePalette); otherwise writes the
// fault into why (at most whyLen bytes) and returns -1.
int CheckArtFile(const char *path, int w, int h, char *why, int whyLen);

// Stops the program with status 1 after one line on stderr naming the file.
[[noreturn]] void DataFault(const char *path, const char *why);

// A loaded surface that is not what the check promised stops the program too.
void CheckLoadedSurface(const char *path, SDL_Surface *s, int w, int h);
