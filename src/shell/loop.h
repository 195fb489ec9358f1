// The main loop: one frame of the current game mode each pass, frame
// pacing and the end-of-pass event poll.
#pragma once

#include <SDL.h>

extern SDL_Event lastEvent;     // the last event taken; only its type is read
extern Uint32 nextTick;         // end of the current frame period (SDL_GetTicks clock)

Uint32 FramePacer();

// One pass of the main loop: the current mode's frame, then the event poll.
// Returns 0 when the loop ends.
int RunPass();

extern "C" int SDL_main(int argc, char *argv[]);
