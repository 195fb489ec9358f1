// What the web's SDL pieces share with each other and with the browser glue.
// The game sees only SDL 1.2's own interface (the desktop's headers).
#pragma once

#include <SDL.h>

void WebSetError(const char *text);

// The video surface and the frame the page shows.
extern SDL_Surface *webScreen;
SDL_Surface *WebNewSurface(Uint32 flags, int w, int h);  // 8-bit, zeroed

// How many frames have been flipped, which of them the canvas shows, and the
// palette indices of the last one, row after row (NULL when there is none,
// or its rows are apart: every mode the game sets is a multiple of four
// pixels wide, so they never are).
unsigned WebFlips();
unsigned WebPainted();
const Uint8 *WebFrameIndices();
int WebFrameWidth();  // the screen's size while it holds a flipped frame, else 0
int WebFrameHeight();

// Runs (web/runs.cpp), in both builds: the page is told of every level's
// end after the pass; a run watched may be held in the wait (paused, or
// stepped) and its clock run faster.
void WebRunAfterPass();
int WebRunHolds();
double WebRunSpeed();
double WebRunClock(double realMs);  // the game's clock for the browser's, in ms
extern "C" void kv_run_speed(int times);

// The browser test's hooks (web/hooks.cpp), in the test build only
// (KV_WEB_TEST): SDL_Delay asks whether to hold the game where it stands;
// the event pump at the end of every pass lets the test watch a demo. The
// page players get has neither.
#ifdef KV_WEB_TEST
int WebHoldRequested();
void WebAfterPass();
#else
inline int WebHoldRequested() { return 0; }
inline void WebAfterPass() {}
#endif
