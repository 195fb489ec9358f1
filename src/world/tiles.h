// The level backdrop, the tiles around the Camera and the solid rectangles.
#pragma once

#include <SDL.h>

#include "world/tilemap.h"

enum { VIEW_X = 16, VIEW_Y = 16, VIEW_W = 192, VIEW_H = 168 };

extern SDL_Rect SolidRects[MAP_CELLS];  // entries 0 .. solidCount-1 are this frame's
extern Sint32 solidCount;
extern SDL_Rect CellRects[MAP_CELLS];   // last rectangle computed for each solid cell
extern SDL_Rect BackdropRect;           // (16, 16)

SDL_Surface *LevelBackdrop(int level);
void PrepareTiles();  // at start-up, once the tile sheet is loaded and keyed
void DrawBackdrop();
void DrawTiles();
