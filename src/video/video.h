// Video output: the 320x200 BackBuffer every frame is composed in, the
// display surface it is shown on, and the one routine that stores a pixel.
#pragma once

#include <SDL.h>

// The 640x400 window shows every BackBuffer pixel as a 2x2 block.
enum { BACKBUFFER_W = 320, BACKBUFFER_H = 200, WINDOW_W = 640, WINDOW_H = 400 };

extern SDL_Color GamePalette[256];

extern SDL_Surface *screen;      // SDL's video surface; replaced by every mode switch
extern SDL_Surface *BackBuffer;  // loaded from data/small.bmp at start-up

extern int windowed;       // 1 in the window (at start), 0 in full screen
extern int framePeriodMs;  // 9 in the window, 13 in full screen

// Set by a mode that clears the screen at the start of its frame; the
// present makes the clear only where it would not overwrite every pixel.
extern int screenClearPending;

// How often a display is handed a new frame. Handing one over can cost far
// more than the pass that made it (2 ms in a window of a display drawn in
// software), and a screen shows no more than one per refresh; so where
// frames are seen, the newest is flipped at the start of the frame period's
// wait, which it shortens, not the pace: one a period. Never two within
// SHORTEST_REFRESH_MS (when passes come faster than the pace, as in a timed
// demo), and never is the one shown more than LONGEST_REFRESH_MS old when a
// newer one waits (when passes do not wait, on a machine too slow for the
// pace). A driver that takes every frame flips each one as it is presented.
enum { SHORTEST_REFRESH_MS = 8, LONGEST_REFRESH_MS = 17 };
extern int flipEveryFrame;   // set at start-up from the display driver (display.h)
extern int framePending;     // the screen holds a frame not flipped yet
extern int screenUnshown;    // a screen just opened: its first frame is flipped at once
extern Uint32 lastFlipTick;  // when the last frame was flipped (SDL_GetTicks clock)

void SetDisplayMode(int wantWindowed);
// Composes the frame into the screen; flips it too where every frame is.
void PresentFrame();
// Flips the frame waiting on the screen if it is due at time now, passWaits
// telling whether the frame period still has time to wait; returns whether
// it flipped.
int ShowNewestFrame(Uint32 now, int passWaits);
int DoubleToScreen();
void PutPixel(SDL_Surface *surface, int x, int y, Uint32 pixel);
