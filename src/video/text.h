// Text in the 8x8 bitmap font: one blit per character.
#pragma once

#include <SDL.h>

extern SDL_Rect GlyphRects[256];      // glyph n at (8n, 0) of FontSheet
extern SDL_Rect GlyphDestRects[256];  // where glyph n was last drawn

void DrawText(SDL_Surface *surface, int x, int y, const char *text);
