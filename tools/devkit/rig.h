// Runs the game headless pass by pass: scripted keys, the virtual clock,
// captures of the BackBuffer and the screen.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "image.h"

// Starts the game as SDL_main would, with the rig's own key table in place
// of SDL's. Every record of the game first goes back to its first value,
// the clock to 0, the keys up and rand() to its unseeded sequence, so each
// start is a fresh start, however many came before it in the process. Only
// bassOffline, which a caller sets before starting, is kept; any other
// record set before RigStart (a demo read from options, say) is lost, so set
// it after. A rig still running is stopped first.
void RigStart();
void RigStop();  // SDL and the audio back-end shut down as the game does

// The records of a fresh process, without starting the game: what RigStart
// does first. Test programs call it before every test.
void RigFreshRecords();
// RigStart without RigFreshRecords: the game starts from the records as they
// stand (the start-up benchmark times the game's start alone this way).
void RigStartAsTheyStand();
bool RigRunning();

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
// When set, called with 1 just before each pass runs and with 0 just after.
extern void (*rigAroundPass)(int before);
int Passes(int n, Uint32 workMs = 0);

Image CaptureBackBuffer();
Image CaptureScreen();  // the video surface as it was presented
