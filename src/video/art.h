// The art: one surface per picture file, loaded at start-up and freed at
// shutdown, and the one table that says, for each file, where it is, the
// surface it becomes, its size and where it stands in the orders the game
// loads, keys and frees them in. Every sheet is one horizontal strip of
// equal cells, frame i at (w * i, 0) of the cell size.
#pragma once

#include <SDL.h>

extern SDL_Surface *PlayerSheet, *FrameOverlay, *ShotImage, *GunSheet, *ExplosionSheet,
    *OgreSheet, *TileSheet, *FontSheet, *HealthSheet, *LogoImage, *SpinnerSheet, *MenuImage,
    *GunBarImage, *SpikeSheet, *BallSheet, *Back01, *Back02, *Back03;

// Transparent colour of the thirteen keyed sheets: pure green as TileSheet's
// format maps it.
extern Uint32 ColorKeyGreen;

// One art file. The table lists them in the order they are loaded.
struct ArtFile {
    const char *path;
    SDL_Surface **surface;  // NULL for the icon, which the game does not keep
    int keyed;              // 0: drawn opaque; n: the n-th sheet given the green key
    int freed;              // n: the n-th surface freed at shutdown (0: the icon)
    int w, h;               // the size the game draws it at
};

enum { ART_FILE_COUNT = 20, KEYED_SHEETS = 13 };
extern const ArtFile ArtFiles[ART_FILE_COUNT];  // the icon first, then load order

// Returns 0 when the file is a BMP the game can use (8 bits per pixel,
// uncompressed, w x h, palette equal to GamePalette); otherwise writes the
// fault into why (at most whyLen bytes) and returns -1.
int CheckArtFile(const char *path, int w, int h, char *why, int whyLen);

// Returns 0 when SDL loaded the picture as the check promised (8 bits, w x h,
// with a palette); otherwise writes the fault into why and returns -1.
int CheckLoadedSurface(SDL_Surface *s, int w, int h, char *why, int whyLen);

// Green made transparent on the keyed sheets, in the table's key order.
void KeyArt();

// Every surface of the table freed, in its free order, and forgotten.
void FreeArt();
