// Start-up, the asset table and shutdown.
#pragma once

#include <SDL.h>

// The art surfaces. Every sheet is one horizontal strip of equal cells.
extern SDL_Surface *PlayerSheet, *FrameOverlay, *ShotImage, *GunSheet, *ExplosionSheet,
    *OgreSheet, *TileSheet, *FontSheet, *HealthSheet, *LogoImage, *SpinnerSheet, *MenuImage,
    *GunBarImage, *SpikeSheet, *BallSheet, *Back01, *Back02, *Back03;

// Transparent colour of the thirteen keyed sheets: pure green as TileSheet's
// format maps it.
extern Uint32 ColorKeyGreen;

// One art file: where it is, the surface it becomes, whether green is
// transparent in it, and the size the game draws it at.
struct ArtFile {
    const char *path;
    SDL_Surface **surface;  // NULL for the icon, which the game does not keep
    int keyed;
    int w, h;
};

enum { ART_FILE_COUNT = 20 };
extern const ArtFile ArtFiles[ART_FILE_COUNT];  // the icon first, then load order

void StartUp();
// Loads one picture during start-up; one SDL cannot load as the check
// promised closes the audio and SDL and ends the program with status 1.
SDL_Surface *LoadArt(const ArtFile &a);
void ReleaseSurfaces();
void ShutDown();
