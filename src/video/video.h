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
// more than the pass that made it (2 ms and more in a window of a display
// drawn in software), and a screen shows no more than one a refresh; so
// where frames are seen, the newest is flipped at the start of a frame
// period's wait, which it shortens, not the pace. A pass with time to wait
// flips once the last flip is FLIP_EARLIEST_MS old: the wait nearest one
// refresh of a 60 Hz screen (16.7 ms) after it, which is every second
// period in the window (about 50 frames a second) and every period in full
// screen (about 70). A pass with no time left flips only once the last flip
// is FLIP_LATEST_MS old (30 frames a second on a machine too slow for the
// pace). A new screen's first frame is flipped at once.
enum { FLIP_EARLIEST_MS = 12, FLIP_LATEST_MS = 33 };
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
