// Runs the game headless pass by pass: scripted keys, the virtual clock,
// captures of the BackBuffer and the screen.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "image.h"

// Starts the game as SDL_main would, with the rig's own key table in place
// of SDL's. Call once per process.
void RigStart();
void RigStop();

// Keys held from now on (SDL key codes); ReleaseAll lets every key go.
void Hold(SDLKey key);
void Release(SDLKey key);
void ReleaseAll();
// Holds a key for one pass, then lets it go for one pass (so latches open).
void Press(SDLKey key);
extern Uint8 rigKeys[SDLK_LAST];

// One pass of the main loop; returns what RunPass returned. workMs is the
// time the pass's own work takes on the virtual clock before it presents.
int Pass(Uint32 workMs = 0);
int Passes(int n, Uint32 workMs = 0);

Image CaptureBackBuffer();
Image CaptureScreen();  // the video surface as it was presented
