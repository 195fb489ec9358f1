// The game's one drawing primitive: SDL_UpperBlit's contract, kept to the
// letter, done in a few instructions for the case the game lives on.
#pragma once

#include <SDL.h>

// Draws like SDL_UpperBlit(src, srcRect, dst, dstRect): the source cut to
// its surface, the destination clipped to dst's clip rectangle, the colour
// key honoured, and the clipped destination written back into dstRect (a
// negative x or y raised, w and h the size drawn, 0 when nothing shows).
// An 8-bit picture into the 8-bit BackBuffer is drawn here: every art file
// carries the game's palette (start-up checks it), so SDL would copy the
// raw indices too. Anything else is handed to SDL_UpperBlit.
int Blit(SDL_Surface *src, const SDL_Rect *srcRect, SDL_Surface *dst, SDL_Rect *dstRect);
