// The key table every pass reads, its one-shot latch, and the merging of
// the other ways in. The game reads keys only here, while they are held;
// the keyboard (through SDL's event poll), a demo played back and a pad all
// reach it by setting this table before the pass, never during it.
#pragma once

#include <SDL.h>

extern Uint8 *keyState;  // one byte per SDL key code: SDL's own table, a demo's, or the merged one
extern int keyLatch;     // one-shot latch of Up, Down, Enter, Space (help) and "3"

// Before a pass: the keys of codes[i] for every bit i of held are held as
// well as those of the table keyState points at (the keyboard's). While
// held is empty, keyState is left as it is, so a game with nothing but a
// keyboard reads SDL's own table, as it always has.
void HoldAlso(const SDLKey *codes, int count, Uint32 held);
