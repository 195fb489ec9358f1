// Start-up, the asset table and shutdown.
#pragma once

#include <SDL.h>

#include "video/art.h"

void StartUp();
// Loads one picture during start-up; one SDL cannot load as the check
// promised closes the audio and SDL and ends the program with status 1.
SDL_Surface *LoadArt(const ArtFile &a);
void ReleaseSurfaces();
void ShutDown();
