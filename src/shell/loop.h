// The main loop: game modes, frame pacing, the one-shot key latch and the
// end-of-pass event poll.
#pragma once

#include <SDL.h>

enum GameModeValue { Menu, Help, Playing };

extern GameModeValue GameMode;  // Menu at start
extern Uint8 *keyState;         // SDL's key table, refreshed by the event poll
extern int keyLatch;            // one-shot latch of Up, Down, Enter, Space (help) and "3"
extern SDL_Event lastEvent;     // the last event taken; only its type is read
extern Uint32 nextTick;         // end of the current frame period (SDL_GetTicks clock)
extern int quitChosen;          // set by the menu's Quit: the loop ends inside that pass

Uint32 FramePacer();

// One pass of the main loop: the current mode's frame, then the event poll.
// Returns 0 when the loop ends.
int RunPass();

extern "C" int SDL_main(int argc, char *argv[]);
