// The one collision test of the game. Edges are inclusive: rectangles that
// only touch overlap, and a rectangle of width w reaches from x to x + w.
#pragma once

#include <SDL.h>

inline bool RectsOverlap(const SDL_Rect &a, const SDL_Rect &b)
{
    Sint32 ax = a.x, ay = a.y, bx = b.x, by = b.y;
    if (ay + a.h < by || ay > by + b.h || ax + a.w < bx || ax > bx + b.w)
        return false;
    return true;
}
