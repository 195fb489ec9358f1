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

void SetDisplayMode(int wantWindowed);
void PresentFrame();
int DoubleToScreen();
void PutPixel(SDL_Surface *surface, int x, int y, Uint32 pixel);
